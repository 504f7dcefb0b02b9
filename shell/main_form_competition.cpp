// The competition page: one press of CompRun writes the protocol of an optional training text and
// the texts at rising speeds into MemoProtokol and plays them all from one "temp.mid" with a
// minute of silence after each; CompStop ends the contest; the protocol can be saved and cleared.
#include "shell/main_form_pages.h"

#include "audio/audio_engine.h"
#include "audio/media_player.h"
#include "exercises/competition.h"
#include "shell/date_time_text.h"
#include "shell/memo_text.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <algorithm>

namespace qlor {
namespace {

// Characters of the protocol selected after the start: the head of the title line.
constexpr int kProtocolSelection = 18;

} // namespace

void TMainForm::CompRunClick() {
    if (competitionRunning_)
        return;
    try {
        StartCompetition();
    } catch (const std::exception& error) {
        competitionRunning_ = false;
        AbandonRun();
        dialogs_->ShowError(this, ExceptionText(error, OwnTexts()));
    }
}

void TMainForm::StartCompetition() {
    CompetitionParams params;
    params.settings = settings_;
    params.trainText = parameters.TrainTextNeed->isChecked();
    params.cpm = configuration.OurSystem->isChecked();
    params.english = English();
    params.dateTime = ToCp1251(SystemDateTimeText(QDateTime::currentDateTime()));
    params.symbolMemoLength = MemoBytes(textOptions.MemoSelectedSymbols).size();
    const CompetitionPlan plan = PlanCompetition(params);

    // The protocol goes into the memo line by line, each line followed by CR LF, so the saved
    // protocol ends with a line break.
    SetMemoBytes(competition.MemoProtokol, plan.ProtocolText());
    competitionRunning_ = true;
    ControlBlock();

    QTextCursor selection(competition.MemoProtokol->document());
    selection.setPosition(0);
    selection.setPosition(std::min(kProtocolSelection, competition.MemoProtokol->document()->characterCount() - 1),
                          QTextCursor::KeepAnchor);
    competition.MemoProtokol->setTextCursor(selection);

    const MidiVoice voice = CurrentVoice();
    const QString midiPath = TempMidiPath();
    const MidiResult written = WriteMorseMidi(morse_, plan.segments, QFile::encodeName(midiPath).toStdString(),
                                              kCompetitionPauseSeconds, voice);
    if (!written) {
        // The protocol stays; the contest does not start, and nothing is left blocked.
        dialogs_->ShowError(this,
                            OwnText(Say::MorseFileNotWritten)
                                .arg(QDir::toNativeSeparators(midiPath), QString::fromUtf8(written.message.c_str())));
        competitionRunning_ = false;
        ControlUnBlock();
        return;
    }

    TrainTimer->start();
    AudioEngine::Shared().SetBand(CurrentBand());
    MediaPlayerText->setFileName(midiPath);
    if (!MediaPlayerText->open() || !MediaPlayerText->play()) {
        dialogs_->ShowError(this, OwnText(Say::NothingCanBePlayed).arg(MediaPlayerText->errorString()));
        competitionRunning_ = false;
        AbandonRun();
        return;
    }
    // No noise recording during a contest (a chosen band plays); the sent texts are in the
    // protocol only.
    text.MemoText->clear();
}

void TMainForm::CompStopClick() {
    competitionRunning_ = false;
    MediaPlayerText->stop();
    MediaPlayerText->close();
    TrainTimer->stop();
    // The gauges keep their value and "temp.mid" goes with the text player's notice.
    ControlUnBlock();
}

void TMainForm::Button52Click() {
    FileDialogSpec request = SaveDialogText;
    request.fileName = OwnText(Say::ProtocolFileName);
    SaveMemoAs(request, competition.MemoProtokol);
}

void TMainForm::ButtonClearProtClick() {
    competition.MemoProtokol->clear();
}

} // namespace qlor
