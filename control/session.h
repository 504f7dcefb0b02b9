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
    // Takes the bytes before OpenMidi opens them: the port, not the session, decides where they
    // go. A port that plays from a file writes them there (the classic window's port writes
    // "temp.mid" and removes it on Close); by default they stay in memory. "" or the reason.
    virtual std::string WriteMidi(const ByteVector& bytes) {
        static_cast<void>(bytes);
        return {};
    }
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
    // The open MIDI as the port plays it: one segment, or the whole run when it plays as one.
    std::int64_t midiPositionMs = 0; // [ms]
    std::int64_t midiLengthMs = 0;   // [ms]
    int Percent() const;             // of the segment, 0..100
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
    // The noise recording could not be opened; the text plays on without it. Once a session, when
    // the text has started.
    std::function<void(const std::string& reason)> noiseFailed;
};

// Why a start failed, so that a window shows the matching message (the classic window's texts:
// Say::NothingToSendTitle/NothingToSendText, Say::MorseFileNotWritten, Say::NothingCanBePlayed).
enum class SessionFailure {
    None,
    NoKeyableCharacter, // no segment, or one without any character with a Morse code: it cannot be timed
    MidiNotWritten,     // the MIDI could not be built or the port could not write it (its file)
    NotPlayable,        // the port could not open or play the sound
};

struct SessionStart {
    SessionFailure failure = SessionFailure::None;
    std::string reason; // readable (UTF-8), empty when the session plays
    explicit operator bool() const { return failure == SessionFailure::None; }
};

// How the segments reach the port.
enum class SessionMidi {
    PerSegment, // one MIDI per segment, opened when the one before has ended
    Single,     // all segments in one MIDI, the file the classic window writes; the position tells
                // which segment plays
};

struct SessionRequest {
    std::vector<SegmentText> segments;
    int pauseSeconds = 0; // silence after every segment (0 means 5, as for every MIDI of the program)
    MidiVoice voice;
    std::string noisePath; // "" for none
    SessionMidi midi = SessionMidi::PerSegment;
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

    // Plays the segments one after another, built by BuildMorseMidi with the request's pause of
    // silence after each. On failure the kind and reason, and nothing plays (a failing noise is
    // no failure: it is reported by noiseFailed and the text plays). A session already running is
    // stopped first (its end is reported).
    SessionStart Start(SessionRequest request);
    // The same, one MIDI per segment; "" when the first segment plays, else the reason.
    std::string Start(std::vector<SegmentText> segments, int pauseSeconds, const MidiVoice& voice,
                      const std::string& noisePath = {});
    // Stops playback; the end is reported as Stopped once. Nothing when not running.
    void Stop();
    bool Running() const { return running_; }
    SessionProgress Progress() const;

private:
    SessionStart PlaySegment(int index);
    SessionStart PlayAll();
    SessionStart OpenAndPlay(const ByteVector& bytes);
    int SegmentAt(std::int64_t midiPositionMs) const; // Single: the segment playing at a position
    void AnnounceUpTo(int segment);
    void ReportNoiseFailure();
    void OnPortEnd();
    void OnTick();
    void Finish(SessionEnd end, const std::string& reason);

    AudioPort& port_;
    Clock& clock_;
    MorseTable table_;
    SessionEvents events_;
    SessionRequest request_;
    std::vector<std::int64_t> segmentStartsMs_; // Single: where each segment starts, and the end [ms]
    int current_ = -1;
    int timer_ = 0;
    bool running_ = false;
    bool noiseReported_ = false; // the noise failed once this session: not asked for again
    std::string noiseError_;     // its reason, until the text plays
    std::int64_t pauseMs_ = 0;   // [ms] of silence closing each segment
};

} // namespace qlor
