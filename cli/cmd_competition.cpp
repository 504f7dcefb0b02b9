// qlor-cli competition: writes the competition's MIDI file and its protocol.
#include "cli/local_time.h"
#include "cli/options.h"
#include "exercises/competition.h"

#include <cstdio>

namespace qlor::cli {
namespace {

void SetSpeedDigits(std::array<int, 3>& digits, int value) {
    digits = {value / 100, value / 10 % 10, value % 10};
}

int ParseCompetitionSpeed(const std::string& option, const std::string& text) {
    const int value = ParseIntOption(option, text, 0, 390);
    if (value % 10 != 0) {
        throw UsageError{option + ": " + text + " is not a multiple of 10"};
    }
    return value;
}

void Fail(const std::string& message) {
    const std::string line = "qlor-cli: " + message + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

int RunCompetition(const std::vector<std::string>& args) {
    int start = -1;
    int final = -1;
    bool train = true;
    bool english = true;
    std::string protocolPath;
    auto extra = [&](const std::string& name, const std::function<std::string()>& value) {
        if (name == "--start") {
            start = ParseCompetitionSpeed(name, value());
        } else if (name == "--final") {
            final = ParseCompetitionSpeed(name, value());
        } else if (name == "--no-train") {
            train = false;
        } else if (name == "--lang") {
            const std::string lang = value();
            if (lang != "en" && lang != "ru") {
                throw UsageError{"--lang: expected en or ru, got '" + lang + "'"};
            }
            english = lang == "en";
        } else if (name == "--protocol") {
            protocolPath = value();
            if (protocolPath.empty()) {
                throw UsageError{"--protocol: empty file name"};
            }
        } else {
            return false;
        }
        return true;
    };
    CliOptions options = ParseOptions(args, kTextOptions | kSoundOptions | kOutOption, extra);
    if (start < 0 || final < 0) {
        throw UsageError{"--start V and --final V are required"};
    }
    if (options.endPauseSeconds != 0) {
        throw UsageError{"--end-pause: the competition's pause is always 60 seconds"};
    }

    CompetitionParams params;
    params.settings = options.Settings();
    SetSpeedDigits(params.settings.startSpeed, start);
    SetSpeedDigits(params.settings.stopSpeed, final);
    params.trainText = train;
    params.cpm = !options.paris;
    params.english = english;
    params.dateTime = LocalDateTimeText();
    params.symbolMemoLength = options.controls.selectedSymbols.size();
    const CompetitionPlan plan = PlanCompetition(params);

    const MorseTable table = LoadMorseTable();
    MidiResult midi = WriteMorseMidi(table, plan.segments, options.out, kCompetitionPauseSeconds, options.Voice());
    if (!midi) {
        Fail(midi.message);
        return 1;
    }
    if (protocolPath.empty()) {
        std::string text;
        for (const auto& line : plan.protocol) {
            text += line + "\n";
        }
        PrintText(options, text);
        return 0;
    }
    // The saved protocol: cp1251 bytes, every line followed by CR LF.
    const std::string error = WriteFileAtomically(protocolPath, plan.ProtocolText());
    if (!error.empty()) {
        Fail(error);
        return 1;
    }
    return 0;
}

const RegisterCommand kRegister("competition", RunCompetition,
                                std::string("competition --start V --final V [--no-train] [--lang en|ru] "
                                            "[--protocol FILE] ") +
                                    kTextOptionsUsage + " " + kSoundOptionsUsage + " " + kEncodingUsage +
                                    " --out FILE  (writes the competition's MIDI file and protocol)");

} // namespace
} // namespace qlor::cli
