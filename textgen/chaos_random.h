#pragma once
// The deterministic generator of practice texts: a chaotic map state = frac(state * 11 + K)
// computed in 64-bit-significand extended precision, bit-exact on every platform.
#include <cstdint>

namespace qlor {

class ChaosRandom {
public:
    // d1..d4 are the text-number digits as shown, left to right (any int: offsets allowed).
    // Seed number N = 1000*d1 + 100*d4 + 10*d3 + d2; state = N / 10000 rounded to double.
    void SeedRandom(int32_t low, int32_t high, int32_t d1, int32_t d2, int32_t d3, int32_t d4);
    // low..high, or -1 before the first seeding; each step computed in Ext80.
    int32_t NextRandom();

    bool Ready() const { return ready_; }
    double State() const { return state_; }
    void SetState(double state) { state_ = state; } // for tests

private:
    int32_t low_ = 0;
    int32_t high_ = 0;
    double state_ = 0.0;
    bool ready_ = false;
};

} // namespace qlor
