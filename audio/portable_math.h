#pragma once
// Sine, cosine and exponential built from additions, multiplications and divisions only, so a
// result is the same on every machine with IEEE doubles (libm may round the last bit differently
// per processor). The generated noise recordings promise the same bytes for a seed everywhere;
// the files that use these functions are compiled without fused multiply-add contraction.
#include <cmath>
#include <cstdint>
#include <numbers>

namespace qlor::portable {

// sin(x) for |x| up to a few thousand: reduction to [-pi/2, pi/2], then an odd Taylor series
// (error below 1e-15 there).
inline double Sin(double x) {
    constexpr double kTwoPi = 2.0 * std::numbers::pi;
    x -= kTwoPi * std::floor(x / kTwoPi + 0.5); // now in [-pi, pi]
    if (x > std::numbers::pi / 2) {
        x = std::numbers::pi - x;
    } else if (x < -std::numbers::pi / 2) {
        x = -std::numbers::pi - x;
    }
    const double x2 = x * x;
    double term = x;
    double sum = x;
    for (int n = 1; n <= 11; ++n) {
        term *= -x2 / ((2.0 * n) * (2.0 * n + 1.0));
        sum += term;
    }
    return sum;
}

inline double Cos(double x) {
    return Sin(x + std::numbers::pi / 2);
}

// e^x for |x| below about 700: x = k ln 2 + r with |r| <= ln 2 / 2, a Taylor series for e^r,
// scaled by 2^k (exact).
inline double Exp(double x) {
    const double k = std::floor(x / std::numbers::ln2 + 0.5);
    const double r = x - k * std::numbers::ln2;
    double term = 1.0;
    double sum = 1.0;
    for (int n = 1; n <= 16; ++n) {
        term *= r / n;
        sum += term;
    }
    return std::ldexp(sum, static_cast<int>(k));
}

// Amplitude factor of a level in decibels.
inline double DbToGain(double db) {
    return Exp(db * (std::numbers::ln10 / 20.0));
}

} // namespace qlor::portable
