#pragma once
// The generated band, run block by block in the mixer on the audio thread and offline alike: the
// wanted signal under QSB, the receiver's hiss, QRN and QRM stations (band_fading.h, band_qrn.h,
// band_stations.h), mixed, then the receiver filter and the AGC (band_receiver.h).
//
// The band is a stream, never a loop: every sample is drawn as it is made, from integer random
// numbers with portable maths and no fused multiply-add, so the same seed gives the same samples
// on every machine, and the same samples however the blocks are cut (the fading and the events
// are drawn on a fixed grid of kBandControlFrames from the band's start).
//
// Levels: the hiss is set from the SNR: the wanted signal's key-down power at its mean strength
// (the QSB's power gain has mean 1) against the hiss power in kBandSnrReferenceHz around the tone.
// The 500 Hz filter passes a noise bandwidth of 506 Hz, so behind it the ratio is the one set
// (0.05 dB less); the 250 Hz filter gains 3 dB, the 2400 Hz filter loses 6.8 dB. QRN and QRM are
// not counted. Everything scales with the wanted signal's level (the mixer's MIDI level). Without
// the AGC the band is scaled once so that its expected level stays 12 dB below full scale.
#include "audio/band_fading.h"
#include "audio/band_qrn.h"
#include "audio/band_receiver.h"
#include "audio/band_settings.h"
#include "audio/band_stations.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace qlor {

class BandGenerator {
public:
    static constexpr size_t kMaxFrames = 1024; // frames of one Process call at most

    // Allocates everything the band will need (window's thread).
    BandGenerator(const BandSettings& settings, const BandSignal& signal);

    // Back to the band's first sample (audio thread: no allocation).
    void Restart();

    // Makes `frames` (up to kMaxFrames) frames of the band: `wanted` (interleaved stereo, at the
    // MIDI level `level`) under QSB, plus `other` (stereo, may be null: noise recordings mixed in
    // before the receiver), plus the band's own parts at `level`, through the filter and the AGC,
    // into `out` (stereo, both channels alike; may be `wanted`).
    void Process(const float* wanted, const float* other, double level, float* out, size_t frames);

    const BandSettings& Settings() const { return settings_; }
    const BandSignal& Signal() const { return signal_; }
    uint64_t Frames() const { return frame_; } // made since the start
    int ActiveStations() const { return stations_.Active(); }
    double FilterCentreHz() const { return filter_.CentreHz(); }
    // Amplitude of the hiss's uniform white noise before the filter, at level 1.
    double HissAmplitude() const { return hiss_; }

private:
    void ControlStep();

    BandSettings settings_;
    BandSignal signal_;
    double hiss_ = 0;      // uniform white noise amplitude
    double fixedGain_ = 1; // without AGC
    Qsb qsb_;
    Qrn qrn_;
    QrmStations stations_;
    ReceiverFilter filter_;
    Agc agc_;
    BandRandom hissRandom_;
    double qsbGain_ = 1, qsbStep_ = 0;
    uint64_t frame_ = 0;
    std::array<double, kMaxFrames> parts_{};
};

} // namespace qlor
