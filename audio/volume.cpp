#include "audio/volume.h"

#include "audio/audio_engine.h"

#include <algorithm>

namespace qlor {
namespace {

uint32_t Word(uint16_t level) {
    return static_cast<uint32_t>(level) * 65537u;
}
uint16_t Clamp(int level) {
    return static_cast<uint16_t>(std::clamp(level, 0, 65535));
}

} // namespace

uint32_t GetMidiVolume() {
    return Word(AudioEngine::Shared().GetMixer().Level(kTextSlot));
}
uint32_t GetWaveVolume() {
    return Word(AudioEngine::Shared().GetMixer().Level(kNoiseSlot));
}
void SetMidiVolume(int level) {
    AudioEngine::Shared().GetMixer().SetLevel(kTextSlot, Clamp(level));
}
void SetWaveVolume(int level) {
    AudioEngine::Shared().GetMixer().SetLevel(kNoiseSlot, Clamp(level));
}

} // namespace qlor
