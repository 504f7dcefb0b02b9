// Everything the MIDI writer writes, the program's own reader and sequencer take: any element
// string (through overrides) and any settings, long silences and end pauses included.
#include "audio/sequencer.h"
#include "audio/smf_reader.h"
#include "synthesis/midi_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace qlor {
namespace {

TEST(MidiRoundTrip, AnyElementsAndSettingsAreReadBackNoteForNote) {
    std::mt19937 random(2026);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int round = 0; round < 60; ++round) {
        // Every third table is made of silence only (a fast tempo, so the end pause alone needs
        // more than four delta-time bytes); the others mix notes, gaps and letters that sound nothing.
        MorseTable table;
        std::string overrides;
        for (int index : {1, 2, 3}) {
            std::string pattern;
            const int length = pick(1, static_cast<int>(MorseTable::kMaxPatternLetters));
            const char* letters = round % 3 == 0 ? "PQ" : "DTPQRx";
            for (int i = 0; i < length; ++i) {
                pattern += letters[pick(0, static_cast<int>(std::char_traits<char>::length(letters)) - 1)];
            }
            overrides += std::to_string(index) + ":" + pattern + ";\r\n";
        }
        table.ApplyOverrides(overrides);
        SegmentText segment;
        const int characters = round % 3 == 0 ? pick(2000, 12000) : pick(1, 60);
        for (int i = 0; i < characters; ++i) {
            segment.body += "ABC "[pick(0, 3)];
        }
        segment.header = round % 2 == 0 ? "vvv=" : "";
        segment.speedCpm = pick(0, 399);
        MidiVoice voice;
        voice.channel = pick(0, 15);
        voice.patch = pick(0, 127);
        voice.pauseDelayDots = pick(3, 15);
        voice.note = pick(40, 110);
        const int pauseSeconds = pick(0, 60);

        const MidiResult built = BuildMorseMidi(table, {segment}, pauseSeconds, voice);
        if (built.error == MidiError::NoKeyableCharacter) {
            continue; // refused with its message: nothing written
        }
        ASSERT_TRUE(built) << built.message;
        const SmfResult song = ParseSmf(built.bytes);
        ASSERT_TRUE(song.ok()) << "round " << round << ": " << song.error;
        const TimelineResult timeline = ScheduleSong(song.song, 48000);
        ASSERT_TRUE(timeline.ok()) << "round " << round << ": " << timeline.error;

        const Elements elements = TextToElements(table, FullSegmentText(segment.header, segment.body, segment.ending));
        const auto keyed = static_cast<size_t>(std::count_if(elements.elements.begin(), elements.elements.end(),
                                                             [](char c) { return c == 'D' || c == 'T'; }));
        const auto sounding =
            static_cast<size_t>(std::count_if(song.song.events.begin(), song.song.events.end(), [&](const SmfEvent& e) {
                return e.status == 0x90 + voice.channel && e.data2 > 0 && e.data1 == voice.note;
            }));
        EXPECT_EQ(sounding, keyed) << "round " << round;
        // The song ends after its closing pause (0 means 5 s).
        const uint64_t pauseMs = 1000ull * (pauseSeconds == 0 ? 5 : pauseSeconds);
        EXPECT_GE(FramesToMs(timeline.timeline.lengthFrames, 48000) + 1, pauseMs) << "round " << round;
    }
}

} // namespace
} // namespace qlor
