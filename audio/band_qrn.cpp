#include "audio/band_qrn.h"

#include "audio/band_fading.h"
#include "audio/portable_math.h"

#include <algorithm>
#include <cmath>

namespace qlor {

Qrn::Qrn(QrnKind kind, int rate, double amplitude) : kind_(kind), rate_(rate), amplitude_(amplitude) {
    const double period = kBandControlFrames / rate_; // [s]
    double spikes = 0, bursts = 0, crashes = 0;       // [per second]
    if (kind == QrnKind::Light) {
        spikes = 3, bursts = 0.08, crashes = 0.1;
        crashLow_ = 0.3, crashHigh_ = 1.2;
    } else if (kind == QrnKind::Heavy) {
        spikes = 25, bursts = 0.5, crashes = 0.4;
        crashLow_ = 0.8, crashHigh_ = 4.0;
    }
    spikeChance_ = spikes * period;
    burstChance_ = bursts * period;
    crashChance_ = crashes * period;
}

void Qrn::Restart(uint64_t seed) {
    random_.Seed(seed, 2);
    count_ = 0;
    burstLeft_ = 0;
}

void Qrn::Start(size_t delayFrames, double amplitude, double attackMs, double decayMs, double lengthDecays) {
    if (count_ == kMaxEvents) {
        return; // the set is full: this one is lost in the others
    }
    Event& e = events_[count_++];
    const double attack = attackMs * 1e-3 * rate_; // [frames]
    const double decay = decayMs * 1e-3 * rate_;
    e.delayFrames = delayFrames;
    e.left = static_cast<uint64_t>(lengthDecays * decay) + 1;
    e.amplitude = amplitude * amplitude_;
    e.rise = 1;
    e.riseStep = portable::Exp(-1.0 / attack);
    e.fall = 1;
    e.fallStep = portable::Exp(-1.0 / decay);
    e.noise.Seed(random_.Next(), 5);
}

// A click of heavy-tailed strength: most are small, a few far above the signal.
void Qrn::Click(size_t delayFrames, double scale) {
    const double u = random_.Between(0.03, 1.0);
    const double strength = std::min(6.0, 0.25 / (u * std::sqrt(u)));
    Start(delayFrames, scale * strength, 0.05, random_.Between(0.3, 2.5), 8);
}

void Qrn::Schedule() {
    if (kind_ == QrnKind::Off) {
        return;
    }
    // Events that have ended leave here, at the period's start, keeping the others' order (the
    // order of the sums), so any cut of the blocks gives the same samples.
    count_ = static_cast<size_t>(std::remove_if(events_.begin(), events_.begin() + static_cast<std::ptrdiff_t>(count_),
                                                [](const Event& ev) { return ev.left == 0; }) -
                                 events_.begin());
    const auto delayFrames = [&] {
        return static_cast<size_t>(random_.Int(0, static_cast<int>(kBandControlFrames) - 1));
    };
    if (random_.Chance(spikeChance_)) {
        Click(delayFrames(), 1.0);
    }
    if (burstLeft_ > 0) {
        --burstLeft_;
        if (random_.Chance(0.15)) {
            Click(delayFrames(), 0.6);
        }
    } else if (random_.Chance(burstChance_)) {
        burstLeft_ = static_cast<uint64_t>(random_.Between(0.05, 0.4) * rate_ / kBandControlFrames);
    }
    if (random_.Chance(crashChance_)) {
        const size_t at = delayFrames();
        Start(at, random_.Between(crashLow_, crashHigh_), random_.Between(2, 8), random_.Between(80, 600), 7);
        const int clicks = random_.Int(3, 8);
        for (int c = 0; c < clicks; ++c) {
            Click(at + static_cast<size_t>(random_.Between(0, 0.08) * rate_), 1.5);
        }
    }
}

void Qrn::Add(double* out, size_t frames) {
    for (size_t e = 0; e < count_; ++e) {
        Event& ev = events_[e];
        size_t i = std::min(ev.delayFrames, frames);
        ev.delayFrames -= i;
        for (; i < frames && ev.left > 0; ++i, --ev.left) {
            out[i] += ev.amplitude * (1.0 - ev.rise) * ev.fall * ev.noise.Signed();
            ev.rise *= ev.riseStep;
            ev.fall *= ev.fallStep;
        }
    }
}

} // namespace qlor
