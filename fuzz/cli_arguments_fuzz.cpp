// libFuzzer entry for qlor-cli's arguments (zero bytes separate them): any arguments are either
// a usage error or options whose settings lie within their ranges.
#include "cli/options.h"
#include "control/panel_steps.h"
#include "fuzz/fuzz_input.h"

#include <cstdint>
#include <cstdlib>

namespace qlor::cli {
std::map<std::string, CommandInfo>& Registry() {
    static std::map<std::string, CommandInfo> registry;
    return registry;
}
} // namespace qlor::cli

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qlor::fuzz::Input in(data, size);
    const unsigned groups = in.Byte() & 7;
    std::vector<std::string> args;
    while (!in.Empty() && args.size() < 64) {
        args.emplace_back(in.Part());
    }
    try {
        const qlor::cli::CliOptions options = qlor::cli::ParseOptions(args, groups, {}, 2);
        if (!(qlor::ClampToRange(options.Settings()) == options.Settings()) ||
            qlor::ClampTone(options.tone) != options.tone || options.SendingSpeedCpm() < 5) {
            std::abort();
        }
    } catch (const qlor::cli::UsageError&) {
    }
    return 0;
}
