// qlor-cli text: prints the radiogram that Run would compose and show on the Text page.
#include "cli/options.h"

namespace qlor::cli {
namespace {

int RunText(const std::vector<std::string>& args) {
    CliOptions options = ParseOptions(args, kTextOptions);
    Radiogram radiogram;
    if (!ComposeOrReport(options, radiogram)) {
        return 1;
    }
    PrintText(options, radiogram.displayed + "\r\n");
    return 0;
}

const RegisterCommand kRegister("text", RunText,
                                std::string("text ") + kTextOptionsUsage + " " + kEncodingUsage +
                                    "  (prints the displayed radiogram)");

} // namespace
} // namespace qlor::cli
