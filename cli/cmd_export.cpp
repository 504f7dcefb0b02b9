// qlor-cli export: writes the batch export's numbered text and MIDI file pairs into a folder.
#include "cli/options.h"
#include "exercises/batch_export.h"

#include <cstdio>

namespace qlor::cli {
namespace {

int RunExportCommand(const std::vector<std::string>& args) {
    int count = 0;
    std::string folder;
    auto extra = [&](const std::string& name, const std::function<std::string()>& value) {
        if (name == "--count") {
            count = ParseIntOption(name, value(), 0, 99);
        } else if (name == "--dir") {
            folder = value(); // a file-system path, passed on as given
        } else {
            return false;
        }
        return true;
    };
    CliOptions options = ParseOptions(args, kTextOptions | kSoundOptions, extra);
    if (options.endPauseSeconds != 0) {
        throw UsageError{"--end-pause: the export closes every file with the standard 5 seconds"};
    }

    ExportParams params;
    params.controls = options.controls;
    params.controls.settings.files = {count / 10, count % 10};
    params.cpm = !options.paris;
    params.voice = options.Voice();
    params.folder = folder;

    const MorseTable table = LoadMorseTable();
    const ExportResult result = RunExport(table, params);
    for (int i = 0; i < result.failedGenerations; ++i) {
        PrintGenerationFailure(options); // once per file, as the window shows its message
    }
    if (!result.error.empty()) {
        const std::string message = "qlor-cli: " + result.error + "\n";
        std::fwrite(message.data(), 1, message.size(), stderr);
        return 1;
    }
    return 0;
}

const RegisterCommand kRegister("export", RunExportCommand,
                                std::string("export ") + kTextOptionsUsage + " " + kSoundOptionsUsage + " " +
                                    kEncodingUsage +
                                    " [--count N] [--dir DIR]  (writes N numbered .txt/.mid pairs; 0 means 1)");

} // namespace
} // namespace qlor::cli
