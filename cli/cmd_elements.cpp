// qlor-cli elements: the element string of a text and its count of keyable characters.
#include "cli/options.h"

namespace qlor::cli {
namespace {

int RunElements(const std::vector<std::string>& args) {
    CliOptions options = ParseOptions(args, 0, {}, 1);
    if (options.positionals.empty()) {
        throw UsageError{"elements: TEXT is required"};
    }
    const MorseTable table = LoadMorseTable();
    const Elements elements = TextToElements(table, options.positionals.front());
    PrintText(options, elements.elements + " " + std::to_string(elements.count) + "\n");
    return 0;
}

const RegisterCommand kRegister("elements", RunElements,
                                std::string("elements TEXT ") + kEncodingUsage +
                                    "  (prints the element string and the count)");

} // namespace
} // namespace qlor::cli
