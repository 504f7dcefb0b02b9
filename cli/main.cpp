// qlor-cli: the command-line companion of the trainer, on the same core as the window.
#include "base/safe_file.h"
#include "cli/command_registry.h"
#include "cli/options.h"

#include <exception>
#include <iostream>
#include <memory>
#include <new>

namespace qlor::cli {

std::map<std::string, CommandInfo>& Registry() {
    static std::map<std::string, CommandInfo> registry;
    return registry;
}

namespace {

// The help: `qlor-cli --help` lists the one-line usage of every subcommand; `qlor-cli COMMAND
// --help` shows that usage, then every option of the command with what it means. A subcommand's
// description holds its one-line usage.
class UsageFormatter : public CLI::Formatter {
public:
    std::string make_help(const CLI::App* app, std::string name, CLI::AppFormatMode mode) const override {
        if (app->get_parent() != nullptr) {
            return CLI::Formatter::make_help(app, std::move(name), mode);
        }
        std::string text = "usage: qlor-cli COMMAND [OPTIONS]\n";
        for (const CLI::App* command : app->get_subcommands({})) {
            text += "  " + command->get_description() + "\n";
        }
        return text;
    }
    std::string make_description(const CLI::App*) const override { return {}; }
    // A command made of parts (course status, course next ...) shows every part with its options.
    std::string make_subcommands(const CLI::App* app, CLI::AppFormatMode mode) const override {
        return CLI::Formatter::make_subcommands(app, app->get_parent() ? CLI::AppFormatMode::All : mode);
    }
    std::string make_usage(const CLI::App* app, std::string) const override {
        return "usage: qlor-cli " + app->get_description() + "\n";
    }
    // The plain arguments are shown by name alone, without the parser's count of them.
    std::string make_option_opts(const CLI::Option* option) const override {
        return option->get_positional() ? std::string() : CLI::Formatter::make_option_opts(option);
    }
};

} // namespace
} // namespace qlor::cli

int main(int argc, char** argv) {
    using namespace qlor::cli;
    CLI::App app("", "qlor-cli");
    app.formatter(std::make_shared<UsageFormatter>());
    app.set_help_flag("-h,--help", "print this help");
    app.set_version_flag("--version", "qlor-cli " QLOR_VERSION, "print the version");
    app.allow_extras(); // an unknown command is told below, in its own words
    ConfigureCommandLine(app);
    std::map<const CLI::App*, Command> commands;
    for (const auto& [name, info] : Registry()) {
        CLI::App* command = app.add_subcommand(name, info.usage);
        // A command's --help counts where it is given, before any value given with it is checked:
        // "qlor-cli text --groups 500 --help" shows the help.
        command->set_help_flag();
        command
            ->add_flag_callback(
                "-h,--help", [] { throw CLI::CallForHelp(); }, "print this help")
            ->trigger_on_parse();
        commands[command] = info.setUp(*command);
    }

    try {
        ParseCommandLine(app, std::vector<std::string>(argv + 1, argv + argc));
    } catch (const CLI::CallForHelp&) {
        // The help of the innermost command given ("qlor-cli course next --help").
        const CLI::App* shown = &app;
        while (!shown->get_subcommands().empty()) {
            shown = shown->get_subcommands().front();
        }
        std::cout << shown->help();
        return 0;
    } catch (const CLI::CallForVersion& e) {
        std::cout << e.what() << "\n";
        return 0;
    } catch (const CLI::ParseError& e) {
        std::cerr << "qlor-cli: " << UsageErrorText(e) << "\n";
        return 2;
    } catch (const UsageError& e) {
        std::cerr << "qlor-cli: " << UsageErrorText(e) << "\n";
        return 2;
    }
    const auto selected = app.get_subcommands();
    const auto extras = app.remaining();
    if (selected.empty() && extras.empty()) {
        std::cerr << app.help();
        return 2;
    }
    if (selected.empty()) {
        std::cerr << "qlor-cli: unknown command '" << extras.front() << "'\n";
        return 2;
    }
    if (!extras.empty()) { // words after a "++" that ended the command
        std::cerr << "qlor-cli: unexpected argument '" << extras.front() << "'\n";
        return 2;
    }

    // An interrupted command leaves no temporary file behind (the target stays as it was).
    qlor::RemovePartFilesOnSignals();
    try {
        return commands.at(selected.front())();
    } catch (const UsageError& e) {
        std::cerr << "qlor-cli: " << UsageErrorText(e) << "\n";
        return 2;
    } catch (const std::bad_alloc&) {
        std::cerr << "qlor-cli: there is not enough memory for this work\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "qlor-cli: " << e.what() << "\n";
        return 1;
    }
}
