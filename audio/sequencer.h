#pragma once
// Sequencer: places every channel event of a song on the output's sample grid. Times are summed
// exactly (integer arithmetic over the tempo map), so there is no drift however many tempo
// changes a file holds; each event gets both its exact position and the nearest frame.
#include "audio/smf_reader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qlor {

inline constexpr uint32_t kNoPartner = 0xFFFFFFFFu;

struct TimedEvent {
    uint64_t frame = 0;      // nearest output frame [frames]
    double exactFrame = 0.0; // exact position [frames], fractional
    uint8_t status = 0;      // channel message; a note-on with velocity 0 is turned into a note-off
    uint8_t data1 = 0;
    uint8_t data2 = 0;
    uint32_t partner = kNoPartner; // note-on: index of its note-off (none when the song ends first)
};

struct MidiTimeline {
    int rate = 48000;               // output rate [frames/s]
    std::vector<TimedEvent> events; // channel messages in time order
    uint64_t lengthFrames = 0;      // end of the song, end of track included [frames]
    double lengthExactFrames = 0.0; // [frames]
};

inline constexpr uint64_t kMaxSongMs = 48ull * 3600 * 1000; // longer songs are refused [ms]

struct TimelineResult {
    std::string error;
    MidiTimeline timeline;
    bool ok() const { return error.empty(); }
};

// Schedules every channel event of the song at `rate` [frames/s]; refuses songs longer than
// kMaxSongMs.
TimelineResult ScheduleSong(const SmfSong& song, int rate);

// Where the last note of the song ends: its latest note-off [frames]; 0 when it has no note-off.
uint64_t LastNoteOffFrame(const MidiTimeline& timeline);

inline uint64_t FramesToMs(uint64_t frames, int rate) {
    return rate > 0 ? (frames * 1000 + static_cast<uint64_t>(rate) / 2) / static_cast<uint64_t>(rate) : 0;
}

} // namespace qlor
