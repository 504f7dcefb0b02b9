// Prints the settings table, one entry a line, tab-separated, for the tests that hold qlor-cli,
// its manual page and its shell completion to it: index, stored name, digits, min, max, default,
// step, unit, what 0 means, the qlor-cli options, their subcommands, the qlor-cli min and max.
#include "synthesis/settings_table.h"

#include <cstdio>
#include <string>

int main() {
    for (const qlor::SettingSpec& spec : qlor::kSettingsTable) {
        const qlor::IntRange cli = qlor::CliRangeOf(spec.id);
        std::printf("%d\t%.*s\t%d\t%d\t%d\t%d\t%d\t%.*s\t%.*s\t%.*s\t%.*s\t%d\t%d\n", static_cast<int>(spec.id),
                    static_cast<int>(spec.storedName.size()), spec.storedName.data(), spec.digits, spec.range.min,
                    spec.range.max, spec.defaultValue, spec.step, static_cast<int>(spec.unit.size()), spec.unit.data(),
                    static_cast<int>(spec.zeroMeans.size()), spec.zeroMeans.data(),
                    static_cast<int>(spec.cliOptions.size()), spec.cliOptions.data(),
                    static_cast<int>(spec.cliCommands.size()), spec.cliCommands.data(), cli.min, cli.max);
    }
    return 0;
}
