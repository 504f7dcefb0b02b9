#include "textgen/radiogram.h"

#include "base/codepage.h"

#include <gtest/gtest.h>

#include <chrono>

namespace qlor {
namespace {

constexpr int kL = 0, kR = 1, kN = 2, kNC = 3, kLN = 4, kMX = 5;

GenerateParams Params(int groups, int length, int type, int d1 = 0, int d2 = 0, int d3 = 0, int d4 = 0) {
    GenerateParams p;
    p.groupCount = groups;
    p.charInGroup = length;
    p.textType = type;
    p.d1 = d1;
    p.d2 = d2;
    p.d3 = d3;
    p.d4 = d4;
    return p;
}

std::string Body(GenerateParams p) {
    const GenerateResult r = GenerateText(p);
    EXPECT_FALSE(r.failed);
    return r.body;
}

// Every body of the examples, with the symbol memo empty and with it holding text.
std::string BodyEitherMemo(GenerateParams p) {
    p.symbolMemoLength = 0;
    const std::string withoutMemo = Body(p);
    p.symbolMemoLength = 75;
    EXPECT_EQ(Body(p), withoutMemo);
    return withoutMemo;
}

TEST(SymbolByIndex, Table) {
    EXPECT_EQ(SymbolByIndex(1), "A");
    EXPECT_EQ(SymbolByIndex(26), "Z");
    EXPECT_EQ(SymbolByIndex(27), "0");
    EXPECT_EQ(SymbolByIndex(36), "9");
    EXPECT_EQ(SymbolByIndex(37) + SymbolByIndex(38) + SymbolByIndex(39) + SymbolByIndex(40) + SymbolByIndex(41),
              ".,?/=");
    EXPECT_EQ(SymbolByIndex(42), Cp("А"));
    EXPECT_EQ(SymbolByIndex(67), Cp("Щ"));
    EXPECT_EQ(SymbolByIndex(68), Cp("Ы"));
    EXPECT_EQ(SymbolByIndex(69), Cp("Ь"));
    EXPECT_EQ(SymbolByIndex(72), Cp("Я"));
    EXPECT_EQ(SymbolByIndex(73), " ");
    EXPECT_EQ(SymbolByIndex(0), " ");
    EXPECT_EQ(SymbolByIndex(-5), " ");
    // No index gives Ъ, Ё, "!" or "*".
    for (int i = 1; i <= 72; ++i) {
        const std::string s = SymbolByIndex(i);
        EXPECT_NE(s, Cp("Ъ"));
        EXPECT_NE(s, Cp("Ё"));
        EXPECT_NE(s, "!");
        EXPECT_NE(s, "*");
    }
}

TEST(GenerateText, BodiesOfEveryTextType) {
    EXPECT_EQ(BodyEitherMemo(Params(4, 5, kL)), "ERVHJ YXDKQ FJCVG UXLAG ");
    EXPECT_EQ(BodyEitherMemo(Params(3, 5, kR)), Cp("ДХЩЙК ЮЬГМУ ЖЛВЩЗ "));
    EXPECT_EQ(BodyEitherMemo(Params(4, 5, kN)), "16733 98146 23172 78402 ");
    EXPECT_EQ(BodyEitherMemo(Params(4, 5, kNC)), "16733 98146 23172 784T2 ");
    EXPECT_EQ(BodyEitherMemo(Params(3, 5, kLN)), "FY3KM 86EOW HMC3I ");
    EXPECT_EQ(BodyEitherMemo(Params(3, 5, kMX)), "G27MO /.FQ0 IOC7K ");
    EXPECT_EQ(BodyEitherMemo(Params(2, 10, kN, 1, 2, 3, 4)), "6048857875 6798473473 ");
    EXPECT_EQ(BodyEitherMemo(Params(2, 10, kNC, 1, 2, 3, 4)), "6T48857875 6798473473 ");
    // Any other type draws like type 0.
    EXPECT_EQ(BodyEitherMemo(Params(4, 5, 9)), "ERVHJ YXDKQ FJCVG UXLAG ");
    EXPECT_EQ(BodyEitherMemo(Params(4, 5, -1)), "ERVHJ YXDKQ FJCVG UXLAG ");
}

TEST(GenerateText, NoThreeInARowOnlyWithASymbolMemoOfTwoOrMore) {
    GenerateParams p = Params(1, 10, kN, 0, 0, 1, 9);
    p.symbolMemoLength = 2;
    EXPECT_EQ(Body(p), "1696904337 ");
    p.symbolMemoLength = 1;
    EXPECT_EQ(Body(p), "1696904333 ");
    p.symbolMemoLength = 0;
    EXPECT_EQ(Body(p), "1696904333 ");
}

TEST(GenerateText, NoThirdEqualCharacterOverManyTexts) {
    // Type L writes one character per index, so equal characters are equal indices.
    int runsOfThreeWithoutMemo = 0;
    for (int number = 0; number < 300; ++number) {
        GenerateParams p = Params(20, 9, kL, number / 1000, number / 100 % 10, number / 10 % 10, number % 10);
        p.symbolMemoLength = 75;
        const std::string body = Body(p);
        ASSERT_EQ(body.size(), 200u);
        for (std::size_t i = 2; i < body.size(); ++i) {
            ASSERT_FALSE(body[i] != ' ' && body[i] == body[i - 1] && body[i] == body[i - 2]) << number << ": " << body;
        }
        p.symbolMemoLength = 0;
        const std::string free = Body(p);
        for (std::size_t i = 2; i < free.size(); ++i) {
            runsOfThreeWithoutMemo += free[i] != ' ' && free[i] == free[i - 1] && free[i] == free[i - 2];
        }
    }
    EXPECT_GT(runsOfThreeWithoutMemo, 0);
}

TEST(GenerateText, GroupLayout) {
    EXPECT_EQ(Body(Params(0, 5, kL)), "");
    EXPECT_EQ(Body(Params(-7, 5, kL)), "");
    // A stored 0 means 10 characters per group.
    const std::string ten = Body(Params(3, 0, kL));
    EXPECT_EQ(ten.size(), 33u);
    EXPECT_EQ(ten, Body(Params(3, 10, kL)));
    EXPECT_EQ(Body(Params(2, 1, kN)).size(), 4u);
    // Longer texts start with the same groups: the generator only runs on.
    EXPECT_EQ(Body(Params(10, 5, kL)).substr(0, 24), "ERVHJ YXDKQ FJCVG UXLAG ");
}

TEST(GenerateText, SelectedSymbols) {
    GenerateParams p = Params(2, 5, kL);
    p.selected = "ab"; // lower case counts as the capitals
    p.symbolMemoLength = 2;
    EXPECT_EQ(Body(p), "BBABA BBAAB ");

    // A one-character list: the rule is off, every group is all A's.
    p = Params(3, 5, kMX, 4, 3, 2, 1);
    p.selected = "A";
    p.symbolMemoLength = 1;
    EXPECT_EQ(Body(p), "AAAAA AAAAA AAAAA ");

    // Cyrillic lower case, and characters without an index are simply never drawn.
    p = Params(5, 5, kL);
    p.selected = Cp("я!ж*\r\n");
    p.symbolMemoLength = p.selected.size();
    const std::string body = Body(p);
    ASSERT_EQ(body.size(), 30u);
    for (char c : body) {
        EXPECT_TRUE(c == ' ' || std::string(1, c) == Cp("Я") || std::string(1, c) == Cp("Ж")) << body;
    }
}

TEST(GenerateText, NumberCodeZeroIsAnIndexOfItsOwn) {
    GenerateParams p = Params(40, 9, kNC);
    p.selected = "0T";
    p.symbolMemoLength = 2;
    const std::string body = Body(p);
    for (char c : body) {
        ASSERT_TRUE(c == 'T' || c == ' ');
    }
    // Indices 20 and 27 differ, so three T's in a row still occur.
    EXPECT_NE(body.find("TTT"), std::string::npos);
    // Without the code the list gives zeros and T's.
    p.textType = kN;
    const std::string plain = Body(p);
    EXPECT_NE(plain.find('0'), std::string::npos);
    EXPECT_NE(plain.find('T'), std::string::npos);
}

TEST(GenerateText, SetsTooSmallFail) {
    const std::string lists[] = {"!*", "A!", "A\r\n", "a "};
    for (const std::string& list : lists) {
        SCOPED_TRACE(list);
        GenerateParams p = Params(5, 3, kL);
        p.selected = list;
        p.symbolMemoLength = list.size();
        const GenerateResult r = GenerateText(p);
        EXPECT_TRUE(r.failed);
        EXPECT_EQ(r.body, "");
    }
    // With groups of 2 a single usable letter is enough (only a third equal one is refused).
    GenerateParams p = Params(4, 2, kL);
    p.selected = "A!";
    p.symbolMemoLength = 2;
    EXPECT_EQ(Body(p), "AA AA AA AA ");
    p.selected = "A\r\n";
    p.symbolMemoLength = 3;
    EXPECT_EQ(Body(p), "AA AA AA AA ");
    // Nothing usable fails even for one character.
    p = Params(1, 1, kL);
    p.selected = "!*";
    p.symbolMemoLength = 2;
    EXPECT_TRUE(GenerateText(p).failed);
}

TEST(GenerateText, HugeGroupCountsStayLinear) {
    const auto start = std::chrono::steady_clock::now();
    const std::string body = Body(Params(1000000, 1, kL));
    EXPECT_EQ(body.size(), 2000000u);
    GenerateParams failing = Params(1000000, 3, kL);
    failing.selected = "A!";
    failing.symbolMemoLength = 2;
    EXPECT_TRUE(GenerateText(failing).failed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

RadiogramControls Controls() {
    RadiogramControls c;
    c.settings = DefaultTransmissionSettings();
    return c;
}

TEST(ComposeRadiogram, StandardHeaderAndEnding) {
    RadiogramControls c = Controls();
    c.settings.groups = {0, 0, 4};
    const ComposeResult r = ComposeRadiogram(c);
    ASSERT_FALSE(r.failed);
    EXPECT_EQ(r.radiogram.header, "vvv=\r\n");
    EXPECT_EQ(r.radiogram.body, "ERVHJ YXDKQ FJCVG UXLAG ");
    EXPECT_EQ(r.radiogram.ending, "\r\n*");
    EXPECT_EQ(r.radiogram.displayed, "vvv=\r\nERVHJ YXDKQ FJCVG UXLAG \r\n*");
}

TEST(ComposeRadiogram, UserHeaderAndEndingAndNone) {
    RadiogramControls c = Controls();
    c.settings.groups = {0, 0, 2};
    c.headerStandard = false;
    c.beginChar = "QST";
    c.endedStandard = false;
    c.endChar = "SK";
    ComposeResult r = ComposeRadiogram(c);
    EXPECT_EQ(r.radiogram.displayed, "QST\r\nERVHJ YXDKQ SK");
    EXPECT_EQ(r.radiogram.header, "QST\r\n");
    EXPECT_EQ(r.radiogram.ending, "SK");

    c.needHeader = false;
    c.needEnded = false;
    r = ComposeRadiogram(c);
    EXPECT_EQ(r.radiogram.header, "");
    EXPECT_EQ(r.radiogram.ending, "");
    EXPECT_EQ(r.radiogram.displayed, "ERVHJ YXDKQ ");
    EXPECT_EQ(RadiogramHeader(c), "");
    EXPECT_EQ(RadiogramEnding(c), "");
}

TEST(ComposeRadiogram, GroupCountZeroSendsFifty) {
    RadiogramControls c = Controls();
    c.settings.groups = {0, 0, 0};
    c.settings.charInGroup = 5;
    const ComposeResult r = ComposeRadiogram(c);
    EXPECT_EQ(r.radiogram.body.size(), 50u * 6);
    c.settings.groups = {1, 9, 9};
    EXPECT_EQ(ComposeRadiogram(c).radiogram.body.size(), 199u * 6);
}

TEST(ComposeRadiogram, SymbolChoice) {
    RadiogramControls c = Controls();
    c.settings.groups = {0, 0, 2};
    c.allSymbols = false;
    c.selectedSymbols = "ab";
    EXPECT_EQ(ComposeRadiogram(c).radiogram.body, "BBABA BBAAB ");

    // An empty list draws from the whole set, with three equal characters allowed.
    c.selectedSymbols = "";
    c.settings.textType = kN;
    c.settings.number = {0, 0, 1, 9};
    c.settings.groups = {0, 0, 1};
    c.settings.charInGroup = 0;
    EXPECT_EQ(ComposeRadiogram(c).radiogram.body, "1696904333 ");
    // All symbols in use, but the memo's length still switches the rule on.
    c.allSymbols = true;
    c.selectedSymbols = "xy";
    EXPECT_EQ(ComposeRadiogram(c).radiogram.body, "1696904337 ");
}

TEST(ComposeRadiogram, FailedGenerationStopsTheRun) {
    RadiogramControls c = Controls();
    c.allSymbols = false;
    c.selectedSymbols = "!*";
    const ComposeResult r = ComposeRadiogram(c);
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(r.radiogram.body, "");
    EXPECT_EQ(r.radiogram.displayed, "");
}

TEST(ComposeRadiogram, OwnText) {
    RadiogramControls c = Controls();
    c.ownText = true;
    c.memoText = "CQ CQ\r\nDE TEST";
    ComposeResult r = ComposeRadiogram(c);
    EXPECT_FALSE(r.failed);
    EXPECT_EQ(r.radiogram.header, "");
    EXPECT_EQ(r.radiogram.ending, "");
    EXPECT_EQ(r.radiogram.body, "CQ CQ\r\nDE TEST");
    EXPECT_EQ(r.radiogram.displayed, "CQ CQ\r\nDE TEST");
    c.memoText.clear();
    r = ComposeRadiogram(c);
    EXPECT_EQ(r.radiogram.body, "*");
    EXPECT_EQ(r.radiogram.displayed, "*");
}

TEST(ComposeRadiogram, EmptyDisplayedTextBecomesTheEndSign) {
    RadiogramControls c = Controls();
    c.settings.groups = {0, 0, -3}; // an unchecked stored digit: nothing is drawn
    c.needHeader = false;
    c.needEnded = false;
    const ComposeResult r = ComposeRadiogram(c);
    EXPECT_FALSE(r.failed);
    EXPECT_EQ(r.radiogram.body, "");
    EXPECT_EQ(r.radiogram.displayed, "*");
}

} // namespace
} // namespace qlor
