#include "audio/fading_source.h"

#include <cmath>
#include <numbers>

namespace qlor {

bool ParseFadingName(const std::string& name, FadingKind& kind) {
    if (name == "slow") {
        kind = FadingKind::Slow;
    } else if (name == "fast") {
        kind = FadingKind::Fast;
    } else {
        return false;
    }
    return true;
}

double FadingGain(FadingKind kind, double depthDb, uint64_t frame, int rate) {
    if (kind == FadingKind::None || depthDb <= 0) {
        return 1.0;
    }
    const double period = kind == FadingKind::Slow ? kSlowFadingPeriodS : kFastFadingPeriodS; // [s]
    const double t = static_cast<double>(frame) / rate;                                       // [s]
    constexpr double kTwoPi = 2.0 * std::numbers::pi;
    // The phase runs a little faster and slower in turn (a wobble 3.7 periods long).
    const double phase = kTwoPi * t / period + 1.2 * std::sin(kTwoPi * t / (3.7 * period));
    const double downDb = depthDb * (0.5 - 0.5 * std::cos(phase));
    return std::pow(10.0, -downDb / 20.0);
}

size_t FadingSource::Render(float* out, size_t frames) {
    const uint64_t first = inner_->PositionFrames();
    const size_t made = inner_->Render(out, frames);
    for (size_t i = 0; i < made; ++i) {
        const auto gain = static_cast<float>(FadingGain(kind_, depthDb_, first + i, rate_));
        out[2 * i] *= gain;
        out[2 * i + 1] *= gain;
    }
    return made;
}

} // namespace qlor
