// Element strings of large texts and MIDI files of a radiogram.
#include "synthesis/midi_writer.h"
#include "synthesis/morse_table.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace {

using namespace qlor;

// Groups of five characters drawn from letters, digits and signs, with line breaks now and then.
std::string PracticeText(size_t bytes) {
    static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,?/=";
    std::mt19937 rng(42);
    std::string text;
    text.reserve(bytes);
    while (text.size() < bytes) {
        for (int i = 0; i < 5; ++i) {
            text += alphabet[rng() % alphabet.size()];
        }
        text += (rng() % 10 == 0) ? "\r\n" : " ";
    }
    text.resize(bytes);
    return text;
}

void BM_TextToElements(benchmark::State& state) {
    const MorseTable table;
    const std::string text = PracticeText(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        Elements e = TextToElements(table, text);
        benchmark::DoNotOptimize(e.elements.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_TextToElements)->Arg(1 << 20)->Arg(10 << 20)->Arg(20 << 20)->Unit(benchmark::kMillisecond);

SegmentText Radiogram50() {
    std::string body = PracticeText(50 * 6);
    for (char& c : body) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return SegmentText{"vvv=\r\n", body, "\r\n*", 60};
}

void BM_BuildMorseMidi(benchmark::State& state) {
    const MorseTable table;
    const std::vector<SegmentText> segments{Radiogram50()};
    for (auto _ : state) {
        MidiResult r = BuildMorseMidi(table, segments, 0, MidiVoice{});
        benchmark::DoNotOptimize(r.bytes.data());
    }
}
BENCHMARK(BM_BuildMorseMidi)->Unit(benchmark::kMicrosecond);

// Into the temporary folder (a disk file system here), and into /dev/shm (memory), which shows
// the cost of the writer itself apart from the disk.
void BM_WriteMorseMidi(benchmark::State& state, const std::filesystem::path& folder) {
    const MorseTable table;
    const std::vector<SegmentText> segments{Radiogram50()};
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        state.SkipWithError("folder missing");
        return;
    }
    const std::string path = (folder / ("qlor-bench-" + std::to_string(::getpid()) + ".mid")).string();
    for (auto _ : state) {
        MidiResult r = WriteMorseMidi(table, segments, path, 0, MidiVoice{});
        if (!r) {
            state.SkipWithError(r.message.c_str());
            break;
        }
    }
    std::remove(path.c_str());
}
BENCHMARK_CAPTURE(BM_WriteMorseMidi, tmp, std::filesystem::temp_directory_path())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WriteMorseMidi, shm, std::filesystem::path("/dev/shm"))->Unit(benchmark::kMicrosecond);

} // namespace
