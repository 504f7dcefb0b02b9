#pragma once
// What a generated band is made of: the receiver's hiss at a signal-to-noise ratio, QSB on the
// wanted signal, QRN, QRM stations, the receiver filter and the AGC. Four presets name the usual
// conditions; each part can then be set on its own. Names are those of the command line.
#include "synthesis/settings_table.h"

#include <cstdint>
#include <string>

namespace qlor {

struct MidiTimeline;

enum class BandPreset { Off, Quiet, Average, Contest, Poor };
enum class QsbKind { Off, Slow, Fast, Flutter };
enum class QrnKind { Off, Light, Heavy };

// "off" "quiet" "average" "contest" "poor"; "off" "slow" "fast" "flutter"; "off" "light" "heavy".
const char* BandPresetName(BandPreset preset);
bool ParseBandPreset(const std::string& name, BandPreset& preset);
bool ParseBandPresetOn(const std::string& name, BandPreset& preset); // any but "off"
const char* QsbName(QsbKind kind);
bool ParseQsbName(const std::string& name, QsbKind& kind);
const char* QrnName(QrnKind kind);
bool ParseQrnName(const std::string& name, QrnKind& kind);
// "250" "500" "2400".
bool ParseFilterWidth(const std::string& name, int& widthHz);

inline constexpr int kMaxBandStations = RangeOf(Setting::BandStations).max; // QRM stations at most
inline constexpr int kBandFilterWidthsHz[] = {250, 500, 2400};
inline constexpr double kBandMinSnrDb = RangeOf(Setting::Snr).min; // [dB]
inline constexpr double kBandMaxSnrDb = RangeOf(Setting::Snr).max; // [dB]
// The noise bandwidth the SNR refers to: the receiver's hiss is counted in this band centred on
// the tone [Hz] (the band of the signal-to-noise measure of noise recordings as well).
inline constexpr double kBandSnrReferenceHz = 500;

struct BandSettings {
    QsbKind qsb = QsbKind::Off;
    QrnKind qrn = QrnKind::Off;
    int stations = 0;           // QRM stations, 0..kMaxBandStations
    bool closeStations = false; // stations crowd 50..300 Hz from the tone (a contest), else 50..800 Hz
    int filterHz = 500;         // receiver filter width: 250, 500 or 2400 [Hz]
    bool agc = true;
    double snrDb = 20; // of the wanted signal at its mean strength against the hiss [dB]
    uint64_t seed = 1; // the same seed, the same band
};

// The parts of a preset (Off gives a band of hiss only at 60 dB; callers treat Off as no band).
BandSettings PresetBand(BandPreset preset);

// The wanted signal the band is built around: its pitch, speed and key-down amplitude at full
// level (the pure tone's; the SoundFont voice is scaled to the same loudness).
struct BandSignal {
    int rate = 48000;        // [frames/s]
    double toneHz = 554.365; // [Hz]
    double speedCpm = 60;    // [cpm]
    double amplitude = 0.45; // key-down peak of a sine at full level
};

// The signal of a song: the first note's pitch and velocity, the speed from its shortest note
// (a dot). A song without notes gives the default tone at 60 cpm.
BandSignal BandSignalFor(const MidiTimeline& timeline);
// The signal of the program's own Morse files at MIDI note `tone` and `speedCpm`.
BandSignal BandSignalForTone(int rate, int tone, double speedCpm);

} // namespace qlor
