#pragma once
// Rules of the step buttons: every integer setting is stepped by one and wraps at both ends.
#include "synthesis/settings_table.h"
#include "synthesis/transmission_settings.h"

#include <string_view>

namespace qlor {

// Every integer setting of TransmissionSettings, in the store's write order (the store names them).
enum class IntSetting {
    Number1,
    Number2,
    Number3,
    Number4,
    Speed1,
    Speed2,
    Speed3,
    MidiChannel,
    MidiPatch,
    Groups1,
    Groups2,
    Groups3,
    CharInGroup,
    StartSpeed1,
    StartSpeed2,
    StartSpeed3,
    StopSpeed1,
    StopSpeed2,
    StopSpeed3,
    TextType,
    PauseDelay,
    NoiseType,
    Files1,
    Files2,
};
inline constexpr int kIntSettingCount = 24;

// The range the step buttons keep: the settings table's, digit by digit for a value kept as digits.
IntRange StepRange(IntSetting id);
int& SettingRef(TransmissionSettings& s, IntSetting id);
int SettingValue(const TransmissionSettings& s, IntSetting id);

int StepUp(int value, int min, int max);   // +1; above max -> min
int StepDown(int value, int min, int max); // -1; below min -> max
// Text type 0..5; while the interface is English the buttons skip type 1 ("R").
int StepTextTypeUp(int value, bool english);
int StepTextTypeDown(int value, bool english);
// Steps one setting in place by the rule of its buttons (text type included; the fixed third
// digits of the competition speeds are set to 0).
void StepSetting(TransmissionSettings& s, IntSetting id, bool up, bool english);

// Brings every integer setting into its range (values loaded from the store are unchecked:
// a stored channel of 200 or a negative "Pause Delay" must never reach the MIDI writer).
// Out-of-range values are clamped to the nearest bound; the third digits of the competition
// speeds become 0; "Char In Groupe" keeps a stored 0, which means 10 characters.
TransmissionSettings ClampToRange(const TransmissionSettings& s);
int ClampTone(int tone); // 40..110

} // namespace qlor
