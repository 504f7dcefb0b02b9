#pragma once
// The integer settings that shape a transmission: each digit is held separately and combined
// only when a transmission, competition or export starts.
#include <array>
#include <string>

namespace qlor {

struct TransmissionSettings {
    std::array<int, 4> number{};     // "Number 1".."Number 4": text number digits, left to right
    std::array<int, 3> speed{};      // "Number Speed 1".."Number Speed 3": hundreds, tens, units
    int textType = 0;                // "Morse Text Type" 0..5
    int pauseDelayDots = 0;          // "Pause Delay" 3..15 [dot units]
    int noiseType = 0;               // "Morse Noise Type" 0..4
    std::array<int, 3> groups{};     // "Number Groupe 1".."Number Groupe 3"
    int charInGroup = 0;             // "Char In Groupe" 1..9 (a stored 0 means 10 characters)
    std::array<int, 3> startSpeed{}; // "Start Number Speed 1".."3" (third digit always 0)
    std::array<int, 3> stopSpeed{};  // "Stop Number Speed 1".."3" (third digit always 0)
    std::array<int, 2> files{};      // "Number Files 1", "Number Files 2"
    int midiChannel = 0;             // "Midi Chanell" 0..15
    int midiPatch = 0;               // "Midi Patch" 0..127

    bool operator==(const TransmissionSettings&) const = default;
};

// The values that apply when nothing is stored (the store's default set).
TransmissionSettings DefaultTransmissionSettings();

// Combined values.
int TextNumber(const TransmissionSettings& s);   // 0000..9999
int SpeedValue(const TransmissionSettings& s);   // 0..399, in the selected speed system
int GroupCount(const TransmissionSettings& s);   // 0..199 as shown (0 means 50 when sending)
int GroupsToSend(const TransmissionSettings& s); // GroupCount, with 0 -> 50
int StartSpeed(const TransmissionSettings& s);   // 0..390
int FinalSpeed(const TransmissionSettings& s);   // 0..390
int FileCount(const TransmissionSettings& s);    // 0..99 as shown (0 means 1 when exporting)
// The four digits of a text number 0000..9999, left to right, as `number` holds them.
std::array<int, 4> TextNumberDigits(int number);

// Tone ("Tone", MIDI note number) limits of the tone slider.
inline constexpr int kToneMin = 40;
inline constexpr int kToneMax = 110;
inline constexpr int kToneDefault = 73;

// The full 75-character alphabet (cp1251), default of "Selected symbols string".
const std::string& FullAlphabet();

} // namespace qlor
