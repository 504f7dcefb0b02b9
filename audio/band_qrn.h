#pragma once
// QRN: atmospheric noise as impulses of in-band noise. Three kinds of events arrive at random:
// spikes (single clicks dying in a few milliseconds), bursts (a run of clicks over a few tenths
// of a second) and crashes (a body rising in milliseconds and decaying over up to a second,
// with clicks at its front). Each event's envelope scales white noise of its own; events are
// drawn once per control period and kept in a fixed set, so nothing allocates.
#include "audio/band_random.h"
#include "audio/band_settings.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace qlor {

class Qrn {
public:
    Qrn() = default;
    // `amplitude`: the wanted signal's key-down peak, the scale of the events.
    Qrn(QrnKind kind, int rate, double amplitude);
    void Restart(uint64_t seed);
    // Draws the events that start in the next control period.
    void Schedule();
    // Adds `frames` samples (within one control period) to `out`.
    void Add(double* out, size_t frames);
    bool Off() const { return kind_ == QrnKind::Off; }

private:
    struct Event {
        size_t delayFrames = 0; // frames until it starts
        uint64_t left = 0;      // frames it still lasts
        double amplitude = 0;   // peak of its noise
        double rise = 1;        // e^(-t/attack), falls towards 0
        double riseStep = 1;
        double fall = 1; // e^(-t/decay)
        double fallStep = 1;
        BandRandom noise; // its own stream, so the samples do not depend on how blocks are cut
    };
    static constexpr size_t kMaxEvents = 48;
    void Start(size_t delayFrames, double amplitude, double attackMs, double decayMs, double lengthDecays);
    void Click(size_t delayFrames, double scale);

    QrnKind kind_ = QrnKind::Off;
    double rate_ = 48000;
    double amplitude_ = 0;
    double spikeChance_ = 0; // per control period
    double burstChance_ = 0;
    double crashChance_ = 0;
    double crashLow_ = 0, crashHigh_ = 0; // body peak, relative to the signal
    uint64_t burstLeft_ = 0;              // control periods of the running burst
    BandRandom random_;
    std::array<Event, kMaxEvents> events_{};
    size_t count_ = 0;
};

} // namespace qlor
