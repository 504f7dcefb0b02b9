#pragma once
// The receiver after the band's mix: a filter centred on the tone and an AGC.
//
// The filter shifts the tone to 0 Hz (multiplying by a complex oscillator), low-passes both
// components by a 12th-order Butterworth of half the width, and shifts back: a band-pass of
// exactly the width, symmetric about the tone (49 dB down 400 Hz off the tone for 500 Hz). Its
// gain at the tone is 1. A filter that would reach below 100 Hz is moved up until its lower edge
// is there (the 2400 Hz filter with the usual tones: 100..2500 Hz), still passing the tone at 1.
//
// The AGC looks ahead kAgcLookAheadMs: each output sample gets a gain no larger than what keeps
// every sample of the look-ahead window at or below kAgcTargetDb, moved smoothly over the
// window (the attack), and recovering with the level detector's kAgcDecayS time constant. No
// peak passes kAgcTargetDb, whatever comes; the gain rises by at most kAgcMaxGainDb.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qlor {

inline constexpr double kFilterLowestHz = 100; // the filter's lower edge stays above this [Hz]
inline constexpr double kAgcLookAheadMs = 3.0; // attack time and delay of the AGC [ms]
inline constexpr double kAgcDecayS = 0.5;      // decay time constant [s]
inline constexpr double kAgcTargetDb = -3.0;   // peaks at most [dBFS]
inline constexpr double kAgcMaxGainDb = 30.0;  // [dB]

class ReceiverFilter {
public:
    ReceiverFilter(int widthHz, double toneHz, int rate);
    void Restart();
    double Step(double x);
    // Keeps the oscillator on the unit circle; called once per control period.
    void Renormalise();
    double CentreHz() const { return centreHz_; }

private:
    struct Section {
        double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    };
    static constexpr int kSections = 6;
    std::array<Section, kSections> sections_{};
    std::array<double, 2 * kSections> stateI_{}; // two states per section
    std::array<double, 2 * kSections> stateQ_{};
    double centreHz_ = 0;
    double gain_ = 1;              // 2 / |gain at the tone| of the shifted low-pass
    double stepC_ = 1, stepS_ = 0; // oscillator turn per frame
    double c_ = 1, s_ = 0;
};

class Agc {
public:
    Agc(int rate, bool enabled);
    void Restart();
    double Step(double x);
    // Delay of the output behind the input [frames] (0 when off).
    size_t DelayFrames() const { return enabled_ ? window_ - 1 : 0; }

private:
    bool enabled_;
    size_t window_ = 1; // look-ahead [frames]
    double target_ = 1;
    double floor_ = 1; // lowest level the detector reports (the gain's ceiling)
    double decay_ = 1; // detector's fall per frame
    double level_ = 0;
    // Ring buffers of the window: the input, and the minimum gains whose running mean is applied.
    static constexpr size_t kRing = 2048;
    std::vector<double> input_;
    std::vector<double> minima_;
    // The running minimum of the allowed gains over the window (indices into allowed_).
    std::vector<double> allowed_;
    std::vector<uint64_t> queue_;
    size_t queueHead_ = 0, queueTail_ = 0;
    double sum_ = 0;
    uint64_t frame_ = 0;
};

} // namespace qlor
