// The trainer's high-speed test: its texts are the competition's at characters per minute and
// follow from the text number, and the sheet tells each text's errors and the best speed.
#include "exercises/competition.h"
#include "exercises/hst_test.h"

#include <gtest/gtest.h>

namespace qlor {
namespace {

TEST(HstTestPlan, TextsAreTheCompetitionsOneMinuteTextsOfTheNumber) {
    for (const HstTestParams params :
         {HstTestParams{0, 200, 3, 417}, HstTestParams{5, 980, 2, 9999}, HstTestParams{2, 10, 10, 0}}) {
        const HstTestPlan plan = PlanHstTest(params);
        ASSERT_EQ(plan.segments.size(), static_cast<std::size_t>(params.steps));
        ASSERT_EQ(plan.sent.size(), plan.segments.size());
        for (std::size_t i = 0; i < plan.sent.size(); ++i) {
            const int speed = params.startSpeedCpm + 10 * static_cast<int>(i);
            EXPECT_EQ(plan.sent[i].speedCpm, speed);
            EXPECT_EQ(plan.segments[i].speedCpm, speed);
            EXPECT_EQ(plan.sent[i].text, plan.segments[i].body);
            // A minute's text: speed / 5 groups of five and a space after each.
            EXPECT_EQ(plan.sent[i].text.size(), static_cast<std::size_t>(std::max(1, speed / 5) * 6));
            EXPECT_EQ(plan.segments[i].header.substr(0, 6), params.textType == 0 ? "OOOOO " : "00000 ");
        }
        EXPECT_EQ(PlanHstTest(params).sent[0].text, plan.sent[0].text) << "the same number, the same texts";
        HstTestParams other = params;
        other.number = (params.number + 1) % 10000;
        EXPECT_NE(PlanHstTest(other).sent[0].text, plan.sent[0].text);
    }
    // Figures only for figures.
    const HstTestPlan figures = PlanHstTest({2, 100, 1, 1});
    for (const char c : figures.sent[0].text)
        EXPECT_TRUE(c == ' ' || (c >= '0' && c <= '9')) << c;
}

TEST(HstTestPlan, SheetListsEveryTextAndTheBestSpeed) {
    const HstTestParams params{0, 300, 2, 1};
    const HstTestPlan plan = PlanHstTest(params);
    const std::vector<std::string> copies = {plan.sent[0].text, "ABC\nDEF"};
    const HstResult result = JudgeHstTest(plan.sent, copies);
    const std::string sheet =
        HstSheetText(params, plan, copies, result, "01.02.2026 10:00:00", ProgramTextTable::English());
    EXPECT_EQ(sheet.find("HST receiving test QLOR-2000\r\nBegin 01.02.2026 10:00:00; text number 0001; Letters\r\n"),
              0u);
    EXPECT_NE(sheet.find("300 cpm: 0 errors, valid\r\n"), std::string::npos);
    EXPECT_NE(sheet.find("310 cpm: " + std::to_string(result.texts[1].errors) + " errors, not valid\r\n"),
              std::string::npos);
    EXPECT_NE(sheet.find("Copied: ABC DEF\r\n"), std::string::npos) << "a copy over lines on one line";
    EXPECT_TRUE(sheet.ends_with("\r\nBest speed: 300 cpm\r\n"));
    const HstResult none = JudgeHstTest(plan.sent, {});
    EXPECT_TRUE(HstSheetText(params, plan, {}, none, "", ProgramTextTable::Russian())
                    .ends_with("Нет зачтённых текстов: в каждом приёме больше 5 ошибок\r\n"));
}

} // namespace
} // namespace qlor
