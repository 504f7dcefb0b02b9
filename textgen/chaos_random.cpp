#include "textgen/chaos_random.h"

#include "synthesis/ext_float.h"

#include <bit>
#include <cstring>
#include <limits>

namespace qlor {
namespace {

using U128 = unsigned __int128;

// K: the extended value nearest to 3.1415926 (the correctly rounded quotient 31415926 / 10^7).
const Ext80 kShift = Ext80::FromInt(31415926) / Ext80::FromInt(10000000);
const Ext80 kEleven = Ext80::FromInt(11);

int HighBit(U128 m) {
    const auto hi = static_cast<uint64_t>(m >> 64);
    if (hi != 0) {
        return 127 - std::countl_zero(hi);
    }
    return 63 - std::countl_zero(static_cast<uint64_t>(m));
}

// value >> shift (shift 1..127), rounded to nearest with ties to even.
U128 ShiftRightRounded(U128 value, int shift) {
    const U128 kept = value >> shift;
    const U128 rest = value & ((U128{1} << shift) - 1);
    const U128 half = U128{1} << (shift - 1);
    return (rest > half || (rest == half && (kept & 1) != 0)) ? kept + 1 : kept;
}

// One step of the map for the usual case, a state in [0, 1) and a range narrower than 2^11, in
// 128-bit fixed point with 124 fraction bits. The roundings are the same as in the general path
// (t exact, s rounded to 64 significant bits, f exact, f rounded to double, p exact, p rounded
// half to even); this one avoids the general operations' normalising at every step.
constexpr int kFractionBits = 124;
constexpr int64_t kFastRangeLimit = int64_t{1} << 11;

bool FastStep(double state, int64_t range, double& nextState, int64_t& nearest) {
    uint64_t bits;
    std::memcpy(&bits, &state, sizeof bits);
    const auto biased = static_cast<int>(bits >> 52); // sign bit included: negatives fail below
    if (biased >= 1023 || range < 0 || range >= kFastRangeLimit) {
        return false;
    }
    const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
    const uint64_t m = biased == 0 ? fraction : fraction | (uint64_t{1} << 52);
    const int e = biased == 0 ? -1074 : biased - 1075; // state = m * 2^e, e <= -53

    // t = 11 * state, exact; aligned to the fixed point with a sticky bit for what falls off.
    const U128 t = U128{m * 11};
    const int align = kFractionBits + e;
    U128 tFixed;
    if (align >= 0) {
        tFixed = t << align;
    } else if (-align < 128) {
        tFixed = (t >> -align) | (((t & ((U128{1} << -align) - 1)) != 0) ? 1 : 0);
    } else {
        tFixed = t != 0 ? 1 : 0;
    }
    // K = significand * 2^-62, so 62 bits up in this fixed point.
    const U128 kFixed = U128{kShift.Significand()} << (kFractionBits - 62);
    U128 s = tFixed + kFixed; // in [K, 14.2) * 2^124: the leading bit is bit 125..127
    const int drop = HighBit(s) - 63;
    s = ShiftRightRounded(s, drop) << drop;
    const U128 f = s & ((U128{1} << kFractionBits) - 1);

    if (f == 0) {
        nextState = 0.0;
        nearest = 0;
        return true;
    }
    // f to double; f has no bit below 2^-62, so it is never subnormal.
    const int h = HighBit(f);
    int exponent = h - kFractionBits;
    uint64_t mantissa = static_cast<uint64_t>(ShiftRightRounded(f, h - 52));
    if (mantissa == (uint64_t{1} << 53)) {
        mantissa >>= 1;
        ++exponent;
    }
    const uint64_t stateBits = (static_cast<uint64_t>(exponent + 1023) << 52) | (mantissa & ((uint64_t{1} << 52) - 1));
    std::memcpy(&nextState, &stateBits, sizeof nextState);

    // p = range * state = range * mantissa * 2^(exponent - 52), exact in 64 bits.
    const U128 p = U128{mantissa} * static_cast<uint64_t>(range);
    const int shift = 52 - exponent; // >= 52
    if (shift > 64) {
        nearest = 0; // p < 0.5
    } else {
        nearest = static_cast<int64_t>(ShiftRightRounded(p, shift));
    }
    return true;
}

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
    int64_t nearest;
    if (!FastStep(state_, int64_t{high_} - int64_t{low_}, state_, nearest)) {
        return NextRandomExtended();
    }
    return static_cast<int32_t>(nearest + int64_t{low_});
}

int32_t ChaosRandom::NextRandomExtended() {
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
