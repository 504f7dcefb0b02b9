// qlor-cli: the command-line companion of the trainer, on the same core as the window.
#include "cli/command_registry.h"
#include "synthesis/safe_file.h"

#include <exception>
#include <iostream>
#include <new>

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
    // "qlor-cli COMMAND --help" (before any "--") shows that command's usage.
    for (int i = 2; i < argc && std::string(argv[i]) != "--"; ++i) {
        if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
            std::cout << "usage: qlor-cli " << it->second.usage << "\n";
            return 0;
        }
    }
    // An interrupted command leaves no temporary file behind (the target stays as it was).
    qlor::RemovePartFilesOnSignals();
    try {
        std::vector<std::string> args(argv + 2, argv + argc);
        return it->second.run(args);
    } catch (const UsageError& e) {
        std::cerr << "qlor-cli: " << e.message << "\n";
        return 2;
    } catch (const std::bad_alloc&) {
        std::cerr << "qlor-cli: there is not enough memory for this work\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "qlor-cli: " << e.what() << "\n";
        return 1;
    }
}
