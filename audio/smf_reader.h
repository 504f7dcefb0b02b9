#pragma once
// Standard MIDI File reader: header, any number of tracks (merged in time order), running
// status, meta events and the tempo map. Any bytes are safe: damaged files give a readable
// error, never a crash or an endless loop.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qlor {

// One event of the merged song. Channel messages keep their bytes; of the meta events only the
// tempo changes are kept (others only move the song's end).
struct SmfEvent {
    uint64_t tick = 0;  // absolute time [ticks]
    uint8_t status = 0; // 0x80..0xEF channel message, 0xFF tempo change
    uint8_t data1 = 0;
    uint8_t data2 = 0;
    uint32_t tempoUsPerQuarter = 0; // tempo changes only [us/quarter]
};

struct SmfSong {
    int format = 0;
    int trackCount = 0; // track chunks actually read
    // Time base. Metrical files: ticksPerQuarter > 0 and the tempo map applies. SMPTE files:
    // ticksPerQuarter == 0 and one tick lasts smpteTickNumerator / smpteTickDenominator [us].
    uint32_t ticksPerQuarter = 0;
    uint64_t smpteTickNumerator = 0;
    uint64_t smpteTickDenominator = 1;
    std::vector<SmfEvent> events; // sorted by tick; equal ticks keep track order
    uint64_t endTick = 0;         // time of the last event of any kind, end of track included [ticks]
};

struct SmfResult {
    std::string error; // readable reason (UTF-8) when the file cannot be used
    SmfSong song;
    bool ok() const { return error.empty(); }
};

inline constexpr size_t kMaxSmfFileBytes = 64u << 20;         // larger files are refused [bytes]
inline constexpr size_t kMaxSmfEvents = 4u << 20;             // more kept events are refused
inline constexpr uint32_t kDefaultTempoUsPerQuarter = 500000; // 120 quarters a minute [us/quarter]

// Parses the bytes of a file. Tolerated: a missing end of track, a truncated last chunk or event
// (the track ends there), unknown chunks, running status across meta events. Refused with an
// error: no "MThd" header, a zero time base, no track, a data byte before any status byte, an
// unknown status byte, an over-long variable-length number, too many events.
SmfResult ParseSmf(std::span<const uint8_t> bytes);

// Reads and parses a file; a missing or unreadable file is an error naming it.
SmfResult ReadSmfFile(const std::string& path);

} // namespace qlor
