#pragma once
// Per-character statistics over a window of recorded checks: how often each character was sent,
// copied correctly, left out or heard as another character, and which characters are weakest.
#include "exercises/check_record.h"

#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace qlor {

// The aligned character pairs of one check (see CharTally).
CharTally TallyAlignment(const Alignment& alignment);

// Which checks the statistics read. The filters are applied first, then only the last
// `lastChecks` of what they let through are kept.
struct StatsWindow {
    int lastChecks = 0;                   // 0: every check
    std::optional<std::int64_t> sinceUtc; // first second included [s since 1970 UTC]
    std::optional<std::int64_t> untilUtc; // first second no longer included [s since 1970 UTC]
    std::optional<int> textType;          // "Morse Text Type" 0..5
    std::optional<int> minSpeedCpm;       // lowest sending speed included [cpm]
    std::optional<int> maxSpeedCpm;       // highest sending speed included [cpm]

    bool Accepts(const CheckRecord& check) const;
};

// The checks of the window, in the order given (the history's time order, oldest first).
std::vector<const CheckRecord*> SelectChecks(std::span<const CheckRecord> checks, const StatsWindow& window);

struct CharStats {
    unsigned char ch = 0; // cp1251, upper case
    int sent = 0;         // times sent
    int correct = 0;      // times heard as itself
    int omitted = 0;      // times left out of the copy
    int inserted = 0;     // times typed where nothing was sent
    // Heard as another character: that character and how often, most often first (equal counts
    // in code order).
    std::vector<std::pair<unsigned char, int>> heard;

    int Missed() const { return sent - correct; }
    // Missed per sent (0 when never sent).
    double ErrorRate() const { return sent > 0 ? static_cast<double>(Missed()) / sent : 0.0; }
};

struct StatsTotals {
    int checks = 0;
    // Over the characters' rows (spaces left out).
    int sent = 0;
    int correct = 0;
    int substitutions = 0;
    int omissions = 0;
    int insertions = 0;
    AlignmentCounts aligned; // the checks' aligned figures added up
    // The checks' error rate, defined as a single check's (AlignedErrorRate).
    double ErrorRate() const { return AlignedErrorRate(aligned); }
    bool operator==(const StatsTotals&) const = default;
};

// The space between groups is aligned like any character but is not a character the operator
// practises: it has no row of its own and its omissions and insertions are not counted. A
// character heard as a space counts as heard as " ".
struct Statistics {
    std::vector<CharStats> chars; // every character sent or typed in the window, in code order
    StatsTotals totals;
};

Statistics ComputeStatistics(std::span<const CheckRecord* const> checks);
inline Statistics ComputeStatistics(std::span<const CheckRecord> checks, const StatsWindow& window) {
    const std::vector<const CheckRecord*> chosen = SelectChecks(checks, window);
    return ComputeStatistics(chosen);
}

// A character is ranked once it has been sent this often.
inline constexpr int kDefaultMinOccurrences = 10;

// The characters sent at least minOccurrences times, highest error rate first; equal rates by
// more times sent, then in code order.
std::vector<CharStats> RankByErrorRate(const Statistics& stats, int minOccurrences = kDefaultMinOccurrences);
// The characters sent, but fewer than minOccurrences times (few samples), in the same order. Shown
// after the ranked ones, so that the weakest lead from the first check on.
std::vector<CharStats> FewSamples(const Statistics& stats, int minOccurrences = kDefaultMinOccurrences);

struct Confusion {
    unsigned char sent = 0;
    unsigned char heard = 0;
    int count = 0;
};
// The most frequent substitutions (sent X heard Y), most often first, at most `count`.
std::vector<Confusion> TopConfusions(const Statistics& stats, std::size_t count);

} // namespace qlor
