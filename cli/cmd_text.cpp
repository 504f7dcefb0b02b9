// qlor-cli text: prints the radiogram that Run would compose and show on the Text page, or a text
// of callsigns, telegraph words or QSO overs framed the same way.
#include "cli/options.h"
#include "textgen/text_sources.h"

#include <memory>
#include <unistd.h>

namespace qlor::cli {
namespace {

struct TextArgs {
    CliOptions options;
    TextSource source = TextSource::Groups;
};

int RunText(const TextArgs& a) {
    const CliOptions& options = a.options;
    Radiogram radiogram;
    if (a.source == TextSource::Groups || options.controls.ownText) {
        if (!ComposeOrReport(options, radiogram)) {
            return 1;
        }
    } else {
        // The items take the place of the groups: --groups counts them, the frame is the same.
        const TransmissionSettings& s = options.Settings();
        radiogram.header = RadiogramHeader(options.controls);
        radiogram.body = SourceItems(a.source, GroupsToSend(s), s.number);
        radiogram.ending = RadiogramEnding(options.controls);
        radiogram.displayed = radiogram.header + radiogram.body + radiogram.ending;
    }
    // Exactly the radiogram's bytes into a pipe or file; on a terminal a line break follows so
    // that the prompt starts on a line of its own.
    PrintText(options, isatty(STDOUT_FILENO) ? radiogram.displayed + "\r\n" : radiogram.displayed);
    return 0;
}

Command SetUpText(CLI::App& command) {
    auto a = std::make_shared<TextArgs>();
    AddTextOptions(command, a->options);
    command
        .add_option_function<std::string>(
            "--source", [a](const std::string& v) { a->source = TextSourceByName(v).value_or(TextSource::Groups); },
            "what the text is made of: random groups, callsigns, telegraph words or QSO overs; --groups counts "
            "the items (default groups)")
        ->check(Accepted([](const std::string& v) { return TextSourceByName(v).has_value(); },
                         "groups, callsigns, words or qso"))
        ->type_name("groups|callsigns|words|qso");
    AddEncodingOption(command, a->options);
    AddArguments(command, a->options);
    return [a] { return RunText(*a); };
}

const RegisterCommand kRegisterText("text", SetUpText,
                                    std::string("text ") + kTextOptionsUsage +
                                        " [--source groups|callsigns|words|qso] " + kEncodingUsage +
                                        "  (prints the displayed radiogram)");

} // namespace
} // namespace qlor::cli
