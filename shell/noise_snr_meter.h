#pragma once
// The signal-to-noise ratio the operator hears now, measured as `qlor-cli render --snr` sets it:
// the band of 500 Hz around the tone, the Morse while the key is down against the noise
// recording, from the two levels, the voice, the tone and the recording. The band powers are
// measured once per recording, tone and voice and kept.
#include "control/program_texts.h"
#include "synthesis/midi_writer.h"
#include "synthesis/morse_table.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>

namespace qlor {

class NoiseSnrMeter {
public:
    // The ratio [dB] (infinite when one side is silent) of the signal in `voice` and the stored
    // voice name (the voice list's item data) against the recording at `noisePath`, at the two
    // levels. With `measure` false nothing is measured: an unknown ratio is nothing.
    std::optional<double> SnrDb(const MorseTable& table, const QString& noisePath, const MidiVoice& voice,
                                const QString& voiceName, std::uint16_t midiLevel, std::uint16_t noiseLevel,
                                bool measure);

private:
    QString noisePath_;
    QDateTime noiseModified_;
    int noiseTone_ = -1;
    double noise_ = 0;
    QString voice_;
    MidiVoice signalVoice_{};
    bool signalKnown_ = false;
    double signal_ = 0;
};

// The noise slider's tip: with a playable `recording`, its ratio `snr` (nothing while unknown),
// else the no-noise line; the band's own line (empty with the band off) follows it.
QString NoiseSnrToolTip(const ProgramTextTable& texts, bool recording, std::optional<double> snr,
                        const QString& bandLine);

} // namespace qlor
