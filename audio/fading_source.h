#pragma once
// Fading of the wanted signal (QSB): the text's sound is scaled by a gain that swings, in dB,
// between full level and `depthDb` below it; slowly over seconds, or fast as auroral flutter.
// The swing is a raised cosine in dB whose phase wobbles, so the fades are uneven in time but
// reach both ends in every period. The gain depends only on the frame, so renderings repeat.
#include "audio/audio_source.h"
#include "synthesis/settings_table.h"

#include <memory>
#include <string>

namespace qlor {

enum class FadingKind { None, Slow, Fast };

// "slow" / "fast" (as the command line spells them).
bool ParseFadingName(const std::string& name, FadingKind& kind);

inline constexpr double kSlowFadingPeriodS = 6.0;                                // mean period of slow fading [s]
inline constexpr double kFastFadingPeriodS = 0.1;                                // mean period of flutter [s]
inline constexpr double kDefaultFadingDepthDb = DefaultOf(Setting::FadingDepth); // [dB]
inline constexpr double kMaxFadingDepthDb = RangeOf(Setting::FadingDepth).max;   // [dB]

// Gain at `frame` [frames] at `rate` [frames/s]; 1 for FadingKind::None.
double FadingGain(FadingKind kind, double depthDb, uint64_t frame, int rate);

class FadingSource : public AudioSource {
public:
    FadingSource(std::unique_ptr<AudioSource> inner, FadingKind kind, double depthDb, int rate)
        : inner_(std::move(inner)), kind_(kind), depthDb_(depthDb), rate_(rate) {}

    uint64_t LengthFrames() const override { return inner_->LengthFrames(); }
    uint64_t PositionFrames() const override { return inner_->PositionFrames(); }
    size_t Render(float* out, size_t frames) override;
    void Rewind() override { inner_->Rewind(); }
    void Halt() override { inner_->Halt(); }

private:
    std::unique_ptr<AudioSource> inner_;
    FadingKind kind_;
    double depthDb_;
    int rate_;
};

} // namespace qlor
