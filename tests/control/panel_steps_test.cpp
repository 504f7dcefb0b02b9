#include "control/panel_steps.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <vector>

namespace qlor {
namespace {

constexpr bool kEnglish = true;
constexpr bool kOther = false;

std::vector<int> Walk(int start, int steps, int (*step)(int, bool), bool english) {
    std::vector<int> out{start};
    for (int i = 0; i < steps; ++i) {
        out.push_back(step(out.back(), english));
    }
    return out;
}

TEST(PanelSteps, EverySettingHasItsOwnField) {
    TransmissionSettings s;
    for (int i = 0; i < kIntSettingCount; ++i) {
        SettingRef(s, static_cast<IntSetting>(i)) = 100 + i;
    }
    std::set<int> seen;
    for (int i = 0; i < kIntSettingCount; ++i) {
        EXPECT_EQ(SettingValue(s, static_cast<IntSetting>(i)), 100 + i);
        seen.insert(SettingValue(s, static_cast<IntSetting>(i)));
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kIntSettingCount));
    EXPECT_EQ(s.midiChannel, 100 + static_cast<int>(IntSetting::MidiChannel));
    EXPECT_EQ(s.groups[0], 100 + static_cast<int>(IntSetting::Groups1));
    EXPECT_EQ(s.stopSpeed[2], 100 + static_cast<int>(IntSetting::StopSpeed3));
    EXPECT_EQ(s.files[1], 100 + static_cast<int>(IntSetting::Files2));
}

TEST(PanelSteps, Ranges) {
    EXPECT_EQ(StepRange(IntSetting::Speed1).max, 3);
    EXPECT_EQ(StepRange(IntSetting::Groups1).max, 1);
    EXPECT_EQ(StepRange(IntSetting::CharInGroup).min, 1);
    EXPECT_EQ(StepRange(IntSetting::PauseDelay).min, 3);
    EXPECT_EQ(StepRange(IntSetting::PauseDelay).max, 15);
    EXPECT_EQ(StepRange(IntSetting::NoiseType).max, 4);
    EXPECT_EQ(StepRange(IntSetting::MidiChannel).max, 15);
    EXPECT_EQ(StepRange(IntSetting::MidiPatch).max, 127);
    EXPECT_EQ(StepRange(IntSetting::StartSpeed3).max, 0);
}

TEST(PanelSteps, WrapAtBothEnds) {
    EXPECT_EQ(StepUp(9, 0, 9), 0);
    EXPECT_EQ(StepUp(4, 0, 9), 5);
    EXPECT_EQ(StepDown(0, 0, 9), 9);
    EXPECT_EQ(StepUp(15, 3, 15), 3);
    EXPECT_EQ(StepDown(3, 3, 15), 15);
    EXPECT_EQ(StepUp(9, 1, 9), 1);
    EXPECT_EQ(StepDown(1, 1, 9), 9);
    EXPECT_EQ(StepUp(0, 0, 1), 1);
    EXPECT_EQ(StepUp(1, 0, 1), 0);
    EXPECT_EQ(StepDown(0, 0, 1), 1);
    EXPECT_EQ(StepDown(1, 0, 1), 0);
    // Unchecked values out of range end inside it, without overflow.
    EXPECT_EQ(StepDown(200, 0, 15), 15);
    EXPECT_EQ(StepUp(-4, 3, 15), 3);
    EXPECT_EQ(StepUp(INT_MAX, 0, 9), 0);
    EXPECT_EQ(StepDown(INT_MIN, 0, 9), 9);
}

TEST(PanelSteps, StepSettingFollowsEachButtonPair) {
    TransmissionSettings s = DefaultTransmissionSettings();
    s.speed[1] = 9;
    StepSetting(s, IntSetting::Speed2, true, kEnglish);
    EXPECT_EQ(s.speed[1], 0);
    s.pauseDelayDots = 15;
    StepSetting(s, IntSetting::PauseDelay, true, kEnglish);
    EXPECT_EQ(s.pauseDelayDots, 3);
    StepSetting(s, IntSetting::PauseDelay, false, kEnglish);
    EXPECT_EQ(s.pauseDelayDots, 15);
    s.charInGroup = 1;
    StepSetting(s, IntSetting::CharInGroup, false, kEnglish);
    EXPECT_EQ(s.charInGroup, 9);
    s.midiPatch = 127;
    StepSetting(s, IntSetting::MidiPatch, true, kEnglish);
    EXPECT_EQ(s.midiPatch, 0);
    s.midiChannel = 0;
    StepSetting(s, IntSetting::MidiChannel, false, kEnglish);
    EXPECT_EQ(s.midiChannel, 15);
    // The third digits of the competition speeds are set to 0 by either button.
    s.startSpeed[2] = 7;
    StepSetting(s, IntSetting::StartSpeed3, true, kEnglish);
    EXPECT_EQ(s.startSpeed[2], 0);
    s.stopSpeed[2] = 4;
    StepSetting(s, IntSetting::StopSpeed3, false, kOther);
    EXPECT_EQ(s.stopSpeed[2], 0);
    // Text type goes through its own rule.
    s.textType = 0;
    StepSetting(s, IntSetting::TextType, true, kEnglish);
    EXPECT_EQ(s.textType, 2);
    StepSetting(s, IntSetting::TextType, false, kOther);
    EXPECT_EQ(s.textType, 1);
}

TEST(PanelSteps, TextTypeSkipsRussianInEnglish) {
    EXPECT_EQ(Walk(0, 6, StepTextTypeUp, kEnglish), (std::vector<int>{0, 2, 3, 4, 5, 0, 2}));
    EXPECT_EQ(Walk(5, 6, StepTextTypeDown, kEnglish), (std::vector<int>{5, 4, 3, 2, 0, 5, 4}));
    EXPECT_EQ(Walk(0, 7, StepTextTypeUp, kOther), (std::vector<int>{0, 1, 2, 3, 4, 5, 0, 1}));
    EXPECT_EQ(Walk(0, 7, StepTextTypeDown, kOther), (std::vector<int>{0, 5, 4, 3, 2, 1, 0, 5}));
    // A stored 1 stays until a button moves it, and then leaves the way the buttons go.
    EXPECT_EQ(StepTextTypeUp(1, kEnglish), 2);
    EXPECT_EQ(StepTextTypeDown(1, kEnglish), 0);
    EXPECT_EQ(StepTextTypeUp(17, kEnglish), 0);
    EXPECT_EQ(StepTextTypeDown(-3, kEnglish), 5);
}

TEST(PanelSteps, ClampToRangeMendsStoredValues) {
    TransmissionSettings s = DefaultTransmissionSettings();
    EXPECT_EQ(ClampToRange(s), s);

    s.midiChannel = 200;
    s.pauseDelayDots = -4;
    s.midiPatch = -1;
    s.number = {12, -1, 5, 9};
    s.speed = {7, 10, -2};
    s.groups = {2, 5, 0};
    s.textType = 6;
    s.noiseType = -1;
    s.startSpeed = {1, 2, 3};
    s.stopSpeed = {9, 9, 9};
    s.files = {10, -10};
    const TransmissionSettings c = ClampToRange(s);
    EXPECT_EQ(c.midiChannel, 15);
    EXPECT_EQ(c.pauseDelayDots, 3);
    EXPECT_EQ(c.midiPatch, 0);
    EXPECT_EQ(c.number, (std::array<int, 4>{9, 0, 5, 9}));
    EXPECT_EQ(c.speed, (std::array<int, 3>{3, 9, 0}));
    EXPECT_EQ(c.groups, (std::array<int, 3>{1, 5, 0}));
    EXPECT_EQ(c.textType, 5);
    EXPECT_EQ(c.noiseType, 0);
    EXPECT_EQ(c.startSpeed, (std::array<int, 3>{1, 2, 0}));
    EXPECT_EQ(c.stopSpeed, (std::array<int, 3>{3, 9, 0}));
    EXPECT_EQ(c.files, (std::array<int, 2>{9, 0}));

    // "Char In Groupe": a stored 0 means 10 characters and stays; others are clamped.
    s = DefaultTransmissionSettings();
    s.charInGroup = 0;
    EXPECT_EQ(ClampToRange(s).charInGroup, 0);
    s.charInGroup = 12;
    EXPECT_EQ(ClampToRange(s).charInGroup, 9);
    s.charInGroup = -5;
    EXPECT_EQ(ClampToRange(s).charInGroup, 1);
    // A stored text type 1 is in range whatever the language.
    s.textType = 1;
    EXPECT_EQ(ClampToRange(s).textType, 1);
}

TEST(PanelSteps, ClampTone) {
    EXPECT_EQ(ClampTone(200), 110);
    EXPECT_EQ(ClampTone(0), 40);
    EXPECT_EQ(ClampTone(73), 73);
    EXPECT_EQ(ClampTone(INT_MIN), 40);
}

} // namespace
} // namespace qlor
