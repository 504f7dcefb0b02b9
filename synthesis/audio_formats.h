#pragma once
// The sound files the program writes: rendered texts (qlor-cli render and band, the batch
// export's "Export Audio") and noise recordings. One row per type, named by its file extension,
// which is also the stored value "Export Audio" and the choice the Files page lists.
#include <array>
#include <string_view>

namespace qlor {

enum class AudioFileType { Ogg, Flac, Mp3, Wav };

struct AudioFormat {
    std::string_view extension; // lower case, without the dot; the stored name
    const char* shown;          // the name the window's list shows
    AudioFileType type;         // the encoding audio/ asks libsndfile for
    bool mono;                  // noise recordings (one channel) are written in it too
};

// In the order the Files page lists them, the first being its choice at start.
inline constexpr std::array<AudioFormat, 4> kAudioFormats = {{
    {"ogg", "OGG", AudioFileType::Ogg, true},
    {"flac", "FLAC", AudioFileType::Flac, true},
    {"mp3", "MP3", AudioFileType::Mp3, false},
    {"wav", "WAV", AudioFileType::Wav, true},
}};

// The row whose extension ends `path` (after its last "." in the last path component, any
// case), or nullptr.
const AudioFormat* AudioFormatOfPath(std::string_view path);

} // namespace qlor
