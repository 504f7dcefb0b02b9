// qlor-cli text: prints the radiogram that Run would compose and show on the Text page.
#include "cli/options.h"

#include <memory>
#include <unistd.h>

namespace qlor::cli {
namespace {

int RunText(const CliOptions& options) {
    Radiogram radiogram;
    if (!ComposeOrReport(options, radiogram)) {
        return 1;
    }
    // Exactly the radiogram's bytes into a pipe or file; on a terminal a line break follows so
    // that the prompt starts on a line of its own.
    PrintText(options, isatty(STDOUT_FILENO) ? radiogram.displayed + "\r\n" : radiogram.displayed);
    return 0;
}

Command SetUpText(CLI::App& command) {
    auto options = std::make_shared<CliOptions>();
    AddTextOptions(command, *options);
    AddEncodingOption(command, *options);
    AddArguments(command, *options);
    return [options] { return RunText(*options); };
}

const RegisterCommand kRegister("text", SetUpText,
                                std::string("text ") + kTextOptionsUsage + " " + kEncodingUsage +
                                    "  (prints the displayed radiogram)");

} // namespace
} // namespace qlor::cli
