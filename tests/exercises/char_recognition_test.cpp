// Instant character recognition: missed and slow characters come back more often, quick right
// answers bring them back to the others, the same seed gives the same characters, and the summary
// of a session.
#include "exercises/char_recognition.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace qlor {
namespace {

// How often each character comes in `picks` draws, the weights left as they are.
std::map<unsigned char, int> Counts(RecognitionPicker picker, int picks) {
    std::map<unsigned char, int> counts;
    for (int i = 0; i < picks; ++i) {
        ++counts[picker.Next()];
    }
    return counts;
}

RecognitionAnswer Right(unsigned char c, int reactionMs) {
    return {c, c, reactionMs};
}

RecognitionAnswer Wrong(unsigned char c) {
    return {c, 'E', 400};
}

TEST(CharRecognition, MissedAndSlowCharactersComeBackMoreOftenAndQuickAnswersBringThemBack) {
    const struct {
        const char* name;
        std::vector<RecognitionAnswer> answers;
        unsigned char weak;  // this character comes more often than each other one ...
        double atLeastShare; // ... with at least this share of the draws (4 characters: 0.25 even)
        double atMostShare;
    } kCases[] = {
        {"no answer yet: even", {}, 'K', 0.22, 0.28},
        {"quick right answers keep it even", {Right('K', 300), Right('M', 300)}, 'K', 0.22, 0.28},
        {"one miss", {Wrong('K')}, 'K', 0.36, 0.44},                    // 2 of 5
        {"two misses", {Wrong('K'), Wrong('K')}, 'K', 0.53, 0.61},      // 4 of 7
        {"one slow right answer", {Right('K', 2500)}, 'K', 0.30, 0.37}, // 1.5 of 4.5
        {"a miss then quick right answers decay back",
         {Wrong('K'), Right('K', 300), Right('K', 300), Right('K', 300), Right('K', 300)},
         'K',
         0.23,
         0.30},
        {"a miss fades while the others are answered",
         {Wrong('K'), Right('M', 300), Right('U', 300), Right('R', 300), Right('M', 300), Right('U', 300),
          Right('R', 300), Right('M', 300), Right('U', 300), Right('R', 300), Right('M', 300), Right('U', 300)},
         'K',
         0.25,
         0.32},
        {"weights stop growing", std::vector<RecognitionAnswer>(20, Wrong('M')), 'M', 0.82, 0.86}, // 16 of 19
        {"a character outside the set changes nothing", {Wrong('X')}, 'K', 0.22, 0.28},
    };
    for (const auto& row : kCases) {
        SCOPED_TRACE(row.name);
        RecognitionPicker picker("KMUR", 7);
        for (const RecognitionAnswer& a : row.answers) {
            picker.Answer(a);
        }
        constexpr int kPicks = 40000;
        const std::map<unsigned char, int> counts = Counts(picker, kPicks);
        const double share = static_cast<double>(counts.at(row.weak)) / kPicks;
        EXPECT_GE(share, row.atLeastShare);
        EXPECT_LE(share, row.atMostShare);
        EXPECT_EQ(counts.size(), 4u);
    }
}

TEST(CharRecognition, TheSameSeedAndAnswersGiveTheSameCharacters) {
    auto run = [](std::uint64_t seed) {
        RecognitionPicker picker("kmur kmu.", seed); // lower case and repeats are one set
        std::string shown;
        for (int i = 0; i < 200; ++i) {
            const unsigned char c = picker.Next();
            shown += static_cast<char>(c);
            picker.Answer(i % 3 == 0 ? Wrong(c) : Right(c, 300 + i));
        }
        return shown;
    };
    EXPECT_EQ(RecognitionPicker("kmur kmu.", 1).Characters(), "KMUR.");
    EXPECT_EQ(run(42), run(42));
    EXPECT_NE(run(42), run(43));
    EXPECT_EQ(run(42).find_first_not_of("KMUR."), std::string::npos);
    EXPECT_EQ(RecognitionPicker("", 1).Next(), 0);
}

RecognitionAnswer WordAnswer(const std::string& word, const std::string& typed, int reactionMs) {
    RecognitionAnswer a;
    a.word = word;
    a.typedWord = typed;
    a.reactionMs = reactionMs;
    return a;
}

TEST(CharRecognition, MissedAndSlowWordsComeBackMoreOftenKeyedByTheWord) {
    const struct {
        const char* name;
        std::vector<RecognitionAnswer> answers;
        std::string weak;    // this word comes more often than each other one ...
        double atLeastShare; // ... with at least this share of the draws (4 words: 0.25 even)
        double atMostShare;
    } kCases[] = {
        {"no answer yet: even", {}, "CQ", 0.22, 0.28},
        {"one miss", {WordAnswer("CQ", "CK", 400)}, "CQ", 0.36, 0.44},
        {"two misses", {WordAnswer("TU", "T", 400), WordAnswer("TU", "", -1)}, "TU", 0.53, 0.61},
        {"one slow right answer", {WordAnswer("73", "73", 2500)}, "73", 0.30, 0.37},
        {"quick right answers keep it even", {WordAnswer("DE", "DE", 300)}, "DE", 0.22, 0.28},
        {"a word outside the set changes nothing", {WordAnswer("QRZ?", "QRZ", 300)}, "CQ", 0.22, 0.28},
        {"a character answer is not a word", {{'C', 'E', 300}}, "CQ", 0.22, 0.28},
    };
    for (const auto& row : kCases) {
        SCOPED_TRACE(row.name);
        RecognitionPicker picker(std::vector<std::string>{"CQ", "DE", "TU", "73", "CQ"}, 7); // repeats are one
        ASSERT_EQ(picker.Items().size(), 4u);
        for (const RecognitionAnswer& a : row.answers) {
            picker.Answer(a);
        }
        constexpr int kPicks = 40000;
        std::map<std::string, int> counts;
        for (int i = 0; i < kPicks; ++i) {
            ++counts[picker.NextItem()];
        }
        EXPECT_EQ(counts.size(), 4u);
        const double share = static_cast<double>(counts[row.weak]) / kPicks;
        EXPECT_GE(share, row.atLeastShare);
        EXPECT_LE(share, row.atMostShare);
    }

    // The words of a set use only its characters; callsigns are decided by the seed.
    for (const auto mode : {RecognitionMode::Words, RecognitionMode::Callsigns}) {
        SCOPED_TRACE(RecognitionModeName(mode));
        const std::string set = "kmuresnaptlwi59";
        const std::vector<std::string> words = RecognitionWords(mode, set, 1234);
        EXPECT_GE(words.size(), 8u);
        for (const std::string& w : words) {
            EXPECT_EQ(w.find_first_not_of("KMURESNAPTLWI59"), std::string::npos) << w;
        }
        EXPECT_EQ(words, RecognitionWords(mode, set, 1234));
        EXPECT_TRUE(RecognitionWords(mode, "X", 1234).empty());
    }
    EXPECT_NE(RecognitionWords(RecognitionMode::Callsigns, "kmuresnaptlwi59", 1234),
              RecognitionWords(RecognitionMode::Callsigns, "kmuresnaptlwi59", 1235));
    EXPECT_TRUE(RecognitionWords(RecognitionMode::Characters, "KM", 1).empty());

    // The summary keys words as whole items.
    const std::vector<RecognitionAnswer> answers = {WordAnswer("CQ", "CQ", 300), WordAnswer("CQ", "CK", 500),
                                                    WordAnswer("73", "73", 700)};
    const RecognitionSummary s = SummariseRecognition(answers);
    ASSERT_EQ(s.chars.size(), 2u);
    EXPECT_EQ((std::vector<std::string>{s.chars[0].item, s.chars[1].item}), (std::vector<std::string>{"73", "CQ"}));
    EXPECT_EQ((std::vector<int>{s.chars[1].shown, s.chars[1].correct, s.chars[1].medianReactionMs}),
              (std::vector<int>{2, 1, 400}));
    EXPECT_EQ(s.correct, 2);
}

TEST(CharRecognition, TheSummaryGivesAccuracyAndMedianReactionPerCharacter) {
    const std::vector<RecognitionAnswer> answers = {
        Right('K', 500),  Right('K', 300),  Wrong('K'), // K: 2 of 3, median of 500 300 400 = 400
        Right('M', 900),  Right('M', 700),              // M: median of two = 800
        {'U', 0, -1},                                   // U: no key, not measured
        {'R', 'R', 1001}, {'R', 'R', 1002}, {'R', 'M', 1003}, {'R', 'R', 1000}, // even: (1001 + 1002) / 2
    };
    const RecognitionSummary s = SummariseRecognition(answers);
    EXPECT_EQ(s.shown, 10);
    EXPECT_EQ(s.correct, 7);
    EXPECT_EQ(s.medianReactionMs, 900); // 300 400 500 700 900 1000 1001 1002 1003
    const struct {
        unsigned char ch;
        int shown;
        int correct;
        int median;
    } kExpected[] = {{'K', 3, 2, 400}, {'M', 2, 2, 800}, {'R', 4, 3, 1001}, {'U', 1, 0, -1}};
    ASSERT_EQ(s.chars.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(s.chars[i].ch, kExpected[i].ch);
        EXPECT_EQ(s.chars[i].shown, kExpected[i].shown);
        EXPECT_EQ(s.chars[i].correct, kExpected[i].correct);
        EXPECT_EQ(s.chars[i].medianReactionMs, kExpected[i].median);
    }
    EXPECT_EQ(SummariseRecognition({}).medianReactionMs, -1);
}

} // namespace
} // namespace qlor
