#include "textgen/chaos_random.h"

#include "base/ext_float.h"

#include <limits>

namespace qlor {
namespace {

// K: the extended value nearest to 3.1415926 (the correctly rounded quotient 31415926 / 10^7).
const Ext80 kShift = Ext80::FromInt(31415926) / Ext80::FromInt(10000000);
const Ext80 kEleven = Ext80::FromInt(11);

} // namespace

void ChaosRandom::SeedRandom(int32_t low, int32_t high, int32_t d1, int32_t d2, int32_t d3, int32_t d4) {
    low_ = low;
    high_ = high;
    // The digits weigh in the order first, fourth, third, second. Formed in 64 bits so that any
    // offset digit is exact.
    const int64_t seed = 1000 * int64_t{d1} + 100 * int64_t{d4} + 10 * int64_t{d3} + int64_t{d2};
    state_ = (Ext80::FromInt(seed) / Ext80::FromInt(10000)).ToDouble();
    ready_ = true;
}

int32_t ChaosRandom::NextRandom() {
    if (!ready_) {
        return -1;
    }
    const Ext80 t = Ext80::FromDouble(state_) * kEleven; // exact: 53 + 4 bits
    const Ext80 s = t + kShift;                          // rounded to 64 bits
    const Ext80 f = s - s.Trunc();                       // fractional part, exact
    state_ = f.ToDouble();
    const Ext80 p = Ext80::FromInt(int64_t{high_} - int64_t{low_}) * Ext80::FromDouble(state_);
    const int64_t nearest = p.RoundToInt64();
    if (nearest == std::numeric_limits<int64_t>::min()) {
        return low_; // a state that is not a number (only reachable through SetState)
    }
    return static_cast<int32_t>(nearest + int64_t{low_});
}

} // namespace qlor
