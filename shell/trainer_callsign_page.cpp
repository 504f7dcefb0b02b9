#include "shell/trainer_callsign_page.h"

#include "base/codepage.h"
#include "exercises/check_history.h"
#include "exercises/check_report.h"
#include "shell/accessibility.h"
#include "shell/qt_program_text.h"
#include "shell/ui_dialogs.h"

#include <QDateTime>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <ctime>
#include <tuple>

namespace qlor {

CallsignPage::CallsignPage(CallsignPageContext context, QWidget* parent)
    : QWidget(parent), context_(std::move(context)) {
    setObjectName(QStringLiteral("CallPage"));
    auto* page = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    speedLabel_ = new QLabel(this);
    speed_ = new QSpinBox(this);
    speed_->setRange(kCallsignRunMinSpeedCpm, kCallsignRunMaxSpeedCpm);
    speed_->setSingleStep(kCallsignRunStepUpCpm);
    numberLabel_ = new QLabel(this);
    number_ = new QSpinBox(this);
    number_->setRange(0, 9999);
    for (auto [label, field, name] : {std::tuple<QLabel*, QWidget*, const char*>{speedLabel_, speed_, "CallSpeed"},
                                      {numberLabel_, number_, "CallNumber"}}) {
        field->setObjectName(QLatin1String(name));
        label->setObjectName(QString::fromLatin1(name) + QStringLiteral("Label"));
        AddLabelledRow(form, label, field);
    }
    page->addLayout(form);

    auto* buttons = new QHBoxLayout;
    start_ = new QPushButton(this);
    stop_ = new QPushButton(this);
    start_->setObjectName(QStringLiteral("CallStart"));
    stop_->setObjectName(QStringLiteral("CallStop"));
    buttons->addWidget(start_);
    buttons->addWidget(stop_);
    buttons->addStretch();
    page->addLayout(buttons);

    auto* answer = new QHBoxLayout;
    copyLabel_ = new QLabel(this);
    copyLabel_->setObjectName(QStringLiteral("CallCopyLabel"));
    copy_ = new QLineEdit(this);
    copy_->setObjectName(QStringLiteral("CallCopy"));
    copyLabel_->setBuddy(copy_);
    answer->addWidget(copyLabel_);
    answer->addWidget(copy_, 1);
    page->addLayout(answer);

    figures_ = new QLabel(this);
    figures_->setObjectName(QStringLiteral("CallFigures"));
    page->addWidget(figures_);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("CallStatus"));
    status_->setWordWrap(true);
    // Room for a verdict and the run's result without the layout squeezing the wrapped lines.
    status_->setMinimumHeight(fontMetrics().lineSpacing() * 3);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    MakeStatusLine(status_);
    page->addWidget(status_);

    bestsLabel_ = new QLabel(this);
    bestsLabel_->setObjectName(QStringLiteral("CallBestsLabel"));
    page->addWidget(bestsLabel_);
    bestsBox_ = new QPlainTextEdit(this);
    bestsLabel_->setBuddy(bestsBox_);
    bestsBox_->setObjectName(QStringLiteral("CallBests"));
    bestsBox_->setReadOnly(true);
    bestsBox_->setTabChangesFocus(true);
    page->addWidget(bestsBox_, 1);

    connect(start_, &QPushButton::clicked, this, &CallsignPage::StartClick);
    connect(stop_, &QPushButton::clicked, this, &CallsignPage::StopClick);
    connect(copy_, &QLineEdit::returnPressed, this, &CallsignPage::AnswerClick);
    ApplySettings(TrainerSettings{});
    ShowTexts();
    SetRunning(false);
}

CallsignPage::~CallsignPage() = default;

QString CallsignPage::Text(Say id) const {
    return QProgramText(id, texts_);
}

void CallsignPage::SetTexts(const ProgramTextTable& texts) {
    texts_ = texts;
    ShowTexts();
}

void CallsignPage::ShowTexts() {
    speedLabel_->setText(Text(Say::HstStartSpeed));
    speed_->setAccessibleDescription(Text(Say::CallStartSpeedDesc));
    numberLabel_->setText(Text(Say::HstNumber));
    number_->setAccessibleDescription(Text(Say::CallNumberDesc));
    start_->setText(Text(Say::HstStart));
    start_->setAccessibleDescription(Text(Say::CallStartDesc));
    stop_->setText(Text(Say::HstStop));
    stop_->setAccessibleDescription(Text(Say::CallStopDesc));
    copyLabel_->setText(Text(Say::CallCopy));
    copy_->setAccessibleDescription(Text(Say::CallCopyDesc));
    figures_->setAccessibleName(Text(Say::CallFiguresName));
    SetStatusSubject(status_, Text(Say::CallStatusName));
    bestsLabel_->setText(Text(Say::CallBestsName) + QLatin1Char(':'));
    bestsBox_->setAccessibleName(Text(Say::CallBestsName));
    if (!run_)
        status_->setText(Text(Say::CallStatusIdle));
    ShowFigures();
    ShowBests();
}

void CallsignPage::ApplySettings(const TrainerSettings& settings) {
    const TrainerSettings s = ClampTrainerSettings(settings);
    speed_->setValue(s.callStartSpeedCpm);
    number_->setValue(s.callNumber);
    bests_ = ParsePersonalBests(s.callBests);
    ShowBests();
}

void CallsignPage::CollectSettings(TrainerSettings& settings) const {
    settings.callStartSpeedCpm = speed_->value();
    settings.callNumber = number_->value();
    settings.callBests = PersonalBestsText(bests_);
}

void CallsignPage::ShowFigures() {
    if (!run_) {
        figures_->clear();
        return;
    }
    const int left = static_cast<int>(run_->Calls().size() - run_->Attempts().size());
    figures_->setText(Text(Say::CallFigures).arg(run_->SpeedCpm()).arg(run_->Score()).arg(left));
}

void CallsignPage::ShowBests() {
    QStringList lines;
    for (std::size_t i = 0; i < bests_.size(); ++i) {
        const PersonalBest& b = bests_[i];
        const QString date = QDateTime::fromSecsSinceEpoch(b.timeUtc).toString(QStringLiteral("yyyy-MM-dd"));
        lines << Text(Say::CallBestsLine)
                     .arg(i + 1)
                     .arg(b.score)
                     .arg(b.rightCalls)
                     .arg(b.topSpeedCpm)
                     .arg(b.number, 4, 10, QLatin1Char('0'))
                     .arg(date);
    }
    bestsBox_->setPlainText(lines.isEmpty() ? Text(Say::CallBestsNone) : lines.join(QLatin1Char('\n')));
}

void CallsignPage::SetRunning(bool running) {
    speed_->setEnabled(!running);
    number_->setEnabled(!running);
    start_->setEnabled(!running);
    stop_->setEnabled(running);
    copy_->setEnabled(running);
}

void CallsignPage::StartClick() {
    if (run_)
        return;
    runNumber_ = number_->value();
    run_ = std::make_unique<CallsignRun>(CallsignRunCalls(runNumber_), speed_->value());
    copy_->clear();
    SetRunning(true);
    copy_->setFocus();
    ShowFigures();
    qlor::ShowStatus(status_, figures_->text());
    PlayCurrentCall();
}

void CallsignPage::PlayCurrentCall() {
    const MidiVoice voice = context_.voice ? context_.voice() : MidiVoice{};
    SessionEvents events;
    events.ended = [this](SessionEnd end, const std::string& reason) { SessionEnded(end, reason); };
    // Taking the session stops the call still playing: that end belongs to the page.
    handingOver_ = true;
    session_ = &context_.takeSession(std::move(events));
    const std::string error =
        session_->Start({SegmentText{{}, run_->CurrentCall(), {}, run_->SpeedCpm()}}, kCallPauseSeconds, voice);
    handingOver_ = false;
    if (!error.empty())
        SessionEnded(SessionEnd::Failed, error);
}

void CallsignPage::SessionEnded(SessionEnd end, const std::string& reason) {
    // A call played to its end waits for the answer; an end the page did not cause ends the run.
    if (handingOver_ || !run_ || end == SessionEnd::Finished)
        return;
    if (end == SessionEnd::Failed) {
        const QString text = Text(Say::CallStartFailed).arg(QString::fromStdString(reason));
        run_.reset();
        EndRun(text);
        if (context_.dialogs)
            context_.dialogs->ShowError(this, text);
        return;
    }
    StopClick();
}

void CallsignPage::StopClick() {
    if (!run_)
        return;
    handingOver_ = true;
    if (session_ && session_->Running())
        session_->Stop();
    handingOver_ = false;
    const QString text = Text(Say::CallStopped).arg(run_->Attempts().size()).arg(run_->Score());
    run_.reset();
    EndRun(text);
}

void CallsignPage::EndRun(const QString& status) {
    SetRunning(false);
    qlor::ShowStatus(status_, status);
    start_->setFocus();
}

void CallsignPage::AnswerClick() {
    const QString typed = copy_->text().trimmed();
    if (!run_ || typed.isEmpty()) // an empty Enter is no answer: nothing is lost by a slip
        return;
    const CallAttempt* attempt = run_->Answer(Utf8ToCp1251(typed.toStdString()));
    if (!attempt)
        return;
    copy_->clear();
    const QString call = QString::fromStdString(Cp1251ToUtf8(attempt->call));
    const QString verdict =
        attempt->right ? Text(Say::CallRight).arg(call).arg(attempt->points) : Text(Say::CallWrong).arg(call, typed);
    ShowFigures();
    if (run_->Finished()) {
        FinishRun(verdict);
        return;
    }
    qlor::ShowStatus(status_, verdict + QStringLiteral(". ") + figures_->text());
    PlayCurrentCall();
}

void CallsignPage::FinishRun(const QString& verdict) {
    handingOver_ = true;
    if (session_ && session_->Running())
        session_->Stop();
    handingOver_ = false;
    const CallsignRunRecord record =
        MakeCallsignRunRecord(*run_, runNumber_, static_cast<std::int64_t>(std::time(nullptr)));
    run_.reset();
    const PersonalBest best = BestOf(record);
    bests_ = AddPersonalBest(std::move(bests_), best);
    ShowBests();
    QString text = verdict + QStringLiteral(". ") +
                   Text(Say::CallFinished)
                       .arg(record.score)
                       .arg(record.rightCalls)
                       .arg(record.attempts.size())
                       .arg(record.topSpeedCpm);
    const auto place = std::find(bests_.begin(), bests_.end(), best);
    if (place != bests_.end())
        text += QStringLiteral(". ") + Text(Say::CallNewBest).arg(place - bests_.begin() + 1);
    EndRun(text);
    if (context_.history) {
        const HistoryStatus status = context_.history->RecordCallsignRun(record);
        if (!status.ok() && status.firstTime && context_.dialogs)
            context_.dialogs->ShowError(
                this, QString::fromStdString(HistoryProblemText(status, context_.history->Path(), texts_)));
    }
}

} // namespace qlor
