#include "shell/trainer_window.h"

#include "base/codepage.h"
#include "control/session.h"
#include "exercises/check_history.h"
#include "exercises/check_report.h"
#include "exercises/competition.h"
#include "exercises/hst_test.h"
#include "shell/accessibility.h"
#include "shell/qt_program_text.h"
#include "shell/session_ports.h"
#include "shell/trainer_callsign_page.h"
#include "shell/trainer_course_page.h"
#include "shell/trainer_recognition_page.h"
#include "shell/ui_dialogs.h"
#include "synthesis/settings_table.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <array>
#include <ctime>

namespace qlor {

struct TrainerWindow::Ui {
    QTabWidget* tabs = nullptr;
    QWidget* hstPage = nullptr;
    QLabel* typeLabel = nullptr;
    QComboBox* type = nullptr;
    QLabel* startLabel = nullptr;
    QSpinBox* start = nullptr;
    QLabel* stepsLabel = nullptr;
    QSpinBox* steps = nullptr;
    QLabel* numberLabel = nullptr;
    QSpinBox* number = nullptr;
    QPushButton* run = nullptr;
    QPushButton* stop = nullptr;
    QPushButton* judge = nullptr;
    QPushButton* save = nullptr;
    QProgressBar* progress = nullptr;
    QLabel* status = nullptr;
    std::array<QLabel*, kHstMaxSteps> copyLabels{};
    std::array<QPlainTextEdit*, kHstMaxSteps> copies{};
    QPlainTextEdit* sheet = nullptr;
    CallsignPage* callsign = nullptr;
    TrainerCoursePage* course = nullptr;
    TrainerRecognitionPage* recognition = nullptr;
};

// One test from its start to its sheet.
struct TrainerWindow::Test {
    HstTestParams params;
    HstTestPlan plan;
    int started = 0; // texts that have begun to play
    bool inPause = false;
    bool judged = false;
    std::vector<std::string> copies; // cp1251, as judged
    HstResult result;
    std::string sheet; // UTF-8, as shown
};

struct TrainerWindow::Engine {
    DeviceAudioPort* device = nullptr; // ownPort, when the sound device plays
    std::unique_ptr<AudioPort> ownPort;
    std::unique_ptr<Clock> ownClock;
    std::unique_ptr<Session> session;
    SessionEvents owner; // the events of the page that played last
};

TrainerWindow::TrainerWindow(TrainerContext context, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui>()), engine_(std::make_unique<Engine>()),
      context_(std::move(context)) {
    setObjectName(QStringLiteral("TrainerWindow"));
    InstallWindowAccessibility(); // the status line is read as a status bar
    BuildUi();
    ShowTexts();
    ApplySettings(TrainerSettings{});
    SetRunning(false);
}

TrainerWindow::~TrainerWindow() {
    // The session lets go of its port and clock before they go.
    engine_->session.reset();
}

std::string TrainerWindow::VoiceName() const {
    return context_.voiceName ? context_.voiceName() : std::string("auto");
}

QString TrainerWindow::Text(Say id) const {
    return QProgramText(id, texts_);
}

void TrainerWindow::BuildUi() {
    Ui& ui = *m_ui;
    auto* outer = new QVBoxLayout(this);
    ui.tabs = new QTabWidget(this);
    ui.tabs->setObjectName(QStringLiteral("TrainerTabs"));
    outer->addWidget(ui.tabs);

    ui.hstPage = new QWidget(ui.tabs);
    ui.hstPage->setObjectName(QStringLiteral("HstPage"));
    ui.tabs->addTab(ui.hstPage, QString());
    auto* page = new QVBoxLayout(ui.hstPage);

    auto* form = new QFormLayout;
    auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };
    ui.typeLabel = new QLabel(ui.hstPage);
    ui.type = new QComboBox(ui.hstPage);
    for (int type : kHstTextTypes)
        ui.type->addItem(QString(), type);
    ui.startLabel = new QLabel(ui.hstPage);
    ui.start = new QSpinBox(ui.hstPage);
    ui.start->setRange(RangeOf(Setting::HstStartSpeed).min, RangeOf(Setting::HstStartSpeed).max);
    ui.start->setSingleStep(kHstSpeedStepCpm);
    ui.start->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    ui.stepsLabel = new QLabel(ui.hstPage);
    ui.steps = new QSpinBox(ui.hstPage);
    ui.steps->setRange(RangeOf(Setting::HstSteps).min, RangeOf(Setting::HstSteps).max);
    ui.numberLabel = new QLabel(ui.hstPage);
    ui.number = new QSpinBox(ui.hstPage);
    ui.number->setRange(RangeOf(Setting::HstNumber).min, RangeOf(Setting::HstNumber).max);
    named(ui.typeLabel, "HstTypeLabel");
    named(ui.type, "HstType");
    named(ui.startLabel, "HstStartSpeedLabel");
    named(ui.start, "HstStartSpeed");
    named(ui.stepsLabel, "HstStepsLabel");
    named(ui.steps, "HstSteps");
    named(ui.numberLabel, "HstNumberLabel");
    named(ui.number, "HstNumber");
    for (auto [label, field] : {std::pair<QLabel*, QWidget*>{ui.typeLabel, ui.type},
                                {ui.startLabel, ui.start},
                                {ui.stepsLabel, ui.steps},
                                {ui.numberLabel, ui.number}})
        AddLabelledRow(form, label, field);
    page->addLayout(form);
    // The last text stays at most at the highest speed.
    connect(ui.start, &QSpinBox::valueChanged, this, [this](int start) {
        m_ui->steps->setMaximum(std::min(kHstMaxSteps, (kHstMaxSpeedCpm - start) / kHstSpeedStepCpm + 1));
        ShowCopyNames();
    });
    connect(ui.steps, &QSpinBox::valueChanged, this, [this](int steps) {
        if (!Playing())
            ShowCopyBoxes(steps);
    });

    auto* buttons = new QHBoxLayout;
    ui.run = new QPushButton(ui.hstPage);
    ui.stop = new QPushButton(ui.hstPage);
    ui.judge = new QPushButton(ui.hstPage);
    ui.save = new QPushButton(ui.hstPage);
    named(ui.run, "HstStart");
    named(ui.stop, "HstStop");
    named(ui.judge, "HstJudge");
    named(ui.save, "HstSave");
    for (QPushButton* b : {ui.run, ui.stop, ui.judge, ui.save})
        buttons->addWidget(b);
    buttons->addStretch();
    page->addLayout(buttons);

    ui.progress = new QProgressBar(ui.hstPage);
    named(ui.progress, "HstProgress");
    ui.progress->setRange(0, 100);
    ui.progress->setValue(0);
    page->addWidget(ui.progress);
    ui.status = new QLabel(ui.hstPage);
    named(ui.status, "HstStatus");
    ui.status->setWordWrap(true);
    MakeStatusLine(ui.status);
    page->addWidget(ui.status);

    auto* copiesArea = new QScrollArea(ui.hstPage);
    named(copiesArea, "HstCopies");
    copiesArea->setWidgetResizable(true);
    auto* copiesWidget = new QWidget(copiesArea);
    auto* grid = new QGridLayout(copiesWidget);
    for (int i = 0; i < kHstMaxSteps; ++i) {
        auto* label = new QLabel(copiesWidget);
        auto* copy = new QPlainTextEdit(copiesWidget);
        label->setObjectName(QStringLiteral("HstCopyLabel%1").arg(i + 1));
        copy->setObjectName(QStringLiteral("HstCopy%1").arg(i + 1));
        copy->setTabChangesFocus(true);
        copy->setMinimumHeight(fontMetrics().lineSpacing() * 3);
        copy->installEventFilter(this);
        label->setBuddy(copy);
        grid->addWidget(label, i, 0, Qt::AlignTop);
        grid->addWidget(copy, i, 1);
        ui.copyLabels[static_cast<std::size_t>(i)] = label;
        ui.copies[static_cast<std::size_t>(i)] = copy;
    }
    copiesArea->setWidget(copiesWidget);
    page->addWidget(copiesArea, 2);

    ui.sheet = new QPlainTextEdit(ui.hstPage);
    named(ui.sheet, "HstSheet");
    ui.sheet->setReadOnly(true);
    ui.sheet->setTabChangesFocus(true);
    page->addWidget(ui.sheet, 2);

    connect(ui.run, &QPushButton::clicked, this, &TrainerWindow::HstStartClick);
    connect(ui.stop, &QPushButton::clicked, this, &TrainerWindow::HstStopClick);
    connect(ui.judge, &QPushButton::clicked, this, &TrainerWindow::HstJudgeClick);
    connect(ui.save, &QPushButton::clicked, this, &TrainerWindow::HstSaveClick);
    // Shortcuts of their own: a button's text with a mnemonic would replace a shortcut set on it.
    // The page's keys are its page's, so that the other pages may use the same keys.
    auto shortcut = [this](QKeySequence keys, const char* name, auto slot, QWidget* owner = nullptr) {
        auto* s = new QShortcut(keys, owner ? owner : m_ui->hstPage, slot);
        s->setObjectName(QLatin1String(name));
        s->setContext(Qt::WindowShortcut);
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_R), "HstStartKey", [this] { HstStartClick(); });
    shortcut(
        QKeySequence(Qt::Key_Escape), "HstStopKey", [this] { StopSound(); }, this);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), "HstJudgeKey", [this] { HstJudgeClick(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Enter), "HstJudgeKeypadKey", [this] { HstJudgeClick(); });
    shortcut(QKeySequence::Save, "HstSaveKey", [this] { HstSaveClick(); });
    shortcut(
        QKeySequence(Qt::CTRL | Qt::Key_W), "TrainerCloseKey", [this] { close(); }, this);
    auto take = [this](SessionEvents events) -> Session& { return TakeSession(std::move(events)); };
    ui.course = new TrainerCoursePage(context_, take, ui.tabs);
    ui.tabs->addTab(ui.course, QString());
    ui.recognition = new TrainerRecognitionPage(context_, take, ui.tabs);
    ui.tabs->addTab(ui.recognition, QString());
    ui.callsign = new CallsignPage({take, context_.voice, context_.dialogs, context_.history}, ui.tabs);
    ui.tabs->addTab(ui.callsign, QString());
    shortcut(
        QKeySequence(Qt::CTRL | Qt::Key_R), "CallStartKey", [this] { m_ui->callsign->StartClick(); }, ui.callsign);
    (new EnterPressesButtons(this))->InstallOn(this);
    resize(560, 640);
}

void TrainerWindow::SetTexts(const ProgramTextTable& texts) {
    texts_ = texts;
    ShowTexts();
}

void TrainerWindow::ShowTexts() {
    Ui& ui = *m_ui;
    setWindowTitle(Text(Say::TrainerTitle));
    ui.tabs->setTabText(0, Text(Say::HstPage));
    ui.tabs->setTabText(1, Text(Say::CoursePage));
    ui.tabs->setTabText(2, Text(Say::RecognitionPage));
    ui.course->SetTexts(texts_);
    ui.recognition->SetTexts(texts_);
    ui.tabs->setTabText(ui.tabs->indexOf(ui.callsign), Text(Say::CallPage));
    ui.callsign->SetTexts(texts_);
    ui.typeLabel->setText(Text(Say::HstTextType));
    const std::array<Say, 3> typeNames = {Say::HstLetters, Say::HstFigures, Say::HstMixed};
    for (int i = 0; i < ui.type->count(); ++i)
        ui.type->setItemText(i, Text(typeNames[static_cast<std::size_t>(i)]));
    ui.startLabel->setText(Text(Say::HstStartSpeed));
    ui.stepsLabel->setText(Text(Say::HstSteps));
    ui.numberLabel->setText(Text(Say::HstNumber));
    ui.run->setText(Text(Say::HstStart));
    ui.stop->setText(Text(Say::HstStop));
    ui.judge->setText(Text(Say::HstJudge));
    ui.save->setText(Text(Say::HstSave));
    ui.progress->setAccessibleName(Text(Say::HstProgressName));
    SetStatusSubject(ui.status, Text(Say::HstStatusName));
    ui.sheet->setAccessibleName(Text(Say::HstSheetName));
    ShowCopyNames();
    if (ui.status->text().isEmpty())
        ui.status->setText(Text(Say::HstStatusIdle));
    if (test_ && test_->judged) {
        test_->sheet = HstSheetText(test_->params, test_->plan, test_->copies, test_->result,
                                    context_.dateTime ? context_.dateTime().toStdString() : std::string(), texts_);
        ui.sheet->setPlainText(QString::fromStdString(test_->sheet));
    }
}

void TrainerWindow::ShowCopyNames() {
    // The boxes of a running or judged test keep the speeds of that test.
    const int start = test_ ? test_->params.startSpeedCpm : m_ui->start->value();
    for (int i = 0; i < kHstMaxSteps; ++i) {
        const QString name = Text(Say::HstCopyName).arg(start + kHstSpeedStepCpm * i);
        m_ui->copyLabels[static_cast<std::size_t>(i)]->setText(name + QLatin1Char(':'));
        m_ui->copies[static_cast<std::size_t>(i)]->setAccessibleName(name);
    }
}

void TrainerWindow::ApplySettings(const TrainerSettings& settings) {
    const TrainerSettings s = ClampTrainerSettings(settings);
    Ui& ui = *m_ui;
    ui.type->setCurrentIndex(std::max(ui.type->findData(s.hstTextType), 0));
    ui.start->setValue(s.hstStartSpeedCpm);
    ui.steps->setValue(s.hstSteps);
    ui.number->setValue(s.hstNumber);
    ui.callsign->ApplySettings(s);
    if (!Playing())
        ShowCopyBoxes(s.hstSteps);
}

TrainerSettings TrainerWindow::CollectSettings() const {
    TrainerSettings s;
    s.hstTextType = m_ui->type->currentData().toInt();
    s.hstStartSpeedCpm = m_ui->start->value();
    s.hstSteps = m_ui->steps->value();
    s.hstNumber = m_ui->number->value();
    m_ui->callsign->CollectSettings(s);
    return ClampTrainerSettings(s);
}

bool TrainerWindow::Playing() const {
    return engine_->session && engine_->session->Running();
}

Session& TrainerWindow::SessionNow() {
    Engine& e = *engine_;
    if (!e.session) {
        AudioPort* port = context_.port;
        Clock* clock = context_.clock;
        if (!port) {
            auto device = std::make_unique<DeviceAudioPort>(VoiceKind::Automatic);
            e.device = device.get();
            e.ownPort = std::move(device);
            port = e.ownPort.get();
        }
        if (!clock) {
            e.ownClock = std::make_unique<QtClock>();
            clock = e.ownClock.get();
        }
        e.session = std::make_unique<Session>(*port, *clock, context_.morse);
        // The events go to the page that played last; each is copied before the call, as the
        // page may hand the session to another page from within it.
        SessionEvents events;
        events.segmentStarted = [this](int segment) {
            if (auto f = engine_->owner.segmentStarted)
                f(segment);
        };
        events.progress = [this](const SessionProgress& p) {
            if (auto f = engine_->owner.progress)
                f(p);
        };
        events.ended = [this](SessionEnd end, const std::string& reason) {
            if (auto f = engine_->owner.ended)
                f(end, reason);
        };
        events.noiseFailed = [this](const std::string& reason) {
            if (auto f = engine_->owner.noiseFailed)
                f(reason);
        };
        e.session->SetEvents(std::move(events));
    }
    return *e.session;
}

Session& TrainerWindow::TakeSession(SessionEvents events) {
    Session& session = SessionNow();
    if (session.Running())
        session.Stop();
    engine_->owner = std::move(events);
    if (engine_->device) {
        // The voice chosen in the main window now.
        VoiceKind kind = VoiceKind::Automatic;
        ParseVoiceName(VoiceName(), kind);
        engine_->device->SetVoice(kind);
    }
    return session;
}

SessionEvents TrainerWindow::HstEvents() {
    SessionEvents events;
    events.segmentStarted = [this](int segment) { SegmentStarted(segment); };
    events.progress = [this](const SessionProgress& p) {
        m_ui->progress->setValue(p.Percent());
        if (test_ && p.inPause != test_->inPause && p.segment >= 0) {
            test_->inPause = p.inPause;
            if (p.inPause)
                ShowStatus(Text(Say::HstStatusPause).arg(p.segment + 1).arg(p.segmentCount));
        }
    };
    events.ended = [this](SessionEnd end, const std::string& reason) {
        TestEnded(end == SessionEnd::Failed, QString::fromStdString(reason));
        if (end == SessionEnd::Stopped)
            ShowStatus(Text(Say::HstStatusStopped));
    };
    return events;
}

void TrainerWindow::ShowCopyBoxes(int count) {
    for (int i = 0; i < kHstMaxSteps; ++i) {
        const bool shown = i < count;
        m_ui->copyLabels[static_cast<std::size_t>(i)]->setVisible(shown);
        m_ui->copies[static_cast<std::size_t>(i)]->setVisible(shown);
    }
}

void TrainerWindow::SetRunning(bool running) {
    Ui& ui = *m_ui;
    for (QWidget* w : std::initializer_list<QWidget*>{ui.type, ui.start, ui.steps, ui.number, ui.run})
        w->setEnabled(!running);
    ui.stop->setEnabled(running);
    ui.judge->setEnabled(test_ && test_->started > 0);
    ui.save->setEnabled(test_ && test_->judged);
}

void TrainerWindow::ShowStatus(const QString& text) {
    qlor::ShowStatus(m_ui->status, text);
}

void TrainerWindow::HstStartClick() {
    if (Playing())
        return;
    m_ui->callsign->StopClick(); // one exercise at a time
    Ui& ui = *m_ui;
    auto test = std::make_unique<Test>();
    const TrainerSettings s = CollectSettings();
    test->params = HstTestParams{s.hstTextType, s.hstStartSpeedCpm, s.hstSteps, s.hstNumber};
    test->plan = PlanHstTest(test->params);
    test_ = std::move(test);
    ShowCopyNames();
    ShowCopyBoxes(s.hstSteps);
    for (QPlainTextEdit* copy : ui.copies) {
        copy->clear();
        copy->setEnabled(false);
    }
    ui.sheet->clear();
    ui.progress->setValue(0);
    const MidiVoice voice = context_.voice ? context_.voice() : MidiVoice{};
    Session& session = TakeSession(HstEvents());
    const std::string error = session.Start(test_->plan.segments, kCompetitionPauseSeconds, voice);
    if (!error.empty()) {
        test_.reset();
        SetRunning(false);
        const QString text = Text(Say::HstStartFailed).arg(QString::fromStdString(error));
        ShowStatus(text);
        if (context_.dialogs)
            context_.dialogs->ShowError(this, text);
        return;
    }
    SetRunning(true);
}

void TrainerWindow::SegmentStarted(int segment) {
    if (!test_)
        return;
    test_->started = segment + 1;
    test_->inPause = false;
    QPlainTextEdit* copy = m_ui->copies[static_cast<std::size_t>(segment)];
    copy->setEnabled(true);
    copy->setFocus();
    const int speed = test_->plan.sent[static_cast<std::size_t>(segment)].speedCpm;
    ShowStatus(Text(Say::HstStatusPlaying).arg(segment + 1).arg(test_->plan.segments.size()).arg(speed));
    SetRunning(true);
}

void TrainerWindow::TestEnded(bool failed, const QString& reason) {
    SetRunning(false);
    if (failed) {
        const QString text = Text(Say::HstStartFailed).arg(reason);
        ShowStatus(text);
        if (context_.dialogs)
            context_.dialogs->ShowError(this, text);
        return;
    }
    ShowStatus(Text(Say::HstStatusEnded));
}

void TrainerWindow::HstStopClick() {
    if (Playing())
        engine_->session->Stop();
}

void TrainerWindow::HstJudgeClick() {
    if (!test_ || test_->started == 0)
        return;
    HstStopClick();
    Test& t = *test_;
    // Only the texts that were sent are judged; a test stopped early is judged as far as it went.
    const std::vector<HstSentText> sent(t.plan.sent.begin(), t.plan.sent.begin() + t.started);
    t.copies.clear();
    for (int i = 0; i < t.started; ++i)
        t.copies.push_back(Utf8ToCp1251(m_ui->copies[static_cast<std::size_t>(i)]->toPlainText().toStdString()));
    t.result = JudgeHstTest(sent, t.copies);
    t.judged = true;
    HstTestPlan shown = t.plan;
    shown.sent.resize(static_cast<std::size_t>(t.started));
    t.sheet = HstSheetText(t.params, shown, t.copies, t.result,
                           context_.dateTime ? context_.dateTime().toStdString() : std::string(), texts_);
    m_ui->sheet->setPlainText(QString::fromStdString(t.sheet));
    const QString verdict = t.result.bestSpeedCpm ? Text(Say::HstResultBest).arg(*t.result.bestSpeedCpm)
                                                  : Text(Say::HstResultNone).arg(kHstMaxValidErrors);
    ShowStatus(verdict);
    AnnounceDescription(m_ui->sheet, verdict);
    RecordJudgedTexts();
    SetRunning(false);
}

void TrainerWindow::RecordJudgedTexts() {
    if (!context_.history || !test_)
        return;
    const Test& t = *test_;
    const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
    const MidiVoice voice = context_.voice ? context_.voice() : MidiVoice{};
    for (std::size_t i = 0; i < t.result.texts.size(); ++i) {
        const HstTextResult& judged = t.result.texts[i];
        // The judge's count stands where the check list's positional count stands for a check.
        CheckRecord record = MakeCheckRecord(now, t.plan.sent[i].text, t.copies[i], judged.errors, false, 5);
        record.textNumber = t.params.number;
        record.textType = t.params.textType;
        record.speedDigits = std::to_string(judged.speedCpm / 100 % 10) + std::to_string(judged.speedCpm / 10 % 10) +
                             std::to_string(judged.speedCpm % 10);
        record.speedCpm = judged.speedCpm;
        record.groups = t.plan.segments[i].speedCpm / 5;
        record.groupSize = 5;
        record.pauseDelayDots = voice.pauseDelayDots;
        record.voice = VoiceName();
        const HistoryStatus status = context_.history->Record(std::move(record));
        if (!status.ok() && status.firstTime && context_.dialogs) {
            context_.dialogs->ShowError(
                this, QString::fromStdString(HistoryProblemText(status, context_.history->Path(), texts_)));
            break;
        }
    }
}

void TrainerWindow::HstSaveClick() {
    if (!test_ || !test_->judged || !context_.dialogs)
        return;
    FileDialogSpec request;
    request.filter = Text(Say::TextSaveFilter);
    request.defaultExt = QStringLiteral("txt");
    request.fileName = Text(Say::HstSheetFileName);
    request.overwritePrompt = true;
    request.folderMissing = Text(Say::FolderMissing);
    const auto path = context_.dialogs->SaveFile(this, request);
    if (!path)
        return;
    // The program's text files are Windows-1251, written under a temporary name and renamed into
    // place, so a failed write leaves any file of that name as it was.
    const std::string error = WriteFileAtomically(QFile::encodeName(*path).toStdString(), Utf8ToCp1251(test_->sheet));
    if (!error.empty()) {
        context_.dialogs->ShowError(
            this, Text(Say::CannotWriteFile).arg(QDir::toNativeSeparators(*path), QString::fromStdString(error)));
        return;
    }
    ShowStatus(Text(Say::HstSaved).arg(QDir::toNativeSeparators(*path)));
}

void TrainerWindow::StopSound() {
    HstStopClick();
    m_ui->callsign->StopClick();
}

void TrainerWindow::closeEvent(QCloseEvent* event) {
    StopSound();
    QWidget::closeEvent(event);
}

bool TrainerWindow::eventFilter(QObject* watched, QEvent* event) {
    // Enter in a copy box judges once the test no longer plays; while it plays the copy stays on
    // one line (white space does not count).
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier &&
            qobject_cast<QPlainTextEdit*>(watched)) {
            if (!Playing())
                HstJudgeClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace qlor
