#include "base/ext_float.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace qlor {
namespace {

void ExpectParts(const Ext80& x, bool negative, uint64_t significand, int32_t exponent) {
    EXPECT_FALSE(x.IsNaN());
    EXPECT_EQ(x.Negative(), negative);
    EXPECT_EQ(x.Significand(), significand);
    if (significand != 0) {
        EXPECT_EQ(x.Exponent(), exponent);
    }
}

TEST(Ext80, ExactConversionsAreNormalised) {
    ExpectParts(Ext80::FromInt(1), false, uint64_t{1} << 63, 0);
    ExpectParts(Ext80::FromInt(-6), true, uint64_t{3} << 62, 2);
    ExpectParts(Ext80::FromInt(std::numeric_limits<int64_t>::min()), true, uint64_t{1} << 63, 63);
    ExpectParts(Ext80::FromUint64(~uint64_t{0}), false, ~uint64_t{0}, 63);
    ExpectParts(Ext80::FromDouble(0.75), false, uint64_t{3} << 62, -1);
    ExpectParts(Ext80::FromDouble(-0.0), true, 0, 0);
    // The smallest subnormal double is 2^-1074.
    ExpectParts(Ext80::FromDouble(std::numeric_limits<double>::denorm_min()), false, uint64_t{1} << 63, -1074);
    ExpectParts(Ext80::FromParts(false, 1, 63), false, uint64_t{1} << 63, 0);
    EXPECT_TRUE(Ext80::FromDouble(std::numeric_limits<double>::infinity()).IsNaN());
    EXPECT_TRUE(Ext80::FromInt(0).IsZero());
}

TEST(Ext80, KnownRoundedQuotientsAndSums) {
    // 1/3 and 1/10 rounded to 64 bits (the last bit rounds up in both).
    ExpectParts(Ext80::FromInt(1) / Ext80::FromInt(3), false, 0xAAAAAAAAAAAAAAABull, -2);
    ExpectParts(Ext80::FromInt(1) / Ext80::FromInt(10), false, 0xCCCCCCCCCCCCCCCDull, -4);
    // 2^64 - 1 + 0.5 lies exactly between two extended values: ties to the even 2^64.
    const Ext80 big = Ext80::FromUint64(~uint64_t{0});
    ExpectParts(big + Ext80::FromDouble(0.5), false, uint64_t{1} << 63, 64);
    // 2^64 + 2 + 1: the tie goes to the even 2^64 + 4.
    const Ext80 even = Ext80::FromParts(false, (uint64_t{1} << 63) + 1, 64);
    ExpectParts(even + Ext80::FromInt(1), false, (uint64_t{1} << 63) + 2, 64);
    // An operand far below the last bit only tells the rounding that the result is inexact:
    // 1 + 2^-200 and 1 - 2^-200 both round back to 1.
    const Ext80 tiny = Ext80::FromParts(false, uint64_t{1} << 63, -200);
    ExpectParts(Ext80::FromInt(1) + tiny, false, uint64_t{1} << 63, 0);
    ExpectParts(Ext80::FromInt(1) - tiny, false, uint64_t{1} << 63, 0);
    // Exact cancellation gives +0, also for negative operands.
    const Ext80 x = Ext80::FromDouble(-2.75);
    ExpectParts(x - x, false, 0, 0);
    EXPECT_TRUE((Ext80::FromInt(1) / Ext80::FromInt(0)).IsNaN());
    EXPECT_TRUE((Ext80::NaN() + Ext80::FromInt(1)).IsNaN());
}

TEST(Ext80, RoundingToIntegersAndDoubles) {
    EXPECT_EQ(Ext80::FromDouble(2.5).RoundToInt64(), 2);
    EXPECT_EQ(Ext80::FromDouble(3.5).RoundToInt64(), 4);
    EXPECT_EQ(Ext80::FromDouble(-2.5).RoundToInt64(), -2);
    EXPECT_EQ(Ext80::FromDouble(0.5).RoundToInt64(), 0);
    EXPECT_EQ(Ext80::FromDouble(0.5000001).RoundToInt64(), 1);
    EXPECT_EQ(Ext80::FromDouble(-0.75).RoundToInt64(), -1);
    EXPECT_EQ(Ext80::FromDouble(1e30).RoundToInt64(), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(Ext80::NaN().RoundToInt64(), std::numeric_limits<int64_t>::min());

    EXPECT_EQ(Ext80::FromDouble(-7.9).Trunc().ToDouble(), -7.0);
    EXPECT_EQ(Ext80::FromDouble(0.9).Trunc().ToDouble(), 0.0);
    EXPECT_TRUE(std::signbit(Ext80::FromDouble(-0.9).Trunc().ToDouble()));

    // 1 + 2^-53 is a tie between 1 and 1 + 2^-52: the double keeps the even 1.
    EXPECT_EQ(Ext80::FromParts(false, (uint64_t{1} << 63) | (uint64_t{1} << 10), 0).ToDouble(), 1.0);
    EXPECT_EQ(Ext80::FromParts(false, (uint64_t{1} << 63) | (uint64_t{3} << 10), 0).ToDouble(), 1.0 + 0x1p-51);
    // Subnormal results round at their own last bit; half the smallest one goes to zero.
    EXPECT_EQ(Ext80::FromParts(false, uint64_t{1} << 63, -1075).ToDouble(), 0.0);
    EXPECT_EQ(Ext80::FromParts(false, (uint64_t{1} << 63) + 1, -1075).ToDouble(), 0x1p-1074);
    EXPECT_EQ(Ext80::FromParts(false, uint64_t{3} << 62, -1074).ToDouble(), 0x1p-1073);
    // The largest subnormal rounding up becomes the smallest normal.
    EXPECT_EQ(Ext80::FromParts(false, ~uint64_t{0}, -1023).ToDouble(), 0x1p-1022);
    EXPECT_TRUE(std::isinf(Ext80::FromParts(true, ~uint64_t{0}, 1023).ToDouble()));
    EXPECT_EQ(Ext80::FromParts(false, ~uint64_t{0} << 11, 1023).ToDouble(), std::numeric_limits<double>::max());
}

#if defined(__x86_64__) && LDBL_MANT_DIG == 64

// The x87 format in memory: 64-bit significand with explicit leading bit, then sign and a
// 15-bit exponent biased by 16383.
Ext80 FromLongDouble(long double v) {
    unsigned char bytes[10];
    std::memcpy(bytes, &v, sizeof bytes);
    uint64_t sig;
    std::memcpy(&sig, bytes, 8);
    const unsigned top = bytes[8] | (unsigned{bytes[9]} << 8);
    const int exponent = static_cast<int>(top & 0x7FFF) - 16383;
    return Ext80::FromParts((top & 0x8000) != 0, sig, exponent);
}

long double ToLongDouble(const Ext80& x) {
    return std::ldexp(static_cast<long double>(x.Significand()), x.Exponent() - 63) * (x.Negative() ? -1 : 1);
}

class RandomExt {
public:
    explicit RandomExt(uint64_t seed) : rng_(seed) {}
    uint64_t Bits() { return rng_(); }
    // Significands with random, sparse or dense low bits, so that ties and carries occur.
    uint64_t Significand() {
        uint64_t s = rng_() | (uint64_t{1} << 63);
        switch (rng_() % 4) {
        case 0:
            s &= ~uint64_t{0} << (rng_() % 64); // trailing zeros
            break;
        case 1:
            s |= (uint64_t{1} << (rng_() % 64)) - 1; // trailing ones
            break;
        default:
            break;
        }
        return s;
    }
    Ext80 Value(int exponentMin, int exponentMax) {
        std::uniform_int_distribution<int> e(exponentMin, exponentMax);
        return Ext80::FromParts((rng_() & 1) != 0, Significand(), e(rng_));
    }
    // A partner whose exponent is near, equal to or far from x's.
    Ext80 Partner(const Ext80& x) {
        static constexpr int kOffsets[] = {0, 0, 1, -1, 2, 63, 64, 65, -64, 130, -130};
        int e = x.Exponent();
        if (rng_() % 2 == 0) {
            e += kOffsets[rng_() % std::size(kOffsets)];
        } else {
            e += static_cast<int>(rng_() % 81) - 40;
        }
        if (rng_() % 8 == 0) {
            // Same significand up to the last bits: heavy cancellation.
            return Ext80::FromParts((rng_() & 1) != 0, x.Significand() ^ (rng_() % 1024), x.Exponent());
        }
        return Ext80::FromParts((rng_() & 1) != 0, Significand(), e);
    }
    std::mt19937_64& Engine() { return rng_; }

private:
    std::mt19937_64 rng_;
};

void ExpectSame(const Ext80& mine, long double reference, const char* what, const Ext80& a, const Ext80& b) {
    const Ext80 ref = FromLongDouble(reference);
    ASSERT_TRUE(mine.Negative() == ref.Negative() && mine.Significand() == ref.Significand() &&
                (ref.Significand() == 0 || mine.Exponent() == ref.Exponent()))
        << what << " of " << std::hex << a.Significand() << "e" << std::dec << a.Exponent()
        << (a.Negative() ? "-" : "+") << " and " << std::hex << b.Significand() << "e" << std::dec << b.Exponent()
        << (b.Negative() ? "-" : "+") << ": got " << std::hex << mine.Significand() << "e" << std::dec
        << mine.Exponent() << ", want " << std::hex << ref.Significand() << "e" << std::dec << ref.Exponent();
}

TEST(Ext80AgainstX87, ArithmeticOnRandomOperands) {
    RandomExt r(20240601);
    constexpr int kCases = 250000;
    for (int i = 0; i < kCases; ++i) {
        const Ext80 a = r.Value(-300, 300);
        const Ext80 b = r.Partner(a);
        const long double la = ToLongDouble(a);
        const long double lb = ToLongDouble(b);
        ASSERT_EQ(FromLongDouble(la).Significand(), a.Significand());
        ExpectSame(a + b, la + lb, "sum", a, b);
        ExpectSame(a - b, la - lb, "difference", a, b);
        ExpectSame(a * b, la * lb, "product", a, b);
        ExpectSame(a / b, la / lb, "quotient", a, b);
    }
}

TEST(Ext80AgainstX87, ConversionsOnRandomValues) {
    RandomExt r(77);
    for (int i = 0; i < 300000; ++i) {
        // Doubles: normal, subnormal and everything else the bit pattern gives (not NaN/inf).
        uint64_t bits = r.Bits();
        if (i % 3 == 0) {
            bits &= 0x800FFFFFFFFFFFFFull; // subnormal
        }
        double d;
        std::memcpy(&d, &bits, sizeof d);
        if (std::isfinite(d)) {
            const Ext80 x = Ext80::FromDouble(d);
            ASSERT_EQ(ToLongDouble(x), static_cast<long double>(d));
            ASSERT_EQ(x.ToDouble(), d);
        }

        // Extended values around the normal range, the subnormal range and overflow.
        static constexpr int kCentres[] = {0, -1022, -1050, -1074, 1023, 30};
        const int centre = kCentres[i % std::size(kCentres)];
        Ext80 e = r.Value(centre - 12, centre + 12);
        if (i % 5 == 0) {
            // Exactly halfway between two doubles, or next to it.
            e = Ext80::FromParts(e.Negative(), (e.Significand() & ~uint64_t{0x7FF}) | 0x400 | (r.Bits() % 2),
                                 e.Exponent());
        }
        const long double le = ToLongDouble(e);
        const double viaX87 = static_cast<double>(le);
        const double mine = e.ToDouble();
        ASSERT_EQ(std::memcmp(&viaX87, &mine, sizeof mine), 0)
            << std::hex << e.Significand() << " e" << std::dec << e.Exponent();

        // Integer rounding and truncation on values up to 2^62, with many exact halves.
        Ext80 n = r.Value(-3, 62);
        if (i % 4 == 0) {
            n = Ext80::FromParts(n.Negative(), n.Significand() & (~uint64_t{0} << 20), n.Exponent() % 40);
        }
        const long double ln = ToLongDouble(n);
        ASSERT_EQ(n.RoundToInt64(), llrintl(ln)) << std::hex << n.Significand() << " e" << std::dec << n.Exponent();
        ExpectSame(n.Trunc(), truncl(ln), "trunc", n, n);
    }
}

#endif

} // namespace
} // namespace qlor
