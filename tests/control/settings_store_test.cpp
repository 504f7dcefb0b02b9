// Reading and writing the persisted settings through the store: read order, the default set and
// its kept values, the separate language read, range checks, write order and failures.
#include "base/codepage.h"
#include "control/settings_store.h"
#include "tests/support/memory_settings_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace qlor {
namespace {
using test::MemorySettingsStore;

// Values that differ from every default, all in range.
PersistedSettings Custom() {
    PersistedSettings p;
    p.transmission.number = {1, 2, 3, 4};
    p.transmission.speed = {1, 2, 5};
    p.transmission.textType = 4;
    p.transmission.pauseDelayDots = 7;
    p.transmission.noiseType = 2;
    p.transmission.groups = {1, 0, 9};
    p.transmission.charInGroup = 0;
    p.transmission.startSpeed = {0, 6, 0};
    p.transmission.stopSpeed = {1, 2, 0};
    p.transmission.files = {4, 2};
    p.transmission.midiChannel = 9;
    p.transmission.midiPatch = 12;
    p.tone = 88;
    p.textType = true;
    p.noiseFiles = {"/a.wav", "/шум.wav", "", "/d.ogg"}; // paths are UTF-8
    p.trainTextNeed = false;
    p.parisSystem = true;
    p.allSymbols = false;
    p.selectedSymbols = true;
    p.selectedSymbolsString = Cp("АБВ123");
    p.autoPriem = true;
    p.needHeader = false;
    p.headerStandart = false;
    p.headerUser = true;
    p.beginChar = "QST";
    p.needEnded = false;
    p.endedStandart = false;
    p.endedUser = true;
    p.endChar = "SK";
    p.pathDir = "/home/оператор/out";
    p.language = 1;
    p.voice = "tone";
    p.exportAudio = "flac";
    p.windowScale = 175;
    p.band = {"contest", 9, 250, false, "random"};
    p.trainer = TrainerSettings{5, 940, 6, 417, 340, 1234, "900,40,400,1234,1765000000"};
    return p;
}

MemorySettingsStore StoreWith(const PersistedSettings& p) {
    MemorySettingsStore store;
    EXPECT_TRUE(SavePersistedSettings(store, p).ok);
    store.log.clear();
    store.openCount = store.closeCount = 0;
    return store;
}

// The band's values, after "Export Audio".
const std::vector<std::string> kBandNames = {"Band", "Band SNR", "Band Filter", "Band AGC", "Band Seed"};

std::vector<std::string> Names(std::initializer_list<int> numbers) {
    const auto all = PersistedValueNames();
    std::vector<std::string> names;
    for (int n : numbers) {
        names.emplace_back(all[n - 1]);
    }
    return names;
}

TEST(PersistedSettingsStore, NamesAreStoredExactly) {
    const auto names = PersistedValueNames();
    EXPECT_EQ(names[0], "Number 1");
    EXPECT_EQ(names[7], "Text Type");
    EXPECT_EQ(names[9], "Midi Chanell");
    EXPECT_EQ(names[11], "Number Groupe 1");
    EXPECT_EQ(names[14], "Char In Groupe");
    EXPECT_EQ(names[29], "Paris system");
    EXPECT_EQ(names[32], "Selected symbols string");
    EXPECT_EQ(names[33], "Autopriem");
    EXPECT_EQ(names[34], "Number Files 1");
    EXPECT_EQ(names[37], "HeaderStandart");
    EXPECT_EQ(names[41], "EndedStandart");
    EXPECT_EQ(names[44], "PathDir");
    EXPECT_EQ(names[45], "Languige");
    std::vector<std::string_view> sorted(names.begin(), names.end());
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
}

TEST(PersistedSettingsStore, SaveThenLoadGivesTheSameValues) {
    MemorySettingsStore store = StoreWith(Custom());
    const LoadOutcome loaded = LoadPersistedSettings(store, 1);
    EXPECT_FALSE(loaded.defaultsApplied);
    EXPECT_TRUE(loaded.languageRead);
    EXPECT_EQ(loaded.values, Custom());
    EXPECT_EQ(store.openCount, 2);
    EXPECT_EQ(store.closeCount, 2);
}

TEST(PersistedSettingsStore, ReadOrderPutsTheFileCountBeforeTextType) {
    MemorySettingsStore store = StoreWith(Custom());
    LoadPersistedSettings(store, 1);
    std::vector<std::string> expected;
    for (int n = 1; n <= 21; ++n) {
        expected.push_back(Names({n})[0]);
    }
    for (int n : {35, 36}) {
        expected.push_back(Names({n})[0]);
    }
    for (int n = 22; n <= 34; ++n) {
        expected.push_back(Names({n})[0]);
    }
    for (int n = 37; n <= 46; ++n) {
        expected.push_back(Names({n})[0]);
    }
    expected.emplace_back("Voice");
    expected.emplace_back("Export Audio");
    expected.emplace_back("Window scale");
    expected.insert(expected.end(), kBandNames.begin(), kBandNames.end());
    expected.insert(expected.end(), kTrainerValueNames.begin(), kTrainerValueNames.end());
    EXPECT_EQ(store.log, expected);
}

TEST(PersistedSettingsStore, WriteOrderIsTableOrderThenTheVoice) {
    MemorySettingsStore store;
    ASSERT_TRUE(SavePersistedSettings(store, Custom()).ok);
    const auto names = PersistedValueNames();
    std::vector<std::string> expected(names.begin(), names.end());
    expected.emplace_back("Voice");
    expected.emplace_back("Export Audio");
    expected.emplace_back("Window scale");
    expected.insert(expected.end(), kBandNames.begin(), kBandNames.end());
    expected.insert(expected.end(), kTrainerValueNames.begin(), kTrainerValueNames.end());
    EXPECT_EQ(store.log, expected);
    EXPECT_EQ(store.values.size(), 61u);
    EXPECT_EQ(std::get<std::int32_t>(store.values.at("Paris system")), 1);
    EXPECT_EQ(std::get<std::int32_t>(store.values.at("HeaderStandart")), 0);
    EXPECT_EQ(std::get<std::string>(store.values.at("Voice")), "tone");
    EXPECT_EQ(std::get<std::string>(store.values.at("Export Audio")), "flac");
    // The store holds UTF-8: paths as they are, texts converted from the code page.
    EXPECT_EQ(std::get<std::string>(store.values.at("Noise File 2")), "/шум.wav");
    EXPECT_EQ(std::get<std::string>(store.values.at("PathDir")), "/home/оператор/out");
    EXPECT_EQ(std::get<std::string>(store.values.at("Selected symbols string")), "АБВ123");
}

TEST(PersistedSettingsStore, NoKeyGivesDefaultsAndCreatesNothing) {
    MemorySettingsStore store;
    const LoadOutcome loaded = LoadPersistedSettings(store, 3);
    EXPECT_TRUE(loaded.defaultsApplied);
    EXPECT_FALSE(loaded.languageRead);
    EXPECT_EQ(loaded.values, PersistedSettings{});
    EXPECT_FALSE(store.keyExists);
    EXPECT_EQ(store.closeCount, 2);

    const PersistedSettings d;
    EXPECT_EQ(d.tone, 73);
    EXPECT_EQ(d.transmission.midiPatch, 70);
    EXPECT_EQ(d.transmission.speed, (std::array<int, 3>{0, 5, 0}));
    EXPECT_EQ(d.transmission.stopSpeed, (std::array<int, 3>{3, 9, 0}));
    EXPECT_EQ(d.transmission.pauseDelayDots, 3);
    EXPECT_EQ(d.selectedSymbolsString, FullAlphabet());
    EXPECT_EQ(d.beginChar, "VVV=");
    EXPECT_EQ(d.endChar, "AR");
    EXPECT_TRUE(d.trainTextNeed);
    EXPECT_TRUE(d.allSymbols && !d.selectedSymbols && d.headerStandart && d.endedStandart);
}

TEST(PersistedSettingsStore, MissingNoiseTypeGivesDefaultsButKeepsTheFileCount) {
    MemorySettingsStore store = StoreWith(Custom());
    store.values.erase("Morse Noise Type");
    PersistedSettings initial;
    initial.noiseFiles[0] = "/initial.wav";
    const LoadOutcome loaded = LoadPersistedSettings(store, 1, initial);
    EXPECT_TRUE(loaded.defaultsApplied);

    const std::size_t trainer = kTrainerValueNames.size();
    EXPECT_EQ(store.log.back(), kTrainerValueNames.back());
    EXPECT_EQ(store.log[store.log.size() - trainer - 1], "Band Seed");
    EXPECT_EQ(store.log[store.log.size() - trainer - 6], "Window scale");
    EXPECT_EQ(store.log[store.log.size() - trainer - 7], "Export Audio");
    EXPECT_EQ(store.log[store.log.size() - trainer - 8], "Voice");
    EXPECT_EQ(store.log[store.log.size() - trainer - 9], "Languige");
    EXPECT_EQ(store.log[store.log.size() - trainer - 10], "Morse Noise Type"); // reading stopped there

    PersistedSettings expected; // text number and speed read before the failure are replaced too
    expected.transmission.files = {4, 2};
    expected.noiseFiles[0] = "/initial.wav"; // never read: the state before loading stays
    expected.language = 1;                   // read in its own block
    expected.voice = "tone";                 // so is the voice
    expected.windowScale = 175;              // and the window scale
    expected.exportAudio = "flac";           // and the export's audio choice
    expected.band = Custom().band;           // and the band
    expected.trainer = Custom().trainer;     // and the trainer's values
    EXPECT_EQ(loaded.values, expected);
}

// The trainer's values: each missing, of another kind or out of range takes its own default or
// its range, and never the default set of the other values.
TEST(PersistedSettingsStore, TrainerValuesAreReadEachOnItsOwn) {
    const std::string kBests = Custom().trainer.callBests;
    const struct {
        const char* name;
        MemorySettingsStore::Value stored;
        TrainerSettings expected;
    } kCases[] = {
        {"Trainer HST Text Type", std::int32_t{3}, {0, 940, 6, 417, 340, 1234, kBests}},     // not L, N or MX
        {"Trainer HST Text Type", std::string("5"), {0, 940, 6, 417, 340, 1234, kBests}},    // a text
        {"Trainer HST Start Speed", std::int32_t{995}, {5, 990, 1, 417, 340, 1234, kBests}}, // one text fits
        {"Trainer HST Start Speed", std::int32_t{0}, {5, 10, 6, 417, 340, 1234, kBests}},    // at least 10
        {"Trainer HST Start Speed", std::int32_t{127}, {5, 120, 6, 417, 340, 1234, kBests}}, // a multiple of 10
        {"Trainer HST Steps", std::int32_t{11}, {5, 940, 6, 417, 340, 1234, kBests}},        // six texts fit
        {"Trainer HST Steps", std::int32_t{-1}, {5, 940, 1, 417, 340, 1234, kBests}},
        {"Trainer HST Number", std::int32_t{10000}, {5, 940, 6, 9999, 340, 1234, kBests}},
        {"Trainer Callsign Start Speed", std::int32_t{20}, {5, 940, 6, 417, 50, 1234, kBests}},
        {"Trainer Callsign Start Speed", std::int32_t{2000}, {5, 940, 6, 417, 990, 1234, kBests}},
        {"Trainer Callsign Number", std::int32_t{-5}, {5, 940, 6, 417, 340, 0, kBests}},
        {"Trainer Callsign Bests", std::int32_t{7}, {5, 940, 6, 417, 340, 1234, ""}}, // not a text
    };
    for (const auto& c : kCases) {
        MemorySettingsStore store = StoreWith(Custom());
        store.values[c.name] = c.stored;
        const LoadOutcome loaded = LoadPersistedSettings(store, 1);
        EXPECT_FALSE(loaded.defaultsApplied) << c.name;
        EXPECT_EQ(loaded.values.trainer, c.expected) << c.name;
    }
    MemorySettingsStore store = StoreWith(Custom());
    for (std::string_view name : kTrainerValueNames)
        store.values.erase(std::string(name));
    const LoadOutcome loaded = LoadPersistedSettings(store, 1);
    EXPECT_FALSE(loaded.defaultsApplied);
    EXPECT_EQ(loaded.values.trainer, TrainerSettings{});
    EXPECT_EQ(loaded.values.transmission, Custom().transmission);
}

TEST(PersistedSettingsStore, LateFailureKeepsTheKeptValuesThatWereRead) {
    MemorySettingsStore store = StoreWith(Custom());
    store.values["EndChar"] = std::int32_t{5}; // a string of another kind
    const LoadOutcome loaded = LoadPersistedSettings(store, 1);
    EXPECT_TRUE(loaded.defaultsApplied);
    EXPECT_EQ(loaded.values.noiseFiles, Custom().noiseFiles);
    EXPECT_FALSE(loaded.values.trainTextNeed);
    EXPECT_EQ(loaded.values.transmission.files, (std::array<int, 2>{4, 2}));
    EXPECT_EQ(loaded.values.beginChar, "VVV=");
    EXPECT_EQ(loaded.values.selectedSymbolsString, FullAlphabet());
    EXPECT_FALSE(loaded.values.parisSystem);
    EXPECT_EQ(loaded.values.tone, 73);
}

TEST(PersistedSettingsStore, ValuesOfTheWrongKindFail) {
    struct Case {
        const char* name;
        MemorySettingsStore::Value value;
    };
    const Case cases[] = {
        {"Number 3", std::string("7")},
        {"Tone", std::string("abc")},
        {"Text Type", std::string("true")},
        {"Autopriem", MemorySettingsStore::OtherKind{}},
        {"Selected symbols string", std::int32_t{1}},
        {"PathDir", MemorySettingsStore::OtherKind{}},
    };
    for (const Case& c : cases) {
        MemorySettingsStore store = StoreWith(Custom());
        store.values[c.name] = c.value;
        EXPECT_TRUE(LoadPersistedSettings(store, 1).defaultsApplied) << c.name;
    }
}

TEST(PersistedSettingsStore, MissingStringsReadEmptyWithoutDefaults) {
    MemorySettingsStore store = StoreWith(Custom());
    for (const char* name : {"BeginChar", "EndChar", "PathDir", "Selected symbols string", "Noise File 1",
                             "Noise File 2", "Noise File 3", "Noise File 4"}) {
        store.values.erase(name);
    }
    store.values["Autopriem"] = std::int32_t{-7}; // any non-zero number is true
    const LoadOutcome loaded = LoadPersistedSettings(store, 1);
    EXPECT_FALSE(loaded.defaultsApplied);
    EXPECT_EQ(loaded.values.beginChar, "");
    EXPECT_EQ(loaded.values.endChar, "");
    EXPECT_EQ(loaded.values.pathDir, "");
    EXPECT_EQ(loaded.values.selectedSymbolsString, "");
    EXPECT_EQ(loaded.values.noiseFiles, (std::array<std::string, 4>{}));
    EXPECT_TRUE(loaded.values.autoPriem);
    EXPECT_EQ(loaded.values.transmission, Custom().transmission);
}

TEST(PersistedSettingsStore, TextEndsAtTheFirstZeroByte) {
    MemorySettingsStore store = StoreWith(Custom());
    store.values["BeginChar"] = std::string("QRV\0junk", 8);
    EXPECT_EQ(LoadPersistedSettings(store, 1).values.beginChar, "QRV");
}

TEST(PersistedSettingsStore, LanguagePositionRules) {
    struct Case {
        bool present;
        std::int32_t stored;
        int lastIndex;
        int expected;
    };
    const Case cases[] = {
        {false, 0, 2, 0}, // only "Languige" missing: English, everything else loaded
        {true, 2, 2, 2},  {true, 3, 2, 0}, {true, 1, 0, 0}, {true, -1, 2, -1}, {true, -40, 0, -40},
    };
    for (const Case& c : cases) {
        MemorySettingsStore store = StoreWith(Custom());
        if (c.present) {
            store.values["Languige"] = c.stored;
        } else {
            store.values.erase("Languige");
        }
        const LoadOutcome loaded = LoadPersistedSettings(store, c.lastIndex);
        EXPECT_FALSE(loaded.defaultsApplied);
        EXPECT_EQ(loaded.languageRead, c.present);
        EXPECT_EQ(loaded.values.language, c.expected) << c.stored << " with last index " << c.lastIndex;
        EXPECT_EQ(loaded.values.transmission, Custom().transmission);
    }
}

TEST(PersistedSettingsStore, StoredValuesAreBroughtIntoRange) {
    MemorySettingsStore store = StoreWith(Custom());
    store.values["Tone"] = std::int32_t{200};
    store.values["Midi Chanell"] = std::int32_t{200};
    store.values["Pause Delay"] = std::int32_t{-4};
    store.values["Number 2"] = std::int32_t{12};
    store.values["Char In Groupe"] = std::int32_t{0}; // 0 means 10 characters and stays
    store.values["Start Number Speed 3"] = std::int32_t{7};
    const LoadOutcome loaded = LoadPersistedSettings(store, 1);
    ASSERT_FALSE(loaded.defaultsApplied);
    EXPECT_EQ(loaded.values.tone, 110);
    EXPECT_EQ(loaded.values.transmission.midiChannel, 15);
    EXPECT_EQ(loaded.values.transmission.pauseDelayDots, 3);
    EXPECT_EQ(loaded.values.transmission.number[1], 9);
    EXPECT_EQ(loaded.values.transmission.charInGroup, 0);
    EXPECT_EQ(loaded.values.transmission.startSpeed[2], 0);

    MemorySettingsStore next;
    ASSERT_TRUE(SavePersistedSettings(next, loaded.values).ok);
    EXPECT_EQ(std::get<std::int32_t>(next.values.at("Tone")), 110);
}

// "Voice" and "Export Audio" are read on their own after the language: missing, of another kind
// or not exactly one of their names, each reads as its default and never takes the default set.
TEST(PersistedSettingsStore, VoiceAndExportAudioReadAsTheirDefaultWhenMissingOrUnknown) {
    struct Case {
        const char* value; // stored name
        const char* label;
        bool present;
        MemorySettingsStore::Value stored;
        const char* expected;
        bool read;
    };
    const Case cases[] = {
        {"Voice", "missing", false, std::string(), "auto", false},
        {"Voice", "empty", true, std::string(), "auto", false},
        {"Voice", "unknown", true, std::string("organ"), "auto", false},
        {"Voice", "other case", true, std::string("Tone"), "auto", false},
        {"Voice", "padded", true, std::string(" tone"), "auto", false},
        {"Voice", "integer", true, std::int32_t{2}, "auto", false},
        {"Voice", "other kind", true, MemorySettingsStore::OtherKind{}, "auto", false},
        {"Voice", "auto", true, std::string("auto"), "auto", true},
        {"Voice", "soundfont", true, std::string("soundfont"), "soundfont", true},
        {"Voice", "tone", true, std::string("tone"), "tone", true},
        {"Voice", "zero byte", true, std::string("tone\0x", 6), "tone", true},
        {"Export Audio", "missing", false, std::string(), "off", false},
        {"Export Audio", "unknown", true, std::string("aiff"), "off", false},
        {"Export Audio", "other case", true, std::string("OGG"), "off", false},
        {"Export Audio", "integer", true, std::int32_t{1}, "off", false},
        {"Export Audio", "other kind", true, MemorySettingsStore::OtherKind{}, "off", false},
        {"Export Audio", "off", true, std::string("off"), "off", true},
        {"Export Audio", "mp3", true, std::string("mp3"), "mp3", true},
    };
    for (const Case& c : cases) {
        const std::string label = std::string(c.value) + ": " + c.label;
        const bool voice = std::string_view(c.value) == "Voice";
        MemorySettingsStore store = StoreWith(Custom());
        if (c.present) {
            store.values[c.value] = c.stored;
        } else {
            store.values.erase(c.value);
        }
        PersistedSettings initial;
        initial.voice = "soundfont"; // what the window showed before: never kept over the store
        initial.exportAudio = "wav";
        const LoadOutcome loaded = LoadPersistedSettings(store, 1, initial);
        EXPECT_FALSE(loaded.defaultsApplied) << label;
        EXPECT_TRUE(loaded.languageRead) << label;
        EXPECT_EQ(voice ? loaded.voiceRead : loaded.exportAudioRead, c.read) << label;
        PersistedSettings want = Custom();
        (voice ? want.voice : want.exportAudio) = c.expected;
        EXPECT_EQ(loaded.values, want) << label;
    }
}

// "Window scale" is read on its own after "Export Audio", alone before the window exists too: a
// missing, foreign or non-positive value is the desktop's own scale (written back as nothing),
// others come to the nearest step of 100..300 %, which main turns into QT_SCALE_FACTOR.
TEST(PersistedSettingsStore, WindowScaleIsAStepOrTheDesktopsOwn) {
    struct Case {
        const char* label;
        bool present;
        MemorySettingsStore::Value stored;
        int expected;       // [%], 0 the desktop's own
        const char* factor; // QT_SCALE_FACTOR, empty when left alone
    };
    const Case cases[] = {
        {"missing", false, std::int32_t{0}, 0, ""},
        {"other kind", true, std::string("150"), 0, ""},
        {"zero", true, std::int32_t{0}, 0, ""},
        {"negative", true, std::int32_t{-150}, 0, ""},
        {"below the range", true, std::int32_t{1}, 100, ""},
        {"100", true, std::int32_t{100}, 100, ""},
        {"nearer 125", true, std::int32_t{137}, 125, "1.25"},
        {"nearer 150", true, std::int32_t{138}, 150, "1.5"},
        {"250", true, std::int32_t{250}, 250, "2.5"},
        {"above the range", true, std::int32_t{2147483647}, 300, "3.0"},
    };
    for (const Case& c : cases) {
        MemorySettingsStore store = StoreWith(Custom());
        if (c.present) {
            store.values["Window scale"] = c.stored;
        } else {
            store.values.erase("Window scale");
        }
        const LoadOutcome loaded = LoadPersistedSettings(store, 1);
        EXPECT_FALSE(loaded.defaultsApplied) << c.label;
        EXPECT_EQ(loaded.values.windowScale, c.expected) << c.label;
        EXPECT_EQ(loaded.windowScaleRead, c.present && std::holds_alternative<std::int32_t>(c.stored)) << c.label;
        store.log.clear();
        EXPECT_EQ(LoadWindowScale(store), c.expected) << c.label;
        EXPECT_EQ(store.log, std::vector<std::string>{"Window scale"}) << c.label;
        EXPECT_EQ(WindowScaleFactorText(loaded.values.windowScale), c.factor) << c.label;

        MemorySettingsStore next;
        ASSERT_TRUE(SavePersistedSettings(next, loaded.values).ok) << c.label;
        EXPECT_EQ(next.values.count("Window scale"), c.expected == 0 ? 0u : 1u) << c.label;
        EXPECT_EQ(LoadWindowScale(next), c.expected) << c.label;
    }
    MemorySettingsStore none;
    EXPECT_EQ(LoadWindowScale(none), 0);
    EXPECT_FALSE(none.keyExists);
}

// The band's five values, each read on its own: missing, of another kind or unknown, each is its
// default while the others keep what was stored; a missing "Band" is no band.
TEST(PersistedSettingsStore, BandValuesReadAsTheirDefaultWhenMissingOrUnknown) {
    using Value = MemorySettingsStore::Value;
    struct Case {
        const char* value; // stored name
        const char* label;
        std::optional<Value> stored; // none: missing
        StoredBand expected;
    };
    const StoredBand custom = Custom().band; // contest, 9 dB, 250 Hz, no AGC, random
    const auto with = [&custom](auto change) {
        StoredBand band = custom;
        change(band);
        return band;
    };
    const Case cases[] = {
        {"Band", "missing", std::nullopt, with([](StoredBand& b) { b.preset = "off"; })},
        {"Band", "unknown", Value(std::string("stormy")), with([](StoredBand& b) { b.preset = "off"; })},
        {"Band", "other case", Value(std::string("Poor")), with([](StoredBand& b) { b.preset = "off"; })},
        {"Band", "integer", Value(std::int32_t{2}), with([](StoredBand& b) { b.preset = "off"; })},
        {"Band", "poor", Value(std::string("poor")), with([](StoredBand& b) { b.preset = "poor"; })},
        {"Band SNR", "missing", std::nullopt, with([](StoredBand& b) { b.snrDb.reset(); })},
        {"Band SNR", "text", Value(std::string("12")), with([](StoredBand& b) { b.snrDb.reset(); })},
        {"Band SNR", "negative", Value(std::int32_t{-6}), with([](StoredBand& b) { b.snrDb = -6; })},
        {"Band Filter", "missing", std::nullopt, with([](StoredBand& b) { b.filterHz = 500; })},
        {"Band Filter", "unknown width", Value(std::int32_t{300}), with([](StoredBand& b) { b.filterHz = 500; })},
        {"Band Filter", "text", Value(std::string("2400")), with([](StoredBand& b) { b.filterHz = 500; })},
        {"Band Filter", "2400", Value(std::int32_t{2400}), with([](StoredBand& b) { b.filterHz = 2400; })},
        {"Band AGC", "missing", std::nullopt, with([](StoredBand& b) { b.agc = true; })},
        {"Band AGC", "other kind", Value(MemorySettingsStore::OtherKind{}), with([](StoredBand& b) { b.agc = true; })},
        {"Band Seed", "missing", std::nullopt, with([](StoredBand& b) { b.seed = "text"; })},
        {"Band Seed", "unknown", Value(std::string("42")), with([](StoredBand& b) { b.seed = "text"; })},
        {"Band Seed", "integer", Value(std::int32_t{7}), with([](StoredBand& b) { b.seed = "text"; })},
    };
    for (const Case& c : cases) {
        const std::string label = std::string(c.value) + ": " + c.label;
        MemorySettingsStore store = StoreWith(Custom());
        if (c.stored) {
            store.values[c.value] = *c.stored;
        } else {
            store.values.erase(c.value);
        }
        PersistedSettings initial;
        initial.band = {"quiet", 30, 2400, true, "text"}; // what the window showed: never kept over the store
        const LoadOutcome loaded = LoadPersistedSettings(store, 1, initial);
        EXPECT_FALSE(loaded.defaultsApplied) << label;
        PersistedSettings want = Custom();
        want.band = c.expected;
        EXPECT_EQ(loaded.values, want) << label;
        // Written back as read: a missing SNR stays missing.
        MemorySettingsStore next;
        ASSERT_TRUE(SavePersistedSettings(next, loaded.values).ok) << label;
        EXPECT_EQ(next.values.count("Band SNR"), c.expected.snrDb ? 1u : 0u) << label;
        EXPECT_EQ(LoadPersistedSettings(next, 1).values.band, c.expected) << label;
    }
    // A store from before the band (none of its values) has no band, and no failure either.
    MemorySettingsStore old = StoreWith(Custom());
    for (const std::string& name : kBandNames) {
        old.values.erase(name);
    }
    const LoadOutcome loaded = LoadPersistedSettings(old, 1);
    EXPECT_FALSE(loaded.defaultsApplied);
    EXPECT_EQ(loaded.values.band, StoredBand{});
}

TEST(PersistedSettingsStore, VoiceWithoutAKeyIsAuto) {
    MemorySettingsStore store;
    PersistedSettings initial;
    initial.voice = "tone";
    const LoadOutcome loaded = LoadPersistedSettings(store, 0, initial);
    EXPECT_TRUE(loaded.defaultsApplied);
    EXPECT_FALSE(loaded.voiceRead);
    EXPECT_EQ(loaded.values.voice, "auto");
}

TEST(PersistedSettingsStore, VoiceIsWrittenAsOneOfItsNames) {
    EXPECT_EQ(VoiceOrAuto("soundfont"), "soundfont");
    EXPECT_EQ(VoiceOrAuto("tone"), "tone");
    EXPECT_EQ(VoiceOrAuto("auto"), "auto");
    EXPECT_EQ(VoiceOrAuto("sine"), "auto");
    EXPECT_EQ(VoiceOrAuto(""), "auto");

    PersistedSettings odd = Custom();
    odd.voice = "piano";
    MemorySettingsStore store;
    ASSERT_TRUE(SavePersistedSettings(store, odd).ok);
    EXPECT_EQ(std::get<std::string>(store.values.at("Voice")), "auto");
}

TEST(PersistedSettingsStore, RefusedVoiceIsReportedAfterThe46Values) {
    MemorySettingsStore store;
    store.refuseWriteOf = "Voice";
    const SaveOutcome saved = SavePersistedSettings(store, Custom());
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.error, "Failed to set data for 'Voice'");
    EXPECT_EQ(store.log.size(), 47u);
    EXPECT_EQ(std::get<std::int32_t>(store.values.at("Languige")), 1);
    EXPECT_EQ(store.closeCount, 1);
}

TEST(PersistedSettingsStore, PathsKeepEveryCharacterAndTextsTheirCodePage) {
    PersistedSettings p = Custom();
    p.noiseFiles = {"/snd/café.wav", "/snd/日本/雑音.flac", "/snd/\xF0\x9F\x93\xBB radio.ogg", "/шум/ТЧ.wav"};
    p.pathDir = "/home/zoë/出力 \xF0\x9F\x93\x81";
    p.beginChar = Cp("ЦЩ=");
    p.endChar = Cp("ЁЯ");
    p.selectedSymbolsString = Cp("АБВГДЕЁЖ");
    MemorySettingsStore store;
    ASSERT_TRUE(SavePersistedSettings(store, p).ok);
    EXPECT_EQ(std::get<std::string>(store.values.at("Noise File 2")), "/snd/日本/雑音.flac");
    EXPECT_EQ(std::get<std::string>(store.values.at("BeginChar")), "ЦЩ=");
    const LoadOutcome loaded = LoadPersistedSettings(store, 1);
    ASSERT_FALSE(loaded.defaultsApplied);
    EXPECT_EQ(loaded.values, p);

    // A text the code page cannot hold arrives as the unmappable byte, one per character; the
    // core keys such a character as a gap, never as a "?".
    store.values["EndChar"] = std::string("SK日");
    EXPECT_EQ(LoadPersistedSettings(store, 1).values.endChar, std::string("SK") + char(kUnmappableByte));
}

TEST(PersistedSettingsStore, FirstRefusedWriteStopsTheSave) {
    MemorySettingsStore store;
    store.refuseWriteOf = "Tone";
    const SaveOutcome saved = SavePersistedSettings(store, Custom());
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.error, "Failed to set data for 'Tone'");
    EXPECT_EQ(store.log.back(), "Tone");
    EXPECT_EQ(store.log.size(), 9u);
    EXPECT_FALSE(store.values.count("Midi Chanell"));
    EXPECT_EQ(store.closeCount, 1);
}

TEST(PersistedSettingsStore, FailureToCommitIsReported) {
    MemorySettingsStore store;
    store.failOnClose = true;
    const SaveOutcome saved = SavePersistedSettings(store, Custom());
    EXPECT_FALSE(saved.ok);
    EXPECT_FALSE(saved.error.empty());
}

} // namespace
} // namespace qlor
