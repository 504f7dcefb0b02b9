#include "synthesis/audio_formats.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace qlor {

const AudioFormat* AudioFormatOfPath(std::string_view path) {
    const size_t dot = path.find_last_of('.');
    if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) {
        return nullptr;
    }
    std::string extension(path.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const AudioFormat& format : kAudioFormats) {
        if (format.extension == extension) {
            return &format;
        }
    }
    return nullptr;
}

} // namespace qlor
