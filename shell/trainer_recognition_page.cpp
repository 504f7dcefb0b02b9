#include "shell/trainer_recognition_page.h"

#include "audio/audio_engine.h"
#include "audio/sequencer.h"
#include "audio/smf_reader.h"
#include "base/codepage.h"
#include "control/session.h"
#include "exercises/check_history.h"
#include "exercises/check_report.h"
#include "exercises/koch_drill.h"
#include "shell/accessibility.h"
#include "shell/qt_program_text.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <ctime>

namespace qlor {
namespace {

constexpr int kDefaultCount = 50; // characters in a session
constexpr int kMaxCount = 10000;

// The modes in the order the list shows them.
constexpr RecognitionMode kModes[] = {RecognitionMode::Characters, RecognitionMode::Words, RecognitionMode::Callsigns};
constexpr Say kModeNames[] = {Say::RecognitionModeCharacters, Say::SourceWords, Say::SourceCallsigns};

QString FromCp1251(const std::string& text) {
    return QString::fromStdString(Cp1251ToUtf8(text));
}

} // namespace

std::int64_t KeyedEndMs(const ByteVector& midi) {
    const SmfResult smf = ParseSmf(midi);
    if (!smf.ok())
        return 0;
    const TimelineResult scheduled = ScheduleSong(smf.song, kOutputRate);
    if (!scheduled.ok())
        return 0;
    return static_cast<std::int64_t>(FramesToMs(LastNoteOffFrame(scheduled.timeline), kOutputRate));
}

struct TrainerRecognitionPage::Ui {
    QLabel* modeLabel = nullptr;
    QComboBox* mode = nullptr;
    QLabel* setLabel = nullptr;
    QLineEdit* set = nullptr;
    QLabel* countLabel = nullptr;
    QSpinBox* count = nullptr;
    QLabel* speedLabel = nullptr;
    QSpinBox* speed = nullptr;
    QPushButton* start = nullptr;
    QPushButton* stop = nullptr;
    QLabel* status = nullptr;
    QLabel* answer = nullptr;
    QPlainTextEdit* summary = nullptr;
};

TrainerRecognitionPage::TrainerRecognitionPage(TrainerContext context, TakeSession takeSession, QWidget* parent)
    : QWidget(parent), m_ui(std::make_unique<Ui>()), context_(std::move(context)),
      takeSession_(std::move(takeSession)) {
    setObjectName(QStringLiteral("RecognitionPage"));
    BuildUi();
    ShowTexts();
    SetRunning(false);
}

TrainerRecognitionPage::~TrainerRecognitionPage() = default;

QString TrainerRecognitionPage::Text(Say id) const {
    return QProgramText(id, texts_);
}

void TrainerRecognitionPage::BuildUi() {
    Ui& ui = *m_ui;
    auto* page = new QVBoxLayout(this);
    auto named = [](auto* w, const char* name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };
    auto* form = new QFormLayout;
    ui.modeLabel = named(new QLabel(this), "RecognitionModeLabel");
    ui.mode = named(new QComboBox(this), "RecognitionMode");
    for (const RecognitionMode mode : kModes)
        ui.mode->addItem(QString(), static_cast<int>(mode));
    ui.setLabel = named(new QLabel(this), "RecognitionSetLabel");
    ui.set = named(new QLineEdit(this), "RecognitionSet");
    ui.countLabel = named(new QLabel(this), "RecognitionCountLabel");
    ui.count = named(new QSpinBox(this), "RecognitionCount");
    ui.count->setRange(1, kMaxCount);
    ui.count->setValue(kDefaultCount);
    ui.speedLabel = named(new QLabel(this), "RecognitionSpeedLabel");
    ui.speed = named(new QSpinBox(this), "RecognitionSpeed");
    ui.speed->setRange(kCourseMinCpm, kCourseMaxCpm);
    ui.speed->setValue(kCourseDefaultCpm);
    for (auto [label, field] : {std::pair<QLabel*, QWidget*>{ui.modeLabel, ui.mode},
                                {ui.setLabel, ui.set},
                                {ui.countLabel, ui.count},
                                {ui.speedLabel, ui.speed}})
        AddLabelledRow(form, label, field);
    page->addLayout(form);

    auto* buttons = new QHBoxLayout;
    ui.start = named(new QPushButton(this), "RecognitionStart");
    ui.stop = named(new QPushButton(this), "RecognitionStop");
    buttons->addWidget(ui.start);
    buttons->addWidget(ui.stop);
    buttons->addStretch();
    page->addLayout(buttons);

    ui.status = named(new QLabel(this), "RecognitionStatus");
    ui.status->setWordWrap(true);
    MakeStatusLine(ui.status);
    page->addWidget(ui.status);

    // The answers are typed here: it holds the focus while a session runs and shows each verdict.
    ui.answer = named(new QLabel(this), "RecognitionAnswer");
    ui.answer->setFocusPolicy(Qt::StrongFocus);
    ui.answer->setFrameShape(QFrame::StyledPanel);
    ui.answer->setAlignment(Qt::AlignCenter);
    QFont big = ui.answer->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    ui.answer->setFont(big);
    ui.answer->setMinimumHeight(ui.answer->fontMetrics().lineSpacing() * 2);
    ui.answer->installEventFilter(this);
    page->addWidget(ui.answer);

    ui.summary = named(new QPlainTextEdit(this), "RecognitionSummary");
    ui.summary->setReadOnly(true);
    ui.summary->setTabChangesFocus(true);
    page->addWidget(ui.summary, 1);

    connect(ui.start, &QPushButton::clicked, this, &TrainerRecognitionPage::StartClick);
    connect(ui.stop, &QPushButton::clicked, this, &TrainerRecognitionPage::StopClick);
    // The labels and the idle hint speak of words or of characters, as the chosen mode has it.
    connect(ui.mode, &QComboBox::currentIndexChanged, this, [this] {
        if (!Running())
            ShowTexts();
    });
    // Ctrl+R of this page works while it is the page shown; Escape is the window's and stops the
    // sound, which ends the session.
    auto* start = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this, [this] { StartClick(); });
    start->setObjectName(QStringLiteral("RecognitionStartKey"));
    start->setContext(Qt::WindowShortcut);
}

void TrainerRecognitionPage::SetTexts(const ProgramTextTable& texts) {
    texts_ = texts;
    ShowTexts();
}

void TrainerRecognitionPage::ShowTexts() {
    Ui& ui = *m_ui;
    ui.modeLabel->setText(Text(Say::RecognitionModeLabel));
    ui.mode->setAccessibleName(Text(Say::RecognitionModeLabel).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    for (int i = 0; i < ui.mode->count(); ++i)
        ui.mode->setItemText(i, Text(kModeNames[i]));
    ui.setLabel->setText(Text(Say::RecognitionSetLabel));
    const bool words = Running() ? Words() : WordsChosen();
    ui.countLabel->setText(Text(words ? Say::RecognitionWordCountLabel : Say::RecognitionCountLabel));
    ui.speedLabel->setText(Text(Say::RecognitionSpeedLabel));
    ui.start->setText(Text(Say::RecognitionStart));
    ui.stop->setText(Text(Say::RecognitionStop));
    ui.answer->setAccessibleName(Text(words ? Say::RecognitionWordAnswerName : Say::RecognitionAnswerName));
    ui.summary->setAccessibleName(Text(Say::RecognitionSummaryName));
    SetStatusSubject(ui.status, Text(Say::RecognitionStatusName));
    // The idle hint follows the mode and the language; any other status line stays.
    const QString idle = Text(words ? Say::RecognitionWordStatusIdle : Say::RecognitionStatusIdle);
    const QString status = ui.status->text();
    if (status.isEmpty() || status == idleShown_)
        ui.status->setText(idle);
    idleShown_ = idle;
    ShowLessonSet();
}

bool TrainerRecognitionPage::WordsChosen() const {
    return static_cast<RecognitionMode>(m_ui->mode->currentData().toInt()) != RecognitionMode::Characters;
}

void TrainerRecognitionPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (Running())
        return;
    // The set by default: the characters of the course's lesson (the first lesson's without a
    // course to read).
    CourseState course;
    if (context_.history) {
        const HistoryStatus status = context_.history->LoadCourse(course);
        if (!status.ok())
            ShowStatus(QString::fromStdString(HistoryProblemText(status, context_.history->Path(), texts_)));
        else if (!speedTaken_)
            m_ui->speed->setValue(course.settings.charSpeedCpm); // the course's speed, until changed here
        speedTaken_ = speedTaken_ || status.ok();
    }
    lessonSet_ = KochLessonSymbols(course.lesson);
    ShowLessonSet();
}

void TrainerRecognitionPage::ShowLessonSet() {
    if (lessonSet_.empty())
        lessonSet_ = KochLessonSymbols(kKochFirstLesson);
    const QString text = Text(Say::RecognitionDefaultSet).arg(QString::fromStdString(Cp1251ToUtf8(lessonSet_)));
    m_ui->set->setPlaceholderText(text);
    m_ui->set->setAccessibleDescription(text);
}

void TrainerRecognitionPage::SetRunning(bool running) {
    Ui& ui = *m_ui;
    for (QWidget* w : std::initializer_list<QWidget*>{ui.mode, ui.set, ui.count, ui.speed, ui.start})
        w->setEnabled(!running);
    ui.stop->setEnabled(running);
}

void TrainerRecognitionPage::ShowStatus(const QString& text) {
    qlor::ShowStatus(m_ui->status, text);
}

void TrainerRecognitionPage::StartClick() {
    if (Running())
        return;
    Ui& ui = *m_ui;
    const std::string typed = Utf8ToCp1251(ui.set->text().toStdString());
    const std::string set = typed.find_first_not_of(" \t") == std::string::npos ? lessonSet_ : typed;
    session_ = RecognitionSession{};
    session_.timeUtc = static_cast<std::int64_t>(std::time(nullptr));
    session_.seed = static_cast<std::uint64_t>(session_.timeUtc);
    session_.charSpeedCpm = ui.speed->value();
    session_.mode = static_cast<RecognitionMode>(ui.mode->currentData().toInt());
    session_.characters = RecognitionSet(set);
    if (Words())
        picker_.emplace(RecognitionWords(session_.mode, set, session_.seed), session_.seed);
    else
        picker_.emplace(set, session_.seed);
    if (picker_->Items().empty()) {
        picker_.reset();
        ShowStatus(Text(Words() ? Say::RecognitionNoWords : Say::RecognitionNoCharacters));
        return;
    }
    count_ = ui.count->value();
    ui.summary->clear();
    ui.answer->clear();
    ui.answer->setAccessibleName(Text(Words() ? Say::RecognitionWordAnswerName : Say::RecognitionAnswerName));
    SetRunning(true);
    ui.answer->setFocus();
    NextCharacter();
}

void TrainerRecognitionPage::NextCharacter(const QString& verdict) {
    if (static_cast<int>(session_.answers.size()) >= count_) {
        Finish();
        return;
    }
    shown_ = picker_->NextItem();
    typed_.clear();
    if (const std::string error = PlayShown(Phase::Awaiting); !error.empty()) {
        Finish(Text(Say::RecognitionStartFailed).arg(QString::fromStdString(error)));
        return;
    }
    // The verdict of the last answer stays in front, so that it is heard whole.
    const QString listening = Text(Words() ? Say::RecognitionWordListening : Say::RecognitionListening)
                                  .arg(session_.answers.size() + 1)
                                  .arg(count_);
    ShowStatus(verdict.isEmpty() ? listening : verdict + QStringLiteral("  ") + listening);
}

std::string TrainerRecognitionPage::PlayShown(Phase phase) {
    SegmentText segment;
    segment.body = shown_;
    segment.speedCpm = session_.charSpeedCpm;
    const MidiVoice voice = context_.voice ? context_.voice() : MidiVoice{};
    const int answerSeconds = Words() ? kRecognitionWordAnswerSeconds : kRecognitionAnswerSeconds;
    const int silenceSeconds = phase == Phase::Awaiting ? answerSeconds : kRecognitionReplaySeconds;
    if (phase == Phase::Awaiting) {
        // The session builds the same bytes; the character's end is read from them.
        const MidiResult midi = BuildMorseMidi(context_.morse, {segment}, silenceSeconds, voice);
        if (!midi)
            return midi.message;
        keyedEndMs_ = KeyedEndMs(midi.bytes);
    }
    SessionEvents events;
    events.ended = [this](SessionEnd end, const std::string& reason) { SoundEnded(end, reason); };
    // Taking the session stops what this page played before: that end is not the learner's.
    switching_ = true;
    Session& sound = takeSession_(std::move(events));
    const std::string error = sound.Start({segment}, silenceSeconds, voice);
    switching_ = false;
    sound_ = error.empty() ? &sound : nullptr;
    phase_ = phase;
    return error;
}

bool TrainerRecognitionPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui->answer && event->type() == QEvent::KeyPress && phase_ == Phase::Awaiting) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers commands = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
        const std::string typed = Utf8ToCp1251(key->text().toStdString());
        const bool printable =
            (key->modifiers() & commands) == 0 && typed.size() == 1 && static_cast<unsigned char>(typed[0]) > ' ';
        if (Words()) {
            // The word is typed into the answer box and answered with Enter.
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && (key->modifiers() & commands) == 0) {
                AnswerWord(typed_, true);
                return true;
            }
            if (key->key() == Qt::Key_Backspace || printable) {
                if (printable)
                    typed_ += UpperCase1251(typed);
                else if (!typed_.empty())
                    typed_.pop_back();
                m_ui->answer->setText(FromCp1251(typed_));
                return true;
            }
        } else if (printable) {
            // A printable key answers; keys with Ctrl or Alt, Tab and the like keep their work.
            Answer(static_cast<unsigned char>(UpperCase1251(typed)[0]));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TrainerRecognitionPage::Answer(unsigned char typed) {
    RecognitionAnswer answer;
    answer.shown = static_cast<unsigned char>(shown_[0]);
    answer.typed = typed;
    if (typed != 0 && sound_) {
        // Where playback is now, against where the character's last element ended; a key before
        // that end counts as an instant answer.
        const std::int64_t positionMs = sound_->Progress().positionMs;
        answer.reactionMs = static_cast<int>(std::max<std::int64_t>(positionMs - keyedEndMs_, 0));
    }
    ShowVerdict(answer);
}

void TrainerRecognitionPage::AnswerWord(const std::string& typed, bool entered) {
    RecognitionAnswer answer;
    answer.word = shown_;
    answer.typedWord = typed;
    if (entered && sound_) {
        // Enter's position against the end of the word's last element, as for a character.
        const std::int64_t positionMs = sound_->Progress().positionMs;
        answer.reactionMs = static_cast<int>(std::max<std::int64_t>(positionMs - keyedEndMs_, 0));
    }
    ShowVerdict(answer);
}

void TrainerRecognitionPage::ShowVerdict(const RecognitionAnswer& answer) {
    picker_->Answer(answer);
    session_.answers.push_back(answer);
    QString verdict;
    if (answer.Correct()) {
        verdict = Text(Say::RecognitionRight).arg(FromCp1251(shown_)).arg(answer.reactionMs);
    } else {
        const std::string typed = answer.IsWord() ? answer.typedWord
                                  : answer.typed  ? std::string(1, static_cast<char>(answer.typed))
                                                  : std::string();
        verdict = Text(Say::RecognitionWrong)
                      .arg(FromCp1251(shown_))
                      .arg(typed.empty() ? QStringLiteral("-") : FromCp1251(typed));
    }
    m_ui->answer->setText(verdict);
    AnnounceDescription(m_ui->answer, verdict);
    if (answer.Correct()) {
        NextCharacter(verdict);
        return;
    }
    ShowStatus(verdict);
    // The character or word once more, to hear it as it is; the next one follows its end.
    if (const std::string error = PlayShown(Phase::Replaying); !error.empty())
        Finish(Text(Say::RecognitionStartFailed).arg(QString::fromStdString(error)));
}

void TrainerRecognitionPage::SoundEnded(SessionEnd end, const std::string& reason) {
    if (switching_ || phase_ == Phase::Idle)
        return;
    sound_ = nullptr;
    switch (end) {
    case SessionEnd::Finished:
        if (phase_ == Phase::Awaiting && Words())
            AnswerWord(typed_, false); // no Enter within the answer time
        else if (phase_ == Phase::Awaiting)
            Answer(0); // no key within the answer time
        else
            NextCharacter();
        return;
    case SessionEnd::Stopped:
        Finish();
        return;
    case SessionEnd::Failed:
        Finish(Text(Say::RecognitionStartFailed).arg(QString::fromStdString(reason)));
        return;
    }
}

void TrainerRecognitionPage::StopClick() {
    if (!Running())
        return;
    if (sound_ && sound_->Running())
        sound_->Stop(); // ends the session through SoundEnded
    else
        Finish();
}

void TrainerRecognitionPage::Finish(const QString& failure) {
    phase_ = Phase::Idle;
    if (sound_ && sound_->Running()) {
        switching_ = true;
        sound_->Stop();
        switching_ = false;
    }
    sound_ = nullptr;
    SetRunning(false);
    QString status = failure.isEmpty() ? Text(Say::RecognitionEnded) : failure;
    if (!session_.answers.empty()) {
        const RecognitionSummary summary = SummariseRecognition(session_.answers);
        const QString total = Text(Say::RecognitionSummary)
                                  .arg(summary.correct)
                                  .arg(summary.shown)
                                  .arg(summary.shown > 0 ? summary.correct * 100 / summary.shown : 0)
                                  .arg(summary.medianReactionMs);
        QString text = total + QLatin1Char('\n');
        for (const RecognitionCharSummary& row : summary.chars)
            text += Text(Say::RecognitionCharacter)
                        .arg(FromCp1251(row.item))
                        .arg(row.correct)
                        .arg(row.shown)
                        .arg(row.medianReactionMs) +
                    QLatin1Char('\n');
        if (context_.history) {
            const HistoryStatus recorded = context_.history->RecordRecognition(session_);
            if (!recorded.ok())
                text +=
                    Text(Say::RecognitionNotRecorded)
                        .arg(QString::fromStdString(HistoryProblemText(recorded, context_.history->Path(), texts_))) +
                    QLatin1Char('\n');
        }
        m_ui->summary->setPlainText(text);
        status += QLatin1Char(' ') + total;
        AnnounceDescription(m_ui->summary, total);
    }
    ShowStatus(status);
    m_ui->start->setFocus();
}

} // namespace qlor
