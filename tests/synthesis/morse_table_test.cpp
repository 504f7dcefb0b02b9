#include "base/codepage.h"
#include "synthesis/morse_table.h"

#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/stat.h>

namespace qlor {
namespace {

// The replace-all exactly as first written: upper-case both, find, cut and copy, repeat.
std::string NaiveReplaceAll(std::string source, const std::string& oldText, const std::string& newText) {
    std::string upper = UpperCase1251(source);
    const std::string upperOld = UpperCase1251(oldText);
    std::string rest = source;
    std::string result;
    while (!upper.empty()) {
        size_t pos = upperOld.empty() ? std::string::npos : upper.find(upperOld);
        if (pos == std::string::npos) {
            result += rest;
            return result;
        }
        result += rest.substr(0, pos) + newText;
        rest = rest.substr(pos + oldText.size());
        upper = upper.substr(pos + oldText.size());
    }
    return result;
}

// The conversion step by step, with the naive replace-all.
Elements NaiveTextToElements(const MorseTable& table, std::string_view text) {
    std::string_view trimmed = Trim1251(text);
    Elements e;
    std::string s;
    for (unsigned char c : trimmed) {
        auto p = table.CharPattern(c);
        s += std::string(p.pattern) + "Q";
        e.count += p.found ? 1 : 0;
    }
    for (const char* pair : {"DD", "TT", "PP"}) {
        while (s.find(pair) != std::string::npos) {
            s = NaiveReplaceAll(s, pair, std::string(1, pair[0]));
        }
    }
    s = NaiveReplaceAll(s, "QQQ", "R");
    s = NaiveReplaceAll(s, "QQ", "");
    s = NaiveReplaceAll(s, "RQ", "R");
    while (s.find("RR") != std::string::npos) {
        s = NaiveReplaceAll(s, "RR", "R");
    }
    if (!s.empty()) {
        s.pop_back();
    }
    e.elements = s;
    return e;
}

void ExpectElements(const MorseTable& table, std::string_view text, const std::string& elements, int count) {
    Elements e = TextToElements(table, text);
    EXPECT_EQ(e.elements, elements) << "text: " << Cp1251ToUtf8(text);
    EXPECT_EQ(e.count, count) << "text: " << Cp1251ToUtf8(text);
}

TEST(MorseTableIndex, MapsLatinCyrillicDigitsAndSigns) {
    EXPECT_EQ(MorseTable::IndexOf('A'), 1);
    EXPECT_EQ(MorseTable::IndexOf('Z'), 26);
    EXPECT_EQ(MorseTable::IndexOf('z'), 26);
    EXPECT_EQ(MorseTable::IndexOf(0xC0), 30); // А
    EXPECT_EQ(MorseTable::IndexOf(0xE0), 30); // а
    EXPECT_EQ(MorseTable::IndexOf(0xD9), 55); // Щ
    EXPECT_EQ(MorseTable::IndexOf(0xDA), 58); // Ъ
    EXPECT_EQ(MorseTable::IndexOf(0xDB), 57); // Ы
    EXPECT_EQ(MorseTable::IndexOf(0xFC), 56); // ь
    EXPECT_EQ(MorseTable::IndexOf(0xFF), 61); // я
    EXPECT_EQ(MorseTable::IndexOf('1'), 90);
    EXPECT_EQ(MorseTable::IndexOf('9'), 98);
    EXPECT_EQ(MorseTable::IndexOf('0'), 99);
    const std::string signs = "=/?.,!*@";
    for (size_t i = 0; i < signs.size(); ++i) {
        EXPECT_EQ(MorseTable::IndexOf(static_cast<unsigned char>(signs[i])), 100 + static_cast<int>(i));
    }
    for (unsigned char c : std::string(" \r\n\t-:()\"'#")) {
        EXPECT_EQ(MorseTable::IndexOf(c), 0) << int(c);
    }
    EXPECT_EQ(MorseTable::IndexOf(0xA8), 0); // Ё
    EXPECT_EQ(MorseTable::IndexOf(0xB8), 0); // ё
    EXPECT_EQ(MorseTable::IndexOf(0x00), 0);
}

TEST(MorseTableIndex, EveryEntryIsReachedByExactlyTheExpectedBytes) {
    int mapped = 0;
    std::array<int, MorseTable::kSize + 1> hits{};
    for (int c = 0; c < 256; ++c) {
        int index = MorseTable::IndexOf(static_cast<unsigned char>(c));
        ASSERT_GE(index, 0);
        ASSERT_LE(index, MorseTable::kSize);
        if (index) {
            ++mapped;
            ++hits[index];
        }
    }
    // 26 Latin and 32 Cyrillic letters in both cases, 10 digits, 8 signs.
    EXPECT_EQ(mapped, 26 * 2 + 32 * 2 + 10 + 8);
    for (int i : {27, 28, 29, 62, 89, 108, 109, 110}) {
        EXPECT_EQ(hits[i], 0) << i;
    }
}

TEST(MorseTableBuiltIn, PatternsAreWellFormedAndKnownOnesMatch) {
    MorseTable table;
    int filled = 0;
    for (int i = 1; i <= MorseTable::kSize; ++i) {
        const std::string& p = table.Entry(i);
        bool expected = (i <= 26) || (i >= 30 && i <= 61) || (i >= 90 && i <= 107);
        EXPECT_EQ(!p.empty(), expected) << i;
        if (p.empty()) {
            continue;
        }
        ++filled;
        for (size_t k = 0; k < p.size(); ++k) {
            bool element = p[k] == 'D' || p[k] == 'T';
            EXPECT_EQ(element, k % 2 == 0) << "index " << i << " pattern " << p;
            if (!element) {
                EXPECT_EQ(p[k], 'P');
            }
        }
        EXPECT_EQ(p.size() % 2, 1u) << i;
    }
    EXPECT_EQ(filled, 26 + 32 + 18);
    EXPECT_EQ(table.Entry(58), table.Entry(100));  // Ъ and "=" share -...-
    EXPECT_EQ(table.Entry(104), table.Entry(105)); // "," and "!"
    EXPECT_EQ(table.Entry(56), table.Entry(24));   // Ь and X
    EXPECT_EQ(table.Entry(53), "TPTPTPD");         // Ч
    EXPECT_EQ(table.Entry(102), "DPDPTPTPDPD");    // ?
    EXPECT_EQ(table.Entry(107), "DPTPTPDPTPD");    // @
}

TEST(MorseTableBuiltIn, CharPatternReportsMissingEntriesAsQ) {
    MorseTable table;
    auto a = table.CharPattern('a');
    EXPECT_TRUE(a.found);
    EXPECT_EQ(a.pattern, "DPT");
    auto hash = table.CharPattern('#');
    EXPECT_FALSE(hash.found);
    EXPECT_EQ(hash.pattern, "Q");
}

TEST(TextToElementsTest, ExamplesOfTheBuiltInTable) {
    MorseTable table;
    ExpectElements(table, "AB C", "DPTQTPDPDPDRTPDPTPD", 3);
    ExpectElements(table, "PARIS", "DPTPTPDQDPTQDPTPDQDPDQDPDPD", 5);
    ExpectElements(table, "sos", "DPDPDQTPTPTQDPDPD", 3);
    ExpectElements(table, "SOS", "DPDPDQTPTPTQDPDPD", 3);
    for (const char* text : {"A B", "A#B", "A  -  B", "A\r\nB", "A\t\t#\r\n  B"}) {
        ExpectElements(table, text, "DPTRTPDPDPD", 2);
    }
    ExpectElements(table, "#A", "DPT", 1);
    ExpectElements(table, "A #  # ", "DPT", 1);
    ExpectElements(table, "##A", "RDPT", 1); // two unkeyable characters at the start
    ExpectElements(table, "", "", 0);
    ExpectElements(table, " \r\n \t", "", 0);
    ExpectElements(table, "#", "", 0);
    ExpectElements(table, "---", "", 0);
    // Ё/ё have no entry and part their neighbours like a space.
    ExpectElements(table, Cp("АЁБ"), "DPTRTPDPDPD", 2);
    ExpectElements(table, Cp("аёб"), "DPTRTPDPDPD", 2);
    EXPECT_EQ(TextToElements(table, Cp("а")).elements, TextToElements(table, Cp("А")).elements);
}

TEST(TextToElementsTest, OverridesAreNormalisedAndStillCount) {
    MorseTable table;
    table.ApplyOverrides("5:DDD;\n");
    ExpectElements(table, "E", "D", 1);
    ExpectElements(table, "EE", "DQD", 2);

    table.ApplyOverrides("5:DPDPD;\n");
    ExpectElements(table, "E", "DPDPD", 1);

    // An empty pattern still counts as a keyable character but sounds nothing.
    table.ApplyOverrides("5:;\n");
    ExpectElements(table, "E", "", 1);
    ExpectElements(table, "AEA", "DPTDPT", 3); // "DPTQ" + "Q" + "DPTQ": two gaps vanish

    // Merging is triggered by a run of capitals and then takes lower-case letters along.
    table.ApplyOverrides("5:dDd;\n");
    ExpectElements(table, "E", "dDd", 1);
    table.ApplyOverrides("5:DDd;\n");
    ExpectElements(table, "E", "Dd", 1);
}

TEST(TextToElementsTest, AgreesWithTheLiteralAlgorithmOnRandomInput) {
    std::mt19937 rng(20240501);
    const std::string textBytes = std::string("AETMSON#- \r\n,.") + Cp("АЯЁё");
    for (int round = 0; round < 600; ++round) {
        // Gap letters in overridden patterns, or only element letters and strangers.
        const std::string letters = round % 2 ? "DTPQRdtpqrX" : "DTPdtpX";
        MorseTable table;
        std::string overrides;
        for (int k = 0; k < 4; ++k) {
            int index = std::uniform_int_distribution<int>(1, 30)(rng);
            std::string pattern;
            int len = std::uniform_int_distribution<int>(0, 7)(rng);
            for (int j = 0; j < len; ++j) {
                pattern += letters[std::uniform_int_distribution<size_t>(0, letters.size() - 1)(rng)];
            }
            overrides += std::to_string(index) + ":" + pattern + ";\n";
        }
        table.ApplyOverrides(overrides);
        std::string text;
        int len = std::uniform_int_distribution<int>(0, 40)(rng);
        for (int j = 0; j < len; ++j) {
            text += textBytes[std::uniform_int_distribution<size_t>(0, textBytes.size() - 1)(rng)];
        }
        Elements expected = NaiveTextToElements(table, text);
        Elements actual = TextToElements(table, text);
        ASSERT_EQ(actual.elements, expected.elements) << "overrides:\n" << overrides << "text: " << text;
        ASSERT_EQ(actual.count, expected.count);
    }
}

TEST(ReplaceAllTextTest, ReplacesLeftToRightIgnoringCase) {
    EXPECT_EQ(ReplaceAllText("DDD", "DD", "D"), "DD");
    EXPECT_EQ(ReplaceAllText("DDDD", "DD", "D"), "DD");
    EXPECT_EQ(ReplaceAllText("aXbxc", "x", "--"), "a--b--c");
    EXPECT_EQ(ReplaceAllText(Cp("мир МИР Мир"), Cp("мИр"), "w"), "w w w");
    EXPECT_EQ(ReplaceAllText("abc", "", "z"), "abc");
    EXPECT_EQ(ReplaceAllText("", "a", "z"), "");
    EXPECT_EQ(ReplaceAllText("aaa", "a", "aa"), "aaaaaa"); // produced text is not re-examined
    EXPECT_EQ(ReplaceAllText("abc", "abcd", "z"), "abc");
    EXPECT_EQ(ReplaceAllText("aabaabaab", "aab", "X"), "XXX");
    EXPECT_EQ(ReplaceAllText("aaab", "aab", "X"), "aX");
    EXPECT_EQ(ReplaceAllText(std::string("a\0b", 3), std::string("\0", 1), "0"), "a0b");
}

TEST(ReplaceAllTextTest, AgreesWithTheLiteralAlgorithmOnRandomInput) {
    std::mt19937 rng(7);
    const std::string alphabet = std::string("abAB") + Cp("яЯ");
    auto randomString = [&](int maxLen) {
        std::string s;
        int len = std::uniform_int_distribution<int>(0, maxLen)(rng);
        for (int i = 0; i < len; ++i) {
            s += alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(rng)];
        }
        return s;
    };
    for (int round = 0; round < 3000; ++round) {
        std::string source = randomString(30);
        std::string oldText = randomString(4);
        std::string newText = randomString(3);
        ASSERT_EQ(ReplaceAllText(source, oldText, newText), NaiveReplaceAll(source, oldText, newText))
            << source << " / " << oldText << " / " << newText;
    }
}

TEST(MorseOverridesTest, LineRules) {
    MorseTable table;
    table.ApplyOverrides("; a comment 5:DPDPD;\n"
                         "\n"
                         "X:DPD;\n" // index is a letter
                         "9 DPD;\n" // no colon
                         "20:TPT\n" // no closing semicolon
                         "0:DPD;\n" // outside the table
                         "111:DPD;\n"
                         "-1:DPD;\n"
                         "99999999999999999999:DPD;\n"
                         "1:TPT; free text: 2:D;\n" // anything after ";" is free text
                         "3:D P;\n"                 // verbatim, spaces included
                         "4:DPD;\n"
                         "4:TPT;\n"  // later lines win
                         "27:DPD;\n" // an index no character maps to
                         "110:T;");  // no final newline
    EXPECT_EQ(table.Entry(5), "D");
    EXPECT_EQ(table.Entry(20), "T");
    EXPECT_EQ(table.Entry(1), "TPT");
    EXPECT_EQ(table.Entry(2), "TPDPDPD");
    EXPECT_EQ(table.Entry(3), "D P");
    EXPECT_EQ(table.Entry(4), "TPT");
    EXPECT_EQ(table.Entry(27), "DPD");
    EXPECT_EQ(table.Entry(110), "T");
    ExpectElements(table, "E T", "DRT", 2);
}

TEST(MorseOverridesTest, LineEndingsAndOddBytes) {
    MorseTable table;
    table.ApplyOverrides("5:DPDPD;\r\n20:TPTPT;\r\n");
    EXPECT_EQ(table.Entry(5), "DPDPD");
    EXPECT_EQ(table.Entry(20), "TPTPT");

    // A CR belongs to the line end only at its very end; inside the pattern it is kept.
    table.InitMorseTable();
    table.ApplyOverrides("5:D\rP;\r\n6:DPD;\r");
    EXPECT_EQ(table.Entry(5), "D\rP");
    EXPECT_EQ(table.Entry(6), "DPD");

    table.InitMorseTable();
    const char withNul[] = "5:D\0T;\n\0\0\0:\n7:;;\n";
    table.ApplyOverrides(std::string(withNul, sizeof withNul - 1));
    EXPECT_EQ(table.Entry(5), std::string("D\0T", 3));
    EXPECT_EQ(table.Entry(7), "");

    table.InitMorseTable();
    table.ApplyOverrides(" 5:TPT;\n+6:T;\n7 :D;\n");
    EXPECT_EQ(table.Entry(5), "TPT");
    EXPECT_EQ(table.Entry(6), "T");
    EXPECT_EQ(table.Entry(7), "TPTPD"); // trailing blank after the number: not a number
}

TEST(MorseOverridesTest, HugeAndRandomFilesNeverCrash) {
    MorseTable table;
    std::string huge = "5:" + std::string(1 << 20, 'D') + ";\n" + std::string(1 << 20, ':') + "\n";
    table.ApplyOverrides(huge);
    ExpectElements(table, "E", "D", 1);
    // A pattern that nothing merges away is capped: one of megabytes is skipped as damaged, one
    // at the cap is kept, and a text keyed 600 times grows the element string linearly.
    std::string gaps;
    while (gaps.size() < (1u << 20)) {
        gaps += "DPQP";
    }
    table.ApplyOverrides("5:" + gaps + ";\n6:" + gaps.substr(0, MorseTable::kMaxPatternLetters) + ";\n");
    EXPECT_EQ(table.Entry(5), "D");
    EXPECT_EQ(table.Entry(6).size(), MorseTable::kMaxPatternLetters);
    const std::string keyed(600, 'F');
    EXPECT_LE(TextToElements(table, keyed).elements.size(), keyed.size() * (MorseTable::kMaxPatternLetters + 1));

    std::mt19937 rng(99);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(std::uniform_int_distribution<int>(0, 400)(rng), '\0');
        for (char& c : bytes) {
            // Mostly the characters that matter to the parser, with arbitrary bytes mixed in.
            const char interesting[] = "0123456789:;\r\n-+ DTPQR";
            c = (rng() % 3) ? interesting[rng() % (sizeof interesting - 1)] : static_cast<char>(rng());
        }
        MorseTable t;
        t.ApplyOverrides(bytes);
        TextToElements(t, "THE QUICK BROWN FOX 0123456789");
    }
}

TEST(MorseOverridesTest, LoadsFromFileAndIgnoresMissingFile) {
    MorseTable table;
    table.LoadMorseOverrides("/nonexistent-dir/Morse.txt");
    EXPECT_EQ(table.Entry(5), "D");

    std::string path = ::testing::TempDir() + "/qlor-morse-override.txt";
    {
        std::ofstream out(path, std::ios::binary);
        out << "; test\r\n5:DPDPD;\r\n";
    }
    table.LoadMorseOverrides(path);
    std::remove(path.c_str());
    EXPECT_EQ(table.Entry(5), "DPDPD");
    table.InitMorseTable();
    EXPECT_EQ(table.Entry(5), "D");
}

TEST(MorseOverridesTest, AFileThatIsNoReadableRegularFileCountsAsMissing) {
    test::TempDir dir;
    ASSERT_EQ(mkfifo(dir.File("fifo.txt").c_str(), 0600), 0); // no writer: a blocking open would hang
    std::filesystem::create_directory(dir.path() / "folder.txt");
    MorseTable table;
    table.ApplyOverrides("5:DDD;\r\n");
    table.LoadMorseOverrides(dir.File("fifo.txt"));
    table.LoadMorseOverrides(dir.File("folder.txt"));
    EXPECT_EQ(table.Entry(5), "DDD"); // the earlier overrides stay
}

} // namespace
} // namespace qlor
