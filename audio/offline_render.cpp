#include "audio/offline_render.h"

#include "audio/noise_source.h"
#include "audio/soundfont_bank.h"
#include "synthesis/safe_file.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>

namespace qlor {
namespace {

std::string Capitalised(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') {
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    }
    return text;
}

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
    std::unique_ptr<AudioSource> text = std::move(midi.source);
    std::unique_ptr<AudioSource> noise;
    if (!request.noisePath.empty()) {
        NoiseResult decoded = DecodeNoiseFile(request.noisePath, request.rate);
        if (!decoded.ok()) {
            summary.error = std::move(decoded.error);
            return summary;
        }
        noise = std::make_unique<NoiseSource>(std::move(decoded.clip));
    }
    const uint64_t length = text->LengthFrames();

    Mixer mixer(request.rate);
    mixer.SetLevel(kTextSlot, request.midiLevel);
    mixer.SetLevel(kNoiseSlot, request.noiseLevel);
    const bool withNoise = noise != nullptr;
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

int OutputFormatFor(const std::string& outPath) {
    const auto dot = outPath.find_last_of('.');
    if (dot == std::string::npos || outPath.find('/', dot) != std::string::npos) {
        return 0;
    }
    std::string extension = outPath.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "wav") {
        return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    }
    if (extension == "flac") {
        return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    }
    if (extension == "ogg") {
        return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    }
    if (extension == "mp3") {
        return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    }
    return 0;
}

RenderSummary RenderToFile(const RenderRequest& request, const std::string& outPath, SoundFontBank* bank) {
    RenderSummary summary;
    SF_INFO info{};
    info.samplerate = request.rate;
    info.channels = 2;
    info.format = OutputFormatFor(outPath);
    if (info.format == 0) {
        summary.error = "The output file \"" + outPath + "\" must end in .wav, .flac, .ogg or .mp3.";
        return summary;
    }
    if (!sf_format_check(&info)) {
        summary.error = "This system cannot write \"" + outPath + "\" at " + std::to_string(request.rate) + " Hz.";
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
    int writeErrno = 0;
    summary = RenderTransmission(
        request,
        [file, &writeErrno](const float* stereo, size_t frames) {
            errno = 0;
            const bool written =
                sf_writef_float(file, stereo, static_cast<sf_count_t>(frames)) == static_cast<sf_count_t>(frames);
            writeErrno = written ? 0 : errno;
            return written;
        },
        bank);
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
