#include "control/trainer_settings.h"

#include "control/settings_store.h"

#include <algorithm>
#include <cstdint>

namespace qlor {
namespace {

// The highest speed of a test text, also the judge's limit.
constexpr IntRange kStartSpeedCpm = RangeOf(Setting::HstStartSpeed);
constexpr int kHighestSpeedCpm = kStartSpeedCpm.max;

// The whole-number values, in the order of kTrainerValueNames; the bests' text follows them.
constexpr std::size_t kIntegerValues = 6;
static_assert(kIntegerValues + 1 == kTrainerValueNames.size());

int* Field(TrainerSettings& s, std::size_t index) {
    std::array<int*, kIntegerValues> fields = {&s.hstTextType, &s.hstStartSpeedCpm,  &s.hstSteps,
                                               &s.hstNumber,   &s.callStartSpeedCpm, &s.callNumber};
    return fields[index];
}

} // namespace

TrainerSettings ClampTrainerSettings(TrainerSettings s) {
    const TrainerSettings defaults;
    if (std::find(kHstTextTypes.begin(), kHstTextTypes.end(), s.hstTextType) == kHstTextTypes.end())
        s.hstTextType = defaults.hstTextType;
    s.hstStartSpeedCpm =
        std::clamp(s.hstStartSpeedCpm / kHstSpeedStepCpm * kHstSpeedStepCpm, kStartSpeedCpm.min, kHighestSpeedCpm);
    const int stepsThatFit = (kHighestSpeedCpm - s.hstStartSpeedCpm) / kHstSpeedStepCpm + 1;
    s.hstSteps = std::clamp(s.hstSteps, RangeOf(Setting::HstSteps).min, std::min(kHstMaxSteps, stepsThatFit));
    s.hstNumber = std::clamp(s.hstNumber, RangeOf(Setting::HstNumber).min, RangeOf(Setting::HstNumber).max);
    s.callStartSpeedCpm =
        std::clamp(s.callStartSpeedCpm, RangeOf(Setting::CallStartSpeed).min, RangeOf(Setting::CallStartSpeed).max);
    s.callNumber = std::clamp(s.callNumber, RangeOf(Setting::CallNumber).min, RangeOf(Setting::CallNumber).max);
    return s;
}

TrainerSettings ReadTrainerSettings(SettingsStore& store) {
    TrainerSettings values;
    for (std::size_t i = 0; i < kIntegerValues; ++i) {
        std::int32_t stored = 0;
        if (store.ReadInteger(kTrainerValueNames[i], stored))
            *Field(values, i) = stored;
    }
    std::string bests;
    if (store.ReadString(kTrainerValueNames[kIntegerValues], bests))
        values.callBests = std::move(bests);
    return ClampTrainerSettings(values);
}

bool WriteTrainerSettings(SettingsStore& store, const TrainerSettings& values, std::string_view& failedName) {
    TrainerSettings source = ClampTrainerSettings(values);
    for (std::size_t i = 0; i < kIntegerValues; ++i) {
        if (!store.WriteInteger(kTrainerValueNames[i], *Field(source, i))) {
            failedName = kTrainerValueNames[i];
            return false;
        }
    }
    if (!store.WriteString(kTrainerValueNames[kIntegerValues], source.callBests)) {
        failedName = kTrainerValueNames[kIntegerValues];
        return false;
    }
    return true;
}

} // namespace qlor
