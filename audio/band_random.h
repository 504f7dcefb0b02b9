#pragma once
// Random numbers of the generated band: PCG32 integers turned into doubles by exact scaling, so
// a seed gives the same numbers on every machine. Each part of the band draws from a stream of
// its own (seed, stream), so adding a station does not change the hiss.
#include <cstdint>

namespace qlor {

class BandRandom {
public:
    BandRandom() { Seed(1, 0); }
    BandRandom(uint64_t seed, uint64_t stream) { Seed(seed, stream); }
    void Seed(uint64_t seed, uint64_t stream) {
        increment_ = (stream << 1u) | 1u;
        state_ = 0;
        Next();
        state_ += seed * 0x9E3779B97F4A7C15ull + 0x853C49E6748FEA9Bull;
        Next();
    }
    uint32_t Next() {
        const uint64_t old = state_;
        state_ = old * 6364136223846793005ull + increment_;
        const auto xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
        const auto rot = static_cast<uint32_t>(old >> 59u);
        return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
    }
    double Uniform() { return Next() * (1.0 / 4294967296.0); }                      // [0, 1)
    double Signed() { return static_cast<int32_t>(Next()) * (1.0 / 2147483648.0); } // [-1, 1)
    double Between(double low, double high) { return low + (high - low) * Uniform(); }
    int Int(int low, int high) { return low + static_cast<int>(Next() % static_cast<uint32_t>(high - low + 1)); }
    bool Chance(double probability) { return Uniform() < probability; }
    // Nearly Gaussian, mean 0 and variance 1: the sum of four uniforms (tails end at 3.5 sigma;
    // the band's processes low-pass it, which makes it Gaussian).
    double Gaussian() {
        constexpr double kScale = 0.8660254037844386 / 2147483648.0; // sqrt(3) / 2: four of variance 1/3
        const double sum = static_cast<double>(static_cast<int32_t>(Next())) + static_cast<int32_t>(Next()) +
                           static_cast<int32_t>(Next()) + static_cast<int32_t>(Next());
        return sum * kScale;
    }

private:
    uint64_t state_ = 0;
    uint64_t increment_ = 1;
};

} // namespace qlor
