#include "exercises/competition.h"

#include "synthesis/codepage.h"
#include "synthesis/timing.h"
#include "textgen/radiogram.h"

#include <algorithm>

namespace qlor {
namespace {

// The protocol's fixed words: English at language position 0, Russian at any other.
struct ProtocolWords {
    std::string title;           // "Checklist QLOR-2000"
    std::string begin;           // "Begin "
    std::string initialSpeed;    // "Initial speed "
    std::string cpmUnit;         // " spm"
    std::string trainText;       // "Train text"
    std::string competitionText; // "Competition text"
    std::string speed;           // "Speed "
    std::string pause;           // "Pause "
    std::string seconds;         // " sec"
};

const ProtocolWords& Words(bool english) {
    static const ProtocolWords kEnglish{"Checklist QLOR-2000", "Begin ", "Initial speed ", " spm", "Train text",
                                        "Competition text",    "Speed ", "Pause ",         " sec"};
    static const ProtocolWords kRussian{Cp("Протокол КЛОР-2000"),
                                        Cp("Начало "),
                                        Cp("Начальная скорость "),
                                        Cp(" зн/мин"),
                                        Cp("Тренировочный текст"),
                                        Cp("Текст соревнования"),
                                        Cp("Скорость "),
                                        Cp("Пауза "),
                                        Cp(" секунд")};
    return english ? kEnglish : kRussian;
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
    const ProtocolWords& w = Words(params.english);
    const int start = StartSpeed(s);
    const int final = FinalSpeed(s);
    const std::string pauseLine = w.pause + std::to_string(kCompetitionPauseSeconds) + w.seconds;
    const std::string marker = (s.textType == 0 || s.textType == 1) ? "OOOOO " : "00000 ";

    CompetitionPlan plan;
    auto& p = plan.protocol;
    p.push_back(w.title);
    p.push_back(w.begin + params.dateTime);
    p.push_back(w.initialSpeed + std::to_string(start) + (params.cpm ? w.cpmUnit : std::string(" PARIS")));

    if (params.trainText) {
        const int s0 = SendingSpeed(start, s.textType, params.cpm);
        const std::string body = Body(params, std::max(1, s0 / 5), s.number[3] - 1);
        p.push_back(w.trainText);
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
        p.push_back(w.competitionText);
        p.push_back(w.speed + std::to_string(nominal));
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
