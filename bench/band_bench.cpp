// The generated band. Live: one mixer block (1024 frames at 48 kHz, 21.3 ms of sound) of each
// preset through the band, text and all; the goal for the contest is at most 2 % of a core, that
// is at least 50 times real time (below 427 us a block). Offline: a radiogram rendered through the
// contest band; the goal is at least 200 times real time.
#include "audio/band_generator.h"
#include "audio/offline_render.h"
#include "synthesis/midi_writer.h"
#include "synthesis/morse_table.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRate = 48000;
constexpr size_t kBlock = 1024; // the mixer's chunk [frames]

void BM_BandLiveBlock(benchmark::State& state) {
    const auto preset = static_cast<qlor::BandPreset>(state.range(0));
    qlor::BandGenerator band(qlor::PresetBand(preset), qlor::BandSignalForTone(kRate, 73, 100));
    std::vector<float> text(2 * kBlock), out(2 * kBlock);
    uint64_t frame = 0;
    for (auto _ : state) {
        for (size_t i = 0; i < kBlock; ++i, ++frame) { // keyed on and off every 60 ms
            const bool down = (frame / 2880) % 2 == 0;
            text[2 * i] = text[2 * i + 1] = down ? 0.35f * std::sin(0.0725f * static_cast<float>(i)) : 0.0f;
        }
        band.Process(text.data(), nullptr, 1.0, out.data(), kBlock);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetLabel(qlor::BandPresetName(preset));
    state.counters["x_real_time"] = benchmark::Counter(
        static_cast<double>(kBlock) / kRate * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BandLiveBlock)->DenseRange(1, 4)->Unit(benchmark::kMicrosecond);

// A five-minute radiogram at 100 cpm through the contest band, pure tone, into memory.
void BM_RenderWithBand(benchmark::State& state) {
    std::string body;
    for (int i = 0; i < 300; ++i) {
        body += "PARIS ";
    }
    const qlor::MidiResult midi =
        qlor::BuildMorseMidi(qlor::MorseTable(), {qlor::SegmentText{"", body, "", 100}}, 0, qlor::MidiVoice{});
    const std::string path = "/tmp/qlor_band_bench_" + std::to_string(getpid()) + ".mid";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(midi.bytes.data()), static_cast<std::streamsize>(midi.bytes.size()));
    qlor::RenderRequest request;
    request.midiPath = path;
    request.voice = qlor::VoiceKind::Tone;
    request.band = qlor::PresetBand(qlor::BandPreset::Contest);
    uint64_t frames = 0;
    for (auto _ : state) {
        const qlor::RenderSummary summary = qlor::RenderTransmission(request, [](const float* stereo, size_t) {
            benchmark::DoNotOptimize(stereo);
            return true;
        });
        frames = summary.frames;
    }
    std::remove(path.c_str());
    state.counters["x_real_time"] = benchmark::Counter(
        static_cast<double>(frames) / kRate * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderWithBand)->Unit(benchmark::kMillisecond);

} // namespace
