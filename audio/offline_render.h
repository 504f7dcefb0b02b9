#pragma once
// Offline rendering of a transmission, faster than real time, through the same mixer and
// sources as playback: the text from its start to its end, with the noise (if any) started
// with it, looping under it and stopping with it.
#include "audio/band_generator.h"
#include "audio/fading_source.h"
#include "audio/midi_source.h"
#include "audio/mixer.h"
#include "synthesis/audio_formats.h"

#include <functional>
#include <optional>
#include <string>

namespace qlor {

class SoundFontBank;

struct RenderRequest {
    std::string midiPath;
    std::string noisePath;            // empty: no noise
    uint16_t midiLevel = kFullLevel;  // 0..65535
    uint16_t noiseLevel = kFullLevel; // 0..65535
    VoiceKind voice = VoiceKind::Automatic;
    int rate = 48000;          // [frames/s]
    std::string soundFontPath; // empty: automatic lookup
    // With a noise: levels chosen for this signal-to-noise ratio [dB] (signal_to_noise.h); the
    // noise level is replaced, and the MIDI level lowered when the noise cannot be loud enough.
    std::optional<double> snrDb;
    FadingKind fading = FadingKind::None; // fading of the text only
    double fadingDepthDb = kDefaultFadingDepthDb;
    // The text through a generated band, built around the text's tone, speed and loudness (the
    // noise recording, if any, mixes in before the receiver, at its level).
    std::optional<BandSettings> band;
};

struct RenderSummary {
    std::string error;   // empty on success
    std::string warning; // e.g. no SoundFont, the pure tone was used
    uint64_t frames = 0; // rendered [frames]
    VoiceKind voice = VoiceKind::Tone;
    bool ok() const { return error.empty(); }
};

// The error of a rendering whose sink gave up; RenderToFile replaces it by the file and reason.
inline constexpr char kSinkFailed[] = "Writing the output failed.";

// Receives consecutive blocks of interleaved stereo frames; returns false to give up (the
// rendering then fails with `error` of the summary set to kSinkFailed).
using FrameSink = std::function<bool(const float* stereo, size_t frames)>;

// Renders into `sink`. A bank (at the request's rate) may be passed to reuse a loaded
// SoundFont; otherwise one is made for the call when the voice needs it.
RenderSummary RenderTransmission(const RenderRequest& request, const FrameSink& sink, SoundFontBank* bank = nullptr);

// Renders to a file whose type follows its extension: ".wav" (16-bit PCM; RF64 beyond 4 GiB),
// ".flac" (16-bit), ".ogg" (Vorbis) or ".mp3". 16-bit samples are rounded with TPDF dither. A
// note at or above half the rate is an error. The file is written as "OUT.part" (created
// exclusively, never through a link) and renamed into place once complete and synced, so a
// failure leaves no partial file and an older OUT as it was; an interrupted qlor-cli removes the
// part file.
RenderSummary RenderToFile(const RenderRequest& request, const std::string& outPath, SoundFontBank* bank = nullptr);

// The band alone for `frames` [frames] (no wanted signal; the band's own parts at full level).
RenderSummary RenderBand(const BandSettings& settings, const BandSignal& signal, uint64_t frames,
                         const FrameSink& sink);

// Writes what `render` gives its sink into a sound file as RenderToFile does (16-bit with TPDF
// dither, written as "OUT.part" and renamed into place).
RenderSummary WriteSoundFile(const std::string& outPath, int rate,
                             const std::function<RenderSummary(const FrameSink& sink)>& render);

// The libsndfile format of a row of kAudioFormats (stereo; a WAV is written as RF64).
int SndfileFormat(AudioFileType type);
// The libsndfile format for an output path, or 0 when its extension is none of kAudioFormats.
int OutputFormatFor(const std::string& outPath);

} // namespace qlor
