#pragma once
// The pitch of a MIDI note: equal temperament, note 69 (A4) at 440 Hz, 12 notes an octave.
#include "audio/portable_math.h"

#include <cmath>
#include <numbers>

namespace qlor {

// [Hz] by the C library's exp2: the pure tone, the SoundFont's rumble filter, the signal-to-noise
// measurement and the render checks. Their recorded sums and hashes were taken with it, so it stays.
inline double NoteHz(int note) {
    return 440.0 * std::exp2((note - 69) / 12.0);
}

// [Hz] by the portable exponential: the generated band, whose bytes are the same on every machine
// for a seed (libm's exp2 may round the last bit differently per processor). Its last bit may differ
// from NoteHz's, so the two stay apart; the band's sources are compiled without fused multiply-add.
inline double NoteHzPortable(int note) {
    return 440.0 * portable::Exp((note - 69) / 12.0 * std::numbers::ln2);
}

} // namespace qlor
