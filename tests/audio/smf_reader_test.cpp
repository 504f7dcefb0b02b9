// The SMF reader and the sequencer: structure, running status, tempo map, damaged files.
#include "audio/sequencer.h"
#include "audio/smf_reader.h"
#include "audio_test_util.h"

#include <gtest/gtest.h>

#include <random>

namespace qlor {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Header(int format, int tracks, int division) {
    return {'M',
            'T',
            'h',
            'd',
            0,
            0,
            0,
            6,
            0,
            static_cast<uint8_t>(format),
            0,
            static_cast<uint8_t>(tracks),
            static_cast<uint8_t>(division >> 8),
            static_cast<uint8_t>(division & 0xFF)};
}

Bytes Track(const Bytes& data, int declaredLength = -1) {
    const uint32_t length = declaredLength < 0 ? static_cast<uint32_t>(data.size()) : declaredLength;
    Bytes track{'M',
                'T',
                'r',
                'k',
                static_cast<uint8_t>(length >> 24),
                static_cast<uint8_t>(length >> 16),
                static_cast<uint8_t>(length >> 8),
                static_cast<uint8_t>(length)};
    track.insert(track.end(), data.begin(), data.end());
    return track;
}

Bytes File(const std::vector<Bytes>& tracks, int division = 96, int format = 0) {
    Bytes file = Header(format, static_cast<int>(tracks.size()), division);
    for (const Bytes& track : tracks) {
        file.insert(file.end(), track.begin(), track.end());
    }
    return file;
}

const Bytes kEndOfTrack{0x00, 0xFF, 0x2F, 0x00};

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

TEST(SmfReader, ReadsRunningStatusNotesAndTheTempoMap) {
    // Tempo 1 s per quarter, a note of one quarter, running status for the note-off (velocity 0),
    // then a tempo of 0.25 s per quarter and a second note.
    const Bytes data = Concat({{0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40}, // 1000000 us
                               {0x00, 0x90, 60, 100},
                               {0x60, 60, 0},
                               {0x00, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90}, // 250000 us
                               {0x00, 62, 90},
                               {0x60, 0x80, 62, 0},
                               kEndOfTrack});
    const SmfResult result = ParseSmf(File({Track(data)}));
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.song.ticksPerQuarter, 96u);
    EXPECT_EQ(result.song.endTick, 192u);

    const TimelineResult timeline = ScheduleSong(result.song, 48000);
    ASSERT_TRUE(timeline.ok());
    const auto& events = timeline.timeline.events;
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].frame, 0u);
    EXPECT_EQ(events[1].frame, 48000u); // one quarter at 1 s
    EXPECT_EQ(events[1].status, 0x80);  // velocity 0 became a note-off
    EXPECT_EQ(events[2].frame, 48000u); // running status across the tempo meta event
    EXPECT_EQ(events[2].data1, 62);
    EXPECT_EQ(events[3].frame, 60000u); // one quarter at 0.25 s
    EXPECT_EQ(events[0].partner, 1u);
    EXPECT_EQ(events[2].partner, 3u);
    EXPECT_EQ(timeline.timeline.lengthFrames, 60000u);
}

TEST(SmfReader, MergesTracksWithTheTempoOfTheFirst) {
    const Bytes tempoTrack = Concat({{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}, kEndOfTrack});     // 500000 us
    const Bytes noteTrack = Concat({{0x83, 0x00, 0x91, 64, 80}, {0x60, 0x81, 64, 0}, kEndOfTrack}); // tick 384
    const SmfResult result = ParseSmf(File({Track(tempoTrack), Track(noteTrack)}, 192, 1));
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.song.trackCount, 2);
    const TimelineResult timeline = ScheduleSong(result.song, 44100);
    ASSERT_EQ(timeline.timeline.events.size(), 2u);
    EXPECT_EQ(timeline.timeline.events[0].frame, 44100u); // two quarters of 0.5 s
    EXPECT_EQ(timeline.timeline.events[0].status, 0x91);
}

TEST(SmfReader, SmpteTimeBaseIgnoresTempo) {
    // 25 frames of 40 ticks: 1000 ticks a second.
    const Bytes data = Concat({{0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40}, {0x87, 0x68, 0x90, 60, 100}, kEndOfTrack});
    const SmfResult result = ParseSmf(File({Track(data)}, (static_cast<uint8_t>(-25) << 8) | 40));
    ASSERT_TRUE(result.ok()) << result.error;
    const TimelineResult timeline = ScheduleSong(result.song, 48000);
    ASSERT_EQ(timeline.timeline.events.size(), 1u);
    EXPECT_EQ(timeline.timeline.events[0].frame, 48000u); // tick 1000
}

TEST(SmfReader, ToleratesTruncationAndAMissingEndOfTrack) {
    const Bytes notes = Concat({{0x00, 0x90, 60, 100}, {0x60, 60, 0}});
    // No end of track at all.
    SmfResult result = ParseSmf(File({Track(notes)}));
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.song.events.size(), 2u);
    // The chunk claims more bytes than the file has, and the last event is cut in the middle.
    Bytes cut = File({Track(Concat({notes, {0x10, 0x90, 61}}), 1000)});
    result = ParseSmf(cut);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.song.events.size(), 2u);
    // Cut inside a variable-length delta and inside a meta event.
    result = ParseSmf(File({Track(Concat({notes, {0x81}}))}));
    EXPECT_TRUE(result.ok());
    result = ParseSmf(File({Track(Concat({notes, {0x00, 0xFF, 0x01, 0x40, 'a'}}))}));
    EXPECT_TRUE(result.ok());
    // Anything after the end of track is not part of the track.
    result = ParseSmf(File({Track(Concat({notes, kEndOfTrack, {0x00, 0x90, 70, 70}}))}));
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.song.events.size(), 2u);
}

TEST(SmfReader, RefusesDamagedFilesWithAReadableReason) {
    struct Case {
        const char* what;
        Bytes bytes;
        const char* mentions;
    };
    const std::vector<Case> cases = {
        {"empty", {}, "empty"},
        {"not a MIDI file", {'R', 'I', 'F', 'F', 0, 0, 0, 4, 'W', 'A', 'V', 'E', 0, 0}, "MThd"},
        {"short header", Concat({{'M', 'T', 'h', 'd', 0, 0, 0, 2, 0, 0}}), "header"},
        {"zero division", File({Track(kEndOfTrack)}, 0), "time base"},
        {"no track", Header(0, 1, 96), "no track"},
        {"running status without status", File({Track(Concat({{0x00, 60, 100}, kEndOfTrack}))}), "status"},
        {"status where data belongs", File({Track(Concat({{0x00, 0x90, 60, 0x90}, kEndOfTrack}))}), "data byte"},
        {"over-long delta", File({Track(Concat({{0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 1}, kEndOfTrack}))}),
         "variable-length"},
        {"system realtime byte", File({Track(Concat({{0x00, 0xF8}, kEndOfTrack}))}), "0xF8"},
        {"format 3", Concat({Header(3, 1, 96), Track(kEndOfTrack)}), "format"},
    };
    for (const Case& c : cases) {
        const SmfResult result = ParseSmf(c.bytes);
        EXPECT_FALSE(result.ok()) << c.what;
        EXPECT_NE(result.error.find(c.mentions), std::string::npos) << c.what << ": " << result.error;
    }
}

TEST(SmfReader, HugeDeltasAreRefusedAsTooLongNotPlayedForHours) {
    // Ten deltas of 0x0FFFFFFF ticks at 16.7 s per quarter of 1 tick: centuries.
    Bytes data{0x00, 0xFF, 0x51, 0x03, 0xFF, 0xFF, 0xFF};
    for (int i = 0; i < 10; ++i) {
        data.insert(data.end(), {0xFF, 0xFF, 0xFF, 0x7F, 0x90, 60, 100});
    }
    const SmfResult result = ParseSmf(File({Track(data)}, 1));
    ASSERT_TRUE(result.ok()) << result.error;
    const TimelineResult timeline = ScheduleSong(result.song, 48000);
    EXPECT_FALSE(timeline.ok());
    EXPECT_NE(timeline.error.find("too long"), std::string::npos);
}

TEST(SmfReader, ReadFileNamesAMissingFile) {
    const SmfResult result = ReadSmfFile("/nonexistent/qlor/temp.mid");
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.error.find("/nonexistent/qlor/temp.mid"), std::string::npos);
}

// Many tempo changes, each with a tempo that does not divide evenly: the frame of every event
// is the exact time rounded once, so the last note of a long file has not drifted at all.
TEST(Sequencer, ExactTimesOverManyTempoChanges) {
    Bytes data;
    long double us = 0;
    std::vector<long double> expected;
    for (int i = 0; i < 2000; ++i) {
        const uint32_t tempo = 1000003 + 3001u * i; // up to 7 s a quarter, within 3 bytes
        data.insert(data.end(), {0x00, 0xFF, 0x51, 0x03, static_cast<uint8_t>(tempo >> 16),
                                 static_cast<uint8_t>(tempo >> 8), static_cast<uint8_t>(tempo)});
        data.insert(data.end(), {0x00, 0x90, 60, 100, 0x31, 0x80, 60, 0}); // 49 ticks
        expected.push_back(us);
        us += 49.0L * tempo / 255.0L;
    }
    const SmfResult result = ParseSmf(File({Track(data)}, 255));
    ASSERT_TRUE(result.ok()) << result.error;
    const TimelineResult timeline = ScheduleSong(result.song, 48000);
    ASSERT_TRUE(timeline.ok());
    size_t note = 0;
    for (const TimedEvent& event : timeline.timeline.events) {
        if ((event.status & 0xF0) == 0x90) {
            const long double frames = test::UsToFrames(expected[note++], 48000);
            EXPECT_NEAR(static_cast<double>(event.exactFrame), static_cast<double>(frames), 1e-6 * frames + 1e-6);
            EXPECT_LE(std::fabs(static_cast<long double>(event.frame) - frames), 0.5L);
        }
    }
    EXPECT_EQ(note, 2000u);
}

TEST(Sequencer, OverlappingNotesOfOneKeyPairOldestFirst) {
    const Bytes data = Concat({{0x00, 0x90, 60, 100},
                               {0x10, 0x90, 60, 100},
                               {0x10, 0x80, 60, 0},
                               {0x10, 0x80, 60, 0},
                               {0x00, 0x80, 61, 0},
                               kEndOfTrack});
    const SmfResult result = ParseSmf(File({Track(data)}));
    const TimelineResult timeline = ScheduleSong(result.song, 48000);
    const auto& events = timeline.timeline.events;
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0].partner, 2u);
    EXPECT_EQ(events[1].partner, 3u);
    EXPECT_EQ(events[4].partner, kNoPartner); // a stray note-off
}

// A fuzz-style sweep: random bytes and random damage to a real Morse file never crash, hang or
// produce a song the sequencer cannot place.
TEST(SmfReader, AnyBytesAreSafe) {
    std::mt19937 random(2000);
    const Bytes morse = test::MorseMidi({"PARIS 12345"}, {60});
    for (int round = 0; round < 3000; ++round) {
        Bytes bytes;
        if (round % 3 == 0) {
            bytes.resize(random() % 200);
            for (uint8_t& b : bytes) {
                b = static_cast<uint8_t>(random());
            }
            if (round % 2 == 0 && bytes.size() >= 4) {
                std::copy_n("MThd", 4, bytes.begin());
            }
        } else {
            bytes = morse;
            const int damage = 1 + static_cast<int>(random() % 8);
            for (int d = 0; d < damage; ++d) {
                bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
            }
            if (round % 3 == 2) {
                bytes.resize(random() % bytes.size());
            }
        }
        const SmfResult result = ParseSmf(bytes);
        if (result.ok()) {
            const TimelineResult timeline = ScheduleSong(result.song, 48000);
            if (timeline.ok()) {
                for (const TimedEvent& event : timeline.timeline.events) {
                    ASSERT_LE(event.frame, timeline.timeline.lengthFrames);
                }
            }
        } else {
            ASSERT_FALSE(result.error.empty());
        }
    }
}

} // namespace
} // namespace qlor
