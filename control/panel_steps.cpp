#include "control/panel_steps.h"

#include <algorithm>
#include <array>

namespace qlor {
namespace {

// Where each integer setting stands in the settings table: its entry, and for a value kept as
// digits which digit (0 the highest); -1 for a value kept whole.
struct TablePlace {
    Setting entry;
    int digit;
};

constexpr std::array<TablePlace, kIntSettingCount> kPlaces{{
    {Setting::TextNumber, 0},   // Number1
    {Setting::TextNumber, 1},   // Number2
    {Setting::TextNumber, 2},   // Number3
    {Setting::TextNumber, 3},   // Number4
    {Setting::Speed, 0},        // Speed1
    {Setting::Speed, 1},        // Speed2
    {Setting::Speed, 2},        // Speed3
    {Setting::MidiChannel, -1}, // MidiChannel
    {Setting::MidiPatch, -1},   // MidiPatch
    {Setting::Groups, 0},       // Groups1
    {Setting::Groups, 1},       // Groups2
    {Setting::Groups, 2},       // Groups3
    {Setting::CharInGroup, -1}, // CharInGroup
    {Setting::StartSpeed, 0},   // StartSpeed1
    {Setting::StartSpeed, 1},   // StartSpeed2
    {Setting::StartSpeed, 2},   // StartSpeed3
    {Setting::StopSpeed, 0},    // StopSpeed1
    {Setting::StopSpeed, 1},    // StopSpeed2
    {Setting::StopSpeed, 2},    // StopSpeed3
    {Setting::TextType, -1},    // TextType
    {Setting::PauseDelay, -1},  // PauseDelay
    {Setting::NoiseType, -1},   // NoiseType
    {Setting::Files, 0},        // Files1
    {Setting::Files, 1},        // Files2
}};

constexpr int kTextTypeMax = RangeOf(Setting::TextType).max;
constexpr int kRussianTextType = 1;

} // namespace

IntRange StepRange(IntSetting id) {
    const TablePlace place = kPlaces[static_cast<std::size_t>(id)];
    return place.digit < 0 ? RangeOf(place.entry) : DigitRangeOf(place.entry, place.digit);
}

int& SettingRef(TransmissionSettings& s, IntSetting id) {
    switch (id) {
    case IntSetting::Number1:
        return s.number[0];
    case IntSetting::Number2:
        return s.number[1];
    case IntSetting::Number3:
        return s.number[2];
    case IntSetting::Number4:
        return s.number[3];
    case IntSetting::Speed1:
        return s.speed[0];
    case IntSetting::Speed2:
        return s.speed[1];
    case IntSetting::Speed3:
        return s.speed[2];
    case IntSetting::MidiChannel:
        return s.midiChannel;
    case IntSetting::MidiPatch:
        return s.midiPatch;
    case IntSetting::Groups1:
        return s.groups[0];
    case IntSetting::Groups2:
        return s.groups[1];
    case IntSetting::Groups3:
        return s.groups[2];
    case IntSetting::CharInGroup:
        return s.charInGroup;
    case IntSetting::StartSpeed1:
        return s.startSpeed[0];
    case IntSetting::StartSpeed2:
        return s.startSpeed[1];
    case IntSetting::StartSpeed3:
        return s.startSpeed[2];
    case IntSetting::StopSpeed1:
        return s.stopSpeed[0];
    case IntSetting::StopSpeed2:
        return s.stopSpeed[1];
    case IntSetting::StopSpeed3:
        return s.stopSpeed[2];
    case IntSetting::TextType:
        return s.textType;
    case IntSetting::PauseDelay:
        return s.pauseDelayDots;
    case IntSetting::NoiseType:
        return s.noiseType;
    case IntSetting::Files1:
        return s.files[0];
    case IntSetting::Files2:
        return s.files[1];
    }
    return s.number[0]; // not reached: every enumerator is handled above
}

int SettingValue(const TransmissionSettings& s, IntSetting id) {
    return SettingRef(const_cast<TransmissionSettings&>(s), id);
}

// A value that was already outside the range (an unchecked stored one) is brought back into it
// as well, so a step always ends inside the range.
int StepUp(int value, int min, int max) {
    const long long v = static_cast<long long>(value) + 1;
    if (v > max || v < min) {
        return min;
    }
    return static_cast<int>(v);
}

int StepDown(int value, int min, int max) {
    const long long v = static_cast<long long>(value) - 1;
    if (v < min || v > max) {
        return max;
    }
    return static_cast<int>(v);
}

int StepTextTypeUp(int value, bool english) {
    long long v = static_cast<long long>(value) + 1;
    if (english && v == kRussianTextType) {
        v = kRussianTextType + 1;
    }
    if (v > kTextTypeMax || v < 0) {
        v = 0;
    }
    return static_cast<int>(v);
}

int StepTextTypeDown(int value, bool english) {
    long long v = static_cast<long long>(value) - 1;
    if (english && v == kRussianTextType) {
        v = kRussianTextType - 1;
    }
    if (v < 0 || v > kTextTypeMax) {
        v = kTextTypeMax;
    }
    return static_cast<int>(v);
}

void StepSetting(TransmissionSettings& s, IntSetting id, bool up, bool english) {
    int& value = SettingRef(s, id);
    switch (id) {
    case IntSetting::TextType:
        value = up ? StepTextTypeUp(value, english) : StepTextTypeDown(value, english);
        return;
    case IntSetting::StartSpeed3:
    case IntSetting::StopSpeed3:
        value = 0; // the third digit of a competition speed is always 0
        return;
    default: {
        const IntRange r = StepRange(id);
        value = up ? StepUp(value, r.min, r.max) : StepDown(value, r.min, r.max);
        return;
    }
    }
}

TransmissionSettings ClampToRange(const TransmissionSettings& s) {
    TransmissionSettings out = s;
    for (int i = 0; i < kIntSettingCount; ++i) {
        const auto id = static_cast<IntSetting>(i);
        int& value = SettingRef(out, id);
        const TablePlace place = kPlaces[static_cast<std::size_t>(i)];
        if (value == 0 && place.digit < 0 && !EntryOf(place.entry).zeroMeans.empty()) {
            continue; // a stored 0 that means something of its own ("Char In Groupe": 10 characters)
        }
        const IntRange r = StepRange(id);
        value = std::clamp(value, r.min, r.max);
    }
    return out;
}

int ClampTone(int tone) {
    return std::clamp(tone, RangeOf(Setting::Tone).min, RangeOf(Setting::Tone).max);
}

} // namespace qlor
