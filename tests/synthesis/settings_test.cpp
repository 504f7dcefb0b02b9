#include "synthesis/transmission_settings.h"

#include "base/codepage.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>

namespace qlor {
namespace {

TEST(TransmissionSettings, StartsAllZeroAndHasTheStoreDefaults) {
    const TransmissionSettings blank;
    EXPECT_EQ(TextNumber(blank), 0);
    EXPECT_EQ(blank.pauseDelayDots, 0);
    EXPECT_EQ(blank.midiPatch, 0);

    const TransmissionSettings d = DefaultTransmissionSettings();
    EXPECT_EQ(TextNumber(d), 0);
    EXPECT_EQ(SpeedValue(d), 50);
    EXPECT_EQ(d.textType, 0);
    EXPECT_EQ(d.pauseDelayDots, 3);
    EXPECT_EQ(d.noiseType, 0);
    EXPECT_EQ(GroupCount(d), 50);
    EXPECT_EQ(d.charInGroup, 5);
    EXPECT_EQ(StartSpeed(d), 10);
    EXPECT_EQ(FinalSpeed(d), 390);
    EXPECT_EQ(FileCount(d), 0);
    EXPECT_EQ(d.midiChannel, 0);
    EXPECT_EQ(d.midiPatch, 70);
    EXPECT_NE(d, blank);
}

TEST(TransmissionSettings, CombinedValues) {
    TransmissionSettings s;
    s.number = {1, 2, 3, 4};
    s.speed = {3, 9, 9};
    s.groups = {1, 9, 9};
    s.startSpeed = {2, 5, 0};
    s.stopSpeed = {0, 7, 0};
    s.files = {9, 9};
    EXPECT_EQ(TextNumber(s), 1234);
    EXPECT_EQ(SpeedValue(s), 399);
    EXPECT_EQ(GroupCount(s), 199);
    EXPECT_EQ(GroupsToSend(s), 199);
    EXPECT_EQ(StartSpeed(s), 250);
    EXPECT_EQ(FinalSpeed(s), 70);
    EXPECT_EQ(FileCount(s), 99);
    // A text number split into its digits combines back into itself.
    for (const int n : {0, 7, 417, 1234, 9999}) {
        TransmissionSettings t;
        t.number = TextNumberDigits(n);
        EXPECT_EQ(TextNumber(t), n) << n;
    }
    EXPECT_EQ(TextNumberDigits(417), (std::array<int, 4>{0, 4, 1, 7}));

    s.groups = {0, 0, 0};
    EXPECT_EQ(GroupCount(s), 0);
    EXPECT_EQ(GroupsToSend(s), 50);
    s.groups = {0, 0, 1};
    EXPECT_EQ(GroupsToSend(s), 1);

    // Unchecked stored digits must not overflow.
    s.number = {INT_MAX, INT_MAX, INT_MAX, INT_MAX};
    EXPECT_EQ(TextNumber(s), INT_MAX);
    s.speed = {INT_MIN, 0, 0};
    EXPECT_LT(SpeedValue(s), 0);
}

TEST(TransmissionSettings, FullAlphabet) {
    const std::string& a = FullAlphabet();
    ASSERT_EQ(a.size(), 75u);
    EXPECT_EQ(Cp1251ToUtf8(a), "ABCDEFGHIJKLMNOPQRSTUVWXYZАБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЬЫЪЭЮЯ1234567890=/?.,!*");
    EXPECT_EQ(static_cast<unsigned char>(a[26]), 0xC0); // А
    EXPECT_EQ(static_cast<unsigned char>(a[57]), 0xDF); // Я
    EXPECT_EQ(std::set<char>(a.begin(), a.end()).size(), 75u);
    EXPECT_EQ(&FullAlphabet(), &a);
}

} // namespace
} // namespace qlor
