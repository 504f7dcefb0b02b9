// Texts of callsigns, telegraph words and QSO overs: their structure, how often each kind comes,
// and that the text number alone decides them.
#include "textgen/text_sources.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace qlor {
namespace {

std::vector<std::string> Items(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> items;
    for (std::string item; in >> item;) {
        items.push_back(item);
    }
    return items;
}

std::array<int, 4> Digits(int number) {
    return {number / 1000, number / 100 % 10, number / 10 % 10, number % 10};
}

// The callsigns of many text numbers.
std::vector<std::string> ManyCallsigns() {
    std::vector<std::string> calls;
    for (int number = 0; number < 10000; number += 97) {
        for (const std::string& call : Items(SourceItems(TextSource::Callsigns, 50, Digits(number)))) {
            calls.push_back(call);
        }
    }
    return calls;
}

// The table's entry a callsign was built from, or nullptr when it fits none: prefix, a digit when
// the entry wants one, one to three letters, perhaps /P, /M or /QRP.
const CallPrefix* PrefixOf(const std::string& call) {
    static const std::regex kRest("([0-9]?)([A-Z]{1,3})(/P|/M|/QRP)?");
    const CallPrefix* found = nullptr;
    for (const CallPrefix& p : CallPrefixTable()) {
        std::smatch m;
        const std::string rest = call.substr(0, p.prefix.size()) == p.prefix ? call.substr(p.prefix.size()) : "";
        if (!rest.empty() && std::regex_match(rest, m, kRest) && m[1].length() == (p.digitFollows ? 1 : 0) &&
            (!found || p.prefix.size() > found->prefix.size())) {
            found = &p;
        }
    }
    return found;
}

TEST(TextSources, EveryCallsignHasAPrefixOfTheTableADigitAndASuffix) {
    const std::vector<std::string> calls = ManyCallsigns();
    ASSERT_EQ(calls.size(), 104u * 50u);
    for (const std::string& call : calls) {
        EXPECT_NE(PrefixOf(call), nullptr) << call;
    }
}

TEST(TextSources, CallsignsComeAsOftenAsTheirWeightsSay) {
    const std::vector<std::string> calls = ManyCallsigns();
    int totalWeight = 0;
    for (const CallPrefix& p : CallPrefixTable()) {
        totalWeight += p.weight;
    }
    std::map<std::string, int> counts;
    for (const std::string& call : calls) {
        const std::size_t slash = call.find('/');
        ++counts[slash == std::string::npos ? "plain" : call.substr(slash)];
        // Suffix letters of a plain US call: two or three, never one.
        if (call[0] == 'K' && std::isdigit(static_cast<unsigned char>(call[1]))) {
            ++counts["K"];
            const std::size_t letters =
                call.substr(2, slash == std::string::npos ? std::string::npos : slash - 2).size();
            ++counts["K letters " + std::to_string(letters)];
        }
    }
    const double n = static_cast<double>(calls.size());
    const struct {
        std::string what;
        double share; // expected share of all callsigns
        double tolerance;
    } kExpected[] = {
        {"/P", 0.05, 0.012},
        {"/M", 0.03, 0.01},
        {"/QRP", 0.02, 0.008},
        {"plain", 0.90, 0.02},
        {"K", 60.0 / totalWeight, 0.015},
        {"K letters 1", 0.0, 0.0},
        {"K letters 3", 0.7 * 60.0 / totalWeight, 0.015},
    };
    for (const auto& row : kExpected) {
        EXPECT_NEAR(counts[row.what] / n, row.share, row.tolerance) << row.what;
    }
}

TEST(TextSources, WordsAreFromTheListAndFrequentWordsComeMoreOften) {
    std::set<std::string> list;
    for (const TelegraphWord& w : TelegraphWords()) {
        list.insert(std::string(w.word));
    }
    std::map<std::string, int> counts;
    int total = 0;
    for (int number = 0; number < 10000; number += 101) {
        const std::vector<std::string> words = Items(SourceItems(TextSource::Words, 60, Digits(number)));
        ASSERT_EQ(words.size(), 60u);
        for (const std::string& w : words) {
            EXPECT_TRUE(list.count(w)) << w;
            ++counts[w];
            ++total;
        }
    }
    // CQ weighs 8, a name 1.
    EXPECT_GT(counts["CQ"], 4 * counts["JOHN"]);
    EXPECT_GT(counts["JOHN"], 0);
    EXPECT_GT(total, 0);
}

TEST(TextSources, QsoOversFollowTheQsoWithTheSameTwoStations) {
    const std::vector<std::string_view> overs(QsoOverTemplates().begin(), QsoOverTemplates().end());
    const std::size_t perQso = overs.size();
    const std::string text = SourceItems(TextSource::Qso, static_cast<int>(2 * perQso), Digits(417));
    // Split into overs: each template's first words tell where it begins.
    const std::vector<std::string> words = Items(text);
    ASSERT_GE(words.size(), 8u);
    ASSERT_EQ(std::vector<std::string>(words.begin(), words.begin() + 4),
              (std::vector<std::string>{"CQ", "CQ", "CQ", "DE"}));
    const std::string a = words[4];
    ASSERT_NE(PrefixOf(a), nullptr) << a;
    // The answer: "A DE B B K".
    ASSERT_EQ(words[8], a);
    ASSERT_EQ(words[9], "DE");
    const std::string b = words[10];
    EXPECT_NE(a, b);
    EXPECT_NE(PrefixOf(b), nullptr) << b;
    // Every over of the first QSO names only these two stations; the second QSO begins anew.
    std::size_t cqs = 0;
    std::set<std::string> firstQsoCalls;
    for (const std::string& w : words) {
        if (w == "CQ") {
            ++cqs;
        } else if (cqs <= 3 && PrefixOf(w) && w.size() > 3) {
            firstQsoCalls.insert(w);
        }
    }
    EXPECT_EQ(cqs, 6u); // two QSOs
    EXPECT_EQ(firstQsoCalls, (std::set<std::string>{a, b}));
    EXPECT_EQ(text.back(), ' ');
    EXPECT_EQ(text.find("{"), std::string::npos) << text;
}

TEST(TextSources, TheTextNumberAloneDecidesTheTextAndOnlyKeyableCharactersAreUsed) {
    for (const TextSource source : {TextSource::Callsigns, TextSource::Words, TextSource::Qso}) {
        SCOPED_TRACE(std::string(TextSourceName(source)));
        const std::string a = SourceItems(source, 30, Digits(1234));
        EXPECT_EQ(a, SourceItems(source, 30, Digits(1234)));
        EXPECT_NE(a, SourceItems(source, 30, Digits(1235)));
        // A shorter text is the beginning of the longer one.
        const std::string shorter = SourceItems(source, 10, Digits(1234));
        EXPECT_EQ(a.substr(0, shorter.size()), shorter);
        EXPECT_EQ(a.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/? "), std::string::npos) << a;
    }
    EXPECT_EQ(SourceItems(TextSource::Callsigns, 0, Digits(1)), "");
    EXPECT_EQ(SourceItems(TextSource::Groups, 5, Digits(1)), "");
}

} // namespace
} // namespace qlor
