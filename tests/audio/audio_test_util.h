#pragma once
// Helpers of the audio tests: Morse MIDI files from the core's writer, temporary files, WAV
// writing, and an independent reading of note times from SMF bytes.
#include "synthesis/midi_writer.h"
#include "synthesis/morse_table.h"
#include "tests/support/files.h"

#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace qlor::test {

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A Morse MIDI file as the window writes it: one segment per body, at the given speeds [cpm].
inline std::vector<uint8_t> MorseMidi(const std::vector<std::string>& bodies, const std::vector<int>& speeds,
                                      int pauseSeconds = 0, MidiVoice voice = MidiVoice{}) {
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
    const auto be = [&](size_t at, int n) {
        uint32_t v = 0;
        for (int k = 0; k < n; ++k) {
            v = (v << 8) | smf[at + k];
        }
        return v;
    };
    const long double division = be(12, 2);
    size_t p = 22;
    const size_t end = 22 + be(18, 4);
    long double now = 0;
    long double tempo = 500000;
    uint8_t running = 0;
    std::vector<int> open(128, -1);
    while (p < end) {
        uint32_t delta = 0;
        uint8_t byte = 0;
        do {
            byte = smf[p++];
            delta = (delta << 7) | (byte & 0x7F);
        } while (byte & 0x80);
        now += delta * tempo / division;
        uint8_t status = smf[p];
        if (status & 0x80) {
            ++p;
        } else {
            status = running;
        }
        if (status == 0xFF) {
            const uint8_t type = smf[p++];
            const uint8_t length = smf[p++];
            if (type == 0x51) {
                tempo = be(p, 3);
            }
            p += length;
            continue;
        }
        running = status;
        if ((status & 0xF0) == 0xC0) {
            p += 1;
            continue;
        }
        const int key = smf[p];
        const int velocity = smf[p + 1];
        p += 2;
        if ((status & 0xF0) == 0x90 && velocity > 0) {
            open[key] = static_cast<int>(notes.size());
            notes.push_back(NoteTime{now, 0, key});
        } else if (open[key] >= 0) {
            notes[open[key]].off = now;
            open[key] = -1;
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

} // namespace qlor::test
