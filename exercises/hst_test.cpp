#include "exercises/hst_test.h"

#include "base/codepage.h"
#include "control/trainer_settings.h"
#include "exercises/competition.h"
#include "synthesis/transmission_settings.h"

#include <cstdio>

namespace qlor {
namespace {

// A copy typed over several lines shown on one.
std::string OneLine(std::string_view text) {
    std::string line(Trim1251(text));
    for (char& c : line)
        if (c == '\r' || c == '\n' || c == '\t')
            c = ' ';
    return line;
}

std::string Line(Say id, const ProgramTextTable& texts, std::initializer_list<std::string_view> values = {}) {
    return FillText(texts.Text(id), values) + "\r\n";
}

} // namespace

HstTestPlan PlanHstTest(const HstTestParams& params) {
    CompetitionParams competition;
    TransmissionSettings& s = competition.settings;
    s.textType = params.textType;
    s.charInGroup = 5;
    const int number = params.number;
    s.number = TextNumberDigits(number);
    const int finalSpeed = params.startSpeedCpm + kHstSpeedStepCpm * (params.steps - 1);
    s.startSpeed = {params.startSpeedCpm / 100 % 10, params.startSpeedCpm / 10 % 10, 0};
    s.stopSpeed = {finalSpeed / 100 % 10, finalSpeed / 10 % 10, 0};
    competition.trainText = false;
    competition.cpm = true;
    // The generator's no-three-in-a-row rule reads the length of the symbol list; the trainer
    // has none of its own and reads the full alphabet, the classic window's default.
    competition.symbolMemoLength = FullAlphabet().size();

    HstTestPlan plan;
    plan.segments = PlanCompetition(competition).segments;
    for (std::size_t i = 0; i < plan.segments.size(); ++i) {
        const int nominal = params.startSpeedCpm + kHstSpeedStepCpm * static_cast<int>(i);
        plan.sent.push_back(HstSentText{nominal, plan.segments[i].body, true});
    }
    return plan;
}

std::string_view HstTextTypeName(int textType, const ProgramTextTable& texts) {
    switch (textType) {
    case 2:
        return texts.Text(Say::HstFigures);
    case 5:
        return texts.Text(Say::HstMixed);
    default:
        return texts.Text(Say::HstLetters);
    }
}

std::string HstSheetText(const HstTestParams& params, const HstTestPlan& plan, const std::vector<std::string>& copies,
                         const HstResult& result, const std::string& dateTimeUtf8, const ProgramTextTable& texts) {
    char number[8];
    std::snprintf(number, sizeof number, "%04d", params.number);
    std::string sheet = Line(Say::HstSheetTitle, texts);
    sheet += Line(Say::HstSheetHead, texts, {dateTimeUtf8, number, HstTextTypeName(params.textType, texts)});
    for (std::size_t i = 0; i < result.texts.size(); ++i) {
        const HstTextResult& text = result.texts[i];
        sheet += "\r\n";
        sheet += Line(Say::HstSheetLine, texts,
                      {std::to_string(text.speedCpm), std::to_string(text.errors),
                       texts.Text(text.valid ? Say::HstValid : Say::HstNotValid)});
        const std::string sent = i < plan.sent.size() ? Cp1251ToUtf8(plan.sent[i].text) : std::string();
        const std::string copy = i < copies.size() ? Cp1251ToUtf8(copies[i]) : std::string();
        sheet += Line(Say::HstSheetSent, texts, {OneLine(sent)});
        sheet += Line(Say::HstSheetCopy, texts, {OneLine(copy)});
    }
    sheet += "\r\n";
    if (result.bestSpeedCpm)
        sheet += Line(Say::HstResultBest, texts, {std::to_string(*result.bestSpeedCpm)});
    else
        sheet += Line(Say::HstResultNone, texts, {std::to_string(kHstMaxValidErrors)});
    return sheet;
}

} // namespace qlor
