#include "exercises/competition.h"

#include "base/codepage.h"
#include "control/program_texts.h"
#include "synthesis/timing.h"
#include "textgen/radiogram.h"

#include <algorithm>

namespace qlor {
namespace {

constexpr std::string_view kTrainPrefix = "TRAIN "; // the training text's speed line

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
        p.push_back(std::string(kTrainPrefix) + std::to_string(s0));
        p.push_back(std::string(kStandardHeader));
        p.push_back(body);
        p.push_back("*");
        p.push_back(pauseLine);
        plan.segments.push_back(SegmentText{
            std::string(kTrainPrefix) + std::to_string(s0) + " " + std::string(kStandardHeader), body, "*", s0});
    }

    const int n = CompetitionTextCount(start, final);
    for (int i = 1; i <= n; ++i) {
        const int nominal = start + 10 * (i - 1);
        const int sending = SendingSpeed(nominal, s.textType, params.cpm);
        const std::string body = Body(params, std::max(1, sending / 5), s.number[3] + i);
        p.push_back(ProtocolLine(Say::ProtocolCompetitionText, language));
        p.push_back(ProtocolLine(Say::ProtocolSpeed, language, std::to_string(nominal)));
        p.push_back(marker + std::to_string(nominal));
        p.push_back(std::string(kStandardHeader));
        p.push_back(body);
        p.push_back("*");
        if (i != n) {
            p.push_back(pauseLine);
        }
        plan.segments.push_back(
            SegmentText{marker + std::to_string(nominal) + " " + std::string(kStandardHeader), body, "*", sending});
    }
    return plan;
}

ProtocolReading ReadProtocolTexts(std::string_view protocol) {
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at < protocol.size();) {
        const std::size_t end = std::min(protocol.find('\n', at), protocol.size());
        std::string_view line = protocol.substr(at, end - at);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        at = end + 1;
    }
    ProtocolReading reading;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (Trim1251(lines[i]) != kStandardHeader) {
            continue;
        }
        // The speed is the number that ends the line before: "TRAIN 50", "OOOOO 60", "00000 70".
        const std::string_view before = i > 0 ? Trim1251(lines[i - 1]) : std::string_view();
        const std::size_t digits = before.find_last_not_of("0123456789") + 1; // npos + 1 is 0
        const std::string_view number = before.substr(digits);
        if (number.empty() || number.size() > 6) {
            reading.error = "line " + std::to_string(i + 1) + ": no speed on the line before \"vvv=\"";
            return reading;
        }
        ProtocolText text;
        text.speed = std::stoi(std::string(number));
        text.training = before.starts_with(kTrainPrefix);
        if (i + 1 < lines.size()) {
            text.body = std::string(lines[i + 1]);
        }
        reading.texts.push_back(std::move(text));
    }
    return reading;
}

} // namespace qlor
