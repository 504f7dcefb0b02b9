#include "control/trainer_settings.h"

#include "control/settings_store.h"

#include <algorithm>
#include <cstdint>

namespace qlor {
namespace {

// The highest speed of a test text; the same figure as the judge's limit, which lives above
// this folder.
constexpr int kHighestSpeedCpm = 990;

int* Field(TrainerSettings& s, std::size_t index) {
    std::array<int*, kTrainerValueNames.size()> fields = {&s.hstTextType, &s.hstStartSpeedCpm, &s.hstSteps,
                                                          &s.hstNumber};
    return fields[index];
}

} // namespace

TrainerSettings ClampTrainerSettings(TrainerSettings s) {
    const TrainerSettings defaults;
    if (std::find(kHstTextTypes.begin(), kHstTextTypes.end(), s.hstTextType) == kHstTextTypes.end())
        s.hstTextType = defaults.hstTextType;
    s.hstStartSpeedCpm =
        std::clamp(s.hstStartSpeedCpm / kHstSpeedStepCpm * kHstSpeedStepCpm, kHstSpeedStepCpm, kHighestSpeedCpm);
    const int stepsThatFit = (kHighestSpeedCpm - s.hstStartSpeedCpm) / kHstSpeedStepCpm + 1;
    s.hstSteps = std::clamp(s.hstSteps, 1, std::min(kHstMaxSteps, stepsThatFit));
    s.hstNumber = std::clamp(s.hstNumber, 0, 9999);
    return s;
}

TrainerSettings ReadTrainerSettings(SettingsStore& store) {
    TrainerSettings values;
    for (std::size_t i = 0; i < kTrainerValueNames.size(); ++i) {
        std::int32_t stored = 0;
        if (store.ReadInteger(kTrainerValueNames[i], stored))
            *Field(values, i) = stored;
    }
    return ClampTrainerSettings(values);
}

bool WriteTrainerSettings(SettingsStore& store, const TrainerSettings& values, std::string_view& failedName) {
    TrainerSettings source = ClampTrainerSettings(values);
    for (std::size_t i = 0; i < kTrainerValueNames.size(); ++i) {
        if (!store.WriteInteger(kTrainerValueNames[i], *Field(source, i))) {
            failedName = kTrainerValueNames[i];
            return false;
        }
    }
    return true;
}

} // namespace qlor
