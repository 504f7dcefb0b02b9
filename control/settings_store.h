#pragma once
// The settings kept between runs: a per-user key-value store with integer, boolean and string
// values, the 46 values the window keeps in it plus the signal's voice, and the rules for reading
// them at start and writing them at close.
//
// The store is an edge of the core: its strings are UTF-8, as the store keeps them. Only the
// values that are texts the core keys or compares ("Selected symbols string", "BeginChar",
// "EndChar") are converted to Windows-1251 on the way in and back to UTF-8 on the way out; the
// file paths ("Noise File 1".."4", "PathDir") stay UTF-8 all the way, so a path with characters
// the code page cannot hold (é, 日本, emoji) survives a restart and still names its file.
#include "control/trainer_settings.h"
#include "synthesis/settings_table.h"
#include "synthesis/sound_names.h" // the voice and band preset names the stored values take
#include "synthesis/transmission_settings.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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
    // with another kind. The text is UTF-8 and ends at its first zero byte.
    virtual bool ReadString(std::string_view name, std::string& value) = 0;
    // Create or replace a value; false when the store refuses. Strings are UTF-8.
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

// The stored value "Voice": how the text player sounds a MIDI file. "auto" takes the SoundFont
// when one is installed and the pure tone otherwise. Read on its own after the 46 values and
// written after them; a missing or unknown value reads as "auto" and never takes the default set.
inline constexpr std::string_view kVoiceValueName = "Voice";
// `stored` when it is one of the three voice names (exactly as written), else "auto".
std::string VoiceOrAuto(std::string_view stored);

// The stored value "Export Audio": the sound file the batch export writes beside each text and
// MIDI file, by its extension, or "off". Read and written right after "Voice", the same way: a
// missing or unknown value reads as "off" and never takes the default set.
inline constexpr std::string_view kExportAudioValueName = "Export Audio";
inline constexpr std::string_view kExportAudioOff = "off";
// `stored` when it is "off" or the extension of one of kAudioFormats (exactly as written), else "off".
std::string ExportAudioOrOff(std::string_view stored);

// The stored value "Window scale": the size of the whole window and its fonts, in percent of the
// desktop's own scale, from the next start. Read and written right after "Export Audio". Missing
// (never chosen), of another kind, zero or negative, it is kWindowScaleDesktop: the desktop's own
// scale is left alone and nothing is written. Other values are brought into 100..300 and to the
// nearest of the offered steps.
inline constexpr std::string_view kWindowScaleValueName = "Window scale";
inline constexpr int kWindowScaleDesktop = 0;
inline constexpr std::array<int, 7> kWindowScaleSteps = {100, 125, 150, 175, 200, 250, 300}; // [%]
static_assert(kWindowScaleSteps.front() == RangeOf(Setting::WindowScale).min &&
                  kWindowScaleSteps.back() == RangeOf(Setting::WindowScale).max,
              "the offered window scales span the settings table's range");
static_assert(kWindowScaleDesktop == DefaultOf(Setting::WindowScale));
// `stored` as the window applies it: kWindowScaleDesktop or one of kWindowScaleSteps.
int WindowScaleOrDesktop(std::int32_t stored);
// Reads "Window scale" alone, before the window exists, touching no other value: the desktop's
// own scale when the key or the value is missing.
int LoadWindowScale(SettingsStore& store);
// The factor the whole window is drawn with (QT_SCALE_FACTOR), as text, for a window scale:
// empty when nothing needs to be set (the desktop's own scale, or 100 %).
std::string WindowScaleFactorText(int windowScale);

// The generated band the window plays the texts through, stored after "Export Audio" in five
// values read and written the same way: each missing, of another kind or unknown value reads as
// its default on its own (no band at all when "Band" is), and none takes the default set.
//   "Band"        "off", "quiet", "average", "contest" or "poor"
//   "Band SNR"    integer [dB]; missing: the preset's own ratio
//   "Band Filter" integer, the receiver filter's width: 250, 500 or 2400 [Hz]
//   "Band AGC"    integer, 0 or 1
//   "Band Seed"   "text" (the band follows the text number) or "random"
inline constexpr std::string_view kBandValueName = "Band";
inline constexpr std::string_view kBandSnrValueName = "Band SNR";
inline constexpr std::string_view kBandFilterValueName = "Band Filter";
inline constexpr std::string_view kBandAgcValueName = "Band AGC";
inline constexpr std::string_view kBandSeedValueName = "Band Seed";
inline constexpr std::array<int, 3> kBandFilterValues = {250, 500, 2400}; // [Hz]
inline constexpr int kBandFilterDefault = 500;                            // [Hz]
inline constexpr std::string_view kBandSeedText = "text";
inline constexpr std::string_view kBandSeedRandom = "random";

struct StoredBand {
    std::string preset = std::string(kBandPresetNames[0]); // "off": no band
    std::optional<std::int32_t> snrDb;                     // [dB]; none: the preset's own
    int filterHz = kBandFilterDefault;                     // [Hz]
    bool agc = true;
    std::string seed = std::string(kBandSeedText);

    bool operator==(const StoredBand&) const = default;
};
// Each value as it is written: a known name or width as it stands, anything else its default.
StoredBand NormalizedBand(const StoredBand& stored);

// Every stored value, holding what the window shows before the store is read: the default set
// plus the initial state of the "kept" values (empty noise files, "Train Text Need" set, file
// count 00), English and the automatic voice.
//
// Encodings: the texts the core keys or compares (selectedSymbolsString, beginChar, endChar)
// are Windows-1251; the file paths (noiseFiles, pathDir) and the voice are UTF-8.
struct PersistedSettings {
    TransmissionSettings transmission = DefaultTransmissionSettings(); // the 24 integer settings
    int tone = kToneDefault;                                           // "Tone" [MIDI note]
    bool textType = false;                                             // "Text Type" (own text)
    std::array<std::string, 4> noiseFiles{};                           // "Noise File 1".."4" (UTF-8 paths)
    bool trainTextNeed = true;                                         // "Train Text Need"
    bool parisSystem = false;                                          // "Paris system"
    bool allSymbols = true;                                            // "All Symbols"
    bool selectedSymbols = false;                                      // "Selected Symbols"
    std::string selectedSymbolsString = FullAlphabet();                // "Selected symbols string" (cp1251)
    bool autoPriem = false;                                            // "Autopriem"
    bool needHeader = true;                                            // "NeedHeader"
    bool headerStandart = true;                                        // "HeaderStandart"
    bool headerUser = false;                                           // "HeaderUser"
    std::string beginChar = "VVV=";                                    // "BeginChar" (cp1251)
    bool needEnded = true;                                             // "NeedEnded"
    bool endedStandart = true;                                         // "EndedStandart"
    bool endedUser = false;                                            // "EndedUser"
    std::string endChar = "AR";                                        // "EndChar" (cp1251)
    std::string pathDir;                                               // "PathDir" (UTF-8 path)
    int language = 0;                                                  // "Languige": language list position
    std::string voice = std::string(kVoiceAuto);                       // "Voice": auto, soundfont or tone
    std::string exportAudio = std::string(kExportAudioOff);            // "Export Audio": off, ogg, flac, mp3, wav
    int windowScale = kWindowScaleDesktop;                             // "Window scale" [%], 0 the desktop's own
    StoredBand band;                                                   // "Band" .. "Band Seed"
    TrainerSettings trainer;                                           // the trainer window's values, after all others

    bool operator==(const PersistedSettings&) const = default;
};

// The default set that replaces everything when the store cannot supply a value; the noise
// files, "Train Text Need", the file count, the language position, the voice, the export's
// audio choice, the window scale, the band and the trainer's values keep the values of `kept`.
PersistedSettings DefaultSettingsKeeping(const PersistedSettings& kept);

// Stored names in write order (#1..#46); "Voice", "Export Audio", "Window scale", the band's five and the
// trainer's four follow them.
inline constexpr int kPersistedValueCount = 46;
std::array<std::string_view, kPersistedValueCount> PersistedValueNames();

struct LoadOutcome {
    PersistedSettings values;
    bool defaultsApplied = false; // a settings read failed and the default set was taken
    bool languageRead = false;    // "Languige" was read
    bool voiceRead = false;       // "Voice" was read and is one of the three names
    bool exportAudioRead = false; // "Export Audio" was read and is "off" or one of the formats
    bool windowScaleRead = false; // "Window scale" was read as an integer
};

// Reads the settings at start. Values #1..#21, #35, #36, #22..#34, #37..#45 are read in that
// order; the first failing read stops the reading and the default set replaces everything read
// so far except the kept values. "Languige" is read afterwards on its own: a failure leaves
// English (0), a stored position greater than `lastLanguageIndex` (the last index of the
// language list) becomes 0. "Voice" is read right after it, in the same block: missing, of
// another kind or unknown, it is "auto"; then "Export Audio", "off" in those cases; then "Window
// scale" (WindowScaleOrDesktop), then the band's values (StoredBand), then the trainer's
// (ReadTrainerSettings). Loaded values are then brought into
// their ranges (ClampToRange, ClampTone), since the store may hold anything. `initial` is the state before loading.
LoadOutcome LoadPersistedSettings(SettingsStore& store, int lastLanguageIndex,
                                  const PersistedSettings& initial = PersistedSettings{});

struct SaveOutcome {
    bool ok = true;
    std::string error; // "Failed to set data for '<name>'", or the store's own text
};

// Writes #1..#46 in order at close, then "Voice" and "Export Audio", then "Window scale" unless it
// is the desktop's own, then the band's values (the SNR only when it is set), then the trainer's four. The first
// failing write stops the writing; the key is closed in every case and a failure to make the writes durable is reported
// too.
SaveOutcome SavePersistedSettings(SettingsStore& store, const PersistedSettings& values);

} // namespace qlor
