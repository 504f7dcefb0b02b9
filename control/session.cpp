#include "control/session.h"

#include <algorithm>
#include <utility>

namespace qlor {

int SessionProgress::Percent() const {
    if (lengthMs <= 0)
        return 0;
    return static_cast<int>(std::clamp<std::int64_t>(positionMs * 100 / lengthMs, 0, 100));
}

Session::Session(AudioPort& port, Clock& clock, MorseTable table)
    : port_(port), clock_(clock), table_(std::move(table)) {
    port_.SetEndListener([this] { OnPortEnd(); });
}

Session::~Session() {
    port_.SetEndListener({});
    if (timer_ != 0)
        clock_.StopTimer(timer_);
    if (running_) {
        port_.Stop();
        port_.Close();
    }
}

std::string Session::Start(std::vector<SegmentText> segments, int pauseSeconds, const MidiVoice& voice,
                           const std::string& noisePath) {
    if (running_)
        Stop();
    if (segments.empty())
        return "nothing to send";
    segments_ = std::move(segments);
    pauseSeconds_ = pauseSeconds;
    // The silence closing each segment, as the MIDI writer times it (0 stands for 5 s).
    pauseMs_ = static_cast<std::int64_t>(pauseSeconds <= 0 ? 5 : pauseSeconds) * 1000;
    voice_ = voice;
    noisePath_ = noisePath;
    const std::string error = PlaySegment(0);
    if (!error.empty()) {
        port_.Close();
        current_ = -1;
        return error;
    }
    running_ = true;
    timer_ = clock_.StartTimer(kSessionProgressIntervalMs, [this] { OnTick(); });
    return {};
}

std::string Session::PlaySegment(int index) {
    const MidiResult midi = BuildMorseMidi(table_, {segments_[static_cast<std::size_t>(index)]}, pauseSeconds_, voice_);
    if (!midi)
        return midi.message;
    std::string error = port_.OpenMidi(midi.bytes);
    if (error.empty())
        error = port_.OpenNoise(noisePath_);
    if (error.empty())
        error = port_.Play();
    if (!error.empty())
        return error;
    current_ = index;
    if (events_.segmentStarted)
        events_.segmentStarted(index);
    return {};
}

void Session::Stop() {
    if (!running_)
        return;
    port_.Stop();
    Finish(SessionEnd::Stopped, {});
}

void Session::OnPortEnd() {
    if (!running_)
        return;
    const int next = current_ + 1;
    if (next >= static_cast<int>(segments_.size())) {
        if (events_.progress) {
            SessionProgress done = Progress();
            done.positionMs = done.lengthMs;
            done.inPause = true;
            events_.progress(done);
        }
        Finish(SessionEnd::Finished, {});
        return;
    }
    const std::string error = PlaySegment(next);
    if (!error.empty())
        Finish(SessionEnd::Failed, error);
}

void Session::OnTick() {
    if (running_ && events_.progress)
        events_.progress(Progress());
}

void Session::Finish(SessionEnd end, const std::string& reason) {
    running_ = false;
    if (timer_ != 0) {
        clock_.StopTimer(timer_);
        timer_ = 0;
    }
    port_.Close();
    if (events_.ended)
        events_.ended(end, reason);
}

SessionProgress Session::Progress() const {
    SessionProgress p;
    p.segment = current_;
    p.segmentCount = static_cast<int>(segments_.size());
    if (running_) {
        p.positionMs = port_.PositionMs();
        p.lengthMs = port_.LengthMs();
        p.inPause = p.lengthMs > 0 && p.positionMs >= p.lengthMs - pauseMs_;
    }
    return p;
}

} // namespace qlor
