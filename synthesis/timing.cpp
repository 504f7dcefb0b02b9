#include "synthesis/timing.h"

#include "base/ext_float.h"

#include <algorithm>
#include <limits>

namespace qlor {
namespace {

// Division rounding toward minus infinity, so negative products floor like positive ones.
int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) {
        --q;
    }
    return q;
}

// "Pause Delay" as the element lengths use it: the panel's range 3..15 [dot units]. A stored
// value outside it never lengthens or shortens a gap beyond what the panel can set.
constexpr int kPauseDelayMin = 3;
constexpr int kPauseDelayMax = 15;

} // namespace

int ConvertSpeed(int speed, int textType, bool cpm) {
    if (cpm) {
        return speed;
    }
    // The PARIS factor as an exact fraction of 100, so 350 * 0.70 is 245 and not 244.99...
    int64_t percent;
    switch (textType) {
    case 0:
    case 1:
        percent = 87;
        break;
    case 2:
    case 3:
        percent = 56;
        break;
    default: // 4, 5 and any other value: mixed text
        percent = 70;
        break;
    }
    const int64_t whole = FloorDiv(int64_t{speed} * percent, 100);
    return static_cast<int>(5 * FloorDiv(whole, 5));
}

int SendingSpeed(int speed, int textType, bool cpm) {
    return std::max(5, ConvertSpeed(speed, textType, cpm));
}

int ElementTicks(char letter, int pauseDelayDots) {
    const int p = std::clamp(pauseDelayDots, kPauseDelayMin, kPauseDelayMax);
    switch (letter) {
    case 'D':
    case 'P':
        return kUnitTicks;
    case 'T':
        return 3 * kUnitTicks;
    case 'Q':
        return kUnitTicks * p;
    case 'R':
        return kUnitTicks * (2 * p + 1);
    default:
        return 0;
    }
}

int ElementWeight(char letter) {
    switch (letter) {
    case 'D':
    case 'P':
        return kUnitTicks;
    case 'T':
    case 'Q':
        return 3 * kUnitTicks;
    case 'R':
        return 7 * kUnitTicks;
    default:
        return 0;
    }
}

uint64_t ElementWeightTotal(std::string_view elements) {
    uint64_t total = 0;
    for (char c : elements) {
        total += static_cast<uint64_t>(ElementWeight(c));
    }
    return total;
}

std::optional<uint64_t> SegmentTempoUsPerQuarter(int count, uint64_t weightTotal, int speedCpm) {
    if (count < 1 || weightTotal < 1 || speedCpm < 1) {
        return std::nullopt;
    }
    // Fixed order, each step rounded to a 64-bit significand: N / S * 60 / U * 255 * 1000000.
    Ext80 x = Ext80::FromInt(count) / Ext80::FromInt(speedCpm);
    x = x * Ext80::FromInt(60);
    x = x / Ext80::FromUint64(weightTotal);
    x = x * Ext80::FromInt(kTicksPerQuarter);
    x = x * Ext80::FromInt(1000000);
    const int64_t tempoUsPerQuarter = x.RoundToInt64();
    if (tempoUsPerQuarter < 0) { // beyond the integer range: saturate
        return static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    }
    return static_cast<uint64_t>(tempoUsPerQuarter);
}

uint64_t EndPauseTicks(uint64_t tempoUsPerQuarter, int pauseSeconds) {
    if (tempoUsPerQuarter == 0 || pauseSeconds < 0) {
        return 0;
    }
    const int p = pauseSeconds == 0 ? 5 : pauseSeconds;
    // c / 255 [us per tick], then P / that, then * 1000000.
    const Ext80 usPerTick = Ext80::FromUint64(tempoUsPerQuarter) / Ext80::FromInt(kTicksPerQuarter);
    Ext80 x = Ext80::FromInt(p) / usPerTick;
    x = x * Ext80::FromInt(1000000);
    const int64_t ticks = x.RoundToInt64();
    return ticks < 0 ? 0 : static_cast<uint64_t>(ticks);
}

} // namespace qlor
