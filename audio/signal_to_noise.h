#pragma once
// Signal-to-noise ratio of a transmission, measured as a receiving operator hears it: in a band of
// kSnrBandHz centred on the tone, the power of the Morse while the key is down against the power
// of the noise. Both are measured at full level; the two levels of the mixer scale them.
#include "audio/band_settings.h"
#include "audio/midi_source.h"
#include "audio/noise_source.h"

#include <cstdint>

namespace qlor {

inline constexpr double kSnrBandHz = 500;          // width of the measuring band [Hz]
inline constexpr double kMinSnrDb = kBandMinSnrDb; // range of `--snr` [dB]
inline constexpr double kMaxSnrDb = kBandMaxSnrDb; // [dB]
inline constexpr double kBandVoiceMeasureS = 20;   // the stretch of a text a band measures its voice on [s]

// Pitch of the first note of a timeline [Hz], 0 when it has none.
double TonePitchHz(const MidiTimeline& timeline);

// Key-down power of the text in the band around `toneHz`: the text is rendered once (from its
// start, up to `limitFrames`; the source is rewound afterwards) and its band power divided by the
// share of the time the key is down. 0 when nothing is keyed.
double KeyDownBandPower(MidiSource& text, double toneHz, uint64_t limitFrames = UINT64_MAX);

// The wanted signal a generated band is built around for this text (BandSignalFor), its
// amplitude that of a sine of the voice's key-down power in the band around the tone: a voice
// with overtones counts what a receiver tuned to it passes, so the band's SNR holds for either
// voice. The first kBandVoiceMeasureS of the text are rendered for it, and the text rewound.
BandSignal BandSignalOfText(MidiSource& text);

// Power of a noise recording in the band around `toneHz`.
double NoiseBandPower(const NoiseClip& clip, double toneHz);

// The ratio in dB of the two powers scaled by the levels (0..65535); +infinity without noise.
double SnrDb(double signalPower, uint16_t midiLevel, double noisePower, uint16_t noiseLevel);

struct MixLevels {
    uint16_t midi = 0;
    uint16_t noise = 0;
};

// Levels that give `snrDb`: the noise level is set for the given MIDI level; when the noise would
// need more than full level, it gets full level and the MIDI level is lowered instead.
MixLevels LevelsForSnr(double signalPower, double noisePower, uint16_t midiLevel, double snrDb);

} // namespace qlor
