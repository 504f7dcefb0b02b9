#pragma once
// Subcommands of qlor-cli register themselves here, each from its own source file.
#include <functional>
#include <map>
#include <string>
#include <utility>

namespace CLI {
class App;
}

namespace qlor::cli {

// Runs a parsed subcommand and returns the process exit status: 0 success, 1 a failure of the work
// itself. Bad arguments (status 2) are found by the parser before it runs, or thrown as UsageError.
using Command = std::function<int()>;

// Adds a subcommand's options to `command`, bound to state of the subcommand's own, and returns what
// runs it once the command line is parsed.
using SetUp = std::function<Command(CLI::App& command)>;

struct CommandInfo {
    SetUp setUp;
    std::string usage; // one line, shown by `qlor-cli --help` and `qlor-cli COMMAND --help`
};

std::map<std::string, CommandInfo>& Registry();

struct RegisterCommand {
    RegisterCommand(const std::string& name, SetUp setUp, std::string usage) {
        Registry()[name] = CommandInfo{std::move(setUp), std::move(usage)};
    }
};

// A bad argument the parser's validators cannot see alone; main prints "qlor-cli: <message>" and
// exits 2.
struct UsageError {
    std::string message;
};

} // namespace qlor::cli
