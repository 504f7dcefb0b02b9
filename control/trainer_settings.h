#pragma once
// The trainer window's own stored values. They are read and written after every other stored
// value ("Voice", "Export Audio", "Window scale", the band's five), each on its own: a missing value, one of another
// kind or one out of range takes its default and never the default set of the other values.
#include "synthesis/settings_table.h"

#include <array>
#include <string>
#include <string_view>

namespace qlor {

class SettingsStore;

// Text types of the high-speed test: letters, figures, mixed ("Morse Text Type" L, N, MX).
inline constexpr std::array<int, 3> kHstTextTypes = {0, 2, 5};
inline constexpr int kHstSpeedStepCpm = EntryOf(Setting::HstStartSpeed).step; // between the texts of a test [cpm]
inline constexpr int kHstMaxSteps = RangeOf(Setting::HstSteps).max;           // texts in one test

// The ranges and defaults are the settings table's.
struct TrainerSettings {
    int hstTextType = 0; // "Trainer HST Text Type": one of kHstTextTypes
    int hstStartSpeedCpm =
        DefaultOf(Setting::HstStartSpeed);         // "Trainer HST Start Speed": 10..990, a multiple of 10 [cpm]
    int hstSteps = DefaultOf(Setting::HstSteps);   // "Trainer HST Steps": 1..10 texts, the last at most 990 cpm
    int hstNumber = DefaultOf(Setting::HstNumber); // "Trainer HST Number": text number 0..9999
    int callStartSpeedCpm = DefaultOf(Setting::CallStartSpeed); // "Trainer Callsign Start Speed" [cpm]
    int callNumber = DefaultOf(Setting::CallNumber);            // "Trainer Callsign Number": the run's seed
    std::string callBests; // "Trainer Callsign Bests": the personal bests as stored text
                           // (PersonalBestsText; entries that do not read are dropped)

    bool operator==(const TrainerSettings&) const = default;
};

// The stored names in write order.
inline constexpr std::array<std::string_view, 7> kTrainerValueNames = {
    "Trainer HST Text Type",        "Trainer HST Start Speed", "Trainer HST Steps",     "Trainer HST Number",
    "Trainer Callsign Start Speed", "Trainer Callsign Number", "Trainer Callsign Bests"};
// The speeds of a callsign run; the same figures as the run's rules, which live above this folder.

// `s` with every value brought into its range (the steps cut so the last text is at most
// kHstMaxSpeedCpm). The bests are kept as text: whoever reads them drops what does not read.
TrainerSettings ClampTrainerSettings(TrainerSettings s);

// Reads and writes the values on a key the caller has opened. Reading never fails: what cannot be
// read keeps the default. Writing stops at the first refusal and returns false then.
TrainerSettings ReadTrainerSettings(SettingsStore& store);
bool WriteTrainerSettings(SettingsStore& store, const TrainerSettings& values, std::string_view& failedName);

} // namespace qlor
