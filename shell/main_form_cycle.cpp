// The transmission cycle: Run composes a radiogram (or takes the operator's own text) and plays it
// through the transmission session (written as "temp.mid") with an optional looping noise; the
// timer moves the progress bars; the end of playback or Stop ends the transmission.
// ControlBlock / ControlUnBlock and TempMidiPath are shared with the competition and the batch
// export.
#include "shell/main_form_pages.h"

#include "audio/audio_engine.h"
#include "audio/media_player.h"
#include "shell/blocked_controls.h"
#include "shell/blocked_view.h"
#include "shell/memo_text.h"
#include "shell/play_progress.h"
#include "shell/radiogram_controls.h"
#include "synthesis/midi_writer.h"
#include "synthesis/timing.h"
#include "textgen/radiogram.h"

#include <QDir>
#include <QFile>

#include <optional>
#include <string>
#include <utility>

namespace qlor {

void TMainForm::CreatePlayers() {
    MediaPlayerText = new MediaPlayer(MediaPlayer::Channel::Text, this);
    MediaPlayerText->setObjectName(QStringLiteral("MediaPlayerText"));
    MediaPlayerNoise = new MediaPlayer(MediaPlayer::Channel::Noise, this);
    MediaPlayerNoise->setObjectName(QStringLiteral("MediaPlayerNoise"));
    connect(MediaPlayerText, &MediaPlayer::notify, this, &TMainForm::MediaPlayerTextNotify);
    connect(MediaPlayerNoise, &MediaPlayer::notify, this, &TMainForm::MediaPlayerNoiseNotify);
    // Without a port and clock of the caller's, a transmission plays through these players and
    // TrainTimer.
    if (!port_) {
        classicPort_ =
            std::make_unique<ClassicAudioPort>(*MediaPlayerText, *MediaPlayerNoise, [this] { return TempMidiPath(); });
        port_ = classicPort_.get();
    }
    if (!clock_) {
        classicClock_ = std::make_unique<ClassicClock>(*TrainTimer);
        clock_ = classicClock_.get();
    }
}

Session& TMainForm::TransmissionSession() {
    if (!session_) {
        session_ = std::make_unique<Session>(*port_, *clock_, morse_);
        SessionEvents events;
        events.progress = [this](const SessionProgress& progress) {
            ShowPlayProgress({panel.Gauge1, competition.Gauge2}, progress.midiPositionMs, progress.midiLengthMs);
        };
        // The end, a stop included, runs the steps the text player's notice runs.
        events.ended = [this](SessionEnd, const std::string&) { EndTransmission(); };
        // Shown by Run once the text plays and the reception page is up.
        events.noiseFailed = [this](const std::string& reason) { noiseFailure_ = reason; };
        session_->SetEvents(std::move(events));
    }
    return *session_;
}

QString TMainForm::TempMidiPath() const {
    // Afresh at every call: a file dialog may have changed the current directory.
    return QDir::current().filePath(QStringLiteral("temp.mid"));
}

void TMainForm::ControlBlock() {
    ShowBlocked(this, true);
}

void TMainForm::ControlUnBlock() {
    ShowBlocked(this, false);
}

void TMainForm::RemoveTempMidi() {
    if (const QString path = TempMidiPath(); QFile::exists(path))
        QFile::remove(path);
}

MidiVoice TMainForm::CurrentVoice() const {
    return SettingsVoice(settings_, configuration.TrackBar1->value());
}

RadiogramControls TMainForm::ReadRadiogramControls() const {
    return qlor::ReadRadiogramControls(text, textOptions, settings_);
}

// Ends a Run that could not start playing: nothing keeps sounding, no "temp.mid" is left and the
// controls are usable again.
void TMainForm::AbandonRun() {
    TrainTimer->stop();
    MediaPlayerNoise->close();
    MediaPlayerText->close();
    RemoveTempMidi();
    ControlUnBlock();
}

void TMainForm::ButtonRunClick() {
    try {
        StartRun();
    } catch (const std::exception& error) {
        AbandonRun();
        dialogs_->ShowError(this, ExceptionText(error, OwnTexts()));
    }
}

void TMainForm::StartRun() {
    ControlBlock();

    const MidiVoice voice = CurrentVoice();

    // Speed in characters per minute; OurSystem counts characters, PARIS is converted.
    const int speed = SendingSpeed(SpeedValue(settings_), settings_.textType, configuration.OurSystem->isChecked());

    const RadiogramControls controls = ReadRadiogramControls();

    const ComposeResult composed = ComposeRadiogram(controls);
    if (composed.failed) {
        // The generator's own message, Russian in every interface language.
        dialogs_->ShowMessage(this, OwnText(Say::GenerationFailedTitle), OwnText(Say::GenerationFailedText));
        ControlUnBlock();
        return;
    }
    const Radiogram& radiogram = composed.radiogram;
    // The operator's own text stays in the memo as typed; only an empty memo is given "*".
    if (!controls.ownText || controls.memoText.empty())
        SetMemoBytes(text.MemoText, radiogram.displayed);
    if (text.MemoText->document()->isEmpty())
        text.MemoText->setPlainText(QStringLiteral("*"));

    SessionRequest request;
    request.segments = {SegmentText{radiogram.header, radiogram.body, radiogram.ending, speed}};
    request.pauseSeconds = runEndPauseSeconds_;
    request.voice = voice;
    request.midi = SessionMidi::Single; // "temp.mid", as the competition's
    // Noise types 1..4 play the recording named on the configuration page, if it exists.
    const QString noisePath = PlayableNoisePath();
    request.noisePath = noisePath.toStdString();

    // The text opens with the band of its number (or of a random seed), if one is chosen.
    AudioEngine::Shared().SetBand(CurrentBand());
    noiseFailure_.reset();
    const SessionStart started = TransmissionSession().Start(std::move(request));
    if (!started) {
        if (started.failure == SessionFailure::NoKeyableCharacter) {
            // A text of only characters without a Morse code cannot be timed: say so plainly.
            dialogs_->ShowMessage(this, OwnText(Say::NothingToSendTitle), OwnText(Say::NothingToSendText));
        } else {
            dialogs_->ShowError(this, StartFailureText(started, OwnTexts(), TempMidiPath()));
        }
        AbandonRun();
        return;
    }

    if (textOptions.CheckBoxAutoPriem->isChecked()) {
        PageControl1->setCurrentIndex(kReceptionPage);
        // The first line of the copy is the header as it was sent (none for the operator's text).
        StartCopy(reception.InputMemo, controls.ownText ? std::string() : RadiogramHeader(controls));
    }

    if (const std::optional<std::string> failure = std::exchange(noiseFailure_, std::nullopt)) {
        // The text goes on without noise.
        dialogs_->ShowError(this, OwnText(Say::NoiseCannotBePlayed)
                                      .arg(QDir::toNativeSeparators(noisePath), QString::fromUtf8(failure->c_str())));
    }
}

void TMainForm::ButtonStopClick() {
    // The session's end runs the end-of-transmission steps; the gauges are then set back to 0.
    if (session_)
        session_->Stop();
    MediaPlayerText->stop();
    MediaPlayerText->close();
    panel.Gauge1->setValue(0);
    competition.Gauge2->setValue(0);
    TrainTimer->stop();
    RemoveTempMidi();
    ControlUnBlock();
}

void TMainForm::MediaPlayerTextNotify() {
    // The natural end of a play the session started goes to the session, which ends through
    // EndTransmission.
    if (classicPort_ && classicPort_->TextEnded())
        return;
    EndTransmission();
}

void TMainForm::EndTransmission() {
    // Every step is harmless when repeated: a Stop may just have run them.
    TrainTimer->stop();
    panel.ButtonRun->setEnabled(true);
    reception.ButtonRun1->setEnabled(true);
    panel.ButtonStop->setEnabled(false);
    reception.ButtonStop1->setEnabled(false);
    competitionRunning_ = false;
    panel.Gauge1->setValue(100);
    competition.Gauge2->setValue(100);
    if (MediaPlayerNoise->mode() == MediaPlayer::Mode::Playing)
        MediaPlayerNoise->stop();
    // Closed even when the noise has already stopped with the text, so the recording is let go.
    MediaPlayerNoise->close();
    MediaPlayerText->close();
    RemoveTempMidi();
    ControlUnBlock();
}

void TMainForm::MediaPlayerNoiseNotify() {
    // The noise repeats for as long as the text sounds.
    if (MediaPlayerText->mode() == MediaPlayer::Mode::Playing)
        MediaPlayerNoise->play();
}

void TMainForm::TrainTimerTimer() {
    const MediaPlayer::Mode mode = MediaPlayerText->mode();
    if (mode != MediaPlayer::Mode::Playing && mode != MediaPlayer::Mode::Stopped)
        return;
    ShowPlayProgress({panel.Gauge1, competition.Gauge2}, MediaPlayerText->positionMs(), MediaPlayerText->lengthMs());
}

} // namespace qlor
