// The alignment-aware score: edit-distance alignment of the copy against the sent text, its tie
// rules, and the statistics, rankings and drills built on it.
#include "base/codepage.h"
#include "exercises/check_alignment.h"
#include "exercises/check_statistics.h"
#include "exercises/koch_drill.h"

#include <gtest/gtest.h>

namespace qlor {
namespace {

// The steps written compactly: "=A" match, "A>B" sent A heard B, "-A" omission, "+A" insertion.
std::string Steps(const Alignment& a) {
    std::string out;
    for (const AlignStep& s : a.steps) {
        if (!out.empty()) {
            out += ' ';
        }
        switch (s.op) {
        case AlignOp::Match:
            out += std::string("=") + char(s.sent);
            break;
        case AlignOp::Substitution:
            out += std::string(1, char(s.sent)) + ">" + char(s.heard);
            break;
        case AlignOp::Omission:
            out += std::string("-") + char(s.sent);
            break;
        case AlignOp::Insertion:
            out += std::string("+") + char(s.heard);
            break;
        }
    }
    return out;
}

TEST(FoldForAlignment, LineBreaksAndRunsOfBlanksAreOneSpaceAndCaseIsFolded) {
    EXPECT_EQ(FoldForAlignment("vvv=\r\nabcde  fghij \r\n*\r\n"), "VVV= ABCDE FGHIJ *");
    EXPECT_EQ(FoldForAlignment(" \t\r\n"), "");
    EXPECT_EQ(FoldForAlignment(Cp("жщ ёъ")), Cp("ЖЩ ЁЪ"));
}

struct AlignCase {
    const char* name;
    const char* sent;
    const char* copy;
    const char* steps;
    AlignmentCounts counts; // sentChars, matches, substitutions, omissions, insertions
};

void PrintTo(const AlignCase& c, std::ostream* out) {
    *out << c.name;
}

class AlignCopyCases : public testing::TestWithParam<AlignCase> {};

TEST_P(AlignCopyCases, StepsAndCounts) {
    const AlignCase& c = GetParam();
    const Alignment a = AlignCopy(c.sent, c.copy);
    EXPECT_EQ(Steps(a), c.steps);
    EXPECT_EQ(a.counts, c.counts);
}

INSTANTIATE_TEST_SUITE_P(Alignment, AlignCopyCases,
                         testing::Values(
                             // One missed letter costs one error, not the rest of its group (positionally it is 3).
                             AlignCase{"dropped", "ABCDE", "ABDE", "=A =B -C =D =E", {5, 4, 0, 1, 0}},
                             AlignCase{"extra", "ABCDE", "ABXCDE", "=A =B +X =C =D =E", {5, 5, 0, 0, 1}},
                             AlignCase{"heardOther", "ABCDE", "abcXe", "=A =B =C D>X =E", {5, 4, 1, 0, 0}},
                             // Ties: a substitution is preferred to an omission and an insertion, earliest first.
                             AlignCase{"swap", "AB", "BA", "A>B B>A", {2, 0, 2, 0, 0}},
                             AlignCase{"doubledHeardOnce", "AAB", "AB", "=A -A =B", {3, 2, 0, 1, 0}},
                             AlignCase{"shorterCopyEnd", "ABC", "X", "A>X -B -C", {3, 0, 1, 2, 0}},
                             AlignCase{"emptyCopy", "AB C", "", "-A -B -  -C", {4, 0, 0, 4, 0}},
                             AlignCase{"emptySent", "", "AB", "+A +B", {0, 0, 0, 0, 2}},
                             // A missed group: the following groups still line up.
                             AlignCase{"missedGroup", "AB CD EF", "AB EF", "=A =B =  -C -D -  =E =F", {8, 5, 0, 3, 0}},
                             // The copy wrapped elsewhere than the sent text, or not at all, is the same text.
                             AlignCase{"lineBreaks", "AB\r\nCD", "ab cd\n", "=A =B =  =C =D", {5, 5, 0, 0, 0}}),
                         [](const testing::TestParamInfo<AlignCase>& row) { return std::string(row.param.name); });

TEST(AlignCopy, LongTextsAreAlignedPieceByPieceAndCostStaysBounded) {
    // Three pieces of groups with one letter missed in each piece: three omissions only.
    std::string sent;
    for (int g = 0; sent.size() < 3 * kAlignPieceChars; ++g) {
        sent += std::string(5, char('A' + g % 26)) + ' ';
    }
    std::string copy = sent;
    for (const std::size_t at : {std::size_t{100}, kAlignPieceChars + 100, 2 * kAlignPieceChars + 100}) {
        copy[at] = '#';
    }
    const Alignment a = AlignCopy(sent, copy);
    EXPECT_EQ(a.counts.substitutions, 3);
    EXPECT_EQ(a.counts.Errors(), 3);
    // A copy far longer than the sent text: what is beyond the sent text is inserted.
    const Alignment extra = AlignCopy("AB", std::string(20000, 'Q'));
    EXPECT_EQ(extra.counts.substitutions, 2);
    EXPECT_EQ(extra.counts.insertions, 19998);
}

CheckRecord Check(std::int64_t time, const char* sent, const char* copy, int textType = 0, int speedCpm = 50) {
    CheckRecord r;
    r.timeUtc = time;
    r.textType = textType;
    r.speedCpm = speedCpm;
    const Alignment a = AlignCopy(sent, copy);
    r.aligned = a.counts;
    r.tally = TallyAlignment(a);
    return r;
}

TEST(Statistics, CountsSentCorrectOmittedAndHeardPerCharacter) {
    const std::vector<CheckRecord> checks = {
        Check(100, "ABCDE ABCDE", "ABXDE ABDE"), // C heard X once, omitted once
        Check(200, "AAAAA", "AAAAAQ"),           // Q inserted
        Check(300, "CCC", "XXY"),                // C heard X twice and Y once
    };
    const Statistics stats = ComputeStatistics(checks, StatsWindow{});
    auto row = [&](char c) {
        for (const CharStats& r : stats.chars) {
            if (r.ch == static_cast<unsigned char>(c)) {
                return r;
            }
        }
        return CharStats{};
    };
    EXPECT_EQ(row('A').sent, 7);
    EXPECT_EQ(row('A').correct, 7);
    const CharStats c = row('C');
    EXPECT_EQ(c.sent, 5);
    EXPECT_EQ(c.correct, 0);
    EXPECT_EQ(c.omitted, 1);
    EXPECT_EQ(c.heard, (std::vector<std::pair<unsigned char, int>>{{'X', 3}, {'Y', 1}}));
    EXPECT_EQ(row('Q').inserted, 1);
    EXPECT_EQ(row('Q').sent, 0);
    EXPECT_EQ(row(' ').sent, 0); // the space has no row
    EXPECT_EQ(stats.totals, (StatsTotals{3, 18, 13, 4, 1, 1, AlignmentCounts{19, 14, 4, 1, 1}}));

    const std::vector<Confusion> top = TopConfusions(stats, 1);
    ASSERT_EQ(top.size(), 1u);
    EXPECT_EQ(top[0].sent, 'C');
    EXPECT_EQ(top[0].heard, 'X');
    EXPECT_EQ(top[0].count, 3);
}

TEST(Statistics, WindowFiltersFirstThenKeepsTheLastChecks) {
    const std::vector<CheckRecord> checks = {
        Check(100, "A", "A", 0, 50), Check(200, "B", "B", 1, 60), Check(300, "C", "C", 0, 70),
        Check(400, "D", "D", 0, 80), Check(500, "E", "E", 1, 90),
    };
    auto times = [&](const StatsWindow& w) {
        std::vector<std::int64_t> t;
        for (const CheckRecord* r : SelectChecks(checks, w)) {
            t.push_back(r->timeUtc);
        }
        return t;
    };
    using T = std::vector<std::int64_t>;
    StatsWindow w;
    EXPECT_EQ(times(w), (T{100, 200, 300, 400, 500}));
    w.lastChecks = 2;
    EXPECT_EQ(times(w), (T{400, 500}));
    w.textType = 0;
    EXPECT_EQ(times(w), (T{300, 400}));
    w = StatsWindow{};
    w.sinceUtc = 200;
    w.untilUtc = 400;
    EXPECT_EQ(times(w), (T{200, 300}));
    w = StatsWindow{};
    w.minSpeedCpm = 60;
    w.maxSpeedCpm = 80;
    EXPECT_EQ(times(w), (T{200, 300, 400}));
}

TEST(Statistics, RankingNeedsEnoughOccurrencesAndOrdersByRateThenCount) {
    Statistics stats;
    auto add = [&](char c, int sent, int correct) {
        CharStats r;
        r.ch = static_cast<unsigned char>(c);
        r.sent = sent;
        r.correct = correct;
        stats.chars.push_back(r);
    };
    add('A', 20, 20); // rate 0
    add('B', 20, 10); // 1/2
    add('C', 9, 0);   // too few to rank
    add('D', 40, 20); // 1/2, sent more often than B
    add('E', 30, 27); // 1/10
    add('F', 10, 9);  // 1/10, sent less often than E
    add('G', 3, 1);   // too few, 2/3
    add('H', 2, 2);   // too few, rate 0
    const auto order = [](const std::vector<CharStats>& rows) {
        std::string chars;
        for (const CharStats& r : rows) {
            chars += char(r.ch);
        }
        return chars;
    };
    EXPECT_EQ(order(RankByErrorRate(stats, 10)), "DBEFA");
    // Those sent too seldom follow, also weakest first, so that a first check already ranks.
    EXPECT_EQ(order(FewSamples(stats, 10)), "CGH");

    // Drills: the weakest that were missed (at most 3 here), then 2 best-known of the rest.
    EXPECT_EQ(WeakCharacterSymbols(RankByErrorRate(stats, 10), 3, 2), "DBEAF");
    EXPECT_EQ(WeakCharacterSymbols(RankByErrorRate(stats, 10), 10, 2), "DBEFA");
    // Nothing missed yet: nothing to practise.
    Statistics perfect;
    perfect.chars.push_back(stats.chars[0]);
    EXPECT_EQ(WeakCharacterSymbols(RankByErrorRate(perfect, 10)), "");
}

TEST(KochDrill, LessonKHoldsTheFirstKPlusOneCharactersOfTheKochOrder) {
    EXPECT_EQ(kKochOrder.size(), 41u);
    EXPECT_EQ(KochLessonSymbols(1), "KM");
    EXPECT_EQ(KochLessonSymbols(14), "KMURESNAPTLWI.J");
    EXPECT_EQ(KochLessonSymbols(40), "KMURESNAPTLWI.JZ=FOY,VG5/Q92H38B?47C1D60X");
    EXPECT_EQ(KochLessonSymbols(0), "KM");
    EXPECT_EQ(KochLessonSymbols(99), KochLessonSymbols(40));
}

} // namespace
} // namespace qlor
