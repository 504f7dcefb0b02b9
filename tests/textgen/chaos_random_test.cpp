#include "textgen/chaos_random.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <random>
#include <vector>

namespace qlor {
namespace {

std::vector<int32_t> Draws(ChaosRandom& r, int n) {
    std::vector<int32_t> out;
    for (int i = 0; i < n; ++i) {
        out.push_back(r.NextRandom());
    }
    return out;
}

std::vector<int32_t> Sequence(int32_t low, int32_t high, int d1, int d2, int d3, int d4, int n = 10) {
    ChaosRandom r;
    r.SeedRandom(low, high, d1, d2, d3, d4);
    return Draws(r, n);
}

TEST(ChaosRandom, DrawBeforeSeedingIsMinusOne) {
    ChaosRandom r;
    EXPECT_FALSE(r.Ready());
    EXPECT_EQ(r.NextRandom(), -1);
    EXPECT_EQ(r.NextRandom(), -1);
    EXPECT_EQ(r.State(), 0.0);
    r.SeedRandom(1, 26, 0, 0, 0, 0);
    EXPECT_TRUE(r.Ready());
    EXPECT_EQ(r.NextRandom(), 5);
}

TEST(ChaosRandom, KnownSequences) {
    EXPECT_EQ(Sequence(1, 26, 0, 0, 0, 0), (std::vector<int32_t>{5, 18, 22, 8, 10, 25, 24, 4, 11, 17}));
    EXPECT_EQ(Sequence(1, 26, 1, 2, 3, 4), (std::vector<int32_t>{19, 2, 12, 23, 22, 14, 21, 23, 20, 14}));
    EXPECT_EQ(Sequence(1, 72, 0, 0, 0, 0), (std::vector<int32_t>{11, 51, 60, 22, 26, 70, 65, 9, 30, 47}));
    EXPECT_EQ(Sequence(27, 36, 0, 0, 0, 0), (std::vector<int32_t>{28, 33, 34, 30, 30, 36, 35, 28, 31, 33}));
}

TEST(ChaosRandom, SeedingRestartsTheSequenceAndWeighsDigitsFirstFourthThirdSecond) {
    ChaosRandom r;
    r.SeedRandom(1, 26, 1, 2, 3, 4);
    EXPECT_EQ(r.State(), 0.1432);
    const auto first = Draws(r, 30);
    r.SeedRandom(1, 26, 1, 2, 3, 4);
    EXPECT_EQ(Draws(r, 30), first);

    r.SeedRandom(1, 26, 0, 0, 0, 0);
    EXPECT_EQ(r.State(), 0.0);
    r.NextRandom();
    EXPECT_EQ(r.State(), 0.1415926);
}

TEST(ChaosRandom, OffsetDigits) {
    ChaosRandom r;
    r.SeedRandom(1, 26, 0, 0, 0, 12);
    EXPECT_EQ(r.State(), 0.12);
    r.SeedRandom(1, 26, 0, 0, 0, -1);
    EXPECT_EQ(r.State(), -0.01);
    const int32_t first = r.NextRandom();
    EXPECT_GE(r.State(), 0.0);
    EXPECT_LT(r.State(), 1.0);
    EXPECT_GE(first, 1);
    EXPECT_LE(first, 26);
    // Extreme digits are formed without overflow and still give draws in range.
    r.SeedRandom(1, 26, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX);
    for (int32_t v : Draws(r, 50)) {
        EXPECT_GE(v, 1);
        EXPECT_LE(v, 26);
    }
}

TEST(ChaosRandom, EndValuesComeHalfAsOften) {
    ChaosRandom r;
    r.SeedRandom(1, 26, 0, 4, 2, 7);
    std::vector<int> counts(27);
    constexpr int kDraws = 260000;
    for (int i = 0; i < kDraws; ++i) {
        const int32_t v = r.NextRandom();
        ASSERT_GE(v, 1);
        ASSERT_LE(v, 26);
        ++counts[v];
    }
    const double inner = kDraws / 25.0; // 24 inner values plus two halves
    for (int v = 2; v <= 25; ++v) {
        EXPECT_NEAR(counts[v], inner, inner * 0.1) << v;
    }
    EXPECT_NEAR(counts[1], inner / 2, inner * 0.1);
    EXPECT_NEAR(counts[26], inner / 2, inner * 0.1);
}

TEST(ChaosRandom, PlainDoubleArithmeticWouldDepart) {
    // The same map in double precision only: it must differ from the real sequence early on,
    // which shows that the extended rounding is in effect.
    ChaosRandom r;
    r.SeedRandom(1, 26, 0, 0, 0, 0);
    double state = 0.0;
    int firstDifference = -1;
    for (int i = 0; i < 40 && firstDifference < 0; ++i) {
        const double t = state * 11;
        const double s = t + 3.1415926;
        state = s - std::trunc(s);
        const auto plain = static_cast<int32_t>(std::nearbyint(25 * state) + 1);
        if (plain != r.NextRandom()) {
            firstDifference = i;
        }
    }
    EXPECT_EQ(firstDifference, 14);
}

#if defined(__x86_64__) && LDBL_MANT_DIG == 64

// The generator computed in the x87 extended type, as the hardware does it.
class X87Random {
public:
    void Seed(int32_t low, int32_t high, int32_t d1, int32_t d2, int32_t d3, int32_t d4) {
        low_ = low;
        high_ = high;
        const long double n = 1000.0L * d1 + 100.0L * d4 + 10.0L * d3 + d2;
        state_ = static_cast<double>(n / 10000.0L);
    }
    int32_t Next() {
        const long double t = static_cast<long double>(state_) * 11;
        const long double s = t + 3.1415926L;
        const long double f = s - truncl(s);
        state_ = static_cast<double>(f);
        const long double p = static_cast<long double>(int64_t{high_} - low_) * static_cast<long double>(state_);
        return static_cast<int32_t>(llrintl(p) + low_);
    }
    double state_ = 0;
    int32_t low_ = 0;
    int32_t high_ = 0;
};

TEST(ChaosRandomAgainstX87, MillionRandomStates) {
    std::mt19937_64 rng(314159);
    ChaosRandom mine;
    X87Random ref;
    for (int i = 0; i < 1000000; ++i) {
        int32_t low = static_cast<int32_t>(rng() % 200) - 100;
        int32_t high = low + static_cast<int32_t>(rng() % 100);
        if (i % 16 == 0) { // wide ranges, where the product p needs rounding too
            low = static_cast<int32_t>(rng());
            high = static_cast<int32_t>(rng());
        }
        double state = static_cast<double>(rng() >> 11) * 0x1p-53;
        if (i % 8 == 1) {
            state = std::ldexp(state, -static_cast<int>(rng() % 60)); // tiny states
        }
        mine.SeedRandom(low, high, 0, 0, 0, 0);
        mine.SetState(state);
        ref.low_ = low;
        ref.high_ = high;
        ref.state_ = state;
        for (int k = 0; k < 2; ++k) {
            const int32_t expected = ref.Next();
            ASSERT_EQ(mine.NextRandom(), expected) << "state " << state << " range " << low << ".." << high;
            ASSERT_EQ(mine.State(), ref.state_);
        }
    }
}

TEST(ChaosRandomAgainstX87, RandomSeedsIncludingOffsetDigits) {
    std::mt19937_64 rng(2718);
    ChaosRandom mine;
    X87Random ref;
    static constexpr int32_t kOffsetDigits[] = {-1, 12, 99, -99, 10, 109};
    for (int i = 0; i < 1000000; ++i) {
        auto digit = [&] { return static_cast<int32_t>(rng() % 10); };
        const int32_t d1 = digit(), d2 = digit(), d3 = digit();
        int32_t d4 = digit();
        switch (i % 4) {
        case 1:
            d4 = kOffsetDigits[rng() % std::size(kOffsetDigits)];
            break;
        case 2:
            d4 += static_cast<int32_t>(rng() % 200) - 100;
            break;
        default:
            break;
        }
        const int32_t low = i % 3 == 0 ? 1 : 27;
        const int32_t high = i % 3 == 0 ? 72 : 36;
        mine.SeedRandom(low, high, d1, d2, d3, d4);
        ref.Seed(low, high, d1, d2, d3, d4);
        ASSERT_EQ(mine.State(), ref.state_) << d1 << d2 << d3 << d4;
        const int draws = i < 10000 ? 40 : 2;
        for (int k = 0; k < draws; ++k) {
            ASSERT_EQ(mine.NextRandom(), ref.Next()) << d1 << " " << d2 << " " << d3 << " " << d4 << " draw " << k;
        }
    }
}

#endif

} // namespace
} // namespace qlor
