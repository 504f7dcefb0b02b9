#pragma once
// A session plays a sequence of segments (radiograms) one after another and reports what happens
// as events: a segment started, progress, the end. It stands on two small interfaces of its own,
// an audio port and a clock, so that it runs the same against the sound device and, in tests,
// against a fake port in virtual time. Nothing here waits: the port's end notice and the clock's
// timer drive the session, on the thread that owns it.
#include "synthesis/midi_writer.h"
#include "synthesis/morse_table.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qlor {

// Plays MIDI bytes, optionally with a noise recording that loops while they play.
class AudioPort {
public:
    virtual ~AudioPort() = default;
    // Opens MIDI bytes for playing (closing what was open); "" or the reason (UTF-8).
    virtual std::string OpenMidi(const ByteVector& bytes) = 0;
    // Opens a noise recording played beside the MIDI for as long as it plays; an empty path
    // clears the noise. "" or the reason.
    virtual std::string OpenNoise(const std::string& path) = 0;
    // Starts playing what is open; "" or the reason.
    virtual std::string Play() = 0;
    // Halts playback, without an end notice. Nothing when not playing.
    virtual void Stop() = 0;
    // Releases what is open, without an end notice; idempotent.
    virtual void Close() = 0;
    virtual std::int64_t PositionMs() const = 0; // [ms] from the start of the open MIDI
    virtual std::int64_t LengthMs() const = 0;   // [ms] of the open MIDI
    // Called on the owner's thread once when the open MIDI has played to its end (not after Stop
    // or Close).
    using EndListener = std::function<void()>;
    virtual void SetEndListener(EndListener listener) = 0;
};

// Time and timers on the owner's thread.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t NowMs() const = 0; // [ms] since an arbitrary start
    // A repeating timer; returns its id (never 0). The tick runs on the owner's thread.
    virtual int StartTimer(std::int64_t intervalMs, std::function<void()> tick) = 0;
    virtual void StopTimer(int id) = 0; // unknown or stopped ids are ignored
};

// Where a session is.
struct SessionProgress {
    int segment = -1;            // the segment playing (0-based), -1 before the first
    int segmentCount = 0;        //
    std::int64_t positionMs = 0; // [ms] within the segment
    std::int64_t lengthMs = 0;   // [ms] of the segment, its closing pause included
    bool inPause = false;        // the segment's keyed part is over, its closing pause runs
    int Percent() const;         // of the segment, 0..100
};

enum class SessionEnd {
    Finished, // every segment played to its end
    Stopped,  // Stop was called
    Failed,   // a segment could not be built or played (the reason is in the event)
};

struct SessionEvents {
    std::function<void(int segment)> segmentStarted;
    std::function<void(const SessionProgress&)> progress; // every progress interval while playing
    std::function<void(SessionEnd, const std::string& reason)> ended;
};

// How progress is reported while a segment plays [ms].
inline constexpr std::int64_t kSessionProgressIntervalMs = 200;

class Session {
public:
    // The port and the clock outlive the session; the table is copied.
    Session(AudioPort& port, Clock& clock, MorseTable table);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    void SetEvents(SessionEvents events) { events_ = std::move(events); }

    // Plays the segments one after another, each built by BuildMorseMidi with `pauseSeconds` of
    // silence after it (0 means 5, as for every MIDI file of the program). "" when the first
    // segment plays; else the reason, and nothing plays. A session already running is stopped
    // first (its end is reported).
    std::string Start(std::vector<SegmentText> segments, int pauseSeconds, const MidiVoice& voice,
                      const std::string& noisePath = {});
    // Stops playback; the end is reported as Stopped once. Nothing when not running.
    void Stop();
    bool Running() const { return running_; }
    SessionProgress Progress() const;

private:
    std::string PlaySegment(int index);
    void OnPortEnd();
    void OnTick();
    void Finish(SessionEnd end, const std::string& reason);

    AudioPort& port_;
    Clock& clock_;
    MorseTable table_;
    SessionEvents events_;
    std::vector<SegmentText> segments_;
    int pauseSeconds_ = 0;
    MidiVoice voice_;
    std::string noisePath_;
    int current_ = -1;
    int timer_ = 0;
    bool running_ = false;
    std::int64_t pauseMs_ = 0; // [ms] of silence closing each segment
};

} // namespace qlor
