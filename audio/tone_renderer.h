#pragma once
// The pure-tone voice: every note is a sine at the note's frequency whose raised-cosine edges
// (kToneEdgeMs long) are centred on the exact note-on and note-off instants, so the tone is at
// half amplitude exactly there and the keying balance stays the same at every speed.
#include "audio/audio_source.h"
#include "audio/sequencer.h"
#include "audio/sounding_notes.h"

#include <array>
#include <vector>

namespace qlor {

inline constexpr double kToneEdgeMs = 5.0;     // rise and fall time of a note [ms]
inline constexpr float kToneFullScale = 0.45f; // amplitude of a note of velocity 127

class ToneRenderer : public NoteRenderer {
public:
    explicit ToneRenderer(const MidiTimeline& timeline);

    void RenderBlock(uint64_t start, size_t frames, float* out) override;
    void Restart(uint64_t start) override;

    static constexpr size_t kMaxSounding = 64; // notes sounding at once; more are dropped

private:
    struct Note {
        uint64_t start = 0; // first frame of the rising edge [frames]
        uint64_t end = 0;   // first frame after the falling edge [frames]
        double on = 0;      // exact note-on [frames]
        double off = 0;     // exact note-off [frames]
        double omega = 0;   // [rad/frame]
        float amplitude = 0;
    };
    void RenderNote(const Note& note, uint64_t start, uint64_t end, float* out) const;

    std::vector<Note> notes_; // in note-on order
    double halfEdge_ = 0;     // [frames]
    SoundingNotes<Note, kMaxSounding> sounding_;
};

} // namespace qlor
