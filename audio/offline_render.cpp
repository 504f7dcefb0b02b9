#include "audio/offline_render.h"

#include "audio/noise_source.h"
#include "audio/signal_to_noise.h"
#include "audio/soundfont_bank.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <vector>

namespace qlor {

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
    std::unique_ptr<AudioSource> text = std::move(midi.source);
    if (request.fading != FadingKind::None) {
        text = std::make_unique<FadingSource>(std::move(text), request.fading, request.fadingDepthDb, request.rate);
    }
    const uint64_t length = text->LengthFrames();

    Mixer mixer(request.rate);
    mixer.SetLevel(kTextSlot, levels.midi);
    mixer.SetLevel(kNoiseSlot, levels.noise);
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
            summary.error = "Writing the output failed.";
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
    const std::string partPath = outPath + ".part";
    SNDFILE* file = sf_open(partPath.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        summary.error = "Cannot create \"" + outPath + "\": " + sf_strerror(nullptr);
        return summary;
    }
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    summary = RenderTransmission(
        request,
        [file](const float* stereo, size_t frames) {
            return sf_writef_float(file, stereo, static_cast<sf_count_t>(frames)) == static_cast<sf_count_t>(frames);
        },
        bank);
    const bool closed = sf_close(file) == 0;
    if (summary.ok() && !closed) {
        summary.error = "Writing \"" + outPath + "\" failed.";
    }
    if (summary.ok() && std::rename(partPath.c_str(), outPath.c_str()) != 0) {
        summary.error = "Cannot write \"" + outPath + "\".";
    }
    if (!summary.ok()) {
        std::remove(partPath.c_str());
    }
    return summary;
}

} // namespace qlor
