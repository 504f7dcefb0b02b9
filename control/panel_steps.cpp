#include "control/panel_steps.h"

#include <algorithm>
#include <array>

namespace qlor {
namespace {

struct SettingInfo {
    std::string_view name;
    IntRange range;
};

// Indexed by IntSetting. The stored names are kept exactly as the store has always written them.
constexpr std::array<SettingInfo, kIntSettingCount> kSettings{{
    {"Number 1", {0, 9}},
    {"Number 2", {0, 9}},
    {"Number 3", {0, 9}},
    {"Number 4", {0, 9}},
    {"Number Speed 1", {0, 3}},
    {"Number Speed 2", {0, 9}},
    {"Number Speed 3", {0, 9}},
    {"Midi Chanell", {0, 15}},
    {"Midi Patch", {0, 127}},
    {"Number Groupe 1", {0, 1}},
    {"Number Groupe 2", {0, 9}},
    {"Number Groupe 3", {0, 9}},
    {"Char In Groupe", {1, 9}},
    {"Start Number Speed 1", {0, 3}},
    {"Start Number Speed 2", {0, 9}},
    {"Start Number Speed 3", {0, 0}},
    {"Stop Number Speed 1", {0, 3}},
    {"Stop Number Speed 2", {0, 9}},
    {"Stop Number Speed 3", {0, 0}},
    {"Morse Text Type", {0, 5}},
    {"Pause Delay", {3, 15}},
    {"Morse Noise Type", {0, 4}},
    {"Number Files 1", {0, 9}},
    {"Number Files 2", {0, 9}},
}};

const SettingInfo& Info(IntSetting id) {
    return kSettings[static_cast<std::size_t>(id)];
}

constexpr int kTextTypeMax = 5;
constexpr int kRussianTextType = 1;

} // namespace

std::string_view StoredName(IntSetting id) {
    return Info(id).name;
}

IntRange StepRange(IntSetting id) {
    return Info(id).range;
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
        return s.pauseDelay;
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
        if (id == IntSetting::CharInGroup && value == 0) {
            continue; // a stored 0 means groups of 10 characters
        }
        const IntRange r = StepRange(id);
        value = std::clamp(value, r.min, r.max);
    }
    return out;
}

int ClampTone(int tone) {
    return std::clamp(tone, kToneMin, kToneMax);
}

} // namespace qlor
