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
    return Start(SessionRequest{std::move(segments), pauseSeconds, voice, noisePath, SessionMidi::PerSegment}).reason;
}

SessionStart Session::Start(SessionRequest request) {
    if (running_)
        Stop();
    if (request.segments.empty())
        return {SessionFailure::NoKeyableCharacter, "nothing to send"};
    request_ = std::move(request);
    // The silence closing each segment, as the MIDI writer times it (0 stands for 5 s).
    pauseMs_ = static_cast<std::int64_t>(request_.pauseSeconds <= 0 ? 5 : request_.pauseSeconds) * 1000;
    segmentStartsMs_.clear();
    noiseReported_ = false;
    noiseError_.clear();
    const SessionStart started = request_.midi == SessionMidi::Single ? PlayAll() : PlaySegment(0);
    if (!started) {
        port_.Close();
        current_ = -1;
        return started;
    }
    running_ = true;
    timer_ = clock_.StartTimer(kSessionProgressIntervalMs, [this] { OnTick(); });
    ReportNoiseFailure();
    return {};
}

// After the text has started, so that a window's message does not hold the text back.
void Session::ReportNoiseFailure() {
    if (noiseError_.empty())
        return;
    const std::string reason = std::exchange(noiseError_, {});
    if (running_ && events_.noiseFailed)
        events_.noiseFailed(reason);
}

namespace {

SessionStart BuildFailure(const MidiResult& midi) {
    return {midi.error == MidiError::NoKeyableCharacter ? SessionFailure::NoKeyableCharacter
                                                        : SessionFailure::MidiNotWritten,
            midi.message};
}

} // namespace

// The bytes go to the port's writer, then are opened with the noise and played. A noise that
// cannot be opened is left out, and reported once the text plays (ReportNoiseFailure).
SessionStart Session::OpenAndPlay(const ByteVector& bytes) {
    if (std::string error = port_.WriteMidi(bytes); !error.empty())
        return {SessionFailure::MidiNotWritten, std::move(error)};
    if (std::string error = port_.OpenMidi(bytes); !error.empty())
        return {SessionFailure::NotPlayable, std::move(error)};
    // Opened (or cleared) at every MIDI, as the port lets the noise go with what was open.
    const std::string noise = noiseReported_ ? std::string() : request_.noisePath;
    if (const std::string error = port_.OpenNoise(noise); !error.empty() && !noise.empty()) {
        noiseReported_ = true;
        noiseError_ = error;
        port_.OpenNoise({});
    }
    if (std::string error = port_.Play(); !error.empty())
        return {SessionFailure::NotPlayable, std::move(error)};
    return {};
}

SessionStart Session::PlaySegment(int index) {
    const MidiResult midi = BuildMorseMidi(table_, {request_.segments[static_cast<std::size_t>(index)]},
                                           request_.pauseSeconds, request_.voice);
    if (!midi)
        return BuildFailure(midi);
    if (SessionStart played = OpenAndPlay(midi.bytes); !played)
        return played;
    current_ = index;
    if (events_.segmentStarted)
        events_.segmentStarted(index);
    return {};
}

// The whole run as one MIDI, built by the same call that writes the classic window's file.
SessionStart Session::PlayAll() {
    const MidiResult midi = BuildMorseMidi(table_, request_.segments, request_.pauseSeconds, request_.voice);
    if (!midi)
        return BuildFailure(midi);
    std::uint64_t atUs = 0;
    segmentStartsMs_.push_back(0);
    for (const std::uint64_t lengthUs : midi.segmentLengthsUs) {
        atUs += lengthUs;
        segmentStartsMs_.push_back(static_cast<std::int64_t>((atUs + 500) / 1000));
    }
    if (SessionStart played = OpenAndPlay(midi.bytes); !played)
        return played;
    current_ = 0;
    if (events_.segmentStarted)
        events_.segmentStarted(0);
    return {};
}

// Every segment up to `segment` is announced, in order, none skipped.
void Session::AnnounceUpTo(int segment) {
    while (running_ && current_ < segment) {
        ++current_;
        if (events_.segmentStarted)
            events_.segmentStarted(current_);
    }
}

int Session::SegmentAt(std::int64_t midiPositionMs) const {
    // The last segment whose start the position has reached; the end belongs to the last one.
    const auto after = std::upper_bound(segmentStartsMs_.begin(), segmentStartsMs_.end() - 1, midiPositionMs);
    const auto index = static_cast<int>(after - segmentStartsMs_.begin()) - 1;
    return std::clamp(index, 0, static_cast<int>(request_.segments.size()) - 1);
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
    if (request_.midi == SessionMidi::Single || next >= static_cast<int>(request_.segments.size())) {
        // Single: segments no position report has reached yet are announced before the end.
        AnnounceUpTo(static_cast<int>(request_.segments.size()) - 1);
        if (running_ && events_.progress) {
            SessionProgress done = Progress();
            done.positionMs = done.lengthMs;
            done.midiPositionMs = done.midiLengthMs;
            done.inPause = true;
            events_.progress(done);
        }
        if (running_) // an event handler may have stopped the session
            Finish(SessionEnd::Finished, {});
        return;
    }
    if (const SessionStart played = PlaySegment(next); !played)
        Finish(SessionEnd::Failed, played.reason);
    else
        ReportNoiseFailure();
}

void Session::OnTick() {
    if (!running_)
        return;
    if (request_.midi == SessionMidi::Single) {
        AnnounceUpTo(SegmentAt(port_.PositionMs()));
    }
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
    p.segmentCount = static_cast<int>(request_.segments.size());
    if (running_) {
        p.midiPositionMs = port_.PositionMs();
        p.midiLengthMs = port_.LengthMs();
        p.positionMs = p.midiPositionMs;
        p.lengthMs = p.midiLengthMs;
        if (request_.midi == SessionMidi::Single && current_ >= 0) {
            const auto at = static_cast<std::size_t>(current_);
            p.lengthMs = segmentStartsMs_[at + 1] - segmentStartsMs_[at];
            p.positionMs = std::clamp<std::int64_t>(p.midiPositionMs - segmentStartsMs_[at], 0, p.lengthMs);
        }
        p.inPause = p.lengthMs > 0 && p.positionMs >= p.lengthMs - pauseMs_;
    }
    return p;
}

} // namespace qlor
