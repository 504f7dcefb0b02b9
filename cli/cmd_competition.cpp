// qlor-cli competition: writes the competition's MIDI file and its protocol.
#include "cli/local_time.h"
#include "cli/options.h"
#include "exercises/competition.h"
#include "exercises/hst_judge.h"

#include <memory>

namespace qlor::cli {
namespace {

void SetSpeedDigits(std::array<int, 3>& digits, int value) {
    digits = {value / 100, value / 10 % 10, value % 10};
}

// A speed of the competition in its steps: up to the high-speed tests' maximum, beyond the
// Competition page's range.
CLI::Validator CompetitionSpeed() {
    const int step = EntryOf(Setting::StartSpeed).step;
    return CLI::Validator(
        [step](const std::string& text) -> std::string {
            return std::stoi(text) % step != 0 ? text + " is not a multiple of " + std::to_string(step) : std::string();
        },
        "");
}

struct CompetitionArgs {
    CliOptions options;
    int start = 0;
    int final = 0;
    bool noTrain = false;
    std::string lang = "en";
    std::string protocolPath;
};

int RunCompetition(const CompetitionArgs& a) {
    const CliOptions& options = a.options;
    if (options.endPauseSeconds != 0) {
        throw UsageError{"--end-pause: the competition's pause is always 60 seconds"};
    }

    CompetitionParams params;
    params.settings = options.Settings();
    SetSpeedDigits(params.settings.startSpeed, a.start);
    SetSpeedDigits(params.settings.stopSpeed, a.final);
    params.trainText = !a.noTrain;
    params.cpm = !options.paris;
    params.english = a.lang == "en";
    params.dateTime = LocalDateTimeText();
    params.symbolMemoLength = options.controls.selectedSymbols.size();
    const CompetitionPlan plan = PlanCompetition(params);

    const MorseTable table = LoadMorseTable();
    MidiResult midi = WriteMorseMidi(table, plan.segments, options.out, kCompetitionPauseSeconds, options.Voice());
    if (!midi) {
        PrintFailure(midi.message);
        return 1;
    }
    if (a.protocolPath.empty()) {
        std::string text;
        for (const auto& line : plan.protocol) {
            text += line + "\n";
        }
        PrintText(options, text);
        return 0;
    }
    // The saved protocol: cp1251 bytes, every line followed by CR LF.
    const std::string error = WriteFileAtomically(a.protocolPath, plan.ProtocolText());
    if (!error.empty()) {
        PrintFailure(error);
        return 1;
    }
    return 0;
}

Command SetUpCompetition(CLI::App& command) {
    auto a = std::make_shared<CompetitionArgs>();
    command.add_option("--start", a->start, "the first speed after the training text")
        ->required()
        ->transform(IntIn(Setting::StartSpeed))
        ->check(CompetitionSpeed())
        ->type_name("V");
    command.add_option("--final", a->final, "the last speed")
        ->required()
        ->transform(IntIn(Setting::StopSpeed))
        ->check(CompetitionSpeed())
        ->type_name("V");
    command.add_flag("--no-train", a->noTrain, "leave the training text out");
    command.add_option("--lang", a->lang, "the protocol's language (default en)")
        ->check(Accepted([](const std::string& v) { return v == "en" || v == "ru"; }, "en or ru"))
        ->type_name("en|ru");
    command.add_option("--protocol", a->protocolPath, "write the protocol (CR LF) instead of printing it")
        ->check(OutputFileName())
        ->type_name("FILE");
    AddTextOptions(command, a->options);
    AddSoundOptions(command, a->options);
    AddEncodingOption(command, a->options);
    AddOutOption(command, a->options, "the MIDI file to write");
    AddArguments(command, a->options);
    return [a] { return RunCompetition(*a); };
}

const RegisterCommand kRegisterCompetition("competition", SetUpCompetition,
                                           std::string("competition --start V --final V [--no-train] [--lang en|ru] "
                                                       "[--protocol FILE] ") +
                                               kTextOptionsUsage + " " + kSoundOptionsUsage + " " + kEncodingUsage +
                                               " --out FILE  (writes the competition's MIDI file and protocol)");

} // namespace
} // namespace qlor::cli
