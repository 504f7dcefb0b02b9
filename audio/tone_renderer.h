#pragma once
// The pure-tone voice: every note is a sine at the note's frequency whose raised-cosine edges
// (kToneEdgeMs long, shorter at high speeds: NoteHalfEdges) are centred on the exact note-on and
// note-off instants, so the tone is at half amplitude exactly there and the keying balance stays
// the same at every speed.
#include "audio/audio_source.h"
#include "audio/sequencer.h"
#include "audio/sounding_notes.h"

#include <array>
#include <vector>

namespace qlor {

inline constexpr double kToneEdgeMs = 5.0;     // rise and fall time of a note [ms]
inline constexpr float kToneFullScale = 0.45f; // amplitude of a note of velocity 127
// Share of the shortest of a note and the silences beside it that its edges may take at most:
// above some 240 WPM a dot is shorter than kToneEdgeMs, and edges that long would keep it from
// full level and fill the gaps.
inline constexpr double kToneEdgeShare = 0.3;

// A note by its exact note-on and note-off [frames].
struct NoteSpan {
    double onFrame = 0;
    double offFrame = 0;
};

// Half the edge of each note of `notes` (in note-on order, off after on) [frames]: half of
// kToneEdgeMs, or of kToneEdgeShare times the note's length, or times the silence before it (from
// the latest note-off before its note-on) or after it (to the next note-on), whichever is
// shortest. Notes that overlap leave no silence and do not shorten each other's edges. Each
// note then reaches full level for at least 1 - kToneEdgeShare of its length, and each gap is
// silent for at least as large a share of it; where every note and gap is long enough, every
// edge is exactly kToneEdgeMs (the same value, bit for bit, as a fixed edge).
std::vector<double> NoteHalfEdges(const std::vector<NoteSpan>& notes, int rate);

class ToneRenderer : public NoteRenderer {
public:
    explicit ToneRenderer(const MidiTimeline& timeline);

    void RenderBlock(uint64_t start, size_t frames, float* out) override;
    void Restart(uint64_t start) override;

    static constexpr size_t kMaxSounding = 64; // notes sounding at once; more are dropped

private:
    struct Note {
        uint64_t startFrame = 0; // first frame of the rising edge [frames]
        uint64_t endFrame = 0;   // first frame after the falling edge [frames]
        double onFrame = 0;      // exact note-on [frames]
        double offFrame = 0;     // exact note-off [frames]
        double halfEdge = 0;     // [frames]
        double omega = 0;        // [rad/frame]
        float amplitude = 0;
    };
    void RenderNote(const Note& note, uint64_t start, uint64_t end, float* out) const;

    std::vector<Note> notes_; // in note-on order
    SoundingNotes<Note, kMaxSounding> sounding_;
};

} // namespace qlor
