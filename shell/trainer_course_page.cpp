#include "shell/trainer_course_page.h"

#include "base/codepage.h"
#include "control/session.h"
#include "exercises/check_history.h"
#include "exercises/check_report.h"
#include "shell/accessibility.h"
#include "shell/qt_program_text.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <ctime>

namespace qlor {
namespace {

// Columns of the aligned texts [characters].
constexpr std::size_t kAlignedColumns = 60;

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

// The choices of what the lesson texts are made of, in the order the list shows them.
constexpr TextSource kSources[] = {TextSource::Groups, TextSource::Words, TextSource::Callsigns};
constexpr Say kSourceNames[] = {Say::SourceGroups, Say::SourceWords, Say::SourceCallsigns};

QString TextNumber(int number) {
    return QString::number(10000 + number).mid(1);
}

} // namespace

struct TrainerCoursePage::Ui {
    QPlainTextEdit* standing = nullptr;
    QLabel* lessonLabel = nullptr;
    QSpinBox* lesson = nullptr;
    QLabel* speedLabel = nullptr;
    QSpinBox* speed = nullptr;
    QLabel* pauseLabel = nullptr;
    QSpinBox* pause = nullptr;
    QLabel* checksLabel = nullptr;
    QSpinBox* checks = nullptr;
    QLabel* passLabel = nullptr;
    QSpinBox* pass = nullptr;
    QLabel* newestLabel = nullptr;
    QSpinBox* newest = nullptr;
    QLabel* sourceLabel = nullptr;
    QComboBox* source = nullptr;
    QPushButton* keep = nullptr;
    QPushButton* start = nullptr;
    QPushButton* check = nullptr;
    QLabel* status = nullptr;
    QLabel* copyLabel = nullptr;
    QPlainTextEdit* copy = nullptr;
    QPlainTextEdit* result = nullptr;
};

TrainerCoursePage::TrainerCoursePage(TrainerContext context, TakeSession takeSession, QWidget* parent)
    : QWidget(parent), m_ui(std::make_unique<Ui>()), context_(std::move(context)),
      takeSession_(std::move(takeSession)) {
    setObjectName(QStringLiteral("CoursePage"));
    BuildUi();
    ShowTexts(); // the course is read when the page is first shown
}

TrainerCoursePage::~TrainerCoursePage() = default;

QString TrainerCoursePage::Text(Say id) const {
    return QProgramText(id, texts_);
}

void TrainerCoursePage::BuildUi() {
    Ui& ui = *m_ui;
    auto* page = new QVBoxLayout(this);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto named = [](auto* w, const char* name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };
    ui.standing = named(new QPlainTextEdit(this), "CourseStanding");
    ui.standing->setReadOnly(true);
    ui.standing->setTabChangesFocus(true);
    ui.standing->setFont(fixed);
    page->addWidget(ui.standing, 2);

    auto* form = new QFormLayout;
    auto spin = [this, form, &named](QLabel*& label, QSpinBox*& box, const char* name, int min, int max) {
        label = new QLabel(this);
        label->setObjectName(QLatin1String(name) + QStringLiteral("Label"));
        box = named(new QSpinBox(this), name);
        box->setRange(min, max);
        AddLabelledRow(form, label, box);
    };
    spin(ui.lessonLabel, ui.lesson, "CourseLesson", kKochFirstLesson, kKochLastLesson);
    spin(ui.speedLabel, ui.speed, "CourseSpeed", kCourseMinCpm, kCourseMaxCpm);
    spin(ui.pauseLabel, ui.pause, "CoursePause", kCoursePauseMin, kCoursePauseMax);
    spin(ui.checksLabel, ui.checks, "CourseChecks", 1, kCourseMaxRecentChecks);
    spin(ui.passLabel, ui.pass, "CoursePass", 1, 100);
    spin(ui.newestLabel, ui.newest, "CourseNewestCount", 1, kCourseMaxNewestSent);
    ui.sourceLabel = named(new QLabel(this), "CourseSourceLabel");
    ui.source = named(new QComboBox(this), "CourseSource");
    for (const TextSource source : kSources)
        ui.source->addItem(QString(), static_cast<int>(source));
    AddLabelledRow(form, ui.sourceLabel, ui.source);
    page->addLayout(form);

    auto* buttons = new QHBoxLayout;
    ui.start = named(new QPushButton(this), "CourseStart");
    ui.check = named(new QPushButton(this), "CourseCheck");
    ui.keep = named(new QPushButton(this), "CourseKeep");
    for (QPushButton* b : {ui.start, ui.check, ui.keep})
        buttons->addWidget(b);
    buttons->addStretch();
    page->addLayout(buttons);

    ui.status = named(new QLabel(this), "CourseStatus");
    ui.status->setWordWrap(true);
    MakeStatusLine(ui.status);
    page->addWidget(ui.status);

    ui.copyLabel = named(new QLabel(this), "CourseCopyLabel");
    ui.copy = named(new QPlainTextEdit(this), "CourseCopy");
    ui.copy->setTabChangesFocus(true);
    ui.copy->installEventFilter(this);
    ui.copyLabel->setBuddy(ui.copy);
    page->addWidget(ui.copyLabel);
    page->addWidget(ui.copy, 1);

    ui.result = named(new QPlainTextEdit(this), "CourseResult");
    ui.result->setReadOnly(true);
    ui.result->setTabChangesFocus(true);
    ui.result->setFont(fixed);
    ui.result->setLineWrapMode(QPlainTextEdit::NoWrap);
    page->addWidget(ui.result, 3);

    connect(ui.start, &QPushButton::clicked, this, &TrainerCoursePage::StartClick);
    connect(ui.check, &QPushButton::clicked, this, &TrainerCoursePage::CheckClick);
    connect(ui.keep, &QPushButton::clicked, this, &TrainerCoursePage::KeepClick);
    // The page's own keys work while it is the page shown (a shortcut of a hidden widget never
    // fires), so the other pages may use the same keys.
    auto shortcut = [this](QKeySequence keys, const char* name, auto slot) {
        auto* s = new QShortcut(keys, this, slot);
        s->setObjectName(QLatin1String(name));
        s->setContext(Qt::WindowShortcut);
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_R), "CourseStartKey", [this] { StartClick(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), "CourseCheckKey", [this] { CheckClick(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Enter), "CourseCheckKeypadKey", [this] { CheckClick(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_K), "CourseKeepKey", [this] { KeepClick(); });
}

void TrainerCoursePage::SetTexts(const ProgramTextTable& texts) {
    texts_ = texts;
    ShowTexts();
}

void TrainerCoursePage::ShowTexts() {
    Ui& ui = *m_ui;
    ui.lessonLabel->setText(Text(Say::CourseLessonLabel));
    ui.speedLabel->setText(Text(Say::CourseSpeedLabel));
    ui.pauseLabel->setText(Text(Say::CoursePauseLabel));
    ui.checksLabel->setText(Text(Say::CourseChecksLabel));
    ui.passLabel->setText(Text(Say::CoursePassLabel));
    ui.newestLabel->setText(Text(Say::CourseNewestLabel));
    ui.sourceLabel->setText(Text(Say::CourseSourceLabel));
    ui.source->setAccessibleName(Text(Say::CourseSourceLabel).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    for (int i = 0; i < ui.source->count(); ++i)
        ui.source->setItemText(i, Text(kSourceNames[i]));
    ui.start->setText(Text(Say::CourseStart));
    ui.check->setText(Text(Say::CourseCheck));
    ui.keep->setText(Text(Say::CourseKeep));
    ui.copyLabel->setText(Text(Say::CourseCopyLabel));
    ui.standing->setAccessibleName(Text(Say::CourseStandingName));
    ui.result->setAccessibleName(Text(Say::CourseResultName));
    SetStatusSubject(ui.status, Text(Say::CourseStatusName));
    if (!unavailable_.isEmpty())
        ui.status->setText(unavailable_);
    else if (ui.status->text().isEmpty())
        ui.status->setText(Text(Say::CourseStatusIdle));
    ShowStanding();
}

void TrainerCoursePage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // qlor-cli may have moved the course on meanwhile.
    if (!session_)
        Reload();
}

void TrainerCoursePage::Unavailable(const QString& reason, bool forGood) {
    state_.reset();
    disabledForGood_ = disabledForGood_ || forGood;
    unavailable_ = reason;
    Ui& ui = *m_ui;
    for (QWidget* w : std::initializer_list<QWidget*>{ui.lesson, ui.speed, ui.pause, ui.checks, ui.pass, ui.newest,
                                                      ui.source, ui.keep, ui.start, ui.check, ui.copy})
        w->setEnabled(false);
    ShowStatus(reason);
    ShowStanding();
}

void TrainerCoursePage::HistoryFailed(Say message, const HistoryStatus& status) {
    const QString text = Text(message).arg(FromUtf8(HistoryProblemText(status, context_.history->Path(), texts_)));
    const bool forGood = status.problem == HistoryProblem::Damaged || status.problem == HistoryProblem::Newer;
    if (forGood)
        Unavailable(text, true);
    else
        ShowStatus(text);
    AnnounceDescription(m_ui->result, text);
}

void TrainerCoursePage::Reload() {
    if (disabledForGood_)
        return;
    if (!context_.history) {
        Unavailable(Text(Say::CourseNoHistory), true);
        return;
    }
    CourseState state;
    HistoryStatus status = context_.history->LoadCourse(state);
    std::vector<CheckRecord> checks;
    if (status.ok())
        status = context_.history->LoadLessonChecks(state.lesson, checks);
    if (!status.ok()) {
        const bool forGood = status.problem == HistoryProblem::Damaged || status.problem == HistoryProblem::Newer;
        Unavailable(
            Text(Say::CourseUnavailable).arg(FromUtf8(HistoryProblemText(status, context_.history->Path(), texts_))),
            forGood);
        return;
    }
    const bool wasUnavailable = !unavailable_.isEmpty();
    unavailable_.clear();
    state_ = state;
    progress_ = EvaluateLesson(state.settings, state.lesson, checks);
    Ui& ui = *m_ui;
    for (QWidget* w : std::initializer_list<QWidget*>{ui.lesson, ui.speed, ui.pause, ui.checks, ui.pass, ui.newest,
                                                      ui.source, ui.keep, ui.start, ui.check, ui.copy})
        w->setEnabled(true);
    ShowSettings(state.settings, state.lesson);
    ShowStanding();
    if (wasUnavailable)
        ShowStatus(Text(Say::CourseStatusIdle));
}

void TrainerCoursePage::ShowSettings(const CourseSettings& s, int lesson) {
    Ui& ui = *m_ui;
    ui.lesson->setValue(lesson);
    ui.speed->setValue(s.charSpeedCpm);
    ui.pause->setValue(s.pauseDelayDots);
    ui.checks->setValue(s.recentChecks);
    ui.pass->setValue(s.passPercent);
    ui.newest->setValue(s.minNewestSent);
    ui.source->setCurrentIndex(std::max(ui.source->findData(static_cast<int>(s.source)), 0));
}

void TrainerCoursePage::ShowStanding() {
    if (!state_) {
        m_ui->standing->setPlainText(unavailable_);
        return;
    }
    QString text = FromUtf8(CourseProgressText(*state_, progress_, texts_));
    if (state_->HasPending())
        text += Text(Say::CoursePending).arg(TextNumber(state_->pendingTextNumber)) + QLatin1Char('\n');
    m_ui->standing->setPlainText(text);
}

void TrainerCoursePage::ShowStatus(const QString& text) {
    qlor::ShowStatus(m_ui->status, text);
}

void TrainerCoursePage::StartClick() {
    if (!state_ || session_)
        return;
    const LessonText text = NextLessonText(*state_);
    const MidiVoice voice = LessonVoice(context_.voice ? context_.voice() : MidiVoice{}, text);
    const std::vector<SegmentText> segments = {LessonSegment(text)};
    // A text that cannot be keyed is not handed out.
    if (const MidiResult built = BuildMorseMidi(context_.morse, segments, 0, voice); !built) {
        ShowStatus(Text(Say::CourseStartFailed).arg(FromUtf8(built.message)));
        return;
    }
    // The text counts as handed out once it is kept: its copy is checked against it.
    const CourseState issued = IssueLessonText(*state_, text);
    const HistoryStatus saved = context_.history->SaveCourse(issued);
    if (!saved.ok()) {
        HistoryFailed(Say::CourseNotKept, saved);
        return;
    }
    state_ = issued;
    ShowStanding();
    m_ui->copy->clear();
    m_ui->result->clear();

    SessionEvents events;
    events.segmentStarted = [this, lesson = text.lesson, number = text.textNumber](int) {
        ShowStatus(Text(Say::CourseStatusPlaying).arg(lesson).arg(TextNumber(number)));
    };
    events.ended = [this](SessionEnd end, const std::string& reason) {
        SoundEnded(end == SessionEnd::Failed, FromUtf8(reason));
    };
    Session& session = takeSession_(std::move(events));
    session_ = &session;
    const std::string error = session.Start(segments, 0, voice);
    if (!error.empty()) {
        session_ = nullptr;
        ShowStatus(Text(Say::CourseStartFailed).arg(FromUtf8(error)));
        return;
    }
    m_ui->start->setEnabled(false);
    m_ui->copy->setFocus();
}

void TrainerCoursePage::SoundEnded(bool failed, const QString& reason) {
    session_ = nullptr;
    m_ui->start->setEnabled(state_.has_value());
    ShowStatus(failed ? Text(Say::CourseStartFailed).arg(reason) : Text(Say::CourseStatusEnded));
}

void TrainerCoursePage::CheckClick() {
    if (!state_)
        return;
    if (session_)
        session_->Stop();
    Ui& ui = *m_ui;
    auto refuse = [this](const QString& text) {
        ShowStatus(text);
        AnnounceDescription(m_ui->result, text);
    };
    if (!state_->HasPending()) {
        refuse(Text(Say::CourseNothingPending));
        return;
    }
    std::vector<CheckRecord> checks;
    if (const HistoryStatus read = context_.history->LoadLessonChecks(state_->pendingLesson, checks); !read.ok()) {
        HistoryFailed(Say::CourseUnavailable, read);
        return;
    }
    const CourseCheckOutcome outcome =
        CheckLessonCopy(*state_, checks, Utf8ToCp1251(ui.copy->toPlainText().toStdString()),
                        static_cast<std::int64_t>(std::time(nullptr)));
    switch (outcome.verdict) {
    case CopyVerdict::Empty:
        refuse(Text(Say::CourseCopyEmpty));
        return;
    case CopyVerdict::NotThisText:
        refuse(Text(Say::CourseCopyOther)
                   .arg(TextNumber(state_->pendingTextNumber))
                   .arg(outcome.typedRight)
                   .arg(outcome.typed));
        return;
    case CopyVerdict::Checked:
        break;
    }
    CheckRecord record = outcome.record;
    if (context_.voiceName)
        record.voice = context_.voiceName();
    if (const HistoryStatus recorded = context_.history->RecordCourseCheck(record, outcome.lesson, outcome.after);
        !recorded.ok()) {
        // Nothing of the check was written: the text still waits for its copy.
        HistoryFailed(Say::CourseNotRecorded, recorded);
        return;
    }
    const CourseState before = *state_;
    const AlignmentCounts& c = outcome.alignment.counts;
    QString shown = FromUtf8(AlignedCopyText(outcome.alignment, kAlignedColumns)) + QLatin1Char('\n');
    shown += Text(Say::AlignedScoreFull).arg(c.Errors()).arg(c.substitutions).arg(c.omissions).arg(c.insertions) +
             QStringLiteral("\n\n");
    shown += FromUtf8(CourseProgressText(before, outcome.progress, texts_)) + QLatin1Char('\n');
    QString verdict;
    if (outcome.MovedOn(before))
        verdict = Text(Say::CoursePassed)
                      .arg(outcome.lesson)
                      .arg(outcome.after.lesson)
                      .arg(FromUtf8(Cp1251ToUtf8(std::string(1, KochLessonSymbols(outcome.after.lesson).back()))));
    else if (outcome.progress.due && outcome.progress.last)
        verdict = Text(Say::CourseComplete).arg(outcome.lesson);
    else
        verdict = Text(Say::CourseGoesOn).arg(outcome.lesson);
    ui.result->setPlainText(shown + verdict);
    ShowStatus(verdict);
    AnnounceDescription(ui.result, verdict);
    state_ = outcome.after;
    Reload();
}

void TrainerCoursePage::KeepClick() {
    if (!state_)
        return;
    const Ui& ui = *m_ui;
    CourseState state = *state_;
    state.lesson = ui.lesson->value();
    state.settings.charSpeedCpm = ui.speed->value();
    state.settings.pauseDelayDots = ui.pause->value();
    state.settings.recentChecks = ui.checks->value();
    state.settings.passPercent = ui.pass->value();
    state.settings.minNewestSent = ui.newest->value();
    state.settings.source = static_cast<TextSource>(ui.source->currentData().toInt());
    state.settings = ClampCourseSettings(state.settings);
    if (const HistoryStatus saved = context_.history->SaveCourse(state); !saved.ok()) {
        HistoryFailed(Say::CourseNotKept, saved);
        return;
    }
    Reload();
    ShowStatus(Text(Say::CourseKept));
}

bool TrainerCoursePage::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the copy box checks it (white space does not count, so the copy needs no lines).
    if (watched == m_ui->copy && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier) {
            CheckClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace qlor
