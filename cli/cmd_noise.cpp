// qlor-cli noise: generates a looping band-noise recording (hiss, static, QRM or a mix of them)
// that the window can play as its noise, the same bytes for the same seed.
#include "audio/noise_generator.h"
#include "audio/offline_render.h"
#include "cli/options.h"

#include <sndfile.h>

#include <cstdio>
#include <string>

namespace qlor::cli {
namespace {

int RunNoise(const std::vector<std::string>& args) {
    NoiseRecipe recipe;
    bool kindGiven = false;
    const CliOptions options = ParseOptions(args, kOutOption, [&](const std::string& name, const auto& value) {
        if (name == "--kind") {
            const std::string kind = value();
            if (!ParseNoiseKind(kind, recipe.kind)) {
                throw UsageError{"--kind: expected hiss, static, qrm or mix, got '" + kind + "'"};
            }
            kindGiven = true;
        } else if (name == "--seconds") {
            recipe.seconds = ParseIntOption(name, value(), kNoiseMinSeconds, kNoiseMaxSeconds);
        } else if (name == "--seed") {
            recipe.seed = static_cast<uint64_t>(ParseIntOption(name, value(), 0, 2147483647));
        } else if (name == "--rate") {
            recipe.rate = ParseIntOption(name, value(), kNoiseMinRate, kNoiseMaxRate);
        } else {
            return false;
        }
        return true;
    });
    if (!kindGiven) {
        throw UsageError{"--kind hiss|static|qrm|mix is required"};
    }
    const int type = OutputFormatFor(options.out) & SF_FORMAT_TYPEMASK;
    if (type != SF_FORMAT_RF64 && type != SF_FORMAT_FLAC && type != SF_FORMAT_OGG) {
        throw UsageError{"--out: the file must end in .wav, .flac or .ogg"};
    }
    const std::string error = WriteNoiseFile(recipe, options.out);
    if (!error.empty()) {
        const std::string line = "qlor-cli: " + error + "\n";
        std::fwrite(line.data(), 1, line.size(), stderr);
        return 1;
    }
    return 0;
}

const RegisterCommand kRegister("noise", RunNoise,
                                "noise --kind hiss|static|qrm|mix [--seconds S] [--seed N] [--rate R] "
                                "--out FILE.(wav|flac|ogg)  (writes a looping band-noise recording)");

} // namespace
} // namespace qlor::cli
