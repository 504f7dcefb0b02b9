// qlor-cli elements: the element string of a text and its count of keyable characters.
#include "cli/options.h"

#include <memory>

namespace qlor::cli {
namespace {

int RunElements(const CliOptions& options) {
    if (options.positionals.empty()) {
        throw UsageError{"elements: TEXT is required"};
    }
    const MorseTable table = LoadMorseTable();
    const Elements elements = TextToElements(table, options.positionals.front());
    PrintText(options, elements.elements + " " + std::to_string(elements.count) + "\n");
    return 0;
}

Command SetUpElements(CLI::App& command) {
    auto options = std::make_shared<CliOptions>();
    AddEncodingOption(command, *options);
    AddArguments(command, *options, 1, "TEXT", "the text to key");
    return [options] { return RunElements(*options); };
}

const RegisterCommand kRegisterElements("elements", SetUpElements,
                                        std::string("elements TEXT ") + kEncodingUsage +
                                            "  (prints the element string and the count)");

} // namespace
} // namespace qlor::cli
