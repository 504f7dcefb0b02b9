#include "audio/sequencer.h"

#include <algorithm>

namespace qlor {
namespace {

using u128 = unsigned __int128;

// Position of a time given as numerator / denominator [us] on the grid of `rate`: the nearest
// frame (halves up) and the exact fractional frame.
struct FramePosition {
    uint64_t frame;
    double exact;
};

FramePosition PositionOf(u128 numerator, uint64_t denominator, int rate) {
    const u128 scaled = numerator * static_cast<u128>(rate);
    const u128 divisor = static_cast<u128>(denominator) * 1000000u;
    const u128 whole = scaled / divisor;
    const u128 rest = scaled % divisor;
    FramePosition position;
    position.frame = static_cast<uint64_t>(whole) + (rest * 2 >= divisor ? 1 : 0);
    position.exact = static_cast<double>(static_cast<long double>(whole) +
                                         static_cast<long double>(rest) / static_cast<long double>(divisor));
    return position;
}

} // namespace

TimelineResult ScheduleSong(const SmfSong& song, int rate) {
    TimelineResult result;
    if (rate < 8000 || rate > 384000) {
        result.error = "Unsupported output rate " + std::to_string(rate) + " Hz.";
        return result;
    }
    const bool metrical = song.ticksPerQuarter > 0;
    const uint64_t denominator = metrical ? song.ticksPerQuarter : song.smpteTickDenominator;
    uint64_t perTick = metrical ? kDefaultTempoUsPerQuarter : song.smpteTickNumerator; // [us * denominator / tick]

    // The song's length first, so an absurd file is refused before anything is built.
    {
        u128 numerator = 0;
        uint64_t lastTick = 0;
        uint64_t tempoUsPerQuarter = perTick;
        for (const SmfEvent& event : song.events) {
            if (event.status == 0xFF && metrical) {
                numerator += static_cast<u128>(event.tick - lastTick) * tempoUsPerQuarter;
                lastTick = event.tick;
                tempoUsPerQuarter = event.tempoUsPerQuarter;
            }
        }
        numerator += static_cast<u128>(song.endTick - lastTick) * tempoUsPerQuarter;
        const u128 ms = numerator / (static_cast<u128>(denominator) * 1000u);
        if (ms > kMaxSongMs) {
            result.error =
                "The MIDI file is too long to play (more than " + std::to_string(kMaxSongMs / 3600000) + " hours).";
            return result;
        }
    }

    MidiTimeline& timeline = result.timeline;
    timeline.rate = rate;
    timeline.events.reserve(song.events.size());
    // Open note-ons per channel and key, oldest first: a note-off ends the oldest one.
    std::vector<std::vector<uint32_t>> open(16 * 128);
    std::vector<uint32_t> openHead(16 * 128, 0);

    u128 numerator = 0;
    uint64_t lastTick = 0;
    for (const SmfEvent& event : song.events) {
        numerator += static_cast<u128>(event.tick - lastTick) * perTick;
        lastTick = event.tick;
        if (event.status == 0xFF) {
            if (metrical) {
                perTick = event.tempoUsPerQuarter;
            }
            continue;
        }
        const FramePosition at = PositionOf(numerator, denominator, rate);
        TimedEvent timed;
        timed.frame = at.frame;
        timed.exactFrame = at.exact;
        timed.status = event.status;
        timed.data1 = event.data1;
        timed.data2 = event.data2;
        const uint8_t kind = event.status & 0xF0;
        const size_t key = (event.status & 0x0F) * 128u + (event.data1 & 0x7F);
        const auto index = static_cast<uint32_t>(timeline.events.size());
        if (kind == 0x90 && event.data2 == 0) {
            timed.status = static_cast<uint8_t>(0x80 | (event.status & 0x0F));
        }
        if ((timed.status & 0xF0) == 0x90) {
            open[key].push_back(index);
        } else if ((timed.status & 0xF0) == 0x80 && openHead[key] < open[key].size()) {
            timeline.events[open[key][openHead[key]++]].partner = index;
            if (openHead[key] == open[key].size()) {
                open[key].clear();
                openHead[key] = 0;
            }
        }
        timeline.events.push_back(timed);
    }
    numerator += static_cast<u128>(song.endTick - lastTick) * perTick;
    const FramePosition end = PositionOf(numerator, denominator, rate);
    timeline.lengthFrames = end.frame;
    timeline.lengthExactFrames = end.exact;
    return result;
}

uint64_t LastNoteOffFrame(const MidiTimeline& timeline) {
    uint64_t last = 0;
    for (const TimedEvent& e : timeline.events) {
        if ((e.status & 0xF0) == 0x80) {
            last = std::max(last, e.frame);
        }
    }
    return last;
}

} // namespace qlor
