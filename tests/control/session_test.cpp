// The session core in virtual time: segments play one after another (or from one MIDI), progress
// arrives from the clock's timer, Stop and a failing port end the session once, and nothing keeps
// running after.
#include "control/session.h"
#include "tests/support/fake_audio_port.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace qlor {
namespace {
using test::FakeAudioPort;
using test::ManualClock;

struct Recorded {
    std::vector<int> started;
    std::vector<SessionProgress> progress;
    std::vector<SessionEnd> ends;
    std::string reason;
};

std::int64_t SumMs(const std::vector<uint64_t>& lengthsUs) {
    uint64_t us = 0;
    for (const uint64_t length : lengthsUs)
        us += length;
    return static_cast<std::int64_t>((us + 500) / 1000);
}

struct SessionCase {
    const char* name;
    int segments;
    std::int64_t segmentMs; // length the port gives every segment [ms]; -1: one MIDI of them all, as timed
    std::int64_t stopAtMs;  // Stop after this much time (-1: never)
    std::int64_t runMs;     // virtual time the test lets pass [ms]
    const char* failOpen;   // the port's reason to refuse a MIDI ("" none)
    std::vector<int> started;
    SessionEnd end;
    bool ended;
    SessionMidi midi = SessionMidi::PerSegment;
};

const SessionCase kCases[] = {
    {"all segments play in turn and the session finishes",
     3,
     1000,
     -1,
     5000,
     "",
     {0, 1, 2},
     SessionEnd::Finished,
     true},
    {"still running before the last segment ends", 3, 1000, -1, 2500, "", {0, 1, 2}, SessionEnd::Finished, false},
    {"stop in the second segment", 3, 1000, 1500, 5000, "", {0, 1}, SessionEnd::Stopped, true},
    {"stop in the first segment's first tick", 2, 1000, 0, 3000, "", {0}, SessionEnd::Stopped, true},
    {"one MIDI: all segments in turn",
     3,
     -1,
     -1,
     60000,
     "",
     {0, 1, 2},
     SessionEnd::Finished,
     true,
     SessionMidi::Single},
    {"one MIDI: stop at once", 2, -1, 0, 60000, "", {0}, SessionEnd::Stopped, true, SessionMidi::Single},
};

void PrintTo(const SessionCase& c, std::ostream* os) {
    *os << c.name;
}

class SessionTable : public ::testing::TestWithParam<SessionCase> {};

TEST_P(SessionTable, PlaysStopsAndEnds) {
    const SessionCase& c = GetParam();
    ManualClock clock;
    FakeAudioPort port(clock);
    port.failOpen = c.failOpen;
    std::vector<SegmentText> segments;
    for (int i = 0; i < c.segments; ++i)
        segments.push_back({"VVV=", "PARIS " + std::to_string(i), "*", 100});
    port.lengthOfNext = [&](const ByteVector&) {
        return c.segmentMs >= 0 ? c.segmentMs
                                : SumMs(BuildMorseMidi(MorseTable{}, segments, 1, MidiVoice{}).segmentLengthsUs);
    };
    Session session(port, clock, MorseTable{});
    Recorded rec;
    session.SetEvents({[&](int i) { rec.started.push_back(i); },
                       [&](const SessionProgress& p) { rec.progress.push_back(p); },
                       [&](SessionEnd end, const std::string& reason) {
                           rec.ends.push_back(end);
                           rec.reason = reason;
                       },
                       {}});
    ASSERT_TRUE(session.Start({segments, 1, MidiVoice{}, "", c.midi})) << c.name;
    if (c.stopAtMs >= 0) {
        port.Advance(c.stopAtMs);
        session.Stop();
        session.Stop(); // a second Stop reports nothing more
    }
    port.Advance(c.runMs - std::max<std::int64_t>(c.stopAtMs, 0));

    EXPECT_EQ(rec.started, c.started);
    EXPECT_EQ(port.opened.size(), c.midi == SessionMidi::Single ? 1u : c.started.size());
    if (c.ended) {
        ASSERT_EQ(rec.ends.size(), 1u);
        EXPECT_EQ(rec.ends[0], c.end);
        EXPECT_FALSE(session.Running());
        EXPECT_FALSE(port.Playing());
        EXPECT_EQ(clock.ActiveTimers(), 0u) << "no timer outlives the session";
    } else {
        EXPECT_TRUE(rec.ends.empty());
        EXPECT_TRUE(session.Running());
    }
    // Progress: one report per interval while playing, positions rising within a segment and
    // every report naming a segment that had started.
    for (std::size_t i = 0; i < rec.progress.size(); ++i) {
        const SessionProgress& p = rec.progress[i];
        EXPECT_GE(p.segment, 0);
        EXPECT_EQ(p.segmentCount, c.segments);
        EXPECT_LE(p.positionMs, p.lengthMs);
        if (i > 0 && rec.progress[i - 1].segment == p.segment) {
            EXPECT_GE(p.positionMs, rec.progress[i - 1].positionMs);
        }
    }
    if (c.end == SessionEnd::Finished && c.ended) {
        ASSERT_FALSE(rec.progress.empty());
        EXPECT_EQ(rec.progress.back().Percent(), 100) << "the end shows the last segment complete";
        EXPECT_EQ(rec.progress.back().segment, c.segments - 1);
    }
}

std::string CaseName(const ::testing::TestParamInfo<SessionCase>& param) {
    return "case" + std::to_string(param.index);
}

INSTANTIATE_TEST_SUITE_P(Cases, SessionTable, ::testing::ValuesIn(kCases), CaseName);

TEST(Session, ProgressAtHalfOfASegmentAndThePauseAtItsEnd) {
    ManualClock clock;
    FakeAudioPort port(clock);
    port.lengthOfNext = [](const ByteVector&) { return std::int64_t{10000}; };
    Session session(port, clock, MorseTable{});
    std::vector<SessionProgress> seen;
    session.SetEvents({{}, [&](const SessionProgress& p) { seen.push_back(p); }, {}, {}});
    ASSERT_EQ(session.Start({{"", "PARIS", "", 100}}, 3, MidiVoice{}), "");
    port.Advance(5000);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().positionMs, 5000);
    EXPECT_EQ(seen.back().Percent(), 50);
    EXPECT_FALSE(seen.back().inPause);
    port.Advance(2200); // the last 3 s of the segment are its closing pause
    EXPECT_TRUE(seen.back().inPause);
    EXPECT_EQ(seen.size(), 7200u / kSessionProgressIntervalMs);
}

TEST(Session, FailuresLeaveNothingPlaying) {
    ManualClock clock;
    FakeAudioPort port(clock);
    Session session(port, clock, MorseTable{});
    std::vector<SessionEnd> ends;
    session.SetEvents({{}, {}, [&](SessionEnd end, const std::string&) { ends.push_back(end); }, {}});

    port.failOpen = "no device";
    EXPECT_EQ(session.Start({{"", "PARIS", "", 100}}, 1, MidiVoice{}), "no device");
    EXPECT_FALSE(session.Running());
    // A body without any keyable character cannot be timed: the builder's reason, nothing opened.
    port.failOpen.clear();
    EXPECT_NE(session.Start({{"", "---", "", 100}}, 1, MidiVoice{}), "");
    EXPECT_TRUE(port.opened.empty());
    EXPECT_EQ(clock.ActiveTimers(), 0u);
    EXPECT_TRUE(ends.empty()) << "a session that never started does not end";

    // A later segment that cannot be built ends the running session as failed.
    ASSERT_EQ(session.Start({{"", "PARIS", "", 100}, {"", "---", "", 100}}, 1, MidiVoice{}), "");
    port.Advance(2000);
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(ends[0], SessionEnd::Failed);
    EXPECT_FALSE(port.Playing());
    EXPECT_EQ(clock.ActiveTimers(), 0u);
}

TEST(Session, EachSegmentIsTheMidiFileOfThatSegmentAlone) {
    ManualClock clock;
    FakeAudioPort port(clock);
    Session session(port, clock, MorseTable{});
    const std::vector<SegmentText> segments = {{"A ", "PARIS", "*", 60}, {"B ", "EEEEE", "*", 120}};
    ASSERT_EQ(session.Start(segments, 60, MidiVoice{}, "noise.wav"), "");
    port.Advance(5000);
    ASSERT_EQ(port.opened.size(), 2u);
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const MidiResult expected = BuildMorseMidi(MorseTable{}, {segments[i]}, 60, MidiVoice{});
        EXPECT_EQ(port.opened[i], expected.bytes) << i;
    }
    EXPECT_EQ(port.noise, "noise.wav");
}

// Start failures in both ways of playing: the kind a window picks its message by, the port's own
// reason, nothing left playing or ticking and no end reported for a session that never started.
struct FailureCase {
    const char* name;
    std::vector<SegmentText> segments;
    const char* failWrite;
    const char* failOpen;
    const char* failPlay;
    SessionFailure failure;
    const char* reason; // the port's reason, or "" when it comes from the MIDI builder
};

const FailureCase kFailures[] = {
    {"no segment", {}, "", "", "", SessionFailure::NoKeyableCharacter, "nothing to send"},
    {"no keyable character",
     {{"", "PARIS", "", 100}, {"", "---", "", 100}},
     "",
     "",
     "",
     SessionFailure::NoKeyableCharacter,
     ""},
    {"the port cannot write the MIDI",
     {{"", "PARIS", "", 100}},
     "disk full",
     "",
     "",
     SessionFailure::MidiNotWritten,
     "disk full"},
    {"the port cannot open the MIDI",
     {{"", "PARIS", "", 100}},
     "",
     "bad file",
     "",
     SessionFailure::NotPlayable,
     "bad file"},
    {"the port cannot play", {{"", "PARIS", "", 100}}, "", "", "no device", SessionFailure::NotPlayable, "no device"},
};

TEST(Session, StartFailuresTellTheirKind) {
    for (const FailureCase& c : kFailures) {
        for (const SessionMidi midi : {SessionMidi::PerSegment, SessionMidi::Single}) {
            // Per segment the second segment is built only when the first has played.
            if (midi == SessionMidi::PerSegment && c.segments.size() > 1)
                continue;
            SCOPED_TRACE(std::string(c.name) + (midi == SessionMidi::Single ? ", one MIDI" : ", per segment"));
            ManualClock clock;
            FakeAudioPort port(clock);
            port.failWrite = c.failWrite;
            port.failOpen = c.failOpen;
            port.failPlay = c.failPlay;
            Session session(port, clock, MorseTable{});
            int ends = 0;
            session.SetEvents({{}, {}, [&](SessionEnd, const std::string&) { ++ends; }, {}});
            const SessionStart started = session.Start({c.segments, 1, MidiVoice{}, "", midi});
            EXPECT_FALSE(started);
            EXPECT_EQ(started.failure, c.failure);
            if (*c.reason != '\0') {
                EXPECT_EQ(started.reason, c.reason);
            } else {
                EXPECT_FALSE(started.reason.empty());
            }
            EXPECT_FALSE(session.Running());
            EXPECT_FALSE(port.Playing());
            EXPECT_EQ(clock.ActiveTimers(), 0u);
            EXPECT_EQ(ends, 0);
            if (c.failure == SessionFailure::NoKeyableCharacter) {
                EXPECT_TRUE(port.written.empty()) << "nothing reaches the port";
            }
        }
    }
}

// A noise recording that cannot be opened is reported once, while the text plays; the text plays to
// its end without it.
TEST(Session, AFailingNoiseLetsTheTextPlay) {
    for (const SessionMidi midi : {SessionMidi::PerSegment, SessionMidi::Single}) {
        ManualClock clock;
        FakeAudioPort port(clock);
        port.failNoise = "unreadable";
        Session session(port, clock, MorseTable{});
        std::vector<std::string> noiseFailures;
        std::vector<SessionEnd> ends;
        SessionEvents events;
        events.ended = [&](SessionEnd end, const std::string&) { ends.push_back(end); };
        events.noiseFailed = [&](const std::string& reason) {
            noiseFailures.push_back(reason);
            EXPECT_TRUE(port.Playing() && session.Running()) << "reported once the text plays";
        };
        session.SetEvents(events);
        ASSERT_TRUE(session.Start({{{"", "PARIS", "", 100}, {"", "EEE", "", 100}}, 1, MidiVoice{}, "noise.wav", midi}));
        EXPECT_TRUE(port.Playing());
        port.Advance(60000);
        EXPECT_EQ(noiseFailures, std::vector<std::string>{"unreadable"});
        EXPECT_EQ(ends, std::vector<SessionEnd>{SessionEnd::Finished});
        EXPECT_EQ(port.noise, "");
    }
}

// The competition's way: every text from one MIDI, the bytes of the file the classic window writes,
// with the segment told from the position at the segment boundaries the MIDI's timing gives.
TEST(Session, OneMidiTellsTheSegmentFromThePosition) {
    const int pauseSeconds = 60;
    const std::vector<SegmentText> segments = {
        {"", "PARIS", "", 60}, {"", "PARIS", "", 120}, {"OOOOO 70 VVV=", "EEEEE TTTTT", "*", 70}};
    const MidiResult built = BuildMorseMidi(MorseTable{}, segments, pauseSeconds, MidiVoice{});
    ASSERT_TRUE(built);
    ASSERT_EQ(built.segmentLengthsUs.size(), segments.size());
    // The timing: a 5-character body at 60 cpm keys for at most 5 s (the gap after its last
    // character is not played), twice as fast at 120 cpm, then the pause.
    const auto keyedMs = [&](std::size_t i) {
        return static_cast<std::int64_t>(built.segmentLengthsUs[i] / 1000) - pauseSeconds * 1000;
    };
    EXPECT_GT(keyedMs(0), 4000);
    EXPECT_LE(keyedMs(0), 5000);
    EXPECT_NEAR(static_cast<double>(keyedMs(0)), 2.0 * static_cast<double>(keyedMs(1)), 2.0);

    ManualClock clock;
    FakeAudioPort port(clock);
    port.lengthOfNext = [&](const ByteVector&) { return SumMs(built.segmentLengthsUs); };
    Session session(port, clock, MorseTable{});
    std::vector<int> started;
    std::vector<std::int64_t> startedAtMs;
    std::vector<SessionProgress> progress;
    std::vector<SessionEnd> ends;
    session.SetEvents({[&](int i) {
                           started.push_back(i);
                           startedAtMs.push_back(clock.NowMs());
                       },
                       [&](const SessionProgress& p) { progress.push_back(p); },
                       [&](SessionEnd end, const std::string&) { ends.push_back(end); },
                       {}});
    ASSERT_TRUE(session.Start({segments, pauseSeconds, MidiVoice{}, "noise.wav", SessionMidi::Single}));
    port.Advance(SumMs(built.segmentLengthsUs) + 1000);

    const std::filesystem::path file = std::filesystem::path(::testing::TempDir()) / "session_temp.mid";
    ASSERT_TRUE(WriteMorseMidi(MorseTable{}, segments, file.string(), pauseSeconds, MidiVoice{}));
    std::ifstream in(file, std::ios::binary);
    const ByteVector onDisk{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::filesystem::remove(file);
    ASSERT_EQ(port.opened.size(), 1u);
    EXPECT_EQ(port.opened[0], onDisk) << "the bytes of the classic window's file";
    EXPECT_EQ(port.written, port.opened) << "the port's writer is given the same bytes";
    EXPECT_EQ(port.noise, "noise.wav");

    EXPECT_EQ(started, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(ends, std::vector<SessionEnd>{SessionEnd::Finished});
    // Each segment is announced at the first report after its start.
    std::int64_t startMs = 0;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        EXPECT_GE(startedAtMs[i], startMs) << i;
        EXPECT_LT(startedAtMs[i], startMs + kSessionProgressIntervalMs + 1) << i;
        startMs += static_cast<std::int64_t>(built.segmentLengthsUs[i] / 1000);
    }
    ASSERT_FALSE(progress.empty());
    for (const SessionProgress& p : progress) {
        ASSERT_GE(p.segment, 0);
        EXPECT_EQ(p.segmentCount, 3);
        EXPECT_EQ(p.midiLengthMs, SumMs(built.segmentLengthsUs));
        EXPECT_NEAR(static_cast<double>(p.lengthMs),
                    static_cast<double>(built.segmentLengthsUs[static_cast<std::size_t>(p.segment)]) / 1000.0, 1.0);
        EXPECT_LE(p.positionMs, p.lengthMs);
        EXPECT_LE(p.positionMs, p.midiPositionMs);
        EXPECT_EQ(p.inPause, p.positionMs >= p.lengthMs - pauseSeconds * 1000);
    }
    EXPECT_EQ(progress.back().segment, 2);
    EXPECT_EQ(progress.back().Percent(), 100);
    EXPECT_EQ(clock.ActiveTimers(), 0u);
}

} // namespace
} // namespace qlor
