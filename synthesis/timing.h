#pragma once
// Speed conversion and element timing: element lengths are fixed in ticks and the speed is
// realised through the tempo.
#include <cstdint>
#include <optional>
#include <string_view>

namespace qlor {

inline constexpr int kTicksPerQuarter = 255;                // MIDI division [ticks]
inline constexpr int kUnitTicks = 16;                       // one dot [ticks]
inline constexpr uint32_t kMaxTempoUsPerQuarter = 0xFFFFFF; // largest tempo of the 3-byte field [us/quarter]

// Speed in characters per minute. cpm = true: returned unchanged; else PARIS converted by the
// text type's factor (0.87 letters, 0.56 figures, 0.7 mixed), exact decimal product, floored
// to a multiple of 5. Callers raise results below 5 to 5 (see SendingSpeed).
int ConvertSpeed(int speed, int textType, bool cpm);
// ConvertSpeed raised to at least 5 [cpm].
int SendingSpeed(int speed, int textType, bool cpm);

// Written length of an element letter [ticks]; 0 for letters other than D T P Q R. pauseDelayDots
// [dot units] outside 3..15 is taken as the nearest bound, so no gap is negative or runaway.
int ElementTicks(char letter, int pauseDelayDots);
// Weight of an element letter for the tempo [ticks]: D 16, T 48, P 16, Q 48, R 112, others 0.
int ElementWeight(char letter);
uint64_t ElementWeightTotal(std::string_view elements);

// Tempo [us/quarter] for a body of count characters with entries and weight total U at speed S
// [cpm]: N/S*60/U*255*1e6 in extended precision, rounded half to even. nullopt when N, U or S is
// below 1 (no keyable character). Values above kMaxTempoUsPerQuarter are returned unclamped.
std::optional<uint64_t> SegmentTempoUsPerQuarter(int count, uint64_t weightTotal, int speedCpm);

// Delta-time [ticks] that puts the closing marker pauseSeconds (0 means 5) after the last note,
// for tempo c [us/quarter]: P / (c/255) * 1e6 in extended precision, rounded half to even.
uint64_t EndPauseTicks(uint64_t tempoUsPerQuarter, int pauseSeconds);

} // namespace qlor
