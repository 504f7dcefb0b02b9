#include "shell/output_levels.h"

#include "audio/volume.h"

#include <QSlider>

namespace qlor {
namespace {

// The text player's and the noise player's levels in the audio engine's mixer.
class MixerOutputLevels : public OutputLevels {
public:
    std::uint32_t GetMidiVolume() override { return qlor::GetMidiVolume(); }
    std::uint32_t GetWaveVolume() override { return qlor::GetWaveVolume(); }
    void SetMidiVolume(int level) override { qlor::SetMidiVolume(level); }
    void SetWaveVolume(int level) override { qlor::SetWaveVolume(level); }
};

} // namespace

std::unique_ptr<OutputLevels> MakeApplicationOutputLevels() {
    return std::make_unique<MixerOutputLevels>();
}

void CapturedOutputLevels::Capture(OutputLevels& levels, QSlider* midiSlider, QSlider* waveSlider) {
    midi_ = levels.GetMidiVolume();
    wave_ = levels.GetWaveVolume();
    if (const int level = LowLevel(midi_); midiSlider->value() == level)
        levels.SetMidiVolume(level);
    else
        midiSlider->setValue(level);
    if (const int level = LowLevel(wave_); waveSlider->value() == level)
        levels.SetWaveVolume(level);
    else
        waveSlider->setValue(level);
}

void CapturedOutputLevels::Restore(OutputLevels& levels) const {
    levels.SetMidiVolume(LowLevel(midi_));
    levels.SetWaveVolume(LowLevel(wave_));
}

} // namespace qlor
