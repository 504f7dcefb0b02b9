#include "audio/band_fading.h"

#include "audio/portable_math.h"

#include <cmath>
#include <numbers>

namespace qlor {

RayleighFader::RayleighFader(double bandwidthHz, double stepsPerSecond) {
    pole_ = portable::Exp(-2.0 * std::numbers::pi * bandwidthHz / stepsPerSecond);
    // Two one-pole stages y += (1 - a)(x - y) in cascade: white noise of unit variance comes out
    // with variance (1 - a)^4 (1 + a^2) / (1 - a^2)^3. Each component gets variance 1/2.
    const double a = pole_;
    const double b = 1.0 - a;
    const double variance = b * b * b * b * (1.0 + a * a) / ((1.0 - a * a) * (1.0 - a * a) * (1.0 - a * a));
    inputGain_ = std::sqrt(0.5 / variance);
}

void RayleighFader::Restart(BandRandom& random) {
    // Both stages start at a draw of the output's distribution; the stages' correlation settles
    // within a fading period.
    i1_ = i2_ = std::sqrt(0.5) * random.Gaussian();
    q1_ = q2_ = std::sqrt(0.5) * random.Gaussian();
}

double RayleighFader::NextPower(BandRandom& random) {
    const double b = 1.0 - pole_;
    i1_ += b * (inputGain_ * random.Gaussian() - i1_);
    q1_ += b * (inputGain_ * random.Gaussian() - q1_);
    i2_ += b * (i1_ - i2_);
    q2_ += b * (q1_ - q2_);
    return i2_ * i2_ + q2_ * q2_;
}

Qsb::Qsb(QsbKind kind, int rate) : kind_(kind) {
    const double steps = static_cast<double>(rate) / kBandControlFrames;
    slow_ = RayleighFader(kind == QsbKind::Fast ? kFastQsbHz : kSlowQsbHz, steps);
    flutter_ = RayleighFader(kFlutterHz, steps);
}

void Qsb::Restart(uint64_t seed) {
    random_.Seed(seed, 3);
    slow_.Restart(random_);
    flutter_.Restart(random_);
}

double Qsb::NextGain() {
    if (kind_ == QsbKind::Off) {
        return 1.0;
    }
    double power = slow_.NextPower(random_);
    if (kind_ == QsbKind::Flutter) {
        power *= (1.0 - kFlutterShare) + kFlutterShare * flutter_.NextPower(random_);
    }
    return std::sqrt(power);
}

} // namespace qlor
