// The competition page: one press of CompRun writes the protocol of an optional training text and
// the texts at rising speeds into MemoProtokol and plays them all from one "temp.mid" with a
// minute of silence after each, through the transmission session; CompStop ends the contest; the protocol can be saved
// and cleared.
#include "shell/main_form_pages.h"

#include "audio/audio_engine.h"
#include "audio/media_player.h"
#include "control/session.h"
#include "exercises/competition.h"
#include "shell/date_time_text.h"
#include "shell/memo_text.h"

#include <QDateTime>

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

    SelectLeadingChars(competition.MemoProtokol, kProtocolSelection);

    // An empty contest ends at once, as the playback of its empty file would.
    if (plan.segments.empty()) {
        EndTransmission();
        return;
    }

    SessionRequest request;
    request.segments = plan.segments;
    request.pauseSeconds = kCompetitionPauseSeconds;
    request.voice = CurrentVoice();
    request.midi = SessionMidi::Single; // all texts in one "temp.mid"
    // No noise recording during a contest (a chosen band plays); the sent texts are in the
    // protocol only.
    AudioEngine::Shared().SetBand(CurrentBand());
    const SessionStart started = TransmissionSession().Start(std::move(request));
    if (!started) {
        dialogs_->ShowError(this, StartFailureText(started, OwnTexts(), TempMidiPath()));
        competitionRunning_ = false;
        // A sound that cannot be played is let go. Otherwise the protocol stays; the contest does
        // not start, and nothing is left blocked.
        if (started.failure == SessionFailure::NotPlayable)
            AbandonRun();
        else
            ControlUnBlock();
        return;
    }
    text.MemoText->clear();
}

void TMainForm::CompStopClick() {
    competitionRunning_ = false;
    // The session stops and closes the text player; its end runs the end-of-transmission steps,
    // as the player's notice does.
    if (session_)
        session_->Stop();
    MediaPlayerText->stop();
    MediaPlayerText->close();
    TrainTimer->stop();
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
