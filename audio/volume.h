#pragma once
// The output levels the panel's two sliders drive: this application's own mixer levels (the
// MIDI level scales the text player, the wave level the noise player), not the system's.
// A volume word holds the left level in its low and the right level in its high 16 bits; both
// are always equal. The levels start at full (65535) and change the sound at once.
#include <cstdint>

namespace qlor {

uint32_t GetMidiVolume();
uint32_t GetWaveVolume();
void SetMidiVolume(int level); // level 0..65535 (clamped), both channels
void SetWaveVolume(int level);

} // namespace qlor
