#pragma once
// Subcommands of qlor-cli register themselves here, each from its own source file.
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace qlor::cli {

// A subcommand gets its arguments (without the program and subcommand names) and returns the
// process exit status: 0 success, 1 a failure of the work itself, 2 bad arguments.
using Command = std::function<int(const std::vector<std::string>& args)>;

struct CommandInfo {
    Command run;
    std::string usage; // one line, shown by `qlor-cli --help`
};

std::map<std::string, CommandInfo>& Registry();

struct RegisterCommand {
    RegisterCommand(const std::string& name, Command run, std::string usage) {
        Registry()[name] = CommandInfo{std::move(run), std::move(usage)};
    }
};

// Thrown by argument parsing helpers; main prints "qlor-cli: <message>" and exits 2.
struct UsageError {
    std::string message;
};

} // namespace qlor::cli
