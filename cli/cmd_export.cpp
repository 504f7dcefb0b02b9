// qlor-cli export: writes the batch export's numbered text and MIDI file pairs into a folder,
// each optionally with its sound file, rendered as `render` renders (voice, noise and levels).
#include "audio/offline_render.h"
#include "cli/options.h"
#include "cli/render_options.h"
#include "control/settings_store.h"
#include "exercises/batch_export.h"

#include <memory>

namespace qlor::cli {
namespace {

struct ExportArgs {
    CliOptions options;
    int count = 0;
    std::string folder;
    std::string audio;   // sound file extension, empty: none
    RenderRequest sound; // how the sound files are rendered
    bool soundGiven = false;
    BandChoice band;
};

int RunExportCommand(const ExportArgs& a) {
    const CliOptions& options = a.options;
    if ((a.soundGiven || a.band.preset) && a.audio.empty()) {
        throw UsageError{"--voice, --noise, --midi-level, --noise-level and --band need --audio FORMAT"};
    }
    // The band follows the text number, as the window plays it.
    const std::optional<BandSettings> band = a.band.Settings(static_cast<uint64_t>(TextNumber(options.Settings())));
    if (options.endPauseSeconds != 0) {
        throw UsageError{"--end-pause: the export closes every file with the standard 5 seconds"};
    }

    ExportParams params;
    params.controls = options.controls;
    params.controls.settings.files = {a.count / 10, a.count % 10};
    params.cpm = !options.paris;
    params.voice = options.Voice();
    params.folder = a.folder;
    params.audioExtension = a.audio;

    const MorseTable table = LoadMorseTable();
    std::string warning; // said once, not for every file
    const ExportResult result =
        RunExport(table, params, {}, {}, [&](const std::string& midiPath, const std::string& audioPath) {
            RenderRequest request = a.sound;
            request.midiPath = midiPath;
            request.band = band;
            const RenderSummary rendered = RenderToFile(request, audioPath);
            if (!rendered.warning.empty()) {
                warning = rendered.warning;
            }
            return rendered.error;
        });
    if (!warning.empty()) {
        PrintFailure(warning);
    }
    for (int i = 0; i < result.failedGenerations; ++i) {
        PrintGenerationFailure(options); // once per file, as the window shows its message
    }
    if (!result.error.empty()) {
        PrintFailure(result.error);
        return 1;
    }
    return 0;
}

Command SetUpExport(CLI::App& command) {
    auto a = std::make_shared<ExportArgs>();
    AddTextOptions(command, a->options);
    AddSoundOptions(command, a->options);
    AddEncodingOption(command, a->options);
    command.add_option("--count", a->count, "number of pairs" + ZeroClause(Setting::Files))
        ->transform(IntIn(Setting::Files))
        ->type_name("N");
    command.add_option("--dir", a->folder, "the folder (default the current one)")->type_name("DIR");
    command.add_option("--audio", a->audio, "also render every MIDI file as a sound file of this format")
        ->check(Accepted([](const std::string& v) { return ExportAudioOrOff(v) == v && v != kExportAudioOff; },
                         "ogg, flac, mp3 or wav"))
        ->type_name("ogg|flac|mp3|wav");
    // The sound of the sound files, as for `render`.
    AddRenderSoundOptions(
        command, a->sound, [a] { a->soundGiven = true; }, "with --audio: ");
    AddBandOption(command, a->band, "with --audio: ",
                  "with --band: the same seed, the same band (default: the text number, as the window plays it)");
    AddArguments(command, a->options);
    return [a] { return RunExportCommand(*a); };
}

const RegisterCommand kRegisterExport(
    "export", SetUpExport,
    std::string("export ") + kTextOptionsUsage + " " + kSoundOptionsUsage + " " + kEncodingUsage +
        " [--count N] [--dir DIR] [--audio ogg|flac|mp3|wav [--voice soundfont|tone|auto] [--noise FILE] "
        "[--midi-level N] [--noise-level N] [--band quiet|average|contest|poor [--seed N]]]  "
        "(writes N numbered .txt/.mid pairs, "
        "each with its sound file when asked; 0 means 1)");

} // namespace
} // namespace qlor::cli
