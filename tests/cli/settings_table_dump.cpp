// Prints the settings table, one entry a line, tab-separated, for the tests that hold qlor-cli,
// its manual page and its shell completion to it: index, stored name, digits, min, max, default,
// step, unit, what 0 means, the qlor-cli options, their subcommands, the qlor-cli min and max.
#include "synthesis/settings_table.h"

#include <cstdio>
#include <string>

int main() {
    for (const qlor::SettingEntry& entry : qlor::kSettingsTable) {
        const qlor::IntRange cli = qlor::CliRangeOf(entry.id);
        std::printf("%d\t%.*s\t%d\t%d\t%d\t%d\t%d\t%.*s\t%.*s\t%.*s\t%.*s\t%d\t%d\n", static_cast<int>(entry.id),
                    static_cast<int>(entry.storedName.size()), entry.storedName.data(), entry.digits, entry.range.min,
                    entry.range.max, entry.defaultValue, entry.step, static_cast<int>(entry.unit.size()),
                    entry.unit.data(), static_cast<int>(entry.zeroMeans.size()), entry.zeroMeans.data(),
                    static_cast<int>(entry.cliOptions.size()), entry.cliOptions.data(),
                    static_cast<int>(entry.cliCommands.size()), entry.cliCommands.data(), cli.min, cli.max);
    }
    return 0;
}
