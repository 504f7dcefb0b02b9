#pragma once
// What the mixer plays: a stream of stereo float frames with a length and a position. Sources are
// prepared on the window's thread and then handed to the audio thread, which alone calls
// Render, Rewind and Halt; none of these may allocate, lock, log or touch files.
#include <cstddef>
#include <cstdint>

namespace qlor {

class AudioSource {
public:
    virtual ~AudioSource() = default;

    virtual uint64_t LengthFrames() const = 0;   // [frames]
    virtual uint64_t PositionFrames() const = 0; // [frames]
    // Writes up to `frames` interleaved stereo frames to `out` (overwriting) from the current
    // position and advances it; returns the frames written, fewer only at the end.
    virtual size_t Render(float* out, size_t frames) = 0;
    // Back to the start, silent.
    virtual void Rewind() = 0;
    // Playback is stopped: sounding notes are cut so a later resume starts clean.
    virtual void Halt() {}
};

// Notes of a MIDI song rendered in absolute time: blocks are requested in order, each starting
// where the previous one ended.
class NoteRenderer {
public:
    virtual ~NoteRenderer() = default;
    // Adds `frames` stereo frames starting at absolute frame `start` to `out`.
    virtual void RenderBlock(uint64_t start, size_t frames, float* out) = 0;
    // Continue from absolute frame `start` (0 after a rewind); sounding notes are cut.
    virtual void Restart(uint64_t start) = 0;
};

} // namespace qlor
