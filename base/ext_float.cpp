#include "base/ext_float.h"

#include <bit>
#include <cstring>
#include <limits>
#include <utility>

// Integer emulation of x87 extended precision. Every operation first forms its exact result (or
// the exact result truncated, with a sticky bit standing for anything cut off) in a 128-bit
// integer and then rounds that once to a 64-bit significand, to nearest with ties to even.
// The exponent is a plain 32-bit integer: the exponent range of the hardware format (about
// +-16383) is far beyond the values timing and the generator meet, so overflow to infinity and
// extended denormals are not modelled.

namespace qlor {
namespace {

using U128 = unsigned __int128;

constexpr uint64_t kTopBit = uint64_t{1} << 63;
constexpr int64_t kIndefiniteInteger = std::numeric_limits<int64_t>::min(); // what FISTP stores on overflow

int HighBit(U128 m) {
    const auto hi = static_cast<uint64_t>(m >> 64);
    if (hi != 0) {
        return 127 - std::countl_zero(hi);
    }
    return 63 - std::countl_zero(static_cast<uint64_t>(m));
}

int32_t ClampExponent(int64_t e) {
    constexpr int64_t kLimit = int64_t{1} << 30;
    if (e > kLimit) {
        return static_cast<int32_t>(kLimit);
    }
    if (e < -kLimit) {
        return static_cast<int32_t>(-kLimit);
    }
    return static_cast<int32_t>(e);
}

// Rounds shifted-out bits of `value >> shift` (shift 1..127) to nearest, ties to even. Returns
// the rounded quotient, which may be one above the truncated one.
U128 ShiftRightRounded(U128 value, int shift) {
    const U128 kept = value >> shift;
    const U128 rest = value & ((U128{1} << shift) - 1);
    const U128 half = U128{1} << (shift - 1);
    if (rest > half || (rest == half && (kept & 1) != 0)) {
        return kept + 1;
    }
    return kept;
}

} // namespace

// Value = (-1)^negative * m * 2^scale, m != 0, rounded to a 64-bit significand.
static Ext80 MakeRounded(bool negative, U128 m, int64_t scale) {
    const int h = HighBit(m);
    int64_t exponent = scale + h;
    uint64_t sig;
    if (h > 63) {
        U128 rounded = ShiftRightRounded(m, h - 63);
        if (rounded >> 64 != 0) { // carried into a new leading bit
            rounded >>= 1;
            ++exponent;
        }
        sig = static_cast<uint64_t>(rounded);
    } else {
        sig = static_cast<uint64_t>(m) << (63 - h);
    }
    return Ext80::FromParts(negative, sig, ClampExponent(exponent));
}

Ext80 Ext80::FromParts(bool negative, uint64_t significand, int32_t exponent) {
    Ext80 r;
    r.negative_ = negative;
    if (significand == 0) {
        return r;
    }
    const int lead = std::countl_zero(significand);
    r.significand_ = significand << lead;
    r.exponent_ = ClampExponent(int64_t{exponent} - lead);
    return r;
}

Ext80 Ext80::NaN() {
    Ext80 r;
    r.nan_ = true;
    return r;
}

Ext80 Ext80::FromUint64(uint64_t v) {
    return FromParts(false, v, 63);
}

Ext80 Ext80::FromInt(int64_t v) {
    const uint64_t magnitude = v < 0 ? uint64_t{0} - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
    return FromParts(v < 0, magnitude, 63);
}

Ext80 Ext80::FromDouble(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    const bool negative = (bits >> 63) != 0;
    const auto biased = static_cast<int32_t>((bits >> 52) & 0x7FF);
    const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
    if (biased == 0x7FF) {
        return NaN(); // infinities have no place in this model either
    }
    if (biased == 0) {
        // Zero or subnormal: fraction * 2^-1074.
        return FromParts(negative, fraction, -1074 + 63);
    }
    return FromParts(negative, fraction | (uint64_t{1} << 52), biased - 1023 - 52 + 63);
}

double Ext80::ToDouble() const {
    if (nan_) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    const uint64_t signBit = negative_ ? kTopBit : 0;
    uint64_t bits = signBit;
    if (significand_ != 0) {
        // Number of significand bits below the last bit the double keeps.
        const bool normal = exponent_ >= -1022;
        const int64_t drop = normal ? 11 : int64_t{-1011} - exponent_;
        uint64_t m;
        if (drop > 64) {
            m = 0; // below half the smallest subnormal
        } else if (drop == 64) {
            m = significand_ > kTopBit ? 1 : 0; // exactly half rounds to the even 0
        } else {
            m = static_cast<uint64_t>(ShiftRightRounded(significand_, static_cast<int>(drop)));
        }
        if (normal) {
            int64_t e = exponent_;
            if (m == (uint64_t{1} << 53)) {
                m >>= 1;
                ++e;
            }
            if (e > 1023) {
                bits |= uint64_t{0x7FF} << 52; // overflow: infinity
            } else {
                bits |= (static_cast<uint64_t>(e + 1023) << 52) | (m & ((uint64_t{1} << 52) - 1));
            }
        } else {
            // A subnormal that rounds up to 2^52 is exactly the smallest normal's encoding.
            bits |= m;
        }
    }
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

Ext80 Ext80::Trunc() const {
    if (nan_ || significand_ == 0 || exponent_ >= 63) {
        return *this;
    }
    if (exponent_ < 0) {
        return FromParts(negative_, 0, 0);
    }
    const uint64_t fractionMask = (uint64_t{1} << (63 - exponent_)) - 1;
    Ext80 r = *this;
    r.significand_ &= ~fractionMask;
    return r;
}

int64_t Ext80::RoundToInt64() const {
    if (nan_) {
        return kIndefiniteInteger;
    }
    if (significand_ == 0 || exponent_ < -1) {
        return 0;
    }
    if (exponent_ >= 63) {
        return kIndefiniteInteger; // also -2^63 itself, which has the same encoding
    }
    uint64_t magnitude;
    if (exponent_ == -1) {
        magnitude = significand_ > kTopBit ? 1 : 0; // [0.5, 1): exactly 0.5 goes to even 0
    } else {
        magnitude = static_cast<uint64_t>(ShiftRightRounded(significand_, 63 - exponent_));
    }
    if (magnitude >= kTopBit) {
        return kIndefiniteInteger;
    }
    const auto m = static_cast<int64_t>(magnitude);
    return negative_ ? -m : m;
}

bool Ext80::IsNaN() const {
    return nan_;
}

bool Ext80::IsZero() const {
    return !nan_ && significand_ == 0;
}

Ext80 operator+(Ext80 a, Ext80 b) {
    if (a.nan_ || b.nan_) {
        return Ext80::NaN();
    }
    if (a.significand_ == 0) {
        if (b.significand_ == 0) {
            return Ext80::FromParts(a.negative_ && b.negative_, 0, 0);
        }
        return b;
    }
    if (b.significand_ == 0) {
        return a;
    }
    if (a.exponent_ < b.exponent_) {
        std::swap(a, b);
    }
    // Both significands sit 62 bits up, leaving two bits of headroom for a carry; the smaller
    // one is shifted into alignment and whatever leaves the bottom becomes a sticky bit. The
    // sticky bit lies at least 61 bits below the rounding position, so it decides only whether
    // the result is exact, which is all round-to-nearest needs.
    const int64_t d = int64_t{a.exponent_} - b.exponent_;
    const U128 big = U128{a.significand_} << 62;
    U128 small;
    if (d > 125) {
        small = 1;
    } else {
        const U128 b0 = U128{b.significand_} << 62;
        const int shift = static_cast<int>(d);
        small = b0 >> shift;
        if (shift > 0 && (b0 & ((U128{1} << shift) - 1)) != 0) {
            small |= 1;
        }
    }
    const int64_t scale = int64_t{a.exponent_} - 63 - 62;
    if (a.negative_ == b.negative_) {
        return MakeRounded(a.negative_, big + small, scale);
    }
    if (big == small) {
        return Ext80::FromParts(false, 0, 0); // exact cancellation gives +0
    }
    if (big > small) {
        return MakeRounded(a.negative_, big - small, scale);
    }
    return MakeRounded(b.negative_, small - big, scale);
}

Ext80 operator-(Ext80 a, Ext80 b) {
    if (!b.nan_) {
        b.negative_ = !b.negative_;
    }
    return a + b;
}

Ext80 operator*(Ext80 a, Ext80 b) {
    if (a.nan_ || b.nan_) {
        return Ext80::NaN();
    }
    const bool negative = a.negative_ != b.negative_;
    if (a.significand_ == 0 || b.significand_ == 0) {
        return Ext80::FromParts(negative, 0, 0);
    }
    const U128 product = U128{a.significand_} * b.significand_;
    return MakeRounded(negative, product, int64_t{a.exponent_} - 63 + int64_t{b.exponent_} - 63);
}

Ext80 operator/(Ext80 a, Ext80 b) {
    if (a.nan_ || b.nan_ || b.significand_ == 0) {
        return Ext80::NaN();
    }
    const bool negative = a.negative_ != b.negative_;
    if (a.significand_ == 0) {
        return Ext80::FromParts(negative, 0, 0);
    }
    // Quotient of the significands with 64 + 2 fraction bits (64 or 65 integer-and-fraction bits
    // from the first step, two more from long division), then a sticky bit for the remainder.
    const U128 numerator = U128{a.significand_} << 64;
    U128 q = numerator / b.significand_;
    U128 r = numerator % b.significand_;
    for (int i = 0; i < 2; ++i) {
        r <<= 1;
        q <<= 1;
        if (r >= b.significand_) {
            r -= b.significand_;
            q |= 1;
        }
    }
    const U128 m = (q << 1) | (r != 0 ? 1 : 0);
    return MakeRounded(negative, m, int64_t{a.exponent_} - b.exponent_ - 67);
}

} // namespace qlor
