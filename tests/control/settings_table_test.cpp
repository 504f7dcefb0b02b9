// The store and the panel held to the settings table, entry by entry: a fresh installation's
// values are the table's defaults, and values stored below or above an entry's range (every digit
// of a value kept as digits) are read back as the ends of the range.
#include "control/settings_store.h"
#include "synthesis/settings_table.h"
#include "tests/support/memory_settings_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace qlor {
namespace {
using test::MemorySettingsStore;

int Combined(const auto& digits) {
    int value = 0;
    for (const int digit : digits) {
        value = value * 10 + digit;
    }
    return value;
}

// The value of a stored entry as the window holds it, as a whole.
int ValueOf(const PersistedSettings& p, Setting id) {
    const TransmissionSettings& t = p.transmission;
    switch (id) {
    case Setting::TextNumber:
        return Combined(t.number);
    case Setting::Speed:
        return Combined(t.speed);
    case Setting::TextType:
        return t.textType;
    case Setting::PauseDelay:
        return t.pauseDelayDots;
    case Setting::NoiseType:
        return t.noiseType;
    case Setting::Groups:
        return Combined(t.groups);
    case Setting::CharInGroup:
        return t.charInGroup;
    case Setting::StartSpeed:
        return Combined(t.startSpeed);
    case Setting::StopSpeed:
        return Combined(t.stopSpeed);
    case Setting::Files:
        return Combined(t.files);
    case Setting::MidiChannel:
        return t.midiChannel;
    case Setting::MidiPatch:
        return t.midiPatch;
    case Setting::Tone:
        return p.tone;
    case Setting::WindowScale:
        return p.windowScale;
    case Setting::HstStartSpeed:
        return p.trainer.hstStartSpeedCpm;
    case Setting::HstSteps:
        return p.trainer.hstSteps;
    case Setting::HstNumber:
        return p.trainer.hstNumber;
    case Setting::CallStartSpeed:
        return p.trainer.callStartSpeedCpm;
    case Setting::CallNumber:
        return p.trainer.callNumber;
    default:
        ADD_FAILURE() << "not a stored entry: " << static_cast<int>(id);
        return 0;
    }
}

std::string StoredName(const SettingEntry& entry, int digit) {
    std::string name(entry.storedName);
    return entry.digits > 1 ? name + " " + std::to_string(digit + 1) : name;
}

TEST(SettingsTable, StoredEntriesHaveTheTablesDefaultsAndRangesInTheStore) {
    const PersistedSettings fresh;
    const auto names = PersistedValueNames();
    int stored = 0;
    for (const SettingEntry& entry : kSettingsTable) {
        if (entry.storedName.empty()) {
            continue;
        }
        ++stored;
        SCOPED_TRACE(std::string(entry.storedName));
        EXPECT_EQ(ValueOf(fresh, entry.id), entry.defaultValue);

        for (const bool above : {false, true}) {
            MemorySettingsStore store;
            ASSERT_TRUE(SavePersistedSettings(store, fresh).ok);
            for (int digit = 0; digit < entry.digits; ++digit) {
                const std::string name = StoredName(entry, digit);
                ASSERT_TRUE(store.values.count(name) == 1 || entry.id == Setting::WindowScale) << name;
                const bool listed =
                    std::find(names.begin(), names.end(), name) != names.end() ||
                    std::find(kTrainerValueNames.begin(), kTrainerValueNames.end(), name) != kTrainerValueNames.end() ||
                    name == kWindowScaleValueName;
                EXPECT_TRUE(listed) << name;
                // Each digit out of every digit's range, the whole value out of the entry's (a 0
                // with a meaning of its own is kept, so the value below is -1 then).
                const int below = entry.range.min - 1 == 0 && !entry.zeroMeans.empty() ? -1 : entry.range.min - 1;
                store.values[name] =
                    std::int32_t{entry.digits > 1 ? (above ? 99 : -1) : (above ? entry.range.max + 1 : below)};
            }
            const LoadOutcome loaded = LoadPersistedSettings(store, 0);
            EXPECT_FALSE(loaded.defaultsApplied);
            EXPECT_EQ(ValueOf(loaded.values, entry.id), above ? entry.range.max : entry.range.min) << above;
        }
    }
    EXPECT_EQ(stored, 19);
}

} // namespace
} // namespace qlor
