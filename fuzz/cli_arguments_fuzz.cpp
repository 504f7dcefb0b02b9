// libFuzzer entry for qlor-cli's arguments (zero bytes separate them), parsed as qlor-cli parses
// a subcommand's: any arguments are either a usage error told in one line, or options whose
// settings lie within their ranges.
#include "cli/options.h"
#include "control/panel_steps.h"
#include "fuzz/fuzz_input.h"

#include <cstdint>
#include <cstdlib>

namespace qlor::cli {
std::map<std::string, CommandInfo>& Registry() {
    static std::map<std::string, CommandInfo> registry;
    return registry;
}
} // namespace qlor::cli

namespace {

// A usage error is told in one line of text.
int OneLine(const std::string& text) {
    if (text.empty() || text.find_first_of("\r\n") != std::string::npos) {
        std::abort();
    }
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace qlor::cli;
    qlor::fuzz::Input in(data, size);
    const unsigned groups = in.Byte() & 7; // text options, sound options, --out
    std::vector<std::string> args = {"command"};
    while (!in.Empty() && args.size() < 64) {
        args.emplace_back(in.Part());
    }
    CLI::App app("", "qlor-cli");
    ConfigureCommandLine(app);
    CLI::App* command = app.add_subcommand("command");
    CliOptions options;
    if (groups & 1) {
        AddTextOptions(*command, options);
    }
    if (groups & 2) {
        AddSoundOptions(*command, options);
    }
    if (groups & 4) {
        AddOutOption(*command, options, "");
    }
    AddEncodingOption(*command, options);
    AddArguments(*command, options, 2);
    try {
        ParseCommandLine(app, args);
    } catch (const CLI::ParseError& e) {
        return OneLine(UsageErrorText(e));
    } catch (const UsageError& e) {
        return OneLine(UsageErrorText(e));
    }
    if (!(qlor::ClampToRange(options.Settings()) == options.Settings()) ||
        qlor::ClampTone(options.tone) != options.tone || options.SendingSpeedCpm() < 5 ||
        options.arguments.size() > 2 || options.positionals.size() != options.arguments.size() ||
        !options.pendingTexts.empty() || ((groups & 4) && options.out.empty())) {
        std::abort();
    }
    return 0;
}
