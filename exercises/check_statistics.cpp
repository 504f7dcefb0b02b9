#include "exercises/check_statistics.h"

#include <algorithm>
#include <array>
#include <limits>

namespace qlor {

CharTally TallyAlignment(const Alignment& alignment) {
    // 256 x 256 counters would be 256 KB per check; a check holds a few hundred steps, so
    // sorting the pairs is cheaper.
    std::vector<std::uint16_t> keys;
    keys.reserve(alignment.steps.size());
    for (const AlignStep& step : alignment.steps) {
        keys.push_back(static_cast<std::uint16_t>(step.sent << 8 | step.heard));
    }
    std::sort(keys.begin(), keys.end());
    CharTally tally;
    for (std::size_t i = 0; i < keys.size();) {
        std::size_t j = i;
        while (j < keys.size() && keys[j] == keys[i]) {
            ++j;
        }
        tally.push_back({static_cast<unsigned char>(keys[i] >> 8), static_cast<unsigned char>(keys[i] & 0xFF),
                         static_cast<int>(j - i)});
        i = j;
    }
    return tally;
}

bool StatsWindow::Accepts(const CheckRecord& check) const {
    if (sinceUtc && check.timeUtc < *sinceUtc) {
        return false;
    }
    if (untilUtc && check.timeUtc >= *untilUtc) {
        return false;
    }
    if (textType && check.textType != *textType) {
        return false;
    }
    if (minSpeedCpm && check.speedCpm < *minSpeedCpm) {
        return false;
    }
    if (maxSpeedCpm && check.speedCpm > *maxSpeedCpm) {
        return false;
    }
    return true;
}

std::vector<const CheckRecord*> SelectChecks(std::span<const CheckRecord> checks, const StatsWindow& window) {
    std::vector<const CheckRecord*> chosen;
    chosen.reserve(checks.size());
    for (const CheckRecord& check : checks) {
        if (window.Accepts(check)) {
            chosen.push_back(&check);
        }
    }
    if (window.lastChecks > 0 && chosen.size() > static_cast<std::size_t>(window.lastChecks)) {
        chosen.erase(chosen.begin(), chosen.end() - window.lastChecks);
    }
    return chosen;
}

Statistics ComputeStatistics(std::span<const CheckRecord* const> checks) {
    // pairs[sent][heard], with 0 for "nothing" on either side.
    std::vector<std::array<int, 256>> pairs(256, std::array<int, 256>{});
    Statistics stats;
    stats.totals.checks = static_cast<int>(checks.size());
    for (const CheckRecord* check : checks) {
        AlignmentCounts& sum = stats.totals.aligned;
        sum.sentChars += check->aligned.sentChars;
        sum.matches += check->aligned.matches;
        sum.substitutions += check->aligned.substitutions;
        sum.omissions += check->aligned.omissions;
        sum.insertions += check->aligned.insertions;
        for (const PairCount& p : check->tally) {
            pairs[p.sent][p.heard] += p.count;
        }
    }
    constexpr unsigned char kSpace = ' ';
    StatsTotals& t = stats.totals;
    for (int c = 1; c < 256; ++c) {
        if (c == kSpace) {
            continue;
        }
        CharStats row;
        row.ch = static_cast<unsigned char>(c);
        const std::array<int, 256>& heard = pairs[c];
        for (int h = 0; h < 256; ++h) {
            if (heard[h] == 0) {
                continue;
            }
            row.sent += heard[h];
            if (h == c) {
                row.correct += heard[h];
            } else if (h == 0) {
                row.omitted += heard[h];
            } else {
                row.heard.emplace_back(static_cast<unsigned char>(h), heard[h]);
            }
        }
        row.inserted = pairs[0][c];
        if (row.sent == 0 && row.inserted == 0) {
            continue;
        }
        std::stable_sort(row.heard.begin(), row.heard.end(),
                         [](const auto& a, const auto& b) { return a.second > b.second; });
        t.sent += row.sent;
        t.correct += row.correct;
        t.omissions += row.omitted;
        t.insertions += row.inserted;
        t.substitutions += row.Missed() - row.omitted;
        stats.chars.push_back(std::move(row));
    }
    return stats;
}

namespace {

// The characters sent from `fewest` to `most` times, highest error rate first; equal rates by more
// times sent, then in code order.
std::vector<CharStats> WeakestFirst(const Statistics& stats, int fewest, int most) {
    std::vector<CharStats> rows;
    for (const CharStats& row : stats.chars) {
        if (row.sent > 0 && row.sent >= fewest && row.sent <= most) {
            rows.push_back(row);
        }
    }
    // Rates compared exactly as fractions: missed_a / sent_a > missed_b / sent_b.
    std::stable_sort(rows.begin(), rows.end(), [](const CharStats& a, const CharStats& b) {
        const long long left = static_cast<long long>(a.Missed()) * b.sent;
        const long long right = static_cast<long long>(b.Missed()) * a.sent;
        if (left != right) {
            return left > right;
        }
        return a.sent > b.sent;
    });
    return rows;
}

} // namespace

std::vector<CharStats> RankByErrorRate(const Statistics& stats, int minOccurrences) {
    return WeakestFirst(stats, minOccurrences, std::numeric_limits<int>::max());
}

std::vector<CharStats> FewSamples(const Statistics& stats, int minOccurrences) {
    return WeakestFirst(stats, 1, minOccurrences - 1);
}

std::vector<Confusion> TopConfusions(const Statistics& stats, std::size_t count) {
    std::vector<Confusion> all;
    for (const CharStats& row : stats.chars) {
        for (const auto& [heard, n] : row.heard) {
            all.push_back({row.ch, heard, n});
        }
    }
    std::stable_sort(all.begin(), all.end(), [](const Confusion& a, const Confusion& b) { return a.count > b.count; });
    if (all.size() > count) {
        all.resize(count);
    }
    return all;
}

} // namespace qlor
