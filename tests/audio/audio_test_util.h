#pragma once
// Helpers of the audio tests: Morse MIDI files from the core's writer, temporary files, WAV
// writing, and an independent reading of note times from SMF bytes.
#include "synthesis/midi_writer.h"
#include "synthesis/morse_table.h"
#include "tests/support/files.h"
#include "tests/support/smf_reader.h"

#include <gtest/gtest.h>

#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace qlor::test {

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A Morse MIDI file as the window writes it: one segment per body, at the given speeds [cpm], each
// closed by pauseSeconds [s] of silence (1 s by default, where the window's 5 s would only make
// the tests that play in real time wait; 0 is the window's 5 s).
inline std::vector<uint8_t> MorseMidi(const std::vector<std::string>& bodies, const std::vector<int>& speeds,
                                      int pauseSeconds = 1, MidiVoice voice = MidiVoice{}) {
    std::vector<SegmentText> segments;
    for (size_t i = 0; i < bodies.size(); ++i) {
        segments.push_back(SegmentText{"", bodies[i], "", speeds[i]});
    }
    const MidiResult built = BuildMorseMidi(MorseTable(), segments, pauseSeconds, voice);
    return built.bytes;
}

struct NoteTime {
    long double on = 0;  // [us]
    long double off = 0; // [us]
    int key = 0;
};

// Note times of a single-track file, read independently of the engine: times summed in long
// double over the tempo map (division in ticks per quarter).
inline std::vector<NoteTime> ReadNoteTimes(const std::vector<uint8_t>& smf, long double* endUs = nullptr) {
    std::vector<NoteTime> notes;
    std::string error;
    const std::optional<SmfFile> file = ReadSmf(smf, &error);
    if (!file) {
        ADD_FAILURE() << "not a valid SMF: " << error;
        return notes;
    }
    const long double division = file->division;
    long double now = 0;
    long double tempo = 500000;
    std::vector<int> open(128, -1);
    for (const SmfEvent& ev : file->events) {
        now += ev.delta * tempo / division;
        if (ev.IsMeta(0x51) && ev.data.size() == 3) {
            tempo = (ev.data[0] << 16) | (ev.data[1] << 8) | ev.data[2];
        } else if (ev.IsNoteOn()) {
            open[ev.data[0]] = static_cast<int>(notes.size());
            notes.push_back(NoteTime{now, 0, ev.data[0]});
        } else if (ev.IsNoteOff() && open[ev.data[0]] >= 0) {
            notes[open[ev.data[0]]].off = now;
            open[ev.data[0]] = -1;
        }
    }
    if (endUs) {
        *endUs = now;
    }
    return notes;
}

inline long double UsToFrames(long double us, int rate) {
    return us * rate / 1000000.0L;
}

// Writes interleaved float frames as a file of the given libsndfile format.
inline bool WriteSound(const std::string& path, const std::vector<float>& samples, int channels, int rate,
                       int format = SF_FORMAT_WAV | SF_FORMAT_FLOAT) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        return false;
    }
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size() / channels));
    sf_close(file);
    return true;
}

inline std::vector<float> ReadSound(const std::string& path, SF_INFO& info) {
    info = SF_INFO{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        return {};
    }
    std::vector<float> samples(static_cast<size_t>(info.frames * info.channels));
    sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    return samples;
}

// A sine of `cycles` whole periods in `frames` frames: it loops without a seam.
inline std::vector<float> LoopableSine(size_t frames, int cycles, float amplitude) {
    std::vector<float> samples(frames);
    for (size_t i = 0; i < frames; ++i) {
        samples[i] = amplitude * static_cast<float>(std::sin(2.0 * M_PI * cycles * static_cast<double>(i) / frames));
    }
    return samples;
}

// What the output device is handed, taken from outside the program: while one lives, engines
// opened in this process play through SDL's disk driver, which writes every buffer the callback
// fills (float stereo, since the device takes the engine's own format) to a file. The driver also
// writes silence while the device is paused, so a capture is aligned by its content, not by
// the mixer's frame count. Frames() reads the file once the engine has closed its device.
class DiskCapture {
public:
    explicit DiskCapture(std::string path) : path_(std::move(path)) {
        const char* driver = std::getenv("SDL_AUDIODRIVER");
        oldDriver_ = driver ? driver : "";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
    }
    ~DiskCapture() {
        setenv("SDL_AUDIODRIVER", oldDriver_.c_str(), 1);
        unsetenv("SDL_DISKAUDIOFILE");
    }
    DiskCapture(const DiskCapture&) = delete;
    DiskCapture& operator=(const DiskCapture&) = delete;

    std::vector<float> Frames() const {
        const std::string bytes = ReadAll(path_);
        std::vector<float> samples(bytes.size() / sizeof(float) / 2 * 2);
        std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
        return samples;
    }

private:
    std::string path_;
    std::string oldDriver_;
};

// The first frame of interleaved stereo `samples` that is not silent (the frame count when all is).
inline size_t FirstSoundingFrame(const std::vector<float>& samples) {
    size_t n = 0;
    while (2 * n + 1 < samples.size() && samples[2 * n] == 0.0f && samples[2 * n + 1] == 0.0f) {
        ++n;
    }
    return n;
}

} // namespace qlor::test
