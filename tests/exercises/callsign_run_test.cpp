// The callsign run: the same number gives the same calls, right calls raise the speed and score
// by speed and length, wrong ones lower it within the limits, and the table of personal bests.
#include "exercises/callsign_run.h"

#include "textgen/text_sources.h"

#include <gtest/gtest.h>

#include <cctype>

namespace qlor {
namespace {

// Calls of the usual shapes, more than a run takes.
std::vector<std::string> Calls() {
    std::vector<std::string> calls;
    const char* const shapes[] = {"DL1ABC", "K1AB", "JA1XYZ/P", "UA3AAA", "9A1AA", "G4FON", "HB9ABC/QRP"};
    for (int i = 0; i < kCallsignRunCalls + 5; ++i)
        calls.push_back(shapes[i % 7]);
    return calls;
}

TEST(CallsignRun, TakesTheFirstFiftyCallsThatAreCalls) {
    std::vector<std::string> calls = Calls();
    calls.insert(calls.begin() + 1, " ");
    const CallsignRun run(calls, 200);
    ASSERT_EQ(run.Calls().size(), static_cast<std::size_t>(kCallsignRunCalls));
    EXPECT_EQ(run.Calls()[1], "K1AB");
    EXPECT_EQ(CallsignRun({"R1A"}, 200).Calls().size(), 1u);
}

TEST(CallsignRun, TheTextNumberGivesTheCallsOfTheCallsignSource) {
    const std::vector<std::string> calls = CallsignRunCalls(1234);
    ASSERT_EQ(calls.size(), static_cast<std::size_t>(kCallsignRunCalls));
    // The digits go left to right: 1234 is the source's text 1 2 3 4, not 4 3 2 1.
    const std::string source = SourceItems(TextSource::Callsigns, kCallsignRunCalls, {1, 2, 3, 4});
    EXPECT_EQ(source.substr(0, source.find(' ')), calls.front());
    EXPECT_NE(calls, CallsignRunCalls(4321));
    EXPECT_EQ(calls, CallsignRunCalls(1234)) << "the same number, the same calls";
    for (const std::string& call : calls)
        EXPECT_TRUE(!call.empty() &&
                    call.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/") == std::string::npos)
            << call;
    // Numbers outside the four digits are brought to the nearest one.
    EXPECT_EQ(CallsignRunCalls(-5), CallsignRunCalls(0));
    EXPECT_EQ(CallsignRunCalls(12345), CallsignRunCalls(9999));
    EXPECT_EQ(CallsignRun(calls, 200).Calls(), calls);
}

TEST(CallsignRun, SpeedAndScoreFollowTheAnswers) {
    const struct {
        int start;
        std::vector<bool> right; // answers in order
        std::vector<int> speeds; // each call's speed
        int endSpeed;
    } kCases[] = {
        {200, {true, true, false, true}, {200, 210, 220, 200}, 210},
        {60, {false, false, true}, {60, 50, 50}, 60},     // never below 50
        {985, {true, true, false}, {985, 990, 990}, 970}, // never above 990
        {10, {true}, {50}, 60},                           // the start brought into range
    };
    for (const auto& c : kCases) {
        CallsignRun run(Calls(), c.start);
        int score = 0;
        for (std::size_t i = 0; i < c.right.size(); ++i) {
            const std::string call = run.CurrentCall();
            // Right answers in lower case with spaces; wrong ones miss the last character.
            std::string typed = c.right[i] ? " " + call + " " : call.substr(0, call.size() - 1);
            if (c.right[i])
                for (char& ch : typed)
                    ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            const CallAttempt* a = run.Answer(typed);
            ASSERT_NE(a, nullptr);
            EXPECT_EQ(a->right, c.right[i]) << c.start << " " << i;
            EXPECT_EQ(a->speedCpm, c.speeds[i]) << c.start << " " << i;
            EXPECT_EQ(a->points, c.right[i] ? c.speeds[i] * static_cast<int>(call.size()) / 10 : 0);
            score += a->points;
        }
        EXPECT_EQ(run.SpeedCpm(), c.endSpeed) << c.start;
        EXPECT_EQ(run.Score(), score);
    }
    // A longer call at the same speed scores more.
    EXPECT_GT(CallPoints(300, 7), CallPoints(300, 5));
    EXPECT_GT(CallPoints(310, 5), CallPoints(300, 5));
}

TEST(CallsignRun, EndsAfterTheLastCall) {
    CallsignRun run(Calls(), 300);
    for (int i = 0; i < kCallsignRunCalls; ++i)
        ASSERT_NE(run.Answer(run.CurrentCall()), nullptr);
    EXPECT_TRUE(run.Finished());
    EXPECT_EQ(run.CurrentCall(), "");
    EXPECT_EQ(run.Answer("X"), nullptr);
    EXPECT_EQ(run.RightCalls(), kCallsignRunCalls);
    EXPECT_EQ(run.TopSpeedCpm(), 300 + 10 * (kCallsignRunCalls - 1));
}

TEST(CallsignRun, PersonalBestsKeepTheTopRunsAndSurviveTheirText) {
    std::vector<PersonalBest> table;
    for (int score : {300, 500, 100, 500})
        table = AddPersonalBest(table, {score, 10, 400, score / 100, score}, 3);
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0].score, 500);
    EXPECT_EQ(table[1].score, 500);
    EXPECT_EQ(table[2].score, 300);
    EXPECT_EQ(ParsePersonalBests(PersonalBestsText(table)), table);
    EXPECT_TRUE(ParsePersonalBests("").empty());
    // Damaged entries are left out, the rest is kept.
    const auto read = ParsePersonalBests("1,2,3;90,5,300,17,1700000000;x,1,1,1,1;5,1,1,1,1,1;7,-1,1,1,1");
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0], (PersonalBest{90, 5, 300, 17, 1700000000}));
}

} // namespace
} // namespace qlor
