#include "audio/signal_to_noise.h"

#include "audio/mixer.h"
#include "audio/note_pitch.h"
#include "audio/welch_power.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace qlor {
namespace {

constexpr size_t kSpectrumSize = 8192; // [frames]

double InBand(const std::vector<double>& spectrum, int rate, double toneHz) {
    return BandPower(spectrum, rate, toneHz - kSnrBandHz / 2, toneHz + kSnrBandHz / 2);
}

uint16_t ToLevel(double gain) {
    return static_cast<uint16_t>(std::clamp(std::lround(gain * kFullLevel), 0L, static_cast<long>(kFullLevel)));
}

} // namespace

double TonePitchHz(const MidiTimeline& timeline) {
    for (const TimedEvent& event : timeline.events) {
        if ((event.status & 0xF0) == 0x90) {
            return NoteHz(event.data1);
        }
    }
    return 0;
}

double KeyDownBandPower(MidiSource& text, double toneHz, uint64_t limitFrames) {
    const MidiTimeline& timeline = text.Timeline();
    const uint64_t length = std::min(limitFrames, timeline.lengthFrames);
    const auto end = static_cast<double>(length);
    double keyDown = 0; // [frames] within the stretch measured
    for (const TimedEvent& event : timeline.events) {
        if ((event.status & 0xF0) == 0x90) {
            const double off =
                event.partner != kNoPartner ? timeline.events[event.partner].exactFrame : timeline.lengthExactFrames;
            keyDown += std::max(0.0, std::min(off, end) - event.exactFrame);
        }
    }
    if (keyDown <= 0 || length == 0) {
        return 0;
    }
    text.Rewind();
    WelchAccumulator welch(kSpectrumSize);
    std::vector<float> block(2 * 4096);
    uint64_t made = 0;
    while (made < length) {
        const size_t now = text.Render(block.data(), std::min<uint64_t>(4096, length - made));
        if (now == 0) {
            break;
        }
        welch.Add(block.data(), now, 2);
        made += now;
    }
    text.Rewind();
    // The band power is averaged over the stretch; the key is down for keyDown frames of it.
    return InBand(welch.Spectrum(), timeline.rate, toneHz) * static_cast<double>(made) / keyDown;
}

BandSignal BandSignalOfText(MidiSource& text) {
    BandSignal signal = BandSignalFor(text.Timeline());
    const double power = KeyDownBandPower(
        text, signal.toneHz, static_cast<uint64_t>(kBandVoiceMeasureS * static_cast<double>(text.Timeline().rate)));
    if (power > 0) {
        signal.amplitude = std::sqrt(2.0 * power);
    }
    return signal;
}

double NoiseBandPower(const NoiseClip& clip, double toneHz) {
    const std::vector<double> spectrum =
        WelchSpectrum(clip.samples.data(), clip.frames, static_cast<size_t>(clip.channels), kSpectrumSize);
    return InBand(spectrum, clip.rate, toneHz);
}

double SnrDb(double signalPower, uint16_t midiLevel, double noisePower, uint16_t noiseLevel) {
    const double signal = signalPower * std::pow(midiLevel / double(kFullLevel), 2);
    const double noise = noisePower * std::pow(noiseLevel / double(kFullLevel), 2);
    if (noise <= 0) {
        return std::numeric_limits<double>::infinity();
    }
    if (signal <= 0) {
        return -std::numeric_limits<double>::infinity();
    }
    return 10.0 * std::log10(signal / noise);
}

MixLevels LevelsForSnr(double signalPower, double noisePower, uint16_t midiLevel, double snrDb) {
    MixLevels levels{midiLevel, 0};
    if (signalPower <= 0 || noisePower <= 0) {
        return levels;
    }
    // signal gain^2 * signalPower / (noise gain^2 * noisePower) = 10^(snr / 10)
    const double ratio = std::sqrt(signalPower / (noisePower * std::pow(10.0, snrDb / 10.0)));
    const double midiGain = midiLevel / double(kFullLevel);
    const double noiseGain = midiGain * ratio;
    if (noiseGain <= 1.0) {
        levels.noise = ToLevel(noiseGain);
    } else {
        levels.noise = kFullLevel;
        levels.midi = ToLevel(1.0 / ratio);
    }
    return levels;
}

} // namespace qlor
