#include "audio/band_receiver.h"

#include "audio/portable_math.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qlor {
namespace {

constexpr double kPi = std::numbers::pi;

// Transposed direct form II: two states per section.
inline double Run(double x, const auto& sections, auto& state) {
    for (size_t i = 0; i < sections.size(); ++i) {
        const auto& b = sections[i];
        double& s1 = state[2 * i];
        double& s2 = state[2 * i + 1];
        const double y = b.b0 * x + s1;
        s1 = b.b1 * x - b.a1 * y + s2;
        s2 = b.b2 * x - b.a2 * y;
        x = y;
    }
    return x;
}

} // namespace

ReceiverFilter::ReceiverFilter(int widthHz, double toneHz, int rate) {
    const double half = widthHz / 2.0;
    centreHz_ = std::max(toneHz, half + kFilterLowestHz);
    // Butterworth low-pass of order 2 kSections at `half`, by the bilinear transform.
    const double k = portable::Sin(kPi * half / rate) / portable::Cos(kPi * half / rate);
    constexpr int kOrder = 2 * kSections;
    for (int i = 0; i < kSections; ++i) {
        const double q = 1.0 / (2.0 * portable::Sin(kPi * (2 * i + 1) / (2.0 * kOrder)));
        const double norm = 1.0 / (1.0 + k / q + k * k);
        Section& b = sections_[static_cast<size_t>(i)];
        b.b0 = k * k * norm;
        b.b1 = 2.0 * b.b0;
        b.b2 = b.b0;
        b.a1 = 2.0 * (k * k - 1.0) * norm;
        b.a2 = (1.0 - k / q + k * k) * norm;
    }
    // The whole filter's response is H(f - centre) + H(f + centre) for the low-pass H; at the tone
    // that is 1 + H(tone + centre) (+ the small H(tone - centre) when the filter was moved up).
    auto lowPass = [&](double hertz, double& re, double& im) {
        const double theta = 2.0 * kPi * hertz / rate;
        const double c1 = portable::Cos(theta), s1 = -portable::Sin(theta);
        const double c2 = portable::Cos(2 * theta), s2 = -portable::Sin(2 * theta);
        re = 1;
        im = 0;
        for (const Section& b : sections_) {
            const double nr = b.b0 + b.b1 * c1 + b.b2 * c2, ni = b.b1 * s1 + b.b2 * s2;
            const double dr = 1.0 + b.a1 * c1 + b.a2 * c2, di = b.a1 * s1 + b.a2 * s2;
            const double d = dr * dr + di * di;
            const double hr = (nr * dr + ni * di) / d, hi = (ni * dr - nr * di) / d;
            const double r = re * hr - im * hi;
            im = re * hi + im * hr;
            re = r;
        }
    };
    double r1 = 0, i1 = 0, r2 = 0, i2 = 0;
    lowPass(toneHz - centreHz_, r1, i1);
    lowPass(toneHz + centreHz_, r2, i2);
    gain_ = 2.0 / std::sqrt((r1 + r2) * (r1 + r2) + (i1 + i2) * (i1 + i2));
    stepC_ = portable::Cos(2.0 * kPi * centreHz_ / rate);
    stepS_ = portable::Sin(2.0 * kPi * centreHz_ / rate);
    Restart();
}

void ReceiverFilter::Restart() {
    stateI_.fill(0);
    stateQ_.fill(0);
    c_ = 1;
    s_ = 0;
}

double ReceiverFilter::Step(double x) {
    const double i = Run(x * c_, sections_, stateI_);
    const double q = Run(-x * s_, sections_, stateQ_);
    const double y = gain_ * (i * c_ - q * s_);
    const double c = c_ * stepC_ - s_ * stepS_;
    s_ = s_ * stepC_ + c_ * stepS_;
    c_ = c;
    return y;
}

void ReceiverFilter::Renormalise() {
    const double f = 1.5 - 0.5 * (c_ * c_ + s_ * s_);
    c_ *= f;
    s_ *= f;
}

Agc::Agc(int rate, bool enabled) : enabled_(enabled) {
    window_ = std::clamp<size_t>(static_cast<size_t>(std::lround(kAgcLookAheadMs * 1e-3 * rate)), 1, kRing / 2);
    target_ = portable::DbToGain(kAgcTargetDb);
    floor_ = target_ / portable::DbToGain(kAgcMaxGainDb);
    decay_ = portable::Exp(-1.0 / (kAgcDecayS * rate));
    if (enabled_) {
        input_.assign(kRing, 0.0);
        minima_.assign(kRing, 0.0);
        allowed_.assign(kRing, 0.0);
        queue_.assign(kRing, 0);
    }
    Restart();
}

void Agc::Restart() {
    std::fill(input_.begin(), input_.end(), 0.0);
    std::fill(minima_.begin(), minima_.end(), 0.0);
    queueHead_ = queueTail_ = 0;
    sum_ = 0;
    frame_ = 0;
    level_ = floor_;
}

// Output n = j - (window - 1) is scaled by the mean over j' in [n, n + window) of the minimum
// allowed gain over [j' - window + 1, j']: every one of those windows holds n, so the mean is at
// most the gain allowed at n, which keeps |x(n)| times it at or below the target.
double Agc::Step(double x) {
    if (!enabled_) {
        return x;
    }
    constexpr size_t kMask = kRing - 1;
    const uint64_t j = frame_++;
    level_ = std::max({std::fabs(x), level_ * decay_, floor_});
    const double allowed = target_ / level_;
    allowed_[j & kMask] = allowed;
    while (queueTail_ != queueHead_ && allowed_[queue_[(queueTail_ - 1) & kMask] & kMask] >= allowed) {
        --queueTail_;
    }
    queue_[queueTail_++ & kMask] = j;
    while (queue_[queueHead_ & kMask] + window_ <= j) {
        ++queueHead_;
    }
    const double minimum = allowed_[queue_[queueHead_ & kMask] & kMask];
    minima_[j & kMask] = minimum;
    sum_ += minimum;
    if (j >= window_) {
        sum_ -= minima_[(j - window_) & kMask];
    }
    if ((j & 1023) == 0) { // now and then summed afresh, so rounding cannot creep
        sum_ = 0;
        for (uint64_t k = j + 1 - std::min<uint64_t>(j + 1, window_); k <= j; ++k) {
            sum_ += minima_[k & kMask];
        }
    }
    input_[j & kMask] = x;
    const double delayed = j + 1 >= window_ ? input_[(j + 1 - window_) & kMask] : 0.0;
    return delayed * (sum_ / static_cast<double>(window_));
}

} // namespace qlor
