// qlor-cli noise: generates a looping band-noise recording (hiss, static, QRM or a mix of them)
// that the window can play as its noise, the same bytes for the same seed.
#include "audio/noise_generator.h"
#include "cli/options.h"
#include "synthesis/audio_formats.h"

#include <memory>
#include <string>

namespace qlor::cli {
namespace {

struct NoiseArgs {
    CliOptions options;
    NoiseRecipe recipe;
};

int RunNoise(const NoiseArgs& a) {
    const CliOptions& options = a.options;
    const NoiseRecipe& recipe = a.recipe;
    const AudioFormat* format = AudioFormatOfPath(options.out);
    if (format == nullptr || !format->mono) {
        throw UsageError{"--out: the file must end in .wav, .flac or .ogg"};
    }
    const std::string error = WriteNoiseFile(recipe, options.out);
    if (!error.empty()) {
        PrintFailure(error);
        return 1;
    }
    return 0;
}

Command SetUpNoise(CLI::App& command) {
    auto a = std::make_shared<NoiseArgs>();
    command
        .add_option_function<std::string>(
            "--kind", [a](const std::string& v) { ParseNoiseKind(v, a->recipe.kind); }, "what the noise is made of")
        ->required()
        ->check(NameOf(ParseNoiseKind, "hiss, static, qrm or mix"))
        ->type_name("hiss|static|qrm|mix");
    command.add_option("--seconds", a->recipe.seconds, "length of the loop [s]")
        ->transform(IntIn(Setting::SoundSeconds))
        ->type_name("S");
    command
        .add_option_function<int>(
            "--seed", [a](int v) { a->recipe.seed = static_cast<uint64_t>(v); }, "the same seed makes the same bytes")
        ->transform(IntIn(Setting::Seed))
        ->type_name("N");
    command.add_option("--rate", a->recipe.rate, "sample rate [frames/s]")
        ->transform(IntIn(Setting::SampleRate))
        ->type_name("R");
    AddEncodingOption(command, a->options);
    AddOutOption(command, a->options, "the recording to write: .wav, .flac or .ogg");
    AddArguments(command, a->options);
    return [a] { return RunNoise(*a); };
}

const RegisterCommand
    kRegisterNoise("noise", SetUpNoise,
                   std::string("noise --kind hiss|static|qrm|mix [--seconds S] [--seed N] [--rate R] ") +
                       kEncodingUsage + " --out FILE.(wav|flac|ogg)  (writes a looping band-noise recording)");

} // namespace
} // namespace qlor::cli
