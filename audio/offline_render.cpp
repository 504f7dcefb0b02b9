#include "audio/offline_render.h"

#include "audio/noise_source.h"
#include "audio/note_pitch.h"
#include "audio/signal_to_noise.h"
#include "audio/soundfont_bank.h"
#include "base/safe_file.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace qlor {
namespace {

// A note at or above half the output rate cannot be represented: it would be silent (the pure
// tone) or an alias at another pitch (the SoundFont).
std::string NoteAboveNyquist(const MidiTimeline& timeline) {
    const double nyquist = timeline.rate / 2.0; // [Hz]
    for (const TimedEvent& event : timeline.events) {
        const double hertz = NoteHz(event.data1);
        if ((event.status & 0xF0) == 0x90 && hertz >= nyquist) {
            char text[200];
            std::snprintf(text, sizeof(text),
                          "The note %d (%.0f Hz) is at or above half the output rate of %d Hz: choose a higher rate.",
                          event.data1, hertz, timeline.rate);
            return text;
        }
    }
    return {};
}

// 16-bit samples rounded with triangular (TPDF) dither of 1 LSB peak each side, so that low
// levels keep neither truncation distortion nor a DC offset. The dither comes from a table of
// kDitherSamples drawn once from a fixed seed and used in turn (cheap enough to keep the
// conversion far below the rendering's cost): a render is identical run to run.
class Dither16 {
public:
    Dither16() : noise_(kDitherSamples) {
        uint64_t state = 0x9E3779B97F4A7C15ull;
        for (float& value : noise_) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            // Two independent 32-bit uniforms from one draw; their sum less 2^32 is triangular.
            const auto sum = static_cast<int64_t>(state & 0xFFFFFFFFu) + static_cast<int64_t>(state >> 32);
            value = static_cast<float>(static_cast<double>(sum - 4294967296ll) / 4294967296.0); // (-1, 1) [LSB]
        }
    }
    void Convert(const float* in, short* out, size_t samples) {
        while (samples > 0) {
            const size_t now = std::min(samples, kDitherSamples - next_);
            const float* __restrict noise = noise_.data() + next_;
            const float* __restrict from = in;
            short* __restrict to = out;
            for (size_t k = 0; k < now; ++k) { // branch-free, so it vectorises
                // Offset to positive numbers, whose truncation is the floor: rounded to the nearest.
                const float value = std::min(std::max(from[k] * 32767.0f + noise[k] + 32768.5f, 0.0f), 65535.0f);
                to[k] = static_cast<short>(static_cast<int>(value) - 32768);
            }
            next_ = (next_ + now) & (kDitherSamples - 1);
            in += now;
            out += now;
            samples -= now;
        }
    }

private:
    static constexpr size_t kDitherSamples = size_t{1} << 16; // about 0.7 s of stereo at 48 kHz
    std::vector<float> noise_;
    size_t next_ = 0;
};

} // namespace

RenderSummary RenderTransmission(const RenderRequest& request, const FrameSink& sink, SoundFontBank* bank) {
    RenderSummary summary;
    std::unique_ptr<SoundFontBank> ownBank;
    if (request.voice != VoiceKind::Tone && bank == nullptr) {
        ownBank = std::make_unique<SoundFontBank>(request.rate);
        bank = ownBank.get();
    }
    if (bank != nullptr && bank->Rate() == request.rate) {
        bank->SetPath(request.soundFontPath);
    }
    MidiOpenResult midi = OpenMidiFile(request.midiPath, request.voice, bank, request.rate);
    if (!midi.error.empty()) {
        summary.error = std::move(midi.error);
        return summary;
    }
    summary.warning = std::move(midi.warning);
    summary.voice = midi.source->Voice();
    if (std::string above = NoteAboveNyquist(midi.source->Timeline()); !above.empty()) {
        summary.error = std::move(above);
        return summary;
    }
    std::unique_ptr<AudioSource> noise;
    MixLevels levels{request.midiLevel, request.noiseLevel};
    if (!request.noisePath.empty()) {
        NoiseResult decoded = DecodeNoiseFile(request.noisePath, request.rate);
        if (!decoded.ok()) {
            summary.error = std::move(decoded.error);
            return summary;
        }
        if (request.snrDb) {
            const double tone = TonePitchHz(midi.source->Timeline());
            levels = LevelsForSnr(KeyDownBandPower(*midi.source, tone), NoiseBandPower(*decoded.clip, tone),
                                  request.midiLevel, *request.snrDb);
        }
        noise = std::make_unique<NoiseSource>(std::move(decoded.clip));
    }
    std::unique_ptr<BandGenerator> band;
    if (request.band) {
        band = std::make_unique<BandGenerator>(*request.band, BandSignalOfText(*midi.source));
    }
    std::unique_ptr<AudioSource> text = std::move(midi.source);
    if (request.fading != FadingKind::None) {
        text = std::make_unique<FadingSource>(std::move(text), request.fading, request.fadingDepthDb, request.rate);
    }
    const uint64_t length = text->LengthFrames();

    Mixer mixer(request.rate);
    mixer.SetLevel(kTextSlot, levels.midi);
    mixer.SetLevel(kNoiseSlot, levels.noise);
    const bool withNoise = noise != nullptr;
    if (band) {
        mixer.AttachBand(band);
    }
    mixer.Attach(kTextSlot, text);
    if (withNoise) {
        mixer.Attach(kNoiseSlot, noise);
    }
    mixer.Play(kTextSlot, 1);
    if (withNoise) {
        mixer.Play(kNoiseSlot, 2); // the text plays, so the noise follows it
    }
    constexpr size_t kBlock = 4096; // [frames]
    std::vector<float> buffer(2 * kBlock);
    while (summary.frames < length) {
        const auto now = static_cast<size_t>(std::min<uint64_t>(kBlock, length - summary.frames));
        mixer.Pull(buffer.data(), now);
        if (!sink(buffer.data(), now)) {
            summary.error = kSinkFailed;
            return summary;
        }
        summary.frames += now;
    }
    return summary;
}

int SndfileFormat(AudioFileType type) {
    switch (type) {
    case AudioFileType::Ogg:
        return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    case AudioFileType::Flac:
        return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    case AudioFileType::Mp3:
        return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    case AudioFileType::Wav:
        // Written as RF64, which libsndfile turns into a plain WAV when the file stays under 4 GiB.
        return SF_FORMAT_RF64 | SF_FORMAT_PCM_16;
    }
    return 0;
}

int OutputFormatFor(const std::string& outPath) {
    const AudioFormat* format = AudioFormatOfPath(outPath);
    return format == nullptr ? 0 : SndfileFormat(format->type);
}

RenderSummary RenderBand(const BandSettings& settings, const BandSignal& signal, uint64_t frames,
                         const FrameSink& sink) {
    RenderSummary summary;
    BandGenerator band(settings, signal);
    std::vector<float> buffer(2 * BandGenerator::kMaxFrames, 0.0f);
    const std::vector<float> silence(2 * BandGenerator::kMaxFrames, 0.0f);
    while (summary.frames < frames) {
        const auto now = static_cast<size_t>(std::min<uint64_t>(BandGenerator::kMaxFrames, frames - summary.frames));
        band.Process(silence.data(), nullptr, 1.0, buffer.data(), now);
        if (!sink(buffer.data(), now)) {
            summary.error = kSinkFailed;
            return summary;
        }
        summary.frames += now;
    }
    return summary;
}

RenderSummary RenderToFile(const RenderRequest& request, const std::string& outPath, SoundFontBank* bank) {
    return WriteSoundFile(outPath, request.rate,
                          [&](const FrameSink& sink) { return RenderTransmission(request, sink, bank); });
}

RenderSummary WriteSoundFile(const std::string& outPath, int rate,
                             const std::function<RenderSummary(const FrameSink& sink)>& render) {
    RenderSummary summary;
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = OutputFormatFor(outPath);
    if (info.format == 0) {
        summary.error = "The output file \"" + outPath + "\" must end in .wav, .flac, .ogg or .mp3.";
        return summary;
    }
    if (!sf_format_check(&info)) {
        summary.error = "This system cannot write \"" + outPath + "\" at " + std::to_string(rate) + " Hz.";
        return summary;
    }
    // "OUT.part" is created exclusively and never through a link, and libsndfile writes through
    // that descriptor, so nothing planted under the name is followed or overwritten.
    PartFile part;
    if (std::string error = part.Create(outPath); !error.empty()) {
        summary.error = Capitalised(error) + ".";
        return summary;
    }
    SNDFILE* file = sf_open_fd(part.Descriptor(), SFM_WRITE, &info, SF_FALSE);
    if (file == nullptr) {
        summary.error = "Cannot create \"" + outPath + "\": " + sf_strerror(nullptr);
        return summary;
    }
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    if ((info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_RF64) {
        sf_command(file, SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE);
    }
    const bool pcm16 = (info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_16;
    Dither16 dither;
    std::vector<short> pcm;
    int writeErrno = 0;
    summary = render([&](const float* stereo, size_t frames) {
        const auto count = static_cast<sf_count_t>(frames);
        errno = 0;
        bool written;
        if (!pcm16) {
            written = sf_writef_float(file, stereo, count) == count;
        } else {
            pcm.resize(2 * frames);
            dither.Convert(stereo, pcm.data(), 2 * frames);
            written = sf_writef_short(file, pcm.data(), count) == count;
        }
        writeErrno = written ? 0 : errno;
        return written;
    });
    if (!summary.ok() && writeErrno != 0) {
        summary.error = "Cannot write \"" + outPath + "\": " + ErrnoText(writeErrno) + ".";
    } else if (!summary.ok() && summary.error == kSinkFailed) {
        summary.error = "Cannot write \"" + outPath + "\": " + sf_strerror(file) + ".";
    }
    errno = 0;
    const bool closed = sf_close(file) == 0;
    if (summary.ok() && !closed) {
        summary.error =
            "Cannot write \"" + outPath + "\": " + (errno != 0 ? ErrnoText(errno) : "the encoder failed") + ".";
    }
    if (summary.ok()) {
        if (std::string error = part.Commit(); !error.empty()) {
            summary.error = Capitalised(error) + ".";
        }
    }
    // A part file not committed is removed with `part`.
    return summary;
}

} // namespace qlor
