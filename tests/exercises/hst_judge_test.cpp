// Judging high-speed receiving tests: the aligned error count, the validity rule and the best
// speed, the blocks of a copy file and the texts read back from a competition protocol.
#include "base/codepage.h"
#include "exercises/check_alignment.h"
#include "exercises/competition.h"
#include "exercises/hst_judge.h"

#include <gtest/gtest.h>

#include <random>

namespace qlor {
namespace {

// A text of `n` characters that repeats no character within 37 (so every edit is visible).
std::string Distinct(std::size_t n) {
    static const std::string kSymbols = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789?";
    std::string out;
    for (std::size_t i = 0; i < n; ++i) {
        out += kSymbols[i % kSymbols.size()];
    }
    return out;
}

TEST(HstErrors, EachWrongMissingOrExtraCharacterIsOneErrorWhateverTheCaseAndSpacing) {
    const std::string long130 = Distinct(130);
    std::string twoWrong = long130;
    twoWrong[63] = '/';
    twoWrong[64] = '/';
    struct Case {
        std::string sent, copy;
        int errors;
    } cases[] = {
        {"ABCDE FGHIJ", "abcde fghij", 0},
        {"ABC DE", "ABCDE", 0},
        {"ABCDE", "A B\r\nC\tD E", 0},
        {"ABCDE", "ABXDE", 1},
        {"ABCDE", "ABDE", 1},
        {"ABCDE", "ABCCDE", 1},
        {"ABCDE", "BACDE", 2},
        {"ABCDE", "", 5},
        {"", "ABC", 3},
        {"", "", 0},
        {" \r\n", "  ", 0},
        {Cp("ЖЩЁЪЯ"), Cp("жщёъя"), 0},
        {"AB\xA0"
         "CD",
         "ABCD", 0},
        // The rest of a line after a missing character is not shifted into errors.
        {long130, long130.substr(1), 1},
        {long130, "X" + long130, 1},
        {long130, twoWrong, 2},
        {long130 + long130, long130, 130},
        {Distinct(64), Distinct(65), 1},
        {Distinct(65), Distinct(64), 1},
        {Distinct(128), Distinct(127) + "Z", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sent + " / " + c.copy);
        EXPECT_EQ(CountHstErrors(c.sent, c.copy), c.errors);
    }
}

// The bit-parallel count against the tree's alignment (the plain edit-distance table) on random
// texts that cross the 64-character words, over a small alphabet so that edits abound: few edits
// (within the first band), many, and unrelated texts (bands doubled up to the whole table).
TEST(HstErrors, EqualsTheAlignmentsEditDistance) {
    std::mt19937 random(2024);
    for (int round = 0; round < 300; ++round) {
        auto text = [&random](std::size_t n) {
            std::string out;
            for (std::size_t i = 0; i < n; ++i) {
                out += static_cast<char>('A' + random() % 4);
            }
            return out;
        };
        const std::string sent = text(random() % (round % 3 == 0 ? 1200 : 300));
        std::string copy = sent;
        for (std::size_t edits = random() % 40; edits > 0 && !copy.empty(); --edits) {
            const std::size_t at = random() % copy.size();
            switch (random() % 3) {
            case 0:
                copy[at] = static_cast<char>('A' + random() % 4);
                break;
            case 1:
                copy.erase(at, 1);
                break;
            default:
                copy.insert(at, 1, static_cast<char>('A' + random() % 4));
            }
        }
        if (round % 10 == 0) {
            copy = text(random() % 300); // unrelated texts: large distances
        }
        SCOPED_TRACE(sent + " / " + copy);
        EXPECT_EQ(CountHstErrors(sent, copy), AlignCopy(sent, copy).counts.Errors());
    }
}

TEST(HstTest, AtMostFiveErrorsIsValidAndTheHighestValidScoredSpeedCounts) {
    const std::string body = Distinct(50);
    const std::vector<HstSentText> sent = {
        {50, body, false}, // training
        {50, body, true},  {60, body, true}, {70, body, true}, {80, body, true},
    };
    struct Case {
        const char* name;
        std::vector<std::string> copies;
        std::vector<int> errors;
        std::optional<int> best;
    } cases[] = {
        {"all right", {body, body, body, body, body}, {0, 0, 0, 0, 0}, 80},
        {"five errors are valid, six are not",
         {body, body, body.substr(5), body.substr(6), body.substr(0, 44)},
         {0, 0, 5, 6, 6},
         60},
        {"a valid training text alone is no result", {body, "", "", "", ""}, {0, 50, 50, 50, 50}, std::nullopt},
        {"missing blocks count every character", {body, body}, {0, 0, 50, 50, 50}, 50},
        {"surplus blocks are not judged", {body, body, body, body, body, "XYZ"}, {0, 0, 0, 0, 0}, 80},
        {"a slower valid text after a failed faster one", {"", "", "", body, ""}, {50, 50, 50, 0, 50}, 70},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const HstResult result = JudgeHstTest(sent, c.copies);
        ASSERT_EQ(result.texts.size(), sent.size());
        for (std::size_t i = 0; i < sent.size(); ++i) {
            EXPECT_EQ(result.texts[i].errors, c.errors[i]) << i;
            EXPECT_EQ(result.texts[i].valid, c.errors[i] <= 5) << i;
            EXPECT_EQ(result.texts[i].copied, i < c.copies.size()) << i;
        }
        EXPECT_EQ(result.bestSpeedCpm, c.best);
    }
}

TEST(CopyBlocks, OneEmptyLineSeparatesBlocksAndAnEmptyBlockIsAnEmptyLineBetweenTwo) {
    using Blocks = std::vector<std::string>;
    struct Case {
        const char* copy;
        Blocks blocks;
    } cases[] = {
        {"ABCDE\n\nFGHIJ", {"ABCDE", "FGHIJ"}},
        {"ABCDE\r\n\r\nFGHIJ\r\n", {"ABCDE\r", "FGHIJ\r"}},
        {"AB\nCD\n\nEF", {"AB\nCD", "EF"}},
        {"AB\n \t\nEF", {"AB", "EF"}},
        {"AB\n\n\n\nEF", {"AB", "", "EF"}},
        {"AB\n\n\nEF", {"AB", "", "EF"}},
        {"AB\n\n\n\n\n\nEF", {"AB", "", "", "EF"}},
        {"\n\nEF", {"", "EF"}},
        {"\nEF", {"", "EF"}},
        {"AB\n\n\n\n", {"AB"}},
        {"", {}},
        {" \r\n\r\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.copy);
        EXPECT_EQ(SplitCopyBlocks(c.copy), c.blocks);
    }
}

TEST(ProtocolTexts, TheTextsOfAWrittenProtocolAreReadBackInEitherLanguage) {
    for (const bool english : {true, false}) {
        for (const int type : {0, 2}) {
            CompetitionParams params;
            params.settings = DefaultTransmissionSettings();
            params.settings.textType = type;
            params.settings.startSpeed = {0, 5, 0};
            params.settings.stopSpeed = {0, 6, 0};
            params.english = english;
            const CompetitionPlan plan = PlanCompetition(params);
            const ProtocolReading reading = ReadProtocolTexts(plan.ProtocolText());
            ASSERT_EQ(reading.error, "");
            ASSERT_EQ(reading.texts.size(), 3u);
            const int speeds[] = {50, 50, 60};
            for (std::size_t i = 0; i < 3; ++i) {
                EXPECT_EQ(reading.texts[i].speed, speeds[i]);
                EXPECT_EQ(reading.texts[i].training, i == 0);
                EXPECT_EQ(reading.texts[i].body, plan.segments[i].body);
            }
        }
    }
}

TEST(ProtocolTexts, AProtocolWithoutTextsOrWithoutASpeedIsTold) {
    EXPECT_TRUE(ReadProtocolTexts("Checklist QLOR-2000\nBegin x\nInitial speed 50 spm\n").texts.empty());
    EXPECT_EQ(ReadProtocolTexts("").error, "");
    EXPECT_EQ(ReadProtocolTexts("vvv=\nABCDE\n").error, "line 1: no speed on the line before \"vvv=\"");
    EXPECT_EQ(ReadProtocolTexts("OOOOO 60\nSpeed\nvvv=\nABCDE\n").error,
              "line 3: no speed on the line before \"vvv=\"");
    const ProtocolReading cut = ReadProtocolTexts("OOOOO 990\r\nvvv=\r\n");
    ASSERT_EQ(cut.texts.size(), 1u);
    EXPECT_EQ(cut.texts[0].speed, 990);
    EXPECT_EQ(cut.texts[0].body, "");
}

} // namespace
} // namespace qlor
