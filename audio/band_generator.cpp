#include "audio/band_generator.h"

#include "audio/portable_math.h"

#include <algorithm>
#include <cmath>

namespace qlor {
namespace {

constexpr double kUnscaledRmsDb = -12; // expected level of a band without AGC [dBFS]

} // namespace

BandGenerator::BandGenerator(const BandSettings& settings, const BandSignal& signal)
    : settings_(settings), signal_(signal), qsb_(settings.qsb, signal.rate),
      qrn_(settings.qrn, signal.rate, signal.amplitude), stations_(settings.stations, settings.closeStations, signal),
      filter_(settings.filterHz, signal.toneHz, signal.rate), agc_(signal.rate, settings.agc) {
    // Uniform white noise in [-h, h) has power h^2 / 3 spread over rate / 2, so in the reference
    // band 2 h^2 B / (3 rate); that is the key-down power A^2 / 2 less the SNR.
    const double snr = std::clamp(settings.snrDb, kBandMinSnrDb, kBandMaxSnrDb);
    const double down = portable::DbToGain(-snr);
    hiss_ = signal.amplitude * std::sqrt(3.0 * signal.rate / (4.0 * kBandSnrReferenceHz)) * down;
    if (!settings.agc) {
        // Signal, hiss in the filter's width and the stations at their mean strength (-8 dB).
        const double keyDown = signal.amplitude * signal.amplitude / 2;
        const double power =
            keyDown * (1.0 + down * down * settings.filterHz / kBandSnrReferenceHz + 0.16 * settings.stations);
        fixedGain_ = std::min(1.0, portable::DbToGain(kUnscaledRmsDb) / std::sqrt(power));
    }
    Restart();
}

void BandGenerator::Restart() {
    const uint64_t seed = settings_.seed;
    hissRandom_.Seed(seed, 1);
    qsb_.Restart(seed);
    qsbGain_ = qsb_.NextGain();
    qsbStep_ = 0;
    qrn_.Restart(seed);
    stations_.Restart(seed);
    filter_.Restart();
    agc_.Restart();
    frame_ = 0;
}

void BandGenerator::ControlStep() {
    const double next = qsb_.NextGain();
    qsbStep_ = (next - qsbGain_) / static_cast<double>(kBandControlFrames);
    qrn_.Schedule();
    stations_.Schedule();
    filter_.Renormalise();
}

void BandGenerator::Process(const float* wanted, const float* other, double level, float* out, size_t frames) {
    size_t done = 0;
    while (done < frames) {
        const auto phase = static_cast<size_t>(frame_ % kBandControlFrames);
        if (phase == 0) {
            ControlStep();
        }
        const size_t n = std::min(frames - done, kBandControlFrames - phase);
        double* parts = parts_.data();
        for (size_t i = 0; i < n; ++i) {
            parts[i] = hiss_ * hissRandom_.Signed();
        }
        qrn_.Add(parts, n);
        stations_.Add(parts, n);
        for (size_t i = 0; i < n; ++i) {
            const size_t k = 2 * (done + i);
            double x = 0.5 * (static_cast<double>(wanted[k]) + wanted[k + 1]) * qsbGain_ + level * parts[i];
            qsbGain_ += qsbStep_;
            if (other != nullptr) {
                x += 0.5 * (static_cast<double>(other[k]) + other[k + 1]);
            }
            const auto y = static_cast<float>(agc_.Step(fixedGain_ * filter_.Step(x)));
            out[k] = y;
            out[k + 1] = y;
        }
        done += n;
        frame_ += n;
    }
}

} // namespace qlor
