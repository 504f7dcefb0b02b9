#pragma once
// The SoundFont voice for songs of plain notes (the program's own Morse files): each distinct
// note (preset, key, velocity) is rendered once by FluidSynth, off the audio thread, as long as
// the longest of its notes, and the song is mixed from copies of it. A copy is the instrument's
// sustained sound keyed by the pure tone's raised-cosine edges (kToneEdgeMs, shortened at high
// speeds exactly as the tone's: NoteHalfEdges), centred on the
// exact note-on and note-off, so it passes half its key-down level exactly there and the keying
// balance is the pure tone's at every speed. The instrument's own release would fill the gaps
// at high speeds; its attack transient is left out as well (the sound is taken from
// kAttackSkipMs on): the default bassoon's attack dips to a third of its level 6 ms after the
// note-on, which splits a dot in two at 399 cpm, and its level settles only some 45 ms after
// the note-on. The audio thread only adds samples; no FluidSynth call runs there.
//
// Each note is scaled so that its key-down RMS equals the pure tone's at the same velocity:
// both voices sound equally loud at the same level settings.
#include "audio/audio_source.h"
#include "audio/sequencer.h"
#include "audio/sounding_notes.h"

#include <array>
#include <cstdint>
#include <vector>

namespace qlor {

class SoundFontBank;

class NoteCacheRenderer : public NoteRenderer {
public:
    // Cached frames of all notes of one song at most (keeps the memory small) [frames].
    static constexpr uint64_t kMaxCacheFrames = uint64_t{1} << 21;
    static constexpr size_t kMaxSounding = 64; // notes sounding at once; more are dropped

    // True when the song can be rendered from cached notes: only notes, program changes and bank
    // selects, few distinct notes, none longer than the cache allows. Other songs (foreign files
    // with controllers, pitch bends...) need a synth that follows every event.
    static bool Suits(const MidiTimeline& timeline);

    // Renders the song's notes with the bank's font (window's thread). The bank must be loaded.
    NoteCacheRenderer(SoundFontBank& bank, const MidiTimeline& timeline);

    void RenderBlock(uint64_t start, size_t frames, float* out) override;
    void Restart(uint64_t start) override;

    size_t DistinctNotes() const { return clips_.size(); }
    // Where the instrument's sound is taken from, after its attack transient [ms].
    static constexpr double kAttackSkipMs = 60.0;
    // What the cache does to an instrument's rendered note (interleaved stereo of MIDI note `key`,
    // from its note-on) before its sustained sound is keyed: its offset and the rumble below the
    // note are taken off (see the definition).
    static void RemoveRumble(std::vector<float>& stereo, int key, int rate);

private:
    struct Clip {
        int bank = 0;
        int program = 0;
        int key = 0;
        int velocity = 0;
        uint64_t frames = 0;
        std::vector<float> stereo; // scaled to the pure tone's loudness
    };
    struct Note {
        uint64_t startFrame = 0; // first frame of the key-down edge; the clip's frame `skip` lands here [frames]
        uint64_t skip = 0;       // clip frames that would lie before the start of the song [frames]
        double onFrame = 0;      // exact note-on [frames]
        double offFrame = 0;     // exact note-off [frames]
        double halfEdge = 0;     // [frames]
        uint64_t endFrame = 0;   // first frame after the key-up edge [frames]
        uint32_t clip = 0;
    };
    void MixNote(const Note& note, uint64_t first, uint64_t last, float* out) const;

    std::vector<Clip> clips_;
    std::vector<Note> notes_; // in note-on order
    SoundingNotes<Note, kMaxSounding> sounding_;
};

} // namespace qlor
