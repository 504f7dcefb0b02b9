#include "exercises/koch_drill.h"

#include "base/codepage.h"
#include "synthesis/transmission_settings.h"

#include <algorithm>

namespace qlor {

std::string KochLessonSymbols(int lesson) {
    lesson = std::clamp(lesson, kKochFirstLesson, kKochLastLesson);
    return std::string(kKochOrder.substr(0, static_cast<std::size_t>(lesson) + 1));
}

std::string WeakCharacterSymbols(const std::vector<CharStats>& ranked, int weak, int known) {
    std::string symbols;
    std::size_t weakEnd = 0;
    while (weakEnd < ranked.size() && static_cast<int>(weakEnd) < weak && ranked[weakEnd].Missed() > 0) {
        symbols += static_cast<char>(ranked[weakEnd].ch);
        ++weakEnd;
    }
    if (symbols.empty()) {
        return symbols;
    }
    // The best-known characters stand at the end of the ranking.
    for (std::size_t i = ranked.size(); i > weakEnd && known > 0; --i, --known) {
        symbols += static_cast<char>(ranked[i - 1].ch);
    }
    return symbols;
}

std::string WeakCharacterDrill(std::span<const CheckRecord> checks, const StatsWindow& window) {
    const std::string alphabet = UpperCase1251(FullAlphabet());
    std::vector<CharStats> ranked = RankByErrorRate(ComputeStatistics(checks, window));
    std::erase_if(ranked,
                  [&](const CharStats& row) { return alphabet.find(static_cast<char>(row.ch)) == std::string::npos; });
    return WeakCharacterSymbols(ranked);
}

} // namespace qlor
