// libFuzzer entry for text -> elements -> MIDI: any override table, text and settings give a
// file that the program's own reader and sequencer take, with one note for every dot and dash
// (or the refusal of a text without a keyable character, or of one longer than the player plays).
#include "audio/sequencer.h"
#include "audio/smf_reader.h"
#include "fuzz/fuzz_input.h"
#include "synthesis/midi_writer.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qlor::fuzz::Input in(data, size);
    qlor::MidiVoice voice;
    voice.channel = in.Int(0, 15);
    voice.patch = in.Int(0, 127);
    voice.pauseDelayDots = in.Int(3, 15);
    voice.note = in.Int(40, 110);
    qlor::SegmentText segment;
    segment.speedCpm = in.Int(0, 399);
    const int pauseSeconds = in.Int(0, 99);
    qlor::MorseTable table;
    table.ApplyOverrides(in.Part());
    segment.header = std::string(in.Part());
    segment.body = std::string(in.Rest());

    const qlor::MidiResult built = qlor::BuildMorseMidi(table, {segment}, pauseSeconds, voice);
    if (!built) {
        if (built.error != qlor::MidiError::NoKeyableCharacter && built.error != qlor::MidiError::Io) {
            std::abort();
        }
        return 0;
    }
    const qlor::SmfResult song = qlor::ParseSmf(built.bytes);
    if (!song.ok()) {
        std::abort();
    }
    const qlor::TimelineResult timeline = qlor::ScheduleSong(song.song, 48000);
    if (!timeline.ok()) {
        // The one refusal allowed: a text that would sound for more than kMaxSongMs (a long own
        // text at 5 cpm), which the player names as too long.
        if (timeline.error.find("too long") == std::string::npos) {
            std::abort();
        }
        return 0;
    }
    const qlor::Elements elements =
        qlor::TextToElements(table, qlor::FullSegmentText(segment.header, segment.body, segment.ending));
    const auto keyed =
        std::count_if(elements.elements.begin(), elements.elements.end(), [](char c) { return c == 'D' || c == 'T'; });
    const auto sounding = std::count_if(song.song.events.begin(), song.song.events.end(), [&](const qlor::SmfEvent& e) {
        return e.status == 0x90 + voice.channel && e.data2 > 0;
    });
    if (keyed != sounding) {
        std::abort();
    }
    return 0;
}
