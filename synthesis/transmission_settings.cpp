#include "synthesis/transmission_settings.h"

#include "base/codepage.h"

#include <initializer_list>
#include <utility>

namespace qlor {

TransmissionSettings DefaultTransmissionSettings() {
    TransmissionSettings s;
    s.number = {0, 0, 0, 0};
    s.speed = {0, 5, 0};
    s.textType = 0;
    s.pauseDelayDots = 3;
    s.noiseType = 0;
    s.groups = {0, 5, 0};
    s.charInGroup = 5;
    s.startSpeed = {0, 1, 0};
    s.stopSpeed = {3, 9, 0};
    s.files = {0, 0};
    s.midiChannel = 0;
    s.midiPatch = 70;
    return s;
}

// The digits are combined in 64 bits and narrowed, so unchecked stored values cannot overflow.
static int Combine(std::initializer_list<std::pair<int, int>> digitsAndWeights) {
    long long sum = 0;
    for (auto [digit, weight] : digitsAndWeights) {
        sum += static_cast<long long>(digit) * weight;
    }
    if (sum > 2147483647LL) {
        return 2147483647;
    }
    if (sum < -2147483647LL) {
        return -2147483647;
    }
    return static_cast<int>(sum);
}

int TextNumber(const TransmissionSettings& s) {
    return Combine({{s.number[0], 1000}, {s.number[1], 100}, {s.number[2], 10}, {s.number[3], 1}});
}

std::array<int, 4> TextNumberDigits(int number) {
    return {number / 1000 % 10, number / 100 % 10, number / 10 % 10, number % 10};
}

int SpeedValue(const TransmissionSettings& s) {
    return Combine({{s.speed[0], 100}, {s.speed[1], 10}, {s.speed[2], 1}});
}

int GroupCount(const TransmissionSettings& s) {
    return Combine({{s.groups[0], 100}, {s.groups[1], 10}, {s.groups[2], 1}});
}

int GroupsToSend(const TransmissionSettings& s) {
    const int g = GroupCount(s);
    return g == 0 ? 50 : g;
}

int StartSpeed(const TransmissionSettings& s) {
    return Combine({{s.startSpeed[0], 100}, {s.startSpeed[1], 10}, {s.startSpeed[2], 1}});
}

int FinalSpeed(const TransmissionSettings& s) {
    return Combine({{s.stopSpeed[0], 100}, {s.stopSpeed[1], 10}, {s.stopSpeed[2], 1}});
}

int FileCount(const TransmissionSettings& s) {
    return Combine({{s.files[0], 10}, {s.files[1], 1}});
}

const std::string& FullAlphabet() {
    static const std::string alphabet =
        Cp("ABCDEFGHIJKLMNOPQRSTUVWXYZАБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЬЫЪЭЮЯ1234567890=/?.,!*");
    return alphabet;
}

} // namespace qlor
