#include "synthesis/timing.h"

#include "base/ext_float.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <random>
#include <string>

namespace qlor {
namespace {

constexpr bool kCpm = true;
constexpr bool kParis = false;

TEST(ConvertSpeed, CharactersPerMinuteAreReturnedUnchanged) {
    for (int speed : {0, 5, 123, 399}) {
        for (int type = 0; type <= 5; ++type) {
            EXPECT_EQ(ConvertSpeed(speed, type, kCpm), speed);
        }
    }
}

TEST(ConvertSpeed, ParisByTextTypeFlooredToFives) {
    struct Case {
        int speed;
        int letters, figures, mixed;
    };
    const Case cases[] = {
        {100, 85, 55, 70}, {60, 50, 30, 40}, {5, 0, 0, 0}, {399, 345, 220, 275}, {90, 75, 50, 60},
        {10, 5, 5, 5},     {9, 5, 5, 5},     {8, 5, 0, 5}, {0, 0, 0, 0},         {350, 300, 195, 245},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.speed);
        EXPECT_EQ(ConvertSpeed(c.speed, 0, kParis), c.letters);
        EXPECT_EQ(ConvertSpeed(c.speed, 1, kParis), c.letters);
        EXPECT_EQ(ConvertSpeed(c.speed, 2, kParis), c.figures);
        EXPECT_EQ(ConvertSpeed(c.speed, 3, kParis), c.figures);
        EXPECT_EQ(ConvertSpeed(c.speed, 4, kParis), c.mixed);
        EXPECT_EQ(ConvertSpeed(c.speed, 5, kParis), c.mixed);
    }
}

TEST(ConvertSpeed, ExactDecimalProductNeverDropsAnInteger) {
    // Every speed whose product with the factor is a whole number must keep that number.
    for (int speed = 0; speed <= 399; ++speed) {
        for (int type : {0, 2, 4}) {
            const int percent = type == 0 ? 87 : type == 2 ? 56 : 70;
            const int whole = speed * percent / 100;
            EXPECT_EQ(ConvertSpeed(speed, type, kParis), whole / 5 * 5) << speed << " type " << type;
        }
    }
}

TEST(SendingSpeed, RaisedToFive) {
    EXPECT_EQ(SendingSpeed(5, 0, kParis), 5);
    EXPECT_EQ(SendingSpeed(8, 2, kParis), 5);
    EXPECT_EQ(SendingSpeed(0, 0, kCpm), 5);
    EXPECT_EQ(SendingSpeed(100, 0, kParis), 85);
}

TEST(ElementTiming, LengthsAndWeights) {
    EXPECT_EQ(ElementTicks('D', 3), 16);
    EXPECT_EQ(ElementTicks('T', 3), 48);
    EXPECT_EQ(ElementTicks('P', 3), 16);
    EXPECT_EQ(ElementTicks('Q', 3), 48);
    EXPECT_EQ(ElementTicks('R', 3), 112);
    EXPECT_EQ(ElementTicks('Q', 15), 240);
    EXPECT_EQ(ElementTicks('R', 15), 496);
    EXPECT_EQ(ElementTicks('X', 3), 0);
    // Out-of-range pauses never give negative or runaway gaps.
    EXPECT_EQ(ElementTicks('Q', -4), 48);
    EXPECT_EQ(ElementTicks('R', 2000000000), 496);

    EXPECT_EQ(ElementWeight('Q'), 48);
    EXPECT_EQ(ElementWeight('R'), 112);
    EXPECT_EQ(ElementWeight('d'), 0);
    // PARIS: .--. .- .-. .. ...
    EXPECT_EQ(ElementWeightTotal("DPTPTPDQDPTQDPTPDQDPDQDPDPD"), 688u);
    EXPECT_EQ(ElementWeightTotal(""), 0u);
    EXPECT_EQ(ElementWeightTotal("DXYZ"), 16u);
}

TEST(SegmentTempoUsPerQuarter, Examples) {
    EXPECT_EQ(SegmentTempoUsPerQuarter(5, 688, 60), 1853198u);
    EXPECT_EQ(SegmentTempoUsPerQuarter(5, 688, 100), 1111919u);
    EXPECT_EQ(SegmentTempoUsPerQuarter(1, 16, 60), 15937500u);
    // A longer pause does not change the tempo: the weights are constants.
    EXPECT_EQ(SegmentTempoUsPerQuarter(5, ElementWeightTotal("DPTPTPDQDPTQDPTPDQDPDQDPDPD"), 60), 1853198u);
}

TEST(SegmentTempoUsPerQuarter, UntimeableBodiesGiveNoTempo) {
    EXPECT_EQ(SegmentTempoUsPerQuarter(0, 0, 60), std::nullopt);
    EXPECT_EQ(SegmentTempoUsPerQuarter(0, 688, 60), std::nullopt);
    EXPECT_EQ(SegmentTempoUsPerQuarter(5, 0, 60), std::nullopt);
    EXPECT_EQ(SegmentTempoUsPerQuarter(5, 688, 0), std::nullopt);
    EXPECT_EQ(SegmentTempoUsPerQuarter(-1, 688, 60), std::nullopt);
    // Very slow single letters exceed the 3-byte field and are returned as they are.
    EXPECT_GT(*SegmentTempoUsPerQuarter(1, 16, 5), kMaxTempoUsPerQuarter);
}

TEST(SegmentTempoUsPerQuarter, SameCharacterCountSameDuration) {
    // E E E against 0 0 0 at the same speed: the same tempo times weight, so the same length.
    const std::string e = "DRDRD";
    const std::string zero = "TPTPTPTPTRTPTPTPTPTRTPTPTPTPT";
    const uint64_t ce = *SegmentTempoUsPerQuarter(3, ElementWeightTotal(e), 60);
    const uint64_t cz = *SegmentTempoUsPerQuarter(3, ElementWeightTotal(zero), 60);
    const double seconds = 3 * 60.0 / 60;
    EXPECT_NEAR(static_cast<double>(ce) * ElementWeightTotal(e) / 255 / 1e6, seconds, 1e-5);
    EXPECT_NEAR(static_cast<double>(cz) * ElementWeightTotal(zero) / 255 / 1e6, seconds, 1e-5);
    EXPECT_GT(ce, cz * 4); // a weight of 272 against 1136 ticks
}

TEST(EndPauseTicks, Examples) {
    EXPECT_EQ(EndPauseTicks(1853198, 0), 688u);
    EXPECT_EQ(EndPauseTicks(1853198, 5), 688u);
    EXPECT_EQ(EndPauseTicks(1853198, 60), 8256u);
    EXPECT_EQ(EndPauseTicks(15937500, 0), 80u);
    EXPECT_EQ(EndPauseTicks(0, 5), 0u);
    EXPECT_EQ(EndPauseTicks(1853198, -3), 0u);
}

#if defined(__x86_64__) && LDBL_MANT_DIG == 64

TEST(TimingAgainstX87, TempoAndPauseOverRandomBodies) {
    std::mt19937_64 rng(5);
    for (int i = 0; i < 100000; ++i) {
        const int n = 1 + static_cast<int>(rng() % 2000);
        const uint64_t u = 16 * (1 + rng() % (n * 40));
        const int s = 5 + static_cast<int>(rng() % 395);
        long double x = static_cast<long double>(n) / s;
        x = x * 60;
        x = x / static_cast<long double>(u);
        x = x * 255;
        x = x * 1000000;
        const auto expected = static_cast<uint64_t>(llrintl(x));
        ASSERT_EQ(SegmentTempoUsPerQuarter(n, u, s), expected) << n << " " << u << " " << s;

        const int p = static_cast<int>(rng() % 3) == 0 ? 60 : 5;
        long double t = static_cast<long double>(expected) / 255;
        t = static_cast<long double>(p) / t;
        t = t * 1000000;
        ASSERT_EQ(EndPauseTicks(expected, p), static_cast<uint64_t>(llrintl(t))) << expected << " " << p;
    }
}

#endif

} // namespace
} // namespace qlor
