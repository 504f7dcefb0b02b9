#pragma once
// The output levels the two volume sliders drive: the level of the Morse signal (the MIDI level)
// and the level of the noise (the wave level). A level is 0..65535; a volume word holds the left
// channel's level in its low 16 bits and the right channel's in its high 16 bits, and the sliders
// always set both channels to the same level.
#include <cstdint>
#include <memory>

namespace qlor {

inline constexpr int kMaxOutputLevel = 65535;

// Both channels at one level.
constexpr std::uint32_t VolumeWord(int level) {
    return static_cast<std::uint32_t>(level & 0xFFFF) * 65537u;
}
// The left channel's level of a volume word (what a slider shows).
constexpr int LowLevel(std::uint32_t word) {
    return static_cast<int>(word & 0xFFFFu);
}

class OutputLevels {
public:
    virtual ~OutputLevels() = default;
    virtual std::uint32_t GetMidiVolume() = 0;
    virtual std::uint32_t GetWaveVolume() = 0;
    virtual void SetMidiVolume(int level) = 0; // level 0..65535, both channels
    virtual void SetWaveVolume(int level) = 0;
};

// The levels of the application's audio mixer.
std::unique_ptr<OutputLevels> MakeApplicationOutputLevels();

} // namespace qlor
