#pragma once
// The settings kept between runs: a per-user key-value store with integer, boolean and string
// values, the 46 values the window keeps in it, and the rules for reading them at start and
// writing them at close.
#include "synthesis/transmission_settings.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace qlor {

// One per-user key holding named values. Reads and writes need an open key; CloseKey is always
// called after OpenKey, also after a failure, and reports whether everything written reached the
// store.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // create = false: opens an existing key and creates nothing; false when the key is absent or
    // unusable. create = true: opens the key, creating it when missing; false when that fails.
    virtual bool OpenKey(bool create) = 0;
    // false when the key is not open, the value is missing, or it is not an integer (a text that
    // does not read as a 32-bit decimal integer, such as "abc", is not one).
    virtual bool ReadInteger(std::string_view name, std::int32_t& value) = 0;
    // A missing value reads as an empty text; false when the key is not open or the value exists
    // with another kind. The text is Windows-1251 and ends at its first zero byte.
    virtual bool ReadString(std::string_view name, std::string& value) = 0;
    // Create or replace a value; false when the store refuses.
    virtual bool WriteInteger(std::string_view name, std::int32_t value) = 0;
    virtual bool WriteString(std::string_view name, std::string_view value) = 0;
    // Closes the key; false when what was written could not be made durable (ErrorText says why).
    virtual bool CloseKey() = 0;
    // The store's own description of its last failure (empty when it has none).
    virtual std::string ErrorText() const { return {}; }

    // Booleans are integers: written as 0 or 1, any non-zero integer reads as true.
    bool ReadBoolean(std::string_view name, bool& value);
    bool WriteBoolean(std::string_view name, bool value) { return WriteInteger(name, value ? 1 : 0); }
};

// Every stored value, holding what the window shows before the store is read: the default set
// plus the initial state of the "kept" values (empty noise files, "Train Text Need" set, file
// count 00) and English.
struct PersistedSettings {
    TransmissionSettings transmission = DefaultTransmissionSettings(); // the 24 integer settings
    int tone = kToneDefault;                                           // "Tone" [MIDI note]
    bool textType = false;                                             // "Text Type" (own text)
    std::array<std::string, 4> noiseFiles{};                           // "Noise File 1".."4"
    bool trainTextNeed = true;                                         // "Train Text Need"
    bool parisSystem = false;                                          // "Paris system"
    bool allSymbols = true;                                            // "All Symbols"
    bool selectedSymbols = false;                                      // "Selected Symbols"
    std::string selectedSymbolsString = FullAlphabet();                // "Selected symbols string"
    bool autoPriem = false;                                            // "Autopriem"
    bool needHeader = true;                                            // "NeedHeader"
    bool headerStandart = true;                                        // "HeaderStandart"
    bool headerUser = false;                                           // "HeaderUser"
    std::string beginChar = "VVV=";                                    // "BeginChar"
    bool needEnded = true;                                             // "NeedEnded"
    bool endedStandart = true;                                         // "EndedStandart"
    bool endedUser = false;                                            // "EndedUser"
    std::string endChar = "AR";                                        // "EndChar"
    std::string pathDir;                                               // "PathDir"
    int language = 0;                                                  // "Languige": language list position

    bool operator==(const PersistedSettings&) const = default;
};

// The default set that replaces everything when the store cannot supply a value; the noise
// files, "Train Text Need", the file count and the language position keep the values of `kept`.
PersistedSettings DefaultSettingsKeeping(const PersistedSettings& kept);

// Stored names in write order (#1..#46).
inline constexpr int kPersistedValueCount = 46;
std::array<std::string_view, kPersistedValueCount> PersistedValueNames();

struct LoadOutcome {
    PersistedSettings values;
    bool defaultsApplied = false; // a settings read failed and the default set was taken
    bool languageRead = false;    // "Languige" was read
};

// Reads the settings at start. Values #1..#21, #35, #36, #22..#34, #37..#45 are read in that
// order; the first failing read stops the reading and the default set replaces everything read
// so far except the kept values. "Languige" is read afterwards on its own: a failure leaves
// English (0), a stored position greater than `lastLanguageIndex` (the last index of the
// language list) becomes 0. Loaded values are then brought into their ranges (ClampToRange,
// ClampTone), since the store may hold anything. `initial` is the state before loading.
LoadOutcome LoadPersistedSettings(SettingsStore& store, int lastLanguageIndex,
                                  const PersistedSettings& initial = PersistedSettings{});

struct SaveOutcome {
    bool ok = true;
    std::string error; // "Failed to set data for '<name>'", or the store's own text
};

// Writes #1..#46 in order at close. The first failing write stops the writing; the key is closed
// in every case and a failure to make the writes durable is reported too.
SaveOutcome SavePersistedSettings(SettingsStore& store, const PersistedSettings& values);

// A store held in memory: for tests and for running without a persistent store.
class MemorySettingsStore : public SettingsStore {
public:
    struct OtherKind {
        bool operator==(const OtherKind&) const = default;
    }; // a value of a kind the program never writes (binary data, a list, ...)
    using Value = std::variant<std::int32_t, std::string, OtherKind>;

    std::map<std::string, Value, std::less<>> values;
    bool keyExists = false;
    std::string refuseWriteOf;    // writing this value fails
    bool failOnClose = false;     // CloseKey reports a failure
    std::vector<std::string> log; // names read and written, in order
    int openCount = 0;
    int closeCount = 0;

    bool OpenKey(bool create) override;
    bool ReadInteger(std::string_view name, std::int32_t& value) override;
    bool ReadString(std::string_view name, std::string& value) override;
    bool WriteInteger(std::string_view name, std::int32_t value) override;
    bool WriteString(std::string_view name, std::string_view value) override;
    bool CloseKey() override;
    std::string ErrorText() const override { return error_; }

private:
    bool open_ = false;
    std::string error_;
};

} // namespace qlor
