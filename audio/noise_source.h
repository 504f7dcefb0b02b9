#pragma once
// The noise source: a recording decoded once with libsndfile (WAV, FLAC, OGG, MP3 and whatever
// else the system's libsndfile reads), resampled with libsoxr to the output rate as a loop (the
// filter sees the recording's end followed by its start, so the loop point is as smooth as the
// recording allows), kept in memory and played sample-exactly.
#include "audio/audio_source.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace qlor {

// A recording is refused when its samples would take more than this once decoded, at its own
// rate or at the output rate (about 11 minutes of stereo at 48 kHz) [bytes].
inline constexpr uint64_t kMaxNoiseBytes = 256u << 20;
// Recordings slower than this are refused: resampling them up would take very long [frames/s].
inline constexpr int kMinNoiseRate = 1000;
// Decoding and resampling give up after this long [s].
inline constexpr int kMaxNoiseDecodeSeconds = 20;

struct NoiseClip {
    int rate = 48000;           // [frames/s]
    int channels = 1;           // 1 or 2 (further channels are dropped)
    uint64_t frames = 0;        // [frames], at least 1
    std::vector<float> samples; // interleaved
};

struct NoiseResult {
    std::shared_ptr<const NoiseClip> clip;
    std::string error; // readable reason the recording cannot be played (UTF-8)
    bool ok() const { return error.empty(); }
};

// Decodes and resamples a recording for `rate` [frames/s]; non-finite samples become silence, a
// recording whose peak lies beyond full scale is scaled down by that peak, and the resampler's
// overshoot is clamped to full scale. When `cancel` is given and becomes true, the
// decoding gives up early with an error (the program is closing).
NoiseResult DecodeNoiseFile(const std::string& path, int rate, const std::atomic<bool>* cancel = nullptr);

// Plays a clip from its start. The clip is shared and never changed; the source's reference is
// released where the source is destroyed, which is never the audio thread (the mixer hands
// retired sources back to the window's thread, see mixer.h).
class NoiseSource : public AudioSource {
public:
    explicit NoiseSource(std::shared_ptr<const NoiseClip> clip) : clip_(std::move(clip)) {}

    uint64_t LengthFrames() const override { return clip_->frames; }
    uint64_t PositionFrames() const override { return positionFrames_; }
    size_t Render(float* out, size_t frames) override;
    void Rewind() override { positionFrames_ = 0; }

private:
    std::shared_ptr<const NoiseClip> clip_;
    uint64_t positionFrames_ = 0;
};

} // namespace qlor
