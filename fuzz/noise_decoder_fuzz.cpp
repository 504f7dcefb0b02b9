// libFuzzer entry for the noise decoder: any file decodes to a clip of finite samples within
// full scale, or is refused with a reason.
#include "audio/noise_source.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The decoder reads files by name: the input goes to a file of this process's own.
    static const std::string path = "/tmp/qlor-noise-fuzz-" + std::to_string(::getpid()) + ".bin";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    const qlor::NoiseResult result = qlor::DecodeNoiseFile(path, 48000);
    std::remove(path.c_str());
    if (!result.ok()) {
        if (result.error.empty()) {
            std::abort();
        }
        return 0;
    }
    const qlor::NoiseClip& clip = *result.clip;
    if (clip.frames == 0 || clip.samples.size() != clip.frames * static_cast<uint64_t>(clip.channels)) {
        std::abort();
    }
    for (const float v : clip.samples) {
        if (!std::isfinite(v) || std::fabs(v) > 1.0f) {
            std::abort();
        }
    }
    return 0;
}
