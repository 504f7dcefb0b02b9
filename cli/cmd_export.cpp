// qlor-cli export: writes the batch export's numbered text and MIDI file pairs into a folder,
// each optionally with its sound file, rendered as `render` renders (voice, noise and levels).
#include "audio/offline_render.h"
#include "cli/options.h"
#include "control/settings_store.h"
#include "exercises/batch_export.h"

#include <cstdio>

namespace qlor::cli {
namespace {

int RunExportCommand(const std::vector<std::string>& args) {
    int count = 0;
    std::string folder;
    std::string audio;   // sound file extension, empty: none
    RenderRequest sound; // how the sound files are rendered
    bool soundGiven = false;
    auto extra = [&](const std::string& name, const std::function<std::string()>& value) {
        if (name == "--count") {
            count = ParseIntOption(name, value(), 0, 99);
        } else if (name == "--dir") {
            folder = value(); // a file-system path, passed on as given
        } else if (name == "--audio") {
            audio = value();
            if (ExportAudioOrOff(audio) != audio || audio == kExportAudioOff) {
                throw UsageError{"--audio: expected ogg, flac, mp3 or wav, got '" + audio + "'"};
            }
        } else if (name == "--voice") {
            const std::string voice = value();
            if (!ParseVoiceName(voice, sound.voice)) {
                throw UsageError{"--voice: expected soundfont, tone or auto, got '" + voice + "'"};
            }
            soundGiven = true;
        } else if (name == "--noise") {
            sound.noisePath = value();
            soundGiven = true;
        } else if (name == "--midi-level") {
            sound.midiLevel = static_cast<uint16_t>(ParseIntOption(name, value(), 0, 65535));
            soundGiven = true;
        } else if (name == "--noise-level") {
            sound.noiseLevel = static_cast<uint16_t>(ParseIntOption(name, value(), 0, 65535));
            soundGiven = true;
        } else {
            return false;
        }
        return true;
    };
    CliOptions options = ParseOptions(args, kTextOptions | kSoundOptions, extra);
    if (soundGiven && audio.empty()) {
        throw UsageError{"--voice, --noise, --midi-level and --noise-level need --audio FORMAT"};
    }
    if (options.endPauseSeconds != 0) {
        throw UsageError{"--end-pause: the export closes every file with the standard 5 seconds"};
    }

    ExportParams params;
    params.controls = options.controls;
    params.controls.settings.files = {count / 10, count % 10};
    params.cpm = !options.paris;
    params.voice = options.Voice();
    params.folder = folder;
    params.audioExtension = audio;

    const MorseTable table = LoadMorseTable();
    std::string warning; // said once, not for every file
    const ExportResult result =
        RunExport(table, params, {}, {}, [&](const std::string& midiPath, const std::string& audioPath) {
            RenderRequest request = sound;
            request.midiPath = midiPath;
            const RenderSummary rendered = RenderToFile(request, audioPath);
            if (!rendered.warning.empty()) {
                warning = rendered.warning;
            }
            return rendered.error;
        });
    if (!warning.empty()) {
        const std::string line = "qlor-cli: " + warning + "\n";
        std::fwrite(line.data(), 1, line.size(), stderr);
    }
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

const RegisterCommand
    kRegister("export", RunExportCommand,
              std::string("export ") + kTextOptionsUsage + " " + kSoundOptionsUsage + " " + kEncodingUsage +
                  " [--count N] [--dir DIR] [--audio ogg|flac|mp3|wav [--voice soundfont|tone|auto] [--noise FILE] "
                  "[--midi-level N] [--noise-level N]]  (writes N numbered .txt/.mid pairs, "
                  "each with its sound file when asked; 0 means 1)");

} // namespace
} // namespace qlor::cli
