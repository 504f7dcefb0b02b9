#include "control/settings_store.h"

#include "base/codepage.h"
#include "control/panel_steps.h"
#include "synthesis/audio_formats.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace qlor {
namespace {

// Strings come in two kinds: texts the core keys or compares, held as Windows-1251, and file
// paths, held as the UTF-8 the store keeps (the code page cannot hold every file name).
enum class Kind { Integer, Boolean, Text, Path };

// One stored value: its name, kind and where it lives in PersistedSettings.
struct ValueSpec {
    std::string_view name;
    Kind kind;
    int* (*integer)(PersistedSettings&);
    bool* (*boolean)(PersistedSettings&);
    std::string* (*text)(PersistedSettings&);
};

constexpr ValueSpec Int(std::string_view name, int* (*ref)(PersistedSettings&)) {
    return {name, Kind::Integer, ref, nullptr, nullptr};
}
constexpr ValueSpec Bool(std::string_view name, bool* (*ref)(PersistedSettings&)) {
    return {name, Kind::Boolean, nullptr, ref, nullptr};
}
constexpr ValueSpec Text(std::string_view name, std::string* (*ref)(PersistedSettings&)) {
    return {name, Kind::Text, nullptr, nullptr, ref};
}
constexpr ValueSpec Path(std::string_view name, std::string* (*ref)(PersistedSettings&)) {
    return {name, Kind::Path, nullptr, nullptr, ref};
}

using P = PersistedSettings;

// The values in write order, #1..#46.
constexpr ValueSpec kValues[kPersistedValueCount] = {
    Int("Number 1", [](P& p) { return &p.transmission.number[0]; }),
    Int("Number 2", [](P& p) { return &p.transmission.number[1]; }),
    Int("Number 3", [](P& p) { return &p.transmission.number[2]; }),
    Int("Number 4", [](P& p) { return &p.transmission.number[3]; }),
    Int("Number Speed 1", [](P& p) { return &p.transmission.speed[0]; }),
    Int("Number Speed 2", [](P& p) { return &p.transmission.speed[1]; }),
    Int("Number Speed 3", [](P& p) { return &p.transmission.speed[2]; }),
    Bool("Text Type", [](P& p) { return &p.textType; }),
    Int("Tone", [](P& p) { return &p.tone; }),
    Int("Midi Chanell", [](P& p) { return &p.transmission.midiChannel; }),
    Int("Midi Patch", [](P& p) { return &p.transmission.midiPatch; }),
    Int("Number Groupe 1", [](P& p) { return &p.transmission.groups[0]; }),
    Int("Number Groupe 2", [](P& p) { return &p.transmission.groups[1]; }),
    Int("Number Groupe 3", [](P& p) { return &p.transmission.groups[2]; }),
    Int("Char In Groupe", [](P& p) { return &p.transmission.charInGroup; }),
    Int("Start Number Speed 1", [](P& p) { return &p.transmission.startSpeed[0]; }),
    Int("Start Number Speed 2", [](P& p) { return &p.transmission.startSpeed[1]; }),
    Int("Start Number Speed 3", [](P& p) { return &p.transmission.startSpeed[2]; }),
    Int("Stop Number Speed 1", [](P& p) { return &p.transmission.stopSpeed[0]; }),
    Int("Stop Number Speed 2", [](P& p) { return &p.transmission.stopSpeed[1]; }),
    Int("Stop Number Speed 3", [](P& p) { return &p.transmission.stopSpeed[2]; }),
    Int("Morse Text Type", [](P& p) { return &p.transmission.textType; }),
    Int("Pause Delay", [](P& p) { return &p.transmission.pauseDelayDots; }),
    Int("Morse Noise Type", [](P& p) { return &p.transmission.noiseType; }),
    Path("Noise File 1", [](P& p) { return &p.noiseFiles[0]; }),
    Path("Noise File 2", [](P& p) { return &p.noiseFiles[1]; }),
    Path("Noise File 3", [](P& p) { return &p.noiseFiles[2]; }),
    Path("Noise File 4", [](P& p) { return &p.noiseFiles[3]; }),
    Bool("Train Text Need", [](P& p) { return &p.trainTextNeed; }),
    Bool("Paris system", [](P& p) { return &p.parisSystem; }),
    Bool("All Symbols", [](P& p) { return &p.allSymbols; }),
    Bool("Selected Symbols", [](P& p) { return &p.selectedSymbols; }),
    Text("Selected symbols string", [](P& p) { return &p.selectedSymbolsString; }),
    Bool("Autopriem", [](P& p) { return &p.autoPriem; }),
    Int("Number Files 1", [](P& p) { return &p.transmission.files[0]; }),
    Int("Number Files 2", [](P& p) { return &p.transmission.files[1]; }),
    Bool("NeedHeader", [](P& p) { return &p.needHeader; }),
    Bool("HeaderStandart", [](P& p) { return &p.headerStandart; }),
    Bool("HeaderUser", [](P& p) { return &p.headerUser; }),
    Text("BeginChar", [](P& p) { return &p.beginChar; }),
    Bool("NeedEnded", [](P& p) { return &p.needEnded; }),
    Bool("EndedStandart", [](P& p) { return &p.endedStandart; }),
    Bool("EndedUser", [](P& p) { return &p.endedUser; }),
    Text("EndChar", [](P& p) { return &p.endChar; }),
    Path("PathDir", [](P& p) { return &p.pathDir; }),
    Int("Languige", [](P& p) { return &p.language; }),
};

constexpr int kLanguageIndex = 45; // "Languige", #46, read on its own

// Read order at start, as 1-based value numbers: #1..#21, #35, #36, #22..#34, #37..#45.
std::vector<int> ReadOrder() {
    std::vector<int> order;
    for (int n = 1; n <= 21; ++n) {
        order.push_back(n);
    }
    order.push_back(35);
    order.push_back(36);
    for (int n = 22; n <= 34; ++n) {
        order.push_back(n);
    }
    for (int n = 37; n <= 45; ++n) {
        order.push_back(n);
    }
    return order;
}

bool ReadValue(SettingsStore& store, const ValueSpec& entry, PersistedSettings& into) {
    switch (entry.kind) {
    case Kind::Integer: {
        std::int32_t v = 0;
        if (!store.ReadInteger(entry.name, v)) {
            return false;
        }
        *entry.integer(into) = v;
        return true;
    }
    case Kind::Boolean:
        return store.ReadBoolean(entry.name, *entry.boolean(into));
    case Kind::Text: {
        std::string utf8;
        if (!store.ReadString(entry.name, utf8)) {
            return false;
        }
        *entry.text(into) = Utf8ToCp1251(utf8);
        return true;
    }
    case Kind::Path:
        return store.ReadString(entry.name, *entry.text(into));
    }
    return false;
}

bool WriteValue(SettingsStore& store, const ValueSpec& entry, PersistedSettings& values) {
    switch (entry.kind) {
    case Kind::Integer:
        return store.WriteInteger(entry.name, *entry.integer(values));
    case Kind::Boolean:
        return store.WriteBoolean(entry.name, *entry.boolean(values));
    case Kind::Text:
        return store.WriteString(entry.name, Cp1251ToUtf8(*entry.text(values)));
    case Kind::Path:
        return store.WriteString(entry.name, *entry.text(values));
    }
    return false;
}

std::string FailedToSet(SettingsStore& store, std::string_view name) {
    std::string error = "Failed to set data for '" + std::string(name) + "'";
    const std::string detail = store.ErrorText();
    if (!detail.empty() && detail != error) {
        error += " (" + detail + ")";
    }
    return error;
}

// The band's values, each on its own; a value that cannot be read keeps its default.
StoredBand ReadBand(SettingsStore& store) {
    StoredBand band;
    if (std::string text; store.ReadString(kBandValueName, text)) {
        band.preset = text;
    }
    std::int32_t number = 0;
    if (store.ReadInteger(kBandSnrValueName, number)) {
        band.snrDb = number;
    }
    if (store.ReadInteger(kBandFilterValueName, number)) {
        band.filterHz = number;
    }
    store.ReadBoolean(kBandAgcValueName, band.agc);
    if (std::string text; store.ReadString(kBandSeedValueName, text)) {
        band.seed = text;
    }
    return NormalizedBand(band);
}

// Writes the band's values in their order; the name of the first refused one, or "".
std::string_view WriteBand(SettingsStore& store, const StoredBand& stored) {
    const StoredBand band = NormalizedBand(stored);
    if (!store.WriteString(kBandValueName, band.preset)) {
        return kBandValueName;
    }
    if (band.snrDb && !store.WriteInteger(kBandSnrValueName, *band.snrDb)) {
        return kBandSnrValueName;
    }
    if (!store.WriteInteger(kBandFilterValueName, band.filterHz)) {
        return kBandFilterValueName;
    }
    if (!store.WriteBoolean(kBandAgcValueName, band.agc)) {
        return kBandAgcValueName;
    }
    if (!store.WriteString(kBandSeedValueName, band.seed)) {
        return kBandSeedValueName;
    }
    return {};
}

} // namespace

bool SettingsStore::ReadBoolean(std::string_view name, bool& value) {
    std::int32_t v = 0;
    if (!ReadInteger(name, v)) {
        return false;
    }
    value = v != 0;
    return true;
}

std::string VoiceOrAuto(std::string_view stored) {
    for (const std::string_view name : {kVoiceAuto, kVoiceSoundFont, kVoiceTone}) {
        if (stored == name) {
            return std::string(name);
        }
    }
    return std::string(kVoiceAuto);
}

std::string ExportAudioOrOff(std::string_view stored) {
    for (const AudioFormat& format : kAudioFormats) {
        if (stored == format.extension) {
            return std::string(format.extension);
        }
    }
    return std::string(kExportAudioOff);
}

int WindowScaleOrDesktop(std::int32_t stored) {
    if (stored <= 0) {
        return kWindowScaleDesktop;
    }
    // The nearest step; between two equally near ones the smaller.
    int best = kWindowScaleSteps.front();
    for (const int step : kWindowScaleSteps) {
        if (std::abs(step - stored) < std::abs(best - stored)) {
            best = step;
        }
    }
    return best;
}

int LoadWindowScale(SettingsStore& store) {
    int scale = kWindowScaleDesktop;
    if (store.OpenKey(false)) {
        std::int32_t stored = 0;
        if (store.ReadInteger(kWindowScaleValueName, stored)) {
            scale = WindowScaleOrDesktop(stored);
        }
    }
    store.CloseKey();
    return scale;
}

std::string WindowScaleFactorText(int windowScale) {
    const int scale = WindowScaleOrDesktop(windowScale);
    if (scale == kWindowScaleDesktop || scale == 100) {
        return {};
    }
    // Exact decimals: every step is a whole number of hundredths.
    std::string text = std::to_string(scale / 100) + "." + std::to_string(scale / 10 % 10);
    if (scale % 10 != 0) {
        text += std::to_string(scale % 10);
    }
    return text;
}

StoredBand NormalizedBand(const StoredBand& stored) {
    StoredBand band = stored;
    if (std::find(kBandPresetNames.begin(), kBandPresetNames.end(), stored.preset) == kBandPresetNames.end()) {
        band.preset = std::string(kBandPresetNames[0]);
    }
    if (std::find(kBandFilterValues.begin(), kBandFilterValues.end(), stored.filterHz) == kBandFilterValues.end()) {
        band.filterHz = kBandFilterDefault;
    }
    if (stored.seed != kBandSeedRandom) {
        band.seed = std::string(kBandSeedText);
    }
    return band;
}

PersistedSettings DefaultSettingsKeeping(const PersistedSettings& kept) {
    PersistedSettings defaults;
    defaults.transmission.files = kept.transmission.files;
    defaults.noiseFiles = kept.noiseFiles;
    defaults.trainTextNeed = kept.trainTextNeed;
    defaults.language = kept.language;
    defaults.voice = kept.voice;
    defaults.exportAudio = kept.exportAudio;
    defaults.windowScale = kept.windowScale;
    defaults.band = kept.band;
    defaults.trainer = kept.trainer;
    return defaults;
}

std::array<std::string_view, kPersistedValueCount> PersistedValueNames() {
    std::array<std::string_view, kPersistedValueCount> names{};
    for (int i = 0; i < kPersistedValueCount; ++i) {
        names[i] = kValues[i].name;
    }
    return names;
}

LoadOutcome LoadPersistedSettings(SettingsStore& store, int lastLanguageIndex, const PersistedSettings& initial) {
    LoadOutcome outcome;
    outcome.values = initial;

    bool ok = store.OpenKey(false);
    if (ok) {
        for (int n : ReadOrder()) {
            if (!ReadValue(store, kValues[n - 1], outcome.values)) {
                ok = false;
                break;
            }
        }
    }
    store.CloseKey();
    if (!ok) {
        outcome.values = DefaultSettingsKeeping(outcome.values);
        outcome.defaultsApplied = true;
    }

    // "Languige", "Voice", "Export Audio" and "Window scale", each on its own: none takes the
    // default set.
    outcome.values.language = 0;
    outcome.values.windowScale = kWindowScaleDesktop;
    outcome.values.voice = std::string(kVoiceAuto);
    outcome.values.exportAudio = std::string(kExportAudioOff);
    outcome.values.band = StoredBand{};
    outcome.values.trainer = TrainerSettings{};
    if (store.OpenKey(false)) {
        std::int32_t position = 0;
        if (store.ReadInteger(kValues[kLanguageIndex].name, position)) {
            outcome.languageRead = true;
            outcome.values.language = position > lastLanguageIndex ? 0 : position;
        }
        std::string voice;
        if (store.ReadString(kVoiceValueName, voice)) {
            outcome.values.voice = VoiceOrAuto(voice);
            outcome.voiceRead = outcome.values.voice == voice;
        }
        std::string exportAudio;
        if (store.ReadString(kExportAudioValueName, exportAudio)) {
            outcome.values.exportAudio = ExportAudioOrOff(exportAudio);
            outcome.exportAudioRead = outcome.values.exportAudio == exportAudio;
        }
        std::int32_t scale = 0;
        if (store.ReadInteger(kWindowScaleValueName, scale)) {
            outcome.values.windowScale = WindowScaleOrDesktop(scale);
            outcome.windowScaleRead = true;
        }
        outcome.values.band = ReadBand(store);
        outcome.values.trainer = ReadTrainerSettings(store);
    }
    store.CloseKey();

    outcome.values.transmission = ClampToRange(outcome.values.transmission);
    outcome.values.tone = ClampTone(outcome.values.tone);
    return outcome;
}

SaveOutcome SavePersistedSettings(SettingsStore& store, const PersistedSettings& values) {
    SaveOutcome outcome;
    PersistedSettings source = values; // the accessors hand out mutable pointers
    if (store.OpenKey(true)) {
        for (const ValueSpec& entry : kValues) {
            if (!WriteValue(store, entry, source)) {
                outcome.ok = false;
                outcome.error = FailedToSet(store, entry.name);
                break;
            }
        }
        if (outcome.ok && !store.WriteString(kVoiceValueName, VoiceOrAuto(values.voice))) {
            outcome.ok = false;
            outcome.error = FailedToSet(store, kVoiceValueName);
        }
        if (outcome.ok && !store.WriteString(kExportAudioValueName, ExportAudioOrOff(values.exportAudio))) {
            outcome.ok = false;
            outcome.error = FailedToSet(store, kExportAudioValueName);
        }
        const int scale = WindowScaleOrDesktop(values.windowScale);
        if (outcome.ok && scale != kWindowScaleDesktop && !store.WriteInteger(kWindowScaleValueName, scale)) {
            outcome.ok = false;
            outcome.error = FailedToSet(store, kWindowScaleValueName);
        }
        if (outcome.ok) {
            if (const std::string_view failed = WriteBand(store, values.band); !failed.empty()) {
                outcome.ok = false;
                outcome.error = FailedToSet(store, failed);
            }
        }
        std::string_view failedName;
        if (outcome.ok && !WriteTrainerSettings(store, values.trainer, failedName)) {
            outcome.ok = false;
            outcome.error = FailedToSet(store, failedName);
        }
    } else {
        outcome.ok = false;
        outcome.error = store.ErrorText();
        if (outcome.error.empty()) {
            outcome.error = "Failed to set data for '" + std::string(kValues[0].name) + "'";
        }
    }
    if (!store.CloseKey() && outcome.ok) {
        outcome.ok = false;
        outcome.error = store.ErrorText();
    }
    return outcome;
}

} // namespace qlor
