// qlor-cli render: renders a MIDI file (with an optional looping noise) offline to an audio file,
// exactly as the players sound it, faster than real time.
#include "audio/offline_render.h"
#include "audio/signal_to_noise.h"
#include "cli/options.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace qlor::cli {
namespace {

void PrintLine(const std::string& text) {
    const std::string line = "qlor-cli: " + text + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

// A level in decibels such as "-3" or "10.5", inside [min, max] [dB].
double ParseDecibels(const std::string& option, const std::string& text, double min, double max) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value)) {
        throw UsageError{option + ": expected a number of decibels, got '" + text + "'"};
    }
    if (value < min || value > max) {
        throw UsageError{option + ": " + text + " is out of range " + std::to_string(static_cast<int>(min)) + ".." +
                         std::to_string(static_cast<int>(max))};
    }
    return value;
}

int RunRender(const std::vector<std::string>& args) {
    RenderRequest request;
    std::string out;
    std::optional<int> fadingDepth; // [dB]
    std::vector<std::string> positionals;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            positionals.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg;
        std::string inlineValue;
        bool hasInline = false;
        if (const auto eq = arg.find('='); eq != std::string::npos) {
            name = arg.substr(0, eq);
            inlineValue = arg.substr(eq + 1);
            hasInline = true;
        }
        auto value = [&]() -> std::string {
            if (hasInline) {
                return inlineValue;
            }
            if (i + 1 >= args.size()) {
                throw UsageError{name + ": a value is missing"};
            }
            return args[++i];
        };
        if (name == "--noise") {
            request.noisePath = value();
        } else if (name == "--midi-level") {
            request.midiLevel = static_cast<uint16_t>(ParseIntOption(name, value(), 0, 65535));
        } else if (name == "--noise-level") {
            request.noiseLevel = static_cast<uint16_t>(ParseIntOption(name, value(), 0, 65535));
        } else if (name == "--voice") {
            const std::string voice = value();
            if (!ParseVoiceName(voice, request.voice)) {
                throw UsageError{"--voice: expected soundfont, tone or auto, got '" + voice + "'"};
            }
        } else if (name == "--rate") {
            request.rate = ParseIntOption(name, value(), 8000, 192000);
        } else if (name == "--soundfont") {
            request.soundFontPath = value();
        } else if (name == "--snr") {
            request.snrDb = ParseDecibels(name, value(), kMinSnrDb, kMaxSnrDb);
        } else if (name == "--fading") {
            const std::string fading = value();
            if (!ParseFadingName(fading, request.fading)) {
                throw UsageError{"--fading: expected slow or fast, got '" + fading + "'"};
            }
        } else if (name == "--fading-depth") {
            fadingDepth = ParseIntOption(name, value(), 0, static_cast<int>(kMaxFadingDepthDb));
        } else if (name == "--out") {
            out = value();
        } else {
            throw UsageError{"unknown option '" + name + "'"};
        }
    }
    if (positionals.size() != 1) {
        throw UsageError{"render needs exactly one MIDI file"};
    }
    if (out.empty()) {
        throw UsageError{"--out FILE is required"};
    }
    if (OutputFormatFor(out) == 0) {
        throw UsageError{"--out: the file must end in .wav, .flac, .ogg or .mp3"};
    }
    if (request.snrDb && request.noisePath.empty()) {
        throw UsageError{"--snr needs a noise recording (--noise FILE)"};
    }
    if (fadingDepth) {
        if (request.fading == FadingKind::None) {
            throw UsageError{"--fading-depth needs --fading slow|fast"};
        }
        request.fadingDepthDb = *fadingDepth;
    }
    request.midiPath = positionals.front();
    const RenderSummary summary = RenderToFile(request, out);
    if (!summary.warning.empty()) {
        PrintLine(summary.warning);
    }
    if (!summary.ok()) {
        PrintLine(summary.error);
        return 1;
    }
    return 0;
}

const RegisterCommand kRegister(
    "render", RunRender,
    "render FILE.mid [--noise FILE] [--midi-level N] [--noise-level N] [--voice soundfont|tone|auto] [--rate R] "
    "[--soundfont FILE.sf2] [--snr DB] [--fading slow|fast [--fading-depth DB]] --out FILE.(wav|flac|ogg|mp3)  "
    "(renders what the players would sound)");

} // namespace
} // namespace qlor::cli
