#include "shell/output_levels.h"

#include "audio/volume.h"

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

} // namespace qlor
