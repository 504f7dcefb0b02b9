// qlor-cli render: renders a MIDI file (with an optional looping noise) offline to an audio file,
// exactly as the players sound it, faster than real time.
#include "audio/offline_render.h"
#include "audio/signal_to_noise.h"
#include "cli/options.h"
#include "cli/render_options.h"

#include <cmath>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

namespace qlor::cli {
namespace {

// A level in decibels such as "-3" or "10.5", inside [min, max] [dB].
CLI::Validator Decibels(double min, double max) {
    return CLI::Validator(
        [min, max](const std::string& text) -> std::string {
            char* end = nullptr;
            const double value = std::strtod(text.c_str(), &end);
            if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value)) {
                return "expected a number of decibels, got '" + text + "'";
            }
            if (value < min || value > max) {
                return text + " is out of range " + std::to_string(static_cast<int>(min)) + ".." +
                       std::to_string(static_cast<int>(max));
            }
            return {};
        },
        std::to_string(static_cast<int>(min)) + ".." + std::to_string(static_cast<int>(max)));
}

struct RenderArgs {
    CliOptions options; // the MIDI file and --out
    RenderRequest request;
    std::optional<int> fadingDepth; // [dB]
    BandChoice band;
};

int RunRender(const RenderArgs& a) {
    RenderRequest request = a.request;
    const std::string& out = a.options.out;
    if (a.options.arguments.size() != 1) {
        throw UsageError{"render needs exactly one MIDI file"};
    }
    if (OutputFormatFor(out) == 0) {
        throw UsageError{"--out: the file must end in .wav, .flac, .ogg or .mp3"};
    }
    BandChoice band = a.band;
    if (band.preset) {
        band.snrDb = request.snrDb; // the band's ratio; a noise recording keeps its level
        request.snrDb.reset();
    }
    request.band = band.Settings(static_cast<uint64_t>(DefaultOf(Setting::Seed)));
    if (request.snrDb && request.noisePath.empty()) {
        throw UsageError{"--snr needs a noise recording (--noise FILE) or --band"};
    }
    if (a.fadingDepth) {
        if (request.fading == FadingKind::None) {
            throw UsageError{"--fading-depth needs --fading slow|fast"};
        }
        request.fadingDepthDb = *a.fadingDepth;
    }
    request.midiPath = a.options.arguments.front(); // a file-system path, passed on as given
    const RenderSummary summary = RenderToFile(request, out);
    if (!summary.warning.empty()) {
        PrintFailure(summary.warning);
    }
    if (!summary.ok()) {
        PrintFailure(summary.error);
        return 1;
    }
    return 0;
}

Command SetUpRender(CLI::App& command) {
    auto a = std::make_shared<RenderArgs>();
    RenderRequest& r = a->request;
    AddRenderSoundOptions(command, r);
    command.add_option("--rate", r.rate, "sample rate [frames/s]")
        ->transform(IntIn(Setting::SampleRate))
        ->type_name("R");
    command.add_option("--soundfont", r.soundFontPath, "the SoundFont of the soundfont voice")->type_name("FILE.sf2");
    command
        .add_option_function<double>(
            "--snr", [a](double v) { a->request.snrDb = v; },
            "signal-to-noise ratio in the signal's band (with --band: of the band) [dB]")
        ->check(Decibels(CliRangeOf(Setting::Snr).min, CliRangeOf(Setting::Snr).max))
        ->type_name("DB");
    command
        .add_option_function<std::string>(
            "--fading", [a](const std::string& v) { ParseFadingName(v, a->request.fading); },
            "the signal fades slowly or fast")
        ->check(NameOf(ParseFadingName, "slow or fast"))
        ->type_name("slow|fast");
    command
        .add_option_function<int>(
            "--fading-depth", [a](int v) { a->fadingDepth = v; }, "with --fading: how deep it fades [dB]")
        ->transform(IntIn(Setting::FadingDepth))
        ->type_name("DB");
    AddBandOption(command, a->band, "", "with --band: the same seed, the same band" + DefaultClause(Setting::Seed));
    AddBandPartOptions(command, a->band);
    command.add_option("--out", a->options.out, "the sound file to write: .wav, .flac, .ogg or .mp3")
        ->required()
        ->type_name("FILE");
    AddArguments(command, a->options, 1, "FILE.mid", "the MIDI file to render");
    return [a] { return RunRender(*a); };
}

const RegisterCommand kRegisterRender(
    "render", SetUpRender,
    std::string("render FILE.mid [--noise FILE] [--midi-level N] [--noise-level N] [--voice soundfont|tone|auto] "
                "[--rate R] [--soundfont FILE.sf2] [--snr DB] [--fading slow|fast [--fading-depth DB]] "
                "[--band quiet|average|contest|poor [--seed N] ") +
        kBandPartsUsage + "] --out FILE.(wav|flac|ogg|mp3)  (renders what the players would sound)");

} // namespace
} // namespace qlor::cli
