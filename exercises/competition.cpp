#include "exercises/competition.h"

#include "control/program_texts.h"
#include "synthesis/codepage.h"
#include "synthesis/timing.h"
#include "textgen/radiogram.h"

#include <algorithm>

namespace qlor {
namespace {

// One of the protocol's fixed lines in Windows-1251, "%1" filled with `value` (already cp1251).
std::string ProtocolLine(Say id, TextLanguage language, std::string_view value = {}) {
    return FillText(Cp(ProgramText(id, language)), {value});
}

std::string Body(const CompetitionParams& params, int groups, int d4) {
    const TransmissionSettings& s = params.settings;
    GenerateParams gen;
    gen.groupCount = groups;
    gen.textType = s.textType;
    gen.d1 = s.number[0];
    gen.d2 = s.number[1];
    gen.d3 = s.number[2];
    gen.d4 = d4;
    gen.charInGroup = s.charInGroup;
    gen.symbolMemoLength = params.symbolMemoLength;
    // All symbols of the type: a generation of this kind never fails.
    return GenerateText(gen).body;
}

} // namespace

int CompetitionTextCount(int startSpeed, int finalSpeed) {
    const int n = (finalSpeed - startSpeed) / 10 + 1; // C++ division truncates toward zero
    return std::max(0, n);
}

std::string CompetitionPlan::ProtocolText() const {
    std::string text;
    for (const auto& line : protocol) {
        text += line;
        text += "\r\n";
    }
    return text;
}

CompetitionPlan PlanCompetition(const CompetitionParams& params) {
    const TransmissionSettings& s = params.settings;
    // English at language position 0, Russian at any other.
    const TextLanguage language = params.english ? TextLanguage::English : TextLanguage::Russian;
    const int start = StartSpeed(s);
    const int final = FinalSpeed(s);
    const std::string pauseLine = ProtocolLine(Say::ProtocolPause, language, std::to_string(kCompetitionPauseSeconds));
    const std::string marker = (s.textType == 0 || s.textType == 1) ? "OOOOO " : "00000 ";

    CompetitionPlan plan;
    auto& p = plan.protocol;
    p.push_back(ProtocolLine(Say::ProtocolTitle, language));
    p.push_back(ProtocolLine(Say::ProtocolBegin, language, params.dateTime));
    p.push_back(ProtocolLine(params.cpm ? Say::ProtocolInitialSpeedCpm : Say::ProtocolInitialSpeedParis, language,
                             std::to_string(start)));

    if (params.trainText) {
        const int s0 = SendingSpeed(start, s.textType, params.cpm);
        const std::string body = Body(params, std::max(1, s0 / 5), s.number[3] - 1);
        p.push_back(ProtocolLine(Say::ProtocolTrainText, language));
        p.push_back("TRAIN " + std::to_string(s0));
        p.push_back("vvv=");
        p.push_back(body);
        p.push_back("*");
        p.push_back(pauseLine);
        plan.segments.push_back(SegmentText{"TRAIN " + std::to_string(s0) + " vvv=", body, "*", s0});
    }

    const int n = CompetitionTextCount(start, final);
    for (int i = 1; i <= n; ++i) {
        const int nominal = start + 10 * (i - 1);
        const int sending = SendingSpeed(nominal, s.textType, params.cpm);
        const std::string body = Body(params, std::max(1, sending / 5), s.number[3] + i);
        p.push_back(ProtocolLine(Say::ProtocolCompetitionText, language));
        p.push_back(ProtocolLine(Say::ProtocolSpeed, language, std::to_string(nominal)));
        p.push_back(marker + std::to_string(nominal));
        p.push_back("vvv=");
        p.push_back(body);
        p.push_back("*");
        if (i != n) {
            p.push_back(pauseLine);
        }
        plan.segments.push_back(SegmentText{marker + std::to_string(nominal) + " vvv=", body, "*", sending});
    }
    return plan;
}

} // namespace qlor
