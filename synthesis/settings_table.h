#pragma once
// The one table of the numeric settings: the values the window keeps between runs (its panel's
// step buttons and sliders, the trainer's values) and the numbers qlor-cli takes. Each entry
// holds the stored name, the range the panel and the store keep, the default, the step between
// offered values, the unit, what 0 means and the qlor-cli options it backs with the range those
// accept. The panel's steps, the store's range rules, qlor-cli's validators and help texts read
// it; cli_settings_table holds the manual page, the completion, the README and the forms to it.
#include "synthesis/transmission_settings.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace qlor {

struct IntRange {
    int min;
    int max;
};

// Every entry of the table, in the table's order.
enum class Setting {
    // Stored values of the main window's panel.
    TextNumber,
    Speed,
    TextType,
    PauseDelay,
    NoiseType,
    Groups,
    CharInGroup,
    StartSpeed,
    StopSpeed,
    Files,
    MidiChannel,
    MidiPatch,
    Tone,
    WindowScale,
    // Stored values of the trainer window.
    HstStartSpeed,
    HstSteps,
    HstNumber,
    CallStartSpeed,
    CallNumber,
    // Numbers qlor-cli takes that the store does not keep.
    RecordedGroupSize,
    EndPause,
    CheckWidth,
    Level,
    Seed,
    SampleRate,
    SoundSeconds,
    Snr,
    FadingDepth,
    BandStations,
    IcrCount,
    CourseCpm,
    CoursePauseDelay,
    CourseChecks,
    CoursePassPercent,
    CourseNewestSent,
    StatsChecks,
    StatsSpeed,
    StatsOccurrences,
};

struct SettingEntry {
    Setting id;
    // The stored name; empty when nothing is stored. A value kept as `digits` decimal digits is
    // stored as "<storedName> 1" (the highest digit) .. "<storedName> <digits>".
    std::string_view storedName;
    int digits;
    IntRange range;   // what the panel offers and the store keeps (the value as a whole)
    int defaultValue; // a fresh installation's, or what a left-out option stands for (0 when it has no value)
    int step;         // between offered values
    std::string_view unit;
    std::string_view zeroMeans; // empty when 0 is plain 0 (or outside the range)
    // The qlor-cli options the entry backs ("--a --b", empty for none), the subcommands that have
    // them ("midi,export"; the first is the one a test calls) and what they accept.
    std::string_view cliOptions;
    std::string_view cliCommands;
    IntRange cliRange;
};

// The highest speed of a high-speed test or competition text [cpm].
inline constexpr int kHighSpeedTestMaxCpm = 990;

// A range given to the panel and qlor-cli alike.
inline constexpr IntRange kSameForCli{0, -1};

// clang-format off
// Each entry on two lines: the entry, stored name, digits, range, default, step; then the unit,
// what 0 means, the qlor-cli options, their subcommands and their range.
inline constexpr std::array<SettingEntry, 38> kSettingsTable{{
    {Setting::TextNumber,        "Number",                  4, {0, 9999},                  0,            1,
     "",            "",                        "--number",                   "text,midi,export,competition,check", kSameForCli},
    {Setting::Speed,             "Number Speed",            3, {0, 399},                   50,           1,
     "cpm",         "",                        "--speed",                    "midi,export,competition,check",      kSameForCli},
    {Setting::TextType,          "Morse Text Type",         1, {0, 5},                     0,            1,
     "",            "",                        "--type",                     "text,midi,export,competition,check", kSameForCli},
    {Setting::PauseDelay,        "Pause Delay",             1, {3, 15},                    3,            1,
     "dot lengths", "",                        "--pause-delay",              "midi,export,competition,check",      kSameForCli},
    {Setting::NoiseType,         "Morse Noise Type",        1, {0, 4},                     0,            1,
     "",            "",                        "--noise",                    "check",                              kSameForCli},
    {Setting::Groups,            "Number Groupe",           3, {0, 199},                   50,           1,
     "",            "sends 50",                "--groups",                   "text,midi,export,competition,check", kSameForCli},
    // The panel offers 1..9 and keeps a stored 0, which means 10; qlor-cli takes 10 as well.
    {Setting::CharInGroup,       "Char In Groupe",          1, {1, 9},                     5,            1,
     "",            "also means 10",           "--group-size",               "text,midi,export,competition",       {0, 10}},
    // The Competition page's speeds end at 390; qlor-cli goes on to the high-speed tests' maximum.
    {Setting::StartSpeed,        "Start Number Speed",      3, {0, 390},                   10,           10,
     "cpm",         "",                        "--start",                    "competition",                        {0, kHighSpeedTestMaxCpm}},
    {Setting::StopSpeed,         "Stop Number Speed",       3, {0, 390},                   390,          10,
     "cpm",         "",                        "--final",                    "competition",                        {0, kHighSpeedTestMaxCpm}},
    {Setting::Files,             "Number Files",            2, {0, 99},                    0,            1,
     "",            "writes one",              "--count",                    "export",                             kSameForCli},
    {Setting::MidiChannel,       "Midi Chanell",            1, {0, 15},                    0,            1,
     "",            "",                        "--channel",                  "midi,export,competition",            kSameForCli},
    {Setting::MidiPatch,         "Midi Patch",              1, {0, 127},                   70,           1,
     "",            "",                        "--patch",                    "midi,export,competition",            kSameForCli},
    {Setting::Tone,              "Tone",                    1, {kToneMin, kToneMax},       kToneDefault, 1,
     "MIDI note",   "",                        "--tone",                     "midi,export,competition,band",       kSameForCli},
    {Setting::WindowScale,       "Window scale",            1, {100, 300},                 0,            25,
     "%",           "the desktop's own scale", "",                           "",                                   kSameForCli},
    // The trainer window's values.
    {Setting::HstStartSpeed,     "Trainer HST Start Speed", 1, {10, kHighSpeedTestMaxCpm}, 200,          10,
     "cpm",         "",                        "",                           "",                                   kSameForCli},
    {Setting::HstSteps,          "Trainer HST Steps",       1, {1, 10},                    3,            1,
     "texts",       "",                        "",                           "",                                   kSameForCli},
    {Setting::HstNumber,         "Trainer HST Number",      1, {0, 9999},                  0,            1,
     "",            "",                        "",                           "",                                   kSameForCli},
    // The callsign run's start speed is also the range its speed moves in.
    {Setting::CallStartSpeed,    "Trainer Callsign Start Speed", 1, {50, kHighSpeedTestMaxCpm}, 200,     10,
     "cpm",         "",                        "",                           "",                                   kSameForCli},
    {Setting::CallNumber,        "Trainer Callsign Number", 1, {0, 9999},                  0,            1,
     "",            "",                        "",                           "",                                   kSameForCli},
    // Numbers qlor-cli takes that the store does not keep.
    {Setting::RecordedGroupSize, "",                        1, {1, 10},                    5,            1,
     "",            "",                        "--group-size",               "check",                              kSameForCli},
    {Setting::EndPause,          "",                        1, {0, 24 * 3600},             0,            1,
     "s",           "means 5",                 "--end-pause",                "midi,export",                        kSameForCli},
    {Setting::CheckWidth,        "",                        1, {1, 10000},                 30,           1,
     "characters",  "",                        "--width",                    "check",                              kSameForCli},
    {Setting::Level,             "",                        1, {0, 65535},                 0,            1,
     "",            "",                        "--midi-level --noise-level", "render,export",                      kSameForCli},
    {Setting::Seed,              "",                        1, {0, 2147483647},            1,            1,
     "",            "",                        "--seed",                     "noise,band,render,export",           kSameForCli},
    {Setting::SampleRate,        "",                        1, {8000, 192000},             48000,        1,
     "frames/s",    "",                        "--rate",                     "noise,band,render",                  kSameForCli},
    {Setting::SoundSeconds,      "",                        1, {1, 3600},                  60,           1,
     "s",           "",                        "--seconds",                  "noise,band",                         kSameForCli},
    {Setting::Snr,               "",                        1, {-20, 60},                  0,            1,
     "dB",          "",                        "--snr",                      "render",                             kSameForCli},
    {Setting::FadingDepth,       "",                        1, {0, 60},                    20,           1,
     "dB",          "",                        "--fading-depth",             "render",                             kSameForCli},
    {Setting::BandStations,      "",                        1, {0, 12},                    0,            1,
     "stations",    "",                        "--qrm",                      "render",                             kSameForCli},
    {Setting::IcrCount,          "",                        1, {1, 10000},                 50,           1,
     "characters",  "",                        "--count",                    "icr",                                kSameForCli},
    // The Koch course's values, kept with the course in the history of checks.
    {Setting::CourseCpm,         "",                        1, {5, 1000},                  100,          1,
     "cpm",         "",                        "--cpm",                      "course set,icr",                     kSameForCli},
    {Setting::CoursePauseDelay,  "",                        1, {3, 15},                    3,            1,
     "dot lengths", "",                        "--pause-delay",              "course set",                         kSameForCli},
    {Setting::CourseChecks,      "",                        1, {1, 50},                    3,            1,
     "checks",      "",                        "--checks",                   "course set",                         kSameForCli},
    {Setting::CoursePassPercent, "",                        1, {1, 100},                   90,           1,
     "%",           "",                        "--accuracy",                 "course set",                         kSameForCli},
    {Setting::CourseNewestSent,  "",                        1, {1, 10000},                 20,           1,
     "",            "",                        "--min-sent",                 "course set",                         kSameForCli},
    {Setting::StatsChecks,       "",                        1, {1, 1000000000},            0,            1,
     "checks",      "",                        "--last",                     "stats",                              kSameForCli},
    {Setting::StatsSpeed,        "",                        1, {0, 10000},                 0,            1,
     "cpm",         "",                        "--min-speed --max-speed",    "stats",                              kSameForCli},
    {Setting::StatsOccurrences,  "",                        1, {1, 1000000000},            0,            1,
     "",            "",                        "--min",                      "stats",                              kSameForCli},
}};
// clang-format on

// The entries stand in the order of Setting, so an entry is found by its index.
constexpr bool InSettingOrder() {
    for (std::size_t i = 0; i < kSettingsTable.size(); ++i) {
        if (static_cast<std::size_t>(kSettingsTable[i].id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(InSettingOrder(), "kSettingsTable must list the settings in the order of Setting");

constexpr const SettingEntry& EntryOf(Setting id) {
    return kSettingsTable[static_cast<std::size_t>(id)];
}

// The range the panel offers and the store keeps.
constexpr IntRange RangeOf(Setting id) {
    return EntryOf(id).range;
}

constexpr int DefaultOf(Setting id) {
    return EntryOf(id).defaultValue;
}

// The range qlor-cli's options of the entry accept.
constexpr IntRange CliRangeOf(Setting id) {
    const SettingEntry& entry = EntryOf(id);
    return entry.cliRange.min > entry.cliRange.max ? entry.range : entry.cliRange;
}

// The range of one stored digit (0 the highest) of a value kept as digits: the highest digit goes
// up to the highest digit of the maximum, the others to 9; with a step of 10 the last one is 0.
constexpr IntRange DigitRangeOf(Setting id, int digit) {
    const SettingEntry& entry = EntryOf(id);
    if (digit == entry.digits - 1 && entry.step == 10) {
        return {0, 0};
    }
    if (digit == 0) {
        int weight = 1;
        for (int i = 1; i < entry.digits; ++i) {
            weight *= 10;
        }
        return {0, entry.range.max / weight};
    }
    return {0, 9};
}

} // namespace qlor
