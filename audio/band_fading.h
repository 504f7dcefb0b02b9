#pragma once
// Fading of the band: Rayleigh fading as on a real path (a complex Gaussian process, low-passed to
// the fading bandwidth, whose magnitude is the amplitude) and the QSB of the wanted signal built
// from it: slow (0.1 Hz), fast (0.5 Hz), or slow with auroral flutter (10 Hz) on top. The power
// gain has mean 1, so the signal's mean strength is that of the SNR; its distribution is
// exponential (the 10 % point 9.8 dB and the 1 % point 20 dB below the mean).
//
// Both are stepped once per control period (kBandControlFrames) and never allocate.
#include "audio/band_random.h"
#include "audio/band_settings.h"

#include <cstddef>
#include <cstdint>

namespace qlor {

inline constexpr size_t kBandControlFrames = 32; // fading and scheduling step of the band [frames]

inline constexpr double kSlowQsbHz = 0.1;    // bandwidth of slow QSB [Hz]
inline constexpr double kFastQsbHz = 0.5;    // [Hz]
inline constexpr double kFlutterHz = 10;     // bandwidth of flutter [Hz]
inline constexpr double kFlutterShare = 0.7; // the share of the power that flutters

class RayleighFader {
public:
    RayleighFader() = default;
    // `bandwidthHz` of the fading, stepped `stepsPerSecond` times a second.
    RayleighFader(double bandwidthHz, double stepsPerSecond);
    // Starts anew from `random` (state drawn from the process's own distribution).
    void Restart(BandRandom& random);
    // The next power gain (mean 1), drawing from `random`.
    double NextPower(BandRandom& random);

private:
    double pole_ = 0;      // of each of the two one-pole stages
    double inputGain_ = 1; // white noise of unit variance gives components of variance 1/2
    double i1_ = 0, i2_ = 0, q1_ = 0, q2_ = 0;
};

class Qsb {
public:
    Qsb() = default;
    Qsb(QsbKind kind, int rate);
    void Restart(uint64_t seed);
    // Amplitude gain at the next control step (1 when off).
    double NextGain();
    bool Off() const { return kind_ == QsbKind::Off; }

private:
    QsbKind kind_ = QsbKind::Off;
    BandRandom random_;
    RayleighFader slow_;
    RayleighFader flutter_;
};

} // namespace qlor
