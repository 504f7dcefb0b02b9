// The reception check: wrapping of the two boxes and the positional comparison.
#include "base/codepage.h"
#include "exercises/reception_check.h"

#include <gtest/gtest.h>

namespace qlor {
namespace {

using Lines = std::vector<std::string>;

CheckHead Head() {
    CheckHead head;
    head.dateTime = "01.02.2024 10:11:12";
    head.number[0] = 0;
    head.number[1] = 4;
    head.number[2] = 1;
    head.number[3] = 7;
    head.speed[0] = 0;
    head.speed[1] = 5;
    head.speed[2] = 0;
    return head;
}

// The lines after the three head lines and before the total.
Lines Body(const CheckList& list) {
    return Lines(list.lines.begin() + 3, list.lines.end() - 1);
}

TEST(WrapLines, SplitsAtEveryKindOfLineBreakAndDropsTheEmptyLastLine) {
    EXPECT_EQ(WrapLines("", 30), Lines{});
    EXPECT_EQ(WrapLines("ABC", 30), Lines{"ABC"});
    EXPECT_EQ(WrapLines("ABC\r\n", 30), Lines{"ABC"});
    EXPECT_EQ(WrapLines("ABC\r\n\r\n", 30), (Lines{"ABC", ""}));
    EXPECT_EQ(WrapLines("\r\n", 30), Lines{""});
    EXPECT_EQ(WrapLines("A\rB\nC\r\nD", 30), (Lines{"A", "B", "C", "D"}));
    EXPECT_EQ(WrapLines("A\n\rB", 30), (Lines{"A", "", "B"})); // LF then CR: two breaks
}

TEST(WrapLines, BreaksAtSpacesKeepingTheSpaceOnTheWrappedLine) {
    const std::string groups = "ABCDE FGHIJ KLMNO PQRST ";
    // Two groups fit in 11 characters; the space after the second hangs at the end of the line.
    EXPECT_EQ(WrapLines(groups, 11), (Lines{"ABCDE FGHIJ ", "KLMNO PQRST "}));
    EXPECT_EQ(WrapLines(groups, 12), (Lines{"ABCDE FGHIJ ", "KLMNO PQRST "}));
    EXPECT_EQ(WrapLines(groups, 16), (Lines{"ABCDE FGHIJ ", "KLMNO PQRST "}));
    EXPECT_EQ(WrapLines(groups, 17), (Lines{"ABCDE FGHIJ KLMNO ", "PQRST "}));
    EXPECT_EQ(WrapLines(groups, 24), Lines{groups});
    EXPECT_EQ(WrapLines(groups, 0), Lines{groups}); // no wrapping
    // Five groups of five fill the default width exactly.
    const std::string ten = "AAAAA BBBBB CCCCC DDDDD EEEEE FFFFF GGGGG HHHHH IIIII JJJJJ ";
    EXPECT_EQ(WrapLines(ten, kDefaultWrapChars), (Lines{ten.substr(0, 30), ten.substr(30)}));
}

TEST(WrapLines, CutsAWordLongerThanTheWidthAndKeepsRunsOfSpaces) {
    EXPECT_EQ(WrapLines("ABCDEFGHIJ", 4), (Lines{"ABCD", "EFGH", "IJ"}));
    EXPECT_EQ(WrapLines("AB CDEFGHIJ", 4), (Lines{"AB ", "CDEF", "GHIJ"}));
    EXPECT_EQ(WrapLines("AB   CD", 4), (Lines{"AB   ", "CD"}));
    // Every character of the text is on exactly one line, in order.
    const std::string text = "vvv=\r\nQWERT  YUIOP ASDFGHJKLZXCVBNM QQ W \r\n*";
    for (int width = 1; width < 20; ++width) {
        std::string joined;
        for (const auto& line : WrapLines(text, width)) {
            EXPECT_FALSE(line.empty());
            joined += line;
        }
        EXPECT_EQ(joined, "vvv=QWERT  YUIOP ASDFGHJKLZXCVBNM QQ W *") << "width " << width;
    }
}

TEST(CheckList, HeadLinesAndTotal) {
    CheckList list = BuildCheckList(Head(), {}, {});
    ASSERT_EQ(list.lines.size(), 4u);
    EXPECT_EQ(list.lines[0], "01.02.2024 10:11:12");
    EXPECT_EQ(list.lines[1], Cp("Текст 0417"));
    // Latin C, then Cyrillic letters; the speed as its three panel digits.
    EXPECT_EQ(list.lines[2], "C" + Cp("корость 050 зн/мин"));
    EXPECT_EQ(static_cast<unsigned char>(list.lines[2][1]), 0xEA); // cp1251 small ka
    EXPECT_EQ(list.lines[3], Cp("Всего ошибок 0"));
    EXPECT_EQ(list.errors, 0);

    CheckHead own = Head();
    own.ownText = true;
    EXPECT_EQ(BuildCheckList(own, {}, {}).lines[1], Cp("Текст произвольный"));
}

TEST(CheckList, CaseInsensitiveLatinAndCyrillic) {
    const Lines sent{"vvv=", "ABCDE " + Cp("АБЯЁЖ "), "*"};
    const Lines copy{"VVV=", "abcde " + Cp("абяёж "), "*"};
    CheckList list = BuildCheckList(Head(), sent, copy);
    EXPECT_EQ(Body(list), (Lines{"....", "VVV=", "............", copy[1], ".", "*"}));
    EXPECT_EQ(list.errors, 0);
    EXPECT_EQ(list.lines.back(), Cp("Всего ошибок 0"));
}

TEST(CheckList, MissingFinalSpaceIsOneError) {
    const Lines sent = WrapLines("ABCDE FGHIJ KLMNO ", 11);
    ASSERT_EQ(sent[0], "ABCDE FGHIJ ");
    CheckList list = BuildCheckList(Head(), sent, {"ABCDE FGHIJ", "KLMNO "});
    EXPECT_EQ(Body(list)[0], "........... ");
    EXPECT_EQ(Body(list)[1], "ABCDE FGHIJ");
    EXPECT_EQ(list.errors, 1);
}

TEST(CheckList, DroppedLetterShiftsTheRestOfTheLine) {
    CheckList list = BuildCheckList(Head(), {"ABCDE"}, {"ABDE"});
    EXPECT_EQ(Body(list), (Lines{"..CDE", "ABDE"}));
    EXPECT_EQ(list.errors, 3);
    EXPECT_EQ(list.lines.back(), Cp("Всего ошибок 3"));
}

TEST(CheckList, ExtraLettersAndExtraLinesAreIgnored) {
    CheckList list = BuildCheckList(Head(), {"ABCDE"}, {"ABCDEFG", "MORE", "LINES"});
    EXPECT_EQ(Body(list), (Lines{".....", "ABCDE"}));
    EXPECT_EQ(list.errors, 0);
}

TEST(CheckList, EmptyOrShortCopyMarksEverySentCharacter) {
    CheckList list = BuildCheckList(Head(), {"AB C", "", "XY"}, {"AB"});
    // Line 1: the missing " C" counts 2; line 2 is empty; line 3 has no copy line at all.
    EXPECT_EQ(Body(list), (Lines{".. C", "AB", "", "", "XY", ""}));
    EXPECT_EQ(list.errors, 4);
}

TEST(CheckList, ErrorsAddUpOverLinesAndTextEndsEveryLineWithCrLf) {
    CheckList list = BuildCheckList(Head(), {"AAAA ", "BBBB "}, {"AxAA ", "BBBx"});
    EXPECT_EQ(Body(list), (Lines{".A...", "AxAA ", "...B ", "BBBx"}));
    EXPECT_EQ(list.errors, 3);
    const std::string text = list.Text();
    std::string expected;
    for (const auto& line : list.lines) {
        expected += line + "\r\n";
    }
    EXPECT_EQ(text, expected);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(CheckList{}.Text(), "");
}

TEST(CheckList, SentAndCopyWrappedAlikeMatch) {
    const std::string sent = "vvv=\r\nQWERT YUIOP ASDFG HJKLZ XCVBN MQWER TYUIO \r\n*";
    const std::string copy = "VVV=\r\nqwert yuiop asdfg hjklz xcvbn mqwer tyuio \r\n*\r\n";
    CheckList list = BuildCheckList(Head(), WrapLines(sent, kDefaultWrapChars), WrapLines(copy, kDefaultWrapChars));
    EXPECT_EQ(list.errors, 0);
    EXPECT_EQ(list.lines.size(), 3u + 2u * 4u + 1u);
}

} // namespace
} // namespace qlor
