// The session core in virtual time: segments play one after another, progress arrives from the
// clock's timer, Stop and a failing port end the session once, and nothing keeps running after.
#include "control/session.h"
#include "tests/support/fake_audio_port.h"

#include <gtest/gtest.h>

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

struct SessionCase {
    const char* name;
    int segments;
    std::int64_t segmentMs; // length the port gives every segment [ms]
    std::int64_t stopAtMs;  // Stop after this much time (-1: never)
    std::int64_t runMs;     // virtual time the test lets pass [ms]
    const char* failOpen;   // the port's reason to refuse a MIDI ("" none)
    std::vector<int> started;
    SessionEnd end;
    bool ended;
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
    port.lengthOfNext = [&](const ByteVector&) { return c.segmentMs; };
    Session session(port, clock, MorseTable{});
    Recorded rec;
    session.SetEvents({[&](int i) { rec.started.push_back(i); },
                       [&](const SessionProgress& p) { rec.progress.push_back(p); },
                       [&](SessionEnd end, const std::string& reason) {
                           rec.ends.push_back(end);
                           rec.reason = reason;
                       }});
    std::vector<SegmentText> segments;
    for (int i = 0; i < c.segments; ++i)
        segments.push_back({"VVV=", "PARIS " + std::to_string(i), "*", 100});
    ASSERT_EQ(session.Start(segments, 1, MidiVoice{}), "") << c.name;
    if (c.stopAtMs >= 0) {
        port.Advance(c.stopAtMs);
        session.Stop();
        session.Stop(); // a second Stop reports nothing more
    }
    port.Advance(c.runMs - std::max<std::int64_t>(c.stopAtMs, 0));

    EXPECT_EQ(rec.started, c.started);
    EXPECT_EQ(port.opened.size(), c.started.size());
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
    session.SetEvents({{}, [&](const SessionProgress& p) { seen.push_back(p); }, {}});
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
    session.SetEvents({{}, {}, [&](SessionEnd end, const std::string&) { ends.push_back(end); }});

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

} // namespace
} // namespace qlor
