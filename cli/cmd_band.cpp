// qlor-cli band: writes a generated band alone (hiss, QRN, QRM stations) through the receiver
// filter and AGC, as a learner would hear it between the signals; the same bytes for the same seed.
#include "audio/offline_render.h"
#include "cli/options.h"
#include "cli/render_options.h"
#include "synthesis/transmission_settings.h"

#include <memory>
#include <optional>
#include <string>

namespace qlor::cli {
namespace {

constexpr double kBandSpeedCpm = 100; // the wanted speed the stations are keyed around [cpm]

struct BandArgs {
    CliOptions options;
    BandPreset preset = BandPreset::Quiet;
    int seconds = DefaultOf(Setting::SoundSeconds); // [s]
    int rate = DefaultOf(Setting::SampleRate);      // [frames/s]
    int tone = DefaultOf(Setting::Tone);
    std::optional<uint64_t> seed;
    std::optional<int> filterHz;
};

int RunBand(const BandArgs& a) {
    if (OutputFormatFor(a.options.out) == 0) {
        throw UsageError{"--out: the file must end in .wav, .flac, .ogg or .mp3"};
    }
    BandSettings settings = PresetBand(a.preset);
    settings.seed = a.seed.value_or(static_cast<uint64_t>(DefaultOf(Setting::Seed)));
    settings.filterHz = a.filterHz.value_or(settings.filterHz);
    const BandSignal signal = BandSignalForTone(a.rate, a.tone, kBandSpeedCpm);
    if (signal.toneHz >= a.rate / 2.0) {
        PrintFailure("The tone is at or above half the output rate of " + std::to_string(a.rate) +
                     " Hz: choose a higher rate.");
        return 1;
    }
    const uint64_t frames = static_cast<uint64_t>(a.seconds) * static_cast<uint64_t>(a.rate);
    const RenderSummary summary = WriteSoundFile(
        a.options.out, a.rate, [&](const FrameSink& sink) { return RenderBand(settings, signal, frames, sink); });
    if (!summary.ok()) {
        PrintFailure(summary.error);
        return 1;
    }
    return 0;
}

Command SetUpBand(CLI::App& command) {
    auto a = std::make_shared<BandArgs>();
    command
        .add_option_function<std::string>(
            "--preset", [a](const std::string& v) { ParseBandPresetOn(v, a->preset); }, "the band's conditions")
        ->required()
        ->check(NameOf(ParseBandPresetOn, "quiet, average, contest or poor"))
        ->type_name("quiet|average|contest|poor");
    command.add_option("--seconds", a->seconds, "length [s]")->transform(IntIn(Setting::SoundSeconds))->type_name("S");
    AddSeedOption(command, a->seed, "the same seed makes the same bytes");
    command.add_option("--rate", a->rate, "sample rate [frames/s]")
        ->transform(IntIn(Setting::SampleRate))
        ->type_name("R");
    AddFilterOption(command, a->filterHz);
    command.add_option("--tone", a->tone, "the signal's MIDI note: the filter's centre")
        ->transform(IntIn(Setting::Tone))
        ->type_name("NOTE");
    AddOutOption(command, a->options, "the sound file to write: .wav, .flac, .ogg or .mp3");
    AddArguments(command, a->options);
    return [a] { return RunBand(*a); };
}

const RegisterCommand kRegisterBand("band", SetUpBand,
                                    "band --preset quiet|average|contest|poor [--seconds S] [--seed N] [--rate R] "
                                    "[--filter 250|500|2400] [--tone NOTE] --out FILE.(wav|flac|ogg|mp3)  "
                                    "(writes the band alone, through the receiver filter)");

} // namespace
} // namespace qlor::cli
