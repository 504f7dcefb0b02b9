#pragma once
// Standard MIDI File synthesis: one track, one segment per radiogram.
#include "base/safe_file.h" // WriteFileAtomically, used by every writer of the program
#include "synthesis/morse_table.h"
#include "synthesis/transmission_settings.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qlor {

using ByteVector = std::vector<uint8_t>;

// The settings the synthesis reads when a file is written.
struct MidiVoice {
    int channel = 0;        // "Midi Chanell" 0..15
    int patch = 70;         // "Midi Patch" 0..127
    int pauseDelayDots = 3; // "Pause Delay" 3..15 [dot units]
    int note = 73;          // "Tone" 40..110
};

// The voice of `settings` (channel, program and pause between characters) at the MIDI note `note`.
MidiVoice SettingsVoice(const TransmissionSettings& settings, int note);

// One segment: a radiogram at one speed (header, body, ending kept apart).
struct SegmentText {
    std::string header; // cp1251
    std::string body;
    std::string ending;
    int speedCpm = 0; // sending speed, already converted [cpm]
};

// Copyright text carried by every segment after its tempo event.
inline constexpr std::string_view kCopyrightText = "QLOR-2000 code trainer";

ByteVector EncodeVarLen(uint64_t value);
ByteVector MidiHeader(int trackCount, uint32_t trackLength);

struct Events {
    ByteVector bytes;          // 00, 90+ch and the note events
    uint64_t weightTotal = 0;  // U [ticks]
    uint64_t soundedTicks = 0; // from the segment's start to its last note-off [ticks]
};
Events ElementsToEvents(std::string_view elements, const MidiVoice& voice);

// Header/body/ending trimmed, runs of spaces reduced to one, joined by single spaces.
std::string FullSegmentText(std::string_view header, std::string_view body, std::string_view ending);

enum class MidiError {
    None,
    NoKeyableCharacter, // a body without any character that has an entry: it cannot be timed
    Io,                 // the file could not be written (message says why)
};

struct MidiResult {
    MidiError error = MidiError::None;
    std::string message; // readable reason when error != None (UTF-8)
    ByteVector bytes;    // the file (BuildMorseMidi) when error == None
    // Playing time of each segment in the bytes, its closing pause included, when error == None;
    // a player's position tells the segment playing from their running sum [us].
    std::vector<uint64_t> segmentLengthsUs;
    explicit operator bool() const { return error == MidiError::None; }
};

// Bytes of one segment (tempo, copyright, notes, closing marker), or NoKeyableCharacter.
MidiResult BuildSegment(const MorseTable& table, const SegmentText& segment, int pauseSeconds, const MidiVoice& voice);
// The whole file in memory.
MidiResult BuildMorseMidi(const MorseTable& table, const std::vector<SegmentText>& segments, int pauseSeconds,
                          const MidiVoice& voice);
// Builds and writes the file: written to a temporary name beside it and renamed into place, so
// a failure never leaves an empty or partial file under the final name.
MidiResult WriteMorseMidi(const MorseTable& table, const std::vector<SegmentText>& segments, const std::string& path,
                          int pauseSeconds, const MidiVoice& voice);

} // namespace qlor
