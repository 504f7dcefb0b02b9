#pragma once
// Drills that fill the selected-symbols list: the weakest characters of the statistics, and the
// lessons of the Koch method.
#include "exercises/check_statistics.h"

#include <span>
#include <string>
#include <string_view>

namespace qlor {

// The Koch order of the 41 characters, one lesson adding one character.
inline constexpr std::string_view kKochOrder = "KMURESNAPTLWI.JZ=FOY,VG5/Q92H38B?47C1D60X";

inline constexpr int kKochFirstLesson = 1;
inline constexpr int kKochLastLesson = 40;

// The characters of Koch lesson k (1..40): the first k + 1 of the Koch order. Lessons outside
// the range are brought into it.
std::string KochLessonSymbols(int lesson);

// How many characters the weak-character drill takes.
inline constexpr int kWeakDrillWeak = 6;  // the weakest characters that were missed at all
inline constexpr int kWeakDrillKnown = 3; // well-known characters, to keep the rhythm

// The weakest characters of a ranking (RankByErrorRate), those missed at least once, then the
// best-known of the remaining ranked characters. Empty when no ranked character was ever missed:
// there is nothing to practise yet.
std::string WeakCharacterSymbols(const std::vector<CharStats>& ranked, int weak = kWeakDrillWeak,
                                 int known = kWeakDrillKnown);

// The weak-character drill of recorded checks (oldest first): WeakCharacterSymbols of the ranking
// of `window`, taking only characters the generator can draw (those of the full alphabet).
std::string WeakCharacterDrill(std::span<const CheckRecord> checks, const StatsWindow& window);

} // namespace qlor
