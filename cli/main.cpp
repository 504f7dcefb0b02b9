// qlor-cli: the command-line companion of the trainer, on the same core as the window.
#include "cli/command_registry.h"

#include <iostream>

namespace qlor::cli {
std::map<std::string, CommandInfo>& Registry() {
    static std::map<std::string, CommandInfo> registry;
    return registry;
}
} // namespace qlor::cli

int main(int argc, char** argv) {
    using namespace qlor::cli;
    auto& registry = Registry();
    if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
        std::ostream& out = argc < 2 ? std::cerr : std::cout;
        out << "usage: qlor-cli COMMAND [OPTIONS]\n";
        for (const auto& [name, info] : registry) {
            out << "  " << info.usage << "\n";
        }
        return argc < 2 ? 2 : 0;
    }
    if (std::string(argv[1]) == "--version") {
        std::cout << "qlor-cli " QLOR_VERSION "\n";
        return 0;
    }
    auto it = registry.find(argv[1]);
    if (it == registry.end()) {
        std::cerr << "qlor-cli: unknown command '" << argv[1] << "'\n";
        return 2;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    try {
        return it->second.run(args);
    } catch (const UsageError& e) {
        std::cerr << "qlor-cli: " << e.message << "\n";
        return 2;
    }
}
