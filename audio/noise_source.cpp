#include "audio/noise_source.h"

#include <sndfile.h>
#include <soxr.h>

#include "base/safe_file.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <memory>
#include <new>

namespace qlor {
namespace {

constexpr int kMaxInputRate = 768000;     // [frames/s]
constexpr uint64_t kLoopPadFrames = 4096; // recording frames the resampler sees across the loop point
constexpr uint64_t kBlockFrames = 65536;  // frames decoded or resampled at a time [frames]

std::string Unplayable(const std::string& path, const std::string& why) {
    return "The noise file \"" + path + "\" cannot be played: " + why;
}

std::string TooBig() {
    return "it would need more than " + std::to_string(kMaxNoiseBytes >> 20) +
           " MB of memory once decoded (it is too long for this sample rate).";
}

using Clock = std::chrono::steady_clock;

// Why decoding must stop now, or an empty string: the program is closing, or the recording takes
// longer than kMaxNoiseDecodeSeconds (a damaged file that declares hours of silence).
std::string Interrupted(const std::atomic<bool>* cancel, Clock::time_point deadline) {
    if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
        return "decoding was cancelled.";
    }
    if (Clock::now() > deadline) {
        return "decoding took longer than " + std::to_string(kMaxNoiseDecodeSeconds) + " s.";
    }
    return {};
}

// Samples of a damaged or hostile file would turn the whole mix to full scale: NaN and infinities
// become silence, and a float recording whose peak lies beyond full scale (values up to the float
// limits) is scaled down by its peak, so it keeps its shape and its level below the signal's
// instead of being clipped into a full-scale square wave. A recording within full scale (every
// integer format, most float files) is left exactly as it is.
void Tame(std::vector<float>& samples) {
    float peak = 0.0f;
    for (float& sample : samples) {
        if (!std::isfinite(sample)) {
            sample = 0.0f;
        }
        peak = std::max(peak, std::fabs(sample));
    }
    if (peak <= 1.0f) {
        return;
    }
    const double gain = 1.0 / static_cast<double>(peak);
    for (float& sample : samples) {
        const auto scaled = static_cast<float>(static_cast<double>(sample) * gain);
        // What falls below the normal floats is silence: denormals would only slow the mixing.
        sample = std::fabs(scaled) < std::numeric_limits<float>::min() ? 0.0f : std::clamp(scaled, -1.0f, 1.0f);
    }
}

// The resampling filter's overshoot of a recording at full scale stays within it.
void ClampToFullScale(std::vector<float>& samples) {
    for (float& sample : samples) {
        sample = std::isfinite(sample) ? std::clamp(sample, -1.0f, 1.0f) : 0.0f;
    }
}

// Resamples one period of a looping signal, block by block: the resampler sees the recording
// padded on both sides with its own continuation, and the middle of its output is kept.
std::string ResampleLoop(NoiseClip& clip, int rate, const std::atomic<bool>* cancel, Clock::time_point deadline) {
    const uint64_t n = clip.frames;
    const int channels = clip.channels;
    const uint64_t pad = kLoopPadFrames;
    const double ratio = static_cast<double>(rate) / clip.rate;
    const auto skip = static_cast<uint64_t>(std::llround(pad * ratio));
    const auto length = std::max<uint64_t>(1, static_cast<uint64_t>(std::llround(n * ratio)));
    if (length * channels * sizeof(float) > kMaxNoiseBytes) {
        return TooBig();
    }
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    soxr_error_t error = nullptr;
    std::unique_ptr<soxr, void (*)(soxr_t)> resampler(
        soxr_create(clip.rate, rate, static_cast<unsigned>(channels), &error, &io, &quality, nullptr), &soxr_delete);
    if (error != nullptr || resampler == nullptr) {
        return std::string("resampling failed (") + (error != nullptr ? error : "no resampler") + ")";
    }

    std::vector<float> out;
    out.reserve(static_cast<size_t>((skip + length) * channels));
    const auto outBlock = static_cast<size_t>(std::ceil(kBlockFrames * ratio)) + 256; // [frames]
    std::vector<float> in(static_cast<size_t>(kBlockFrames) * channels);
    std::vector<float> made(outBlock * channels);
    // Keeps what the resampler gives, up to the end of the wanted part.
    auto keep = [&](size_t frames) {
        const size_t room = static_cast<size_t>(skip + length) * channels - out.size();
        out.insert(out.end(), made.begin(),
                   made.begin() + static_cast<std::ptrdiff_t>(std::min(frames * channels, room)));
    };
    const uint64_t total = n + 2 * pad;
    const uint64_t shift = n * ((pad + n - 1) / n) - pad; // (i + shift) mod n = (i - pad) mod n
    for (uint64_t i = 0; i < total && out.size() < (skip + length) * channels;) {
        if (std::string why = Interrupted(cancel, deadline); !why.empty()) {
            return why;
        }
        const uint64_t frames = std::min(kBlockFrames, total - i);
        for (uint64_t k = 0; k < frames; ++k) {
            const uint64_t from = (i + k + shift) % n;
            for (int c = 0; c < channels; ++c) {
                in[k * channels + c] = clip.samples[from * channels + c];
            }
        }
        size_t used = 0;
        size_t got = 0;
        error = soxr_process(resampler.get(), in.data(), frames, &used, made.data(), outBlock, &got);
        if (error != nullptr) {
            return std::string("resampling failed (") + error + ")";
        }
        keep(got);
        i += used;
    }
    // The resampler's delay: flush it until the wanted part is complete or nothing comes.
    while (out.size() < (skip + length) * channels) {
        size_t got = 0;
        error = soxr_process(resampler.get(), nullptr, 0, nullptr, made.data(), outBlock, &got);
        if (error != nullptr) {
            return std::string("resampling failed (") + error + ")";
        }
        if (got == 0) {
            break;
        }
        keep(got);
    }
    if (out.size() < (skip + length) * channels) {
        return "resampling failed (short output)";
    }
    clip.samples.assign(out.begin() + static_cast<std::ptrdiff_t>(skip * channels), out.end());
    clip.frames = length;
    clip.rate = rate;
    return {};
}

NoiseResult Decode(const std::string& path, int rate, const std::atomic<bool>* cancel) {
    NoiseResult result;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(kMaxNoiseDecodeSeconds);
    // Opened without blocking and required to be a regular file: a FIFO or a device never hangs
    // the decoding, and a folder is named as one instead of "Format not recognised".
    const OpenedFile opened = OpenRegularFile(path);
    if (opened.fd < 0) {
        result.error = Unplayable(path, opened.reason + ".");
        return result;
    }
    const int fd = opened.fd;
    SF_INFO info{};
    std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> file(sf_open_fd(fd, SFM_READ, &info, SF_TRUE), &sf_close);
    if (file == nullptr) {
        result.error = Unplayable(path, sf_strerror(nullptr));
        return result;
    }
    if (info.channels < 1 || info.samplerate < kMinNoiseRate || info.samplerate > kMaxInputRate) {
        result.error = Unplayable(path, "its sample rate (" + std::to_string(info.samplerate) + " Hz) is not between " +
                                            std::to_string(kMinNoiseRate) + " and " + std::to_string(kMaxInputRate) +
                                            " Hz, or it has no channel.");
        return result;
    }
    auto clip = std::make_shared<NoiseClip>();
    clip->rate = info.samplerate;
    clip->channels = std::min(info.channels, 2);
    // The decoded recording may take at most kMaxNoiseBytes, here and after resampling.
    const uint64_t limit = kMaxNoiseBytes / (sizeof(float) * clip->channels); // [frames]
    const uint64_t resampledLimit = static_cast<uint64_t>(static_cast<double>(limit) * info.samplerate / rate);
    if (info.frames > 0 && static_cast<uint64_t>(info.frames) > std::min(limit, resampledLimit)) {
        result.error = Unplayable(path, TooBig());
        return result;
    }
    std::vector<float> chunk(static_cast<size_t>(kBlockFrames) * info.channels);
    if (info.frames > 0) {
        clip->samples.reserve(static_cast<size_t>(info.frames) * clip->channels);
    }
    for (;;) {
        if (std::string why = Interrupted(cancel, deadline); !why.empty()) {
            result.error = Unplayable(path, why);
            return result;
        }
        const sf_count_t got = sf_readf_float(file.get(), chunk.data(), static_cast<sf_count_t>(kBlockFrames));
        if (got <= 0) {
            break;
        }
        if (clip->frames + static_cast<uint64_t>(got) > std::min(limit, resampledLimit)) {
            result.error = Unplayable(path, TooBig());
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
    Tame(clip->samples); // before resampling, so one wild sample cannot ring through its filter
    if (clip->rate != rate) {
        if (std::string why = ResampleLoop(*clip, rate, cancel, deadline); !why.empty()) {
            result.error = Unplayable(path, why);
            return result;
        }
        ClampToFullScale(clip->samples); // the filter's overshoot
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
    const auto now =
        static_cast<size_t>(std::min<uint64_t>(frames, clip.frames - std::min(positionFrames_, clip.frames)));
    const float* from = clip.samples.data() + positionFrames_ * clip.channels;
    if (clip.channels == 2) {
        std::copy(from, from + 2 * now, out);
    } else {
        for (size_t i = 0; i < now; ++i) {
            out[2 * i] = from[i];
            out[2 * i + 1] = from[i];
        }
    }
    positionFrames_ += now;
    return now;
}

} // namespace qlor
