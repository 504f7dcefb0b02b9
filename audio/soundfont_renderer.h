#pragma once
// The SoundFont voice for songs that need a synth following every event (foreign files with
// controllers or pitch bends; the program's own files use the note cache, note_cache_renderer.h):
// a song's events sent to a pool of FluidSynth synths between writes.
//
// FluidSynth applies an event at the start of its next 64-frame block. A note-on therefore goes
// to a synth that is silent: its block grid is moved onto the note-on frame by rendering and
// discarding (silent) frames, so the note starts on its exact frame. Notes go to the silent
// synths in turn, so the previous note's release rings out on another synth. Its note-off is
// applied at the block boundary of that synth nearest to the note-off frame (within 32 frames
// [frames]). Silent synths are not rendered at all. Only when no synth is silent does a note-on
// wait for the next block boundary of the synth that reaches one first.
#include "audio/audio_source.h"
#include "audio/sequencer.h"
#include "audio/soundfont_bank.h"

#include <array>
#include <set>
#include <utility>
#include <vector>

namespace qlor {

inline constexpr int kDrumChannel = 9;

// Bank and program state of the 16 channels while a song is scanned, following FluidSynth's
// default ("gs") bank selection: controller 0 chooses the bank, the drum channel plays bank 128.
struct ChannelPresets {
    std::array<int, 16> bank{};
    std::array<int, 16> program{};
    ChannelPresets() { bank[kDrumChannel] = 128; }
    // Applies an event; returns true when it selects a program.
    bool Apply(const TimedEvent& event) {
        const int channel = event.status & 0x0F;
        if ((event.status & 0xF0) == 0xB0 && event.data1 == 0) {
            bank[channel] = channel == kDrumChannel ? 128 : event.data2;
        } else if ((event.status & 0xF0) == 0xC0) {
            program[channel] = event.data1;
            return true;
        }
        return false;
    }
};

class SoundFontRenderer : public NoteRenderer {
public:
    // Prepares the bank for the song (window's thread): pins its presets, sizes the pool for its
    // release tails and resets the synths. The bank must stay loaded while the renderer lives.
    SoundFontRenderer(SoundFontBank& bank, const MidiTimeline& timeline);

    void RenderBlock(uint64_t start, size_t frames, float* out) override;
    void Restart(uint64_t start) override;

    // The presets a song selects, as (bank, program), General MIDI defaults included.
    static std::set<std::pair<int, int>> PresetsOf(const MidiTimeline& timeline);

    static constexpr size_t kMaxBlockFrames = 4096;

private:
    static constexpr int kMaxPendingOffs = 32;
    struct PendingOff {
        uint64_t frame = 0;
        uint8_t channel = 0;
        uint8_t key = 0;
    };
    struct SynthState {
        fluid_synth_t* synth = nullptr;
        int index = 0;
        uint64_t cursor = 0; // output rendered up to here [frames]
        uint32_t phase = 0;  // absolute frame of its block starts, modulo 64, while it sounds
        std::array<PendingOff, kMaxPendingOffs> offs{};
        int offCount = 0;
    };

    int PlanPoolSize() const;
    void ResetChannels(SynthState& state);
    bool Silent(const SynthState& state) const;
    void Advance(SynthState& state, uint64_t until);
    void RenderTo(SynthState& state, uint64_t until);
    void Realign(SynthState& state);
    void NoteOn(const TimedEvent& event, uint64_t at);
    void FlushOffs(SynthState& state);

    SoundFontBank& bank_;
    const MidiTimeline& timeline_;
    std::vector<SynthState> synths_;
    std::vector<uint8_t> offScheduled_;    // per event: its note-off was scheduled by the note-on
    std::array<int8_t, 16 * 128> owner_{}; // synth of the last note-on per channel and key
    size_t next_ = 0;
    int lastSynth_ = -1;
    uint64_t blockStart_ = 0;
    float* blockOut_ = nullptr;
    std::vector<float> scratch_;
};

} // namespace qlor
