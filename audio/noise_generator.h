#pragma once
// Generated band noise: what a CW receiver's loudspeaker gives between and under the signals.
// Four kinds, each heard through the same receiver filter (300..2700 Hz):
//   hiss    receiver noise;
//   static  atmospheric crackle and crashes with natural decays over weak hiss;
//   qrm     two to four other telegraph stations at other pitches, speeds and strengths;
//   mix     hiss, occasional crashes, distant stations and a slowly drifting heterodyne whistle.
// A recording is a loop: its last sample leads into its first without a click or a gap (every
// burst, keyed element, tone and fade is laid out on a circle of the recording's length).
// The samples depend only on the recipe: integer random numbers, portable maths and no fused
// multiply-add make the same bytes on every machine.
#include "synthesis/settings_table.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qlor {

enum class NoiseKind { Hiss, Static, Qrm, Mix };

// "hiss", "static", "qrm", "mix".
const char* NoiseKindName(NoiseKind kind);
bool ParseNoiseKind(const std::string& name, NoiseKind& kind);

// The ranges of a recording, the settings table's.
inline constexpr int kNoiseMinRate = RangeOf(Setting::SampleRate).min;      // [frames/s]
inline constexpr int kNoiseMaxRate = RangeOf(Setting::SampleRate).max;      // [frames/s]
inline constexpr int kNoiseMinSeconds = RangeOf(Setting::SoundSeconds).min; // [s]
inline constexpr int kNoiseMaxSeconds = RangeOf(Setting::SoundSeconds).max; // [s]
inline constexpr double kReceiverLowHz = 300;                               // lower edge of the receiver filter [Hz]
inline constexpr double kReceiverHighHz = 2700;                             // upper edge of the receiver filter [Hz]
// The wanted signal's pitch with the default tone (MIDI note 73) [Hz].
inline constexpr double kDefaultToneHz = 554.3652619537442;

struct NoiseRecipe {
    NoiseKind kind = NoiseKind::Hiss;
    uint64_t seed = static_cast<uint64_t>(DefaultOf(Setting::Seed));
    int rate = DefaultOf(Setting::SampleRate);      // [frames/s]
    int seconds = DefaultOf(Setting::SoundSeconds); // [s]
};

// One interfering telegraph station of a qrm or mix recording.
struct InterferingStation {
    double pitchHz = 0;  // [Hz]
    int speedCpm = 0;    // [cpm]
    double peakDb = 0;   // key-down amplitude [dBFS]
    double fadingDb = 0; // depth of its slow fading [dB]
    std::string text;    // what it sends, over and over
};

// What a recipe put into the recording (for the command line and for tests).
struct NoisePlan {
    std::vector<InterferingStation> stations;
    double whistleHz = 0;      // centre pitch of the heterodyne whistle, 0 when there is none [Hz]
    double whistleDriftHz = 0; // its drift either side of the centre [Hz]
    int crashes = 0;           // static crashes in the loop
};

class NoiseGenerator {
public:
    explicit NoiseGenerator(const NoiseRecipe& recipe); // the recipe must be in range
    ~NoiseGenerator();
    NoiseGenerator(const NoiseGenerator&) = delete;
    NoiseGenerator& operator=(const NoiseGenerator&) = delete;

    uint64_t LengthFrames() const; // [frames]
    const NoisePlan& Plan() const;
    // The next `frames` mono 16-bit samples after those of the previous call (the first call
    // starts at the loop's first sample); returns the samples written, fewer only at the end.
    size_t Render(int16_t* out, size_t frames);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Generates a recording into a file whose type follows its extension (.wav, .flac, .ogg), mono,
// 16 bit. The file is written under a temporary name and renamed into place, so a failure (a full
// disk) leaves no file under the final name. Returns an error text, empty on success.
std::string WriteNoiseFile(const NoiseRecipe& recipe, const std::string& outPath);

} // namespace qlor
