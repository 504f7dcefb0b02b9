#pragma once
// The output levels the two volume sliders drive: the level of the Morse signal (the MIDI level)
// and the level of the noise (the wave level). A level is 0..65535; a volume word holds the left
// channel's level in its low 16 bits and the right channel's in its high 16 bits, and the sliders
// always set both channels to the same level.
#include <cstdint>
#include <memory>

class QSlider;

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

// The levels found when the window opens, shown on its two volume sliders and put back when it
// closes.
class CapturedOutputLevels {
public:
    // Reads both levels and shows the left channel's level of each on its slider. Afterwards both
    // channels carry that level: a slider that moves sets it through its change handler, and the
    // level of a slider that already shows it is set here.
    void Capture(OutputLevels& levels, QSlider* midiSlider, QSlider* waveSlider);
    // Puts the captured left channel's levels back, on both channels.
    void Restore(OutputLevels& levels) const;

private:
    std::uint32_t midi_ = 0;
    std::uint32_t wave_ = 0;
};

} // namespace qlor
