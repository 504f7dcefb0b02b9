#pragma once
// The names of the voices a text is played with and of the band presets it is heard through:
// the stored values "Voice" and "Band", qlor-cli's --voice and --band, and the audio engine's
// parsers. Here, below both the settings and the audio engine, so that each reads them without
// the other.
#include <array>
#include <string_view>

namespace qlor {

// "auto" takes the SoundFont when one is installed and the pure tone otherwise.
inline constexpr std::string_view kVoiceAuto = "auto";
inline constexpr std::string_view kVoiceSoundFont = "soundfont";
inline constexpr std::string_view kVoiceTone = "tone";

// In the order of the audio engine's BandPreset; "off" is no band.
inline constexpr std::array<std::string_view, 5> kBandPresetNames = {"off", "quiet", "average", "contest", "poor"};

} // namespace qlor
