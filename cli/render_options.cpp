#include "cli/render_options.h"

#include "cli/options.h"

#include <utility>

namespace qlor::cli {

void AddRenderSoundOptions(CLI::App& command, RenderRequest& request, std::function<void()> given,
                           const std::string& prefix) {
    auto set = [given = std::move(given)](auto apply) {
        return [given, apply](const auto& value) {
            apply(value);
            if (given) {
                given();
            }
        };
    };
    RenderRequest* r = &request;
    command
        .add_option_function<std::string>("--voice", set([r](const std::string& v) { ParseVoiceName(v, r->voice); }),
                                          prefix + "the signal's voice")
        ->check(NameOf(ParseVoiceName, "soundfont, tone or auto"))
        ->type_name("soundfont|tone|auto");
    command
        .add_option_function<std::string>("--noise", set([r](const std::string& v) { r->noisePath = v; }),
                                          prefix + "a noise recording, looped under the signal")
        ->type_name("FILE");
    command
        .add_option_function<int>("--midi-level", set([r](int v) { r->midiLevel = static_cast<uint16_t>(v); }),
                                  prefix + "the level of the signal")
        ->transform(IntIn(Setting::Level))
        ->type_name("N");
    command
        .add_option_function<int>("--noise-level", set([r](int v) { r->noiseLevel = static_cast<uint16_t>(v); }),
                                  prefix + "the level of the noise")
        ->transform(IntIn(Setting::Level))
        ->type_name("N");
}

std::optional<BandSettings> BandChoice::Settings(uint64_t defaultSeed) const {
    if (!preset) {
        if (seed || qsb || stations || qrn || filterHz || agc) {
            throw UsageError{"--seed, --qsb, --qrm, --qrn, --filter and --agc need --band PRESET"};
        }
        return std::nullopt;
    }
    BandSettings band = PresetBand(*preset);
    band.seed = seed.value_or(defaultSeed);
    band.qsb = qsb.value_or(band.qsb);
    band.stations = stations.value_or(band.stations);
    band.closeStations = band.closeStations && band.stations > 0;
    band.qrn = qrn.value_or(band.qrn);
    band.filterHz = filterHz.value_or(band.filterHz);
    band.agc = agc.value_or(band.agc);
    band.snrDb = snrDb.value_or(band.snrDb);
    return band;
}

void AddSeedOption(CLI::App& command, std::optional<uint64_t>& seed, const std::string& meaning) {
    std::optional<uint64_t>* s = &seed;
    command
        .add_option_function<int>(
            "--seed", [s](int v) { *s = static_cast<uint64_t>(v); }, meaning)
        ->transform(IntIn(Setting::Seed))
        ->type_name("N");
}

void AddBandOption(CLI::App& command, BandChoice& band, const std::string& prefix, const std::string& seedMeaning) {
    BandChoice* b = &band;
    command
        .add_option_function<std::string>(
            "--band",
            [b](const std::string& v) {
                BandPreset preset{};
                ParseBandPresetOn(v, preset);
                b->preset = preset;
            },
            prefix + "play the signal through a generated band of these conditions")
        ->check(NameOf(ParseBandPresetOn, "quiet, average, contest or poor"))
        ->type_name("quiet|average|contest|poor");
    AddSeedOption(command, band.seed, seedMeaning);
}

void AddFilterOption(CLI::App& command, std::optional<int>& filterHz, const std::string& prefix) {
    std::optional<int>* f = &filterHz;
    command
        .add_option_function<std::string>(
            "--filter",
            [f](const std::string& v) {
                int width = 0;
                ParseFilterWidth(v, width);
                *f = width;
            },
            prefix + "width of the receiver filter centred on the tone [Hz]")
        ->check(NameOf(ParseFilterWidth, "250, 500 or 2400"))
        ->type_name("250|500|2400");
}

void AddBandPartOptions(CLI::App& command, BandChoice& band) {
    BandChoice* b = &band;
    command
        .add_option_function<std::string>(
            "--qsb",
            [b](const std::string& v) {
                QsbKind kind{};
                ParseQsbName(v, kind);
                b->qsb = kind;
            },
            "with --band: fading of the signal (Rayleigh, slow 0.1 Hz, fast 0.5 Hz, or slow with flutter)")
        ->check(NameOf(ParseQsbName, "off, slow, fast or flutter"))
        ->type_name("off|slow|fast|flutter");
    command
        .add_option_function<int>(
            "--qrm", [b](int v) { b->stations = v; }, "with --band: other stations at most")
        ->transform(IntIn(Setting::BandStations))
        ->type_name("N");
    command
        .add_option_function<std::string>(
            "--qrn",
            [b](const std::string& v) {
                QrnKind kind{};
                ParseQrnName(v, kind);
                b->qrn = kind;
            },
            "with --band: atmospheric noise")
        ->check(NameOf(ParseQrnName, "off, light or heavy"))
        ->type_name("off|light|heavy");
    AddFilterOption(command, band.filterHz, "with --band: ");
    command
        .add_option_function<std::string>(
            "--agc", [b](const std::string& v) { b->agc = v == "on"; }, "with --band: the receiver's AGC")
        ->check(Accepted([](const std::string& v) { return v == "on" || v == "off"; }, "on or off"))
        ->type_name("on|off");
}

} // namespace qlor::cli
