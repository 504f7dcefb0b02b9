#pragma once
// The options that say how a sound file is rendered, written once for `render` and for the sound
// files of `export --audio`.
#include "audio/offline_render.h"

#include <CLI/CLI.hpp>

#include <functional>
#include <optional>

namespace qlor::cli {

// --voice --noise --midi-level --noise-level into `request`; `given` (when set) is called for each
// of them given. `prefix` goes in front of each meaning in the help ("with --audio: ").
void AddRenderSoundOptions(CLI::App& command, RenderRequest& request, std::function<void()> given = {},
                           const std::string& prefix = "");

// The generated band of `render` and `export`: a preset and the parts set on their own.
struct BandChoice {
    std::optional<BandPreset> preset;
    std::optional<uint64_t> seed;
    std::optional<QsbKind> qsb;
    std::optional<int> stations;
    std::optional<QrnKind> qrn;
    std::optional<int> filterHz;
    std::optional<bool> agc;
    std::optional<double> snrDb;

    // The band asked for, or nothing without --band (then a part given alone is a UsageError).
    // Without --seed the seed is `defaultSeed`.
    std::optional<BandSettings> Settings(uint64_t defaultSeed) const;
};

inline constexpr const char* kBandPartsUsage =
    "[--qsb off|slow|fast|flutter] [--qrm N] [--qrn off|light|heavy] [--filter 250|500|2400] [--agc on|off]";

// --band P and --seed N; `seedMeaning` says what the seed is by default.
void AddBandOption(CLI::App& command, BandChoice& band, const std::string& prefix, const std::string& seedMeaning);
// --qsb --qrm --qrn --filter --agc.
void AddBandPartOptions(CLI::App& command, BandChoice& band);
// --filter 250|500|2400 alone; `prefix` goes in front of its meaning.
void AddFilterOption(CLI::App& command, std::optional<int>& filterHz, const std::string& prefix = "");
// --seed N.
void AddSeedOption(CLI::App& command, std::optional<uint64_t>& seed, const std::string& meaning);

} // namespace qlor::cli
