#include "audio/soundfont_renderer.h"

#include <fluidsynth.h>

#include <algorithm>
#include <map>
#include <tuple>

namespace qlor {
namespace {

constexpr uint64_t kGrid = kSynthBlockFrames; // [frames]

} // namespace

std::set<std::pair<int, int>> SoundFontRenderer::PresetsOf(const MidiTimeline& timeline) {
    std::set<std::pair<int, int>> presets{{0, 0}, {128, 0}};
    ChannelPresets state;
    for (const TimedEvent& event : timeline.events) {
        if (state.Apply(event)) {
            const int channel = event.status & 0x0F;
            presets.insert({state.bank[channel], event.data1});
            // FluidSynth falls back to bank 0 (melodic) or to the standard kit when a preset is missing.
            presets.insert({channel == kDrumChannel ? 128 : 0, channel == kDrumChannel ? 0 : event.data1});
        }
    }
    return presets;
}

SoundFontRenderer::SoundFontRenderer(SoundFontBank& bank, const MidiTimeline& timeline)
    : bank_(bank), timeline_(timeline) {
    bank_.PinPresets(PresetsOf(timeline));
    const int planned = PlanPoolSize();
    const int count = bank_.FreshSynths(planned);
    synths_.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        synths_[i].synth = bank_.Synth(i);
        synths_[i].index = i;
    }
    offScheduled_.assign(timeline.events.size(), 0);
    scratch_.assign(2 * kMaxBlockFrames, 0.0f);
    Restart(0);
}

// How many synths the song needs so that every note-on finds a silent one: each note keeps its
// synth busy from its note-on until its measured release has died away after the note-off.
int SoundFontRenderer::PlanPoolSize() const {
    constexpr size_t kMaxProbes = 32; // distinct notes measured per song; others count as the longest
    std::vector<uint64_t> busyUntil;
    std::map<std::tuple<int, int, int>, uint64_t> releases;
    uint64_t longest = 0;
    ChannelPresets state;
    for (const TimedEvent& event : timeline_.events) {
        state.Apply(event);
        if ((event.status & 0xF0) != 0x90) {
            continue;
        }
        const int channel = event.status & 0x0F;
        const auto note = std::make_tuple(state.bank[channel], state.program[channel], int{event.data1});
        auto known = releases.find(note);
        if (known == releases.end() && releases.size() < kMaxProbes) {
            // Measured at full velocity: a louder note rings longer.
            known = releases.emplace(note, bank_.ReleaseFrames(std::get<0>(note), std::get<1>(note), event.data1, 127))
                        .first;
            longest = std::max(longest, known->second);
        }
        const uint64_t release = known != releases.end() ? known->second : longest;
        const uint64_t off =
            (event.partner != kNoPartner ? timeline_.events[event.partner].frame : timeline_.lengthFrames) + kGrid / 2;
        const uint64_t freeAt = off + release + release / 4 + 2 * kGrid; // with a margin
        auto slot = std::find_if(busyUntil.begin(), busyUntil.end(), [&](uint64_t t) { return t <= event.frame; });
        if (slot != busyUntil.end()) {
            *slot = freeAt;
        } else if (busyUntil.size() < static_cast<size_t>(SoundFontBank::kMaxSynths)) {
            busyUntil.push_back(freeAt);
        } else {
            *std::min_element(busyUntil.begin(), busyUntil.end()) = freeAt;
        }
    }
    return std::max<int>(2, static_cast<int>(busyUntil.size()));
}

// Back to the state of a new synth: controllers, pitch bend and the General MIDI default
// programs (which are pinned, so nothing is loaded). Unlike a system reset this touches only
// the channels' state, so it may run on the audio thread.
void SoundFontRenderer::ResetChannels(SynthState& state) {
    for (int channel = 0; channel < 16; ++channel) {
        fluid_synth_cc(state.synth, channel, 121, 0); // reset all controllers
        fluid_synth_pitch_bend(state.synth, channel, 8192);
        if (channel != kDrumChannel) {
            fluid_synth_bank_select(state.synth, channel, 0);
        }
        fluid_synth_program_change(state.synth, channel, 0);
    }
}

void SoundFontRenderer::Restart(uint64_t start) {
    for (SynthState& state : synths_) {
        fluid_synth_all_sounds_off(state.synth, -1);
        state.offCount = 0;
        state.cursor = start;
        if (start == 0) {
            ResetChannels(state);
        }
    }
    if (start == 0) {
        std::fill(offScheduled_.begin(), offScheduled_.end(), 0);
        owner_.fill(-1);
        lastSynth_ = -1;
    }
    next_ =
        static_cast<size_t>(std::lower_bound(timeline_.events.begin(), timeline_.events.end(), start,
                                             [](const TimedEvent& event, uint64_t at) { return event.frame < at; }) -
                            timeline_.events.begin());
}

bool SoundFontRenderer::Silent(const SynthState& state) const {
    return fluid_synth_get_active_voice_count(state.synth) == 0;
}

void SoundFontRenderer::RenderTo(SynthState& state, uint64_t until) {
    if (until <= state.cursor) {
        return;
    }
    if (Silent(state)) { // nothing to hear: the synth is not rendered at all
        state.cursor = until;
        return;
    }
    const auto frames = static_cast<size_t>(until - state.cursor);
    float* scratch = scratch_.data();
    fluid_synth_write_float(state.synth, static_cast<int>(frames), scratch, 0, 2, scratch, 1, 2);
    bank_.Written(state.index) += frames;
    float* out = blockOut_ + 2 * (state.cursor - blockStart_);
    for (size_t k = 0; k < 2 * frames; ++k) {
        out[k] += scratch[k];
    }
    state.cursor = until;
}

void SoundFontRenderer::Advance(SynthState& state, uint64_t until) {
    while (state.offCount > 0 && state.offs[0].frame <= until) {
        RenderTo(state, state.offs[0].frame);
        fluid_synth_noteoff(state.synth, state.offs[0].channel, state.offs[0].key);
        std::copy(state.offs.begin() + 1, state.offs.begin() + state.offCount, state.offs.begin());
        --state.offCount;
    }
    RenderTo(state, until);
}

void SoundFontRenderer::FlushOffs(SynthState& state) {
    for (int k = 0; k < state.offCount; ++k) {
        fluid_synth_noteoff(state.synth, state.offs[k].channel, state.offs[k].key);
    }
    state.offCount = 0;
}

// A silent synth's next block is made to start exactly here: the frames left in its current
// block are rendered (they are silent) and dropped.
void SoundFontRenderer::Realign(SynthState& state) {
    uint64_t& written = bank_.Written(state.index);
    const auto rest = static_cast<int>((kGrid - written % kGrid) % kGrid);
    if (rest > 0) {
        float* scratch = scratch_.data();
        fluid_synth_write_float(state.synth, rest, scratch, 0, 2, scratch, 1, 2);
        written += static_cast<uint64_t>(rest);
    }
}

void SoundFontRenderer::NoteOn(const TimedEvent& event, uint64_t at) {
    const int count = static_cast<int>(synths_.size());
    if (count == 0) {
        return; // no synth could be made: silence
    }
    int chosen = -1;
    for (int k = 1; k <= count && chosen < 0; ++k) {
        const int i = (lastSynth_ + k + count) % count;
        Advance(synths_[i], at);
        if (Silent(synths_[i])) {
            chosen = i;
        }
    }
    uint64_t applied = at;
    if (chosen >= 0) {
        SynthState& state = synths_[chosen];
        FlushOffs(state); // notes whose sound has already died away
        Realign(state);
        state.cursor = at;
        state.phase = static_cast<uint32_t>(at % kGrid);
    } else {
        // Every synth still sounds: take the one whose next block starts first.
        uint64_t bestWait = kGrid;
        for (int i = 0; i < count; ++i) {
            const uint64_t wait = (synths_[i].phase + kGrid - at % kGrid) % kGrid;
            if (wait < bestWait) {
                bestWait = wait;
                chosen = i;
            }
        }
        applied = at + bestWait;
    }
    SynthState& state = synths_[chosen];
    const int channel = event.status & 0x0F;
    fluid_synth_noteon(state.synth, channel, event.data1, event.data2);
    lastSynth_ = chosen;
    owner_[channel * 128 + event.data1] = static_cast<int8_t>(chosen);

    if (event.partner == kNoPartner || state.offCount >= kMaxPendingOffs) {
        return; // the note-off event itself will be sent when it comes
    }
    const uint64_t off = timeline_.events[event.partner].frame;
    const uint64_t past = (off % kGrid + kGrid - state.phase) % kGrid; // frames since the boundary before
    uint64_t boundary = past < kGrid / 2 ? off - past : off + (kGrid - past);
    boundary = std::max(boundary, applied + kGrid);
    int slot = state.offCount;
    while (slot > 0 && state.offs[slot - 1].frame > boundary) {
        state.offs[slot] = state.offs[slot - 1];
        --slot;
    }
    state.offs[slot] = PendingOff{boundary, static_cast<uint8_t>(channel), event.data1};
    ++state.offCount;
    offScheduled_[event.partner] = 1;
}

void SoundFontRenderer::RenderBlock(uint64_t start, size_t frames, float* out) {
    const uint64_t end = start + std::min(frames, kMaxBlockFrames);
    blockStart_ = start;
    blockOut_ = out;
    const auto& events = timeline_.events;
    for (; next_ < events.size() && events[next_].frame < end; ++next_) {
        const TimedEvent& event = events[next_];
        const uint64_t at = std::max(event.frame, start);
        const int channel = event.status & 0x0F;
        switch (event.status & 0xF0) {
        case 0x90:
            NoteOn(event, at);
            break;
        case 0x80: {
            if (offScheduled_[next_]) {
                break;
            }
            const int owner = owner_[channel * 128 + event.data1];
            for (SynthState& state : synths_) {
                if (owner < 0 || owner == state.index) {
                    Advance(state, at);
                    fluid_synth_noteoff(state.synth, channel, event.data1);
                }
            }
            break;
        }
        default:
            for (SynthState& state : synths_) {
                Advance(state, at);
                switch (event.status & 0xF0) {
                case 0xA0:
                    fluid_synth_key_pressure(state.synth, channel, event.data1, event.data2);
                    break;
                case 0xB0:
                    fluid_synth_cc(state.synth, channel, event.data1, event.data2);
                    break;
                case 0xC0:
                    fluid_synth_program_change(state.synth, channel, event.data1);
                    break;
                case 0xD0:
                    fluid_synth_channel_pressure(state.synth, channel, event.data1);
                    break;
                case 0xE0:
                    fluid_synth_pitch_bend(state.synth, channel, event.data1 | (event.data2 << 7));
                    break;
                default:
                    break;
                }
            }
            break;
        }
    }
    for (SynthState& state : synths_) {
        Advance(state, end);
    }
}

} // namespace qlor
