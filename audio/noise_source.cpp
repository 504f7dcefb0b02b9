#include "audio/noise_source.h"

#include <sndfile.h>
#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

namespace qlor {
namespace {

constexpr int kMaxInputRate = 768000;     // [frames/s]
constexpr uint64_t kLoopPadFrames = 4096; // recording frames the resampler sees across the loop point

std::string Unplayable(const std::string& path, const std::string& why) {
    return "The noise file \"" + path + "\" cannot be played: " + why;
}

// Resamples one period of a looping signal: the input is padded on both sides with its own
// continuation, resampled, and the middle taken.
std::string ResampleLoop(NoiseClip& clip, int rate) {
    const uint64_t n = clip.frames;
    const int channels = clip.channels;
    const uint64_t pad = kLoopPadFrames;
    std::vector<float> padded((n + 2 * pad) * channels);
    for (uint64_t i = 0; i < n + 2 * pad; ++i) {
        const uint64_t from = (i + n * ((pad + n - 1) / n) - pad) % n; // (i - pad) mod n
        for (int c = 0; c < channels; ++c) {
            padded[i * channels + c] = clip.samples[from * channels + c];
        }
    }
    const double ratio = static_cast<double>(rate) / clip.rate;
    const auto outCapacity = static_cast<size_t>(std::ceil((n + 2 * pad) * ratio)) + 16;
    std::vector<float> resampled(outCapacity * channels);
    size_t used = 0;
    size_t made = 0;
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    const soxr_error_t error =
        soxr_oneshot(clip.rate, rate, static_cast<unsigned>(channels), padded.data(), n + 2 * pad, &used,
                     resampled.data(), outCapacity, &made, &io, &quality, nullptr);
    if (error != nullptr) {
        return std::string("resampling failed (") + error + ")";
    }
    const auto skip = static_cast<uint64_t>(std::llround(pad * ratio));
    const auto length = std::max<uint64_t>(1, static_cast<uint64_t>(std::llround(n * ratio)));
    if (skip + length > made) {
        return "resampling failed (short output)";
    }
    clip.samples.assign(resampled.begin() + static_cast<std::ptrdiff_t>(skip * channels),
                        resampled.begin() + static_cast<std::ptrdiff_t>((skip + length) * channels));
    clip.frames = length;
    clip.rate = rate;
    return {};
}

bool Cancelled(const std::atomic<bool>* cancel) {
    return cancel != nullptr && cancel->load(std::memory_order_relaxed);
}

NoiseResult Decode(const std::string& path, int rate, const std::atomic<bool>* cancel) {
    NoiseResult result;
    SF_INFO info{};
    std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> file(sf_open(path.c_str(), SFM_READ, &info), &sf_close);
    if (file == nullptr) {
        result.error = Unplayable(path, sf_strerror(nullptr));
        return result;
    }
    if (info.channels < 1 || info.samplerate < 1 || info.samplerate > kMaxInputRate) {
        result.error = Unplayable(path, "its sample rate or channel count is not supported.");
        return result;
    }
    auto clip = std::make_shared<NoiseClip>();
    clip->rate = info.samplerate;
    clip->channels = std::min(info.channels, 2);
    const uint64_t limit = kMaxNoiseSeconds * static_cast<uint64_t>(info.samplerate);
    constexpr sf_count_t kChunk = 4096; // [frames]
    std::vector<float> chunk(static_cast<size_t>(kChunk) * info.channels);
    if (info.frames > 0) {
        clip->samples.reserve(static_cast<size_t>(std::min<uint64_t>(info.frames, limit)) * clip->channels);
    }
    for (;;) {
        if (Cancelled(cancel)) {
            result.error = Unplayable(path, "decoding was cancelled.");
            return result;
        }
        const sf_count_t got = sf_readf_float(file.get(), chunk.data(), kChunk);
        if (got <= 0) {
            break;
        }
        if (clip->frames + static_cast<uint64_t>(got) > limit) {
            result.error = Unplayable(path, "it is longer than " + std::to_string(kMaxNoiseSeconds / 60) + " minutes.");
            return result;
        }
        if (info.channels == clip->channels) {
            clip->samples.insert(clip->samples.end(), chunk.begin(), chunk.begin() + got * info.channels);
        } else {
            for (sf_count_t i = 0; i < got; ++i) {
                for (int c = 0; c < clip->channels; ++c) {
                    clip->samples.push_back(chunk[static_cast<size_t>(i * info.channels + c)]);
                }
            }
        }
        clip->frames += static_cast<uint64_t>(got);
    }
    const int readError = sf_error(file.get());
    const std::string readMessage = readError != SF_ERR_NO_ERROR ? sf_strerror(file.get()) : "";
    file.reset();
    if (clip->frames == 0) {
        result.error = Unplayable(path, readMessage.empty() ? "it holds no sound." : readMessage);
        return result;
    }
    for (float& sample : clip->samples) {
        if (!std::isfinite(sample)) {
            sample = 0.0f; // a damaged float file must not poison the mix
        }
    }
    if (clip->rate != rate) {
        if (Cancelled(cancel)) {
            result.error = Unplayable(path, "decoding was cancelled.");
            return result;
        }
        if (std::string why = ResampleLoop(*clip, rate); !why.empty()) {
            result.error = Unplayable(path, why);
            return result;
        }
    }
    result.clip = std::move(clip);
    return result;
}

} // namespace

NoiseResult DecodeNoiseFile(const std::string& path, int rate, const std::atomic<bool>* cancel) {
    try {
        return Decode(path, rate, cancel);
    } catch (const std::bad_alloc&) {
        // A long recording at a high rate can need more memory than there is: a reason, not a crash.
        NoiseResult result;
        result.error = Unplayable(path, "there is not enough memory for it.");
        return result;
    }
}

size_t NoiseSource::Render(float* out, size_t frames) {
    const NoiseClip& clip = *clip_;
    const auto now = static_cast<size_t>(std::min<uint64_t>(frames, clip.frames - std::min(position_, clip.frames)));
    const float* from = clip.samples.data() + position_ * clip.channels;
    if (clip.channels == 2) {
        std::copy(from, from + 2 * now, out);
    } else {
        for (size_t i = 0; i < now; ++i) {
            out[2 * i] = from[i];
            out[2 * i + 1] = from[i];
        }
    }
    position_ += now;
    return now;
}

} // namespace qlor
