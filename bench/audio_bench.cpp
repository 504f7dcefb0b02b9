// Offline rendering speed of a 50-group radiogram and of a 40-segment competition file, with the
// SoundFont voice (in memory with the font loaded, and to a WAV file including loading) and the
// pure tone, next to FluidSynth's own file renderer (`fluidsynth -F`) on the same files. The
// "realtime" counter is seconds of audio rendered per second of wall time. Also: how long the
// noise player's open() of a minute of 44.1 kHz stereo noise keeps the window's thread, the
// first time and again. "peak_MB" is the process's peak resident memory after the benchmark.
#include "audio/audio_engine.h"
#include "audio/offline_render.h"
#include "audio/soundfont_bank.h"
#include "synthesis/midi_writer.h"
#include "synthesis/morse_table.h"
#include "textgen/radiogram.h"

#include <benchmark/benchmark.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace qlor {
namespace {

constexpr int kRate = 48000;

SegmentText Radiogram(int textNumber, int groups, int speedCpm) {
    RadiogramControls controls;
    controls.settings = DefaultTransmissionSettings();
    controls.settings.number = {textNumber / 1000 % 10, textNumber / 100 % 10, textNumber / 10 % 10, textNumber % 10};
    controls.settings.groups = {groups / 100, groups / 10 % 10, groups % 10};
    const ComposeResult composed = ComposeRadiogram(controls);
    return SegmentText{composed.radiogram.header, composed.radiogram.body, composed.radiogram.ending, speedCpm};
}

class Files {
public:
    Files() {
        std::string pattern = (std::filesystem::temp_directory_path() / "qlor-audio-bench-XXXXXX").string();
        dir_ = mkdtemp(pattern.data()) ? pattern : std::string("/tmp");
        // Run's file: one radiogram of 50 groups at 60 characters a minute, 5 s of closing silence.
        Write(radiogram, {Radiogram(1234, 50, 60)}, 0);
        // A competition: a training text and 39 texts from 10 to 390 characters a minute, each
        // followed by a minute of silence.
        std::vector<SegmentText> segments{Radiogram(1, 10, 50)};
        for (int i = 1; i < 40; ++i) {
            segments.push_back(Radiogram(1000 + i, 10, 10 * i));
        }
        Write(competition, segments, 60);
        WriteNoise(minuteOfNoise, 60);
    }
    ~Files() {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    std::string radiogram = "radiogram.mid";
    std::string competition = "competition.mid";
    std::string minuteOfNoise = "noise.wav";

private:
    void Write(std::string& name, const std::vector<SegmentText>& segments, int pause) {
        name = Path(name);
        WriteMorseMidi(MorseTable(), segments, name, pause, MidiVoice{});
    }
    // Seconds of 16-bit 44.1 kHz stereo noise (a fixed pseudo-random sequence).
    void WriteNoise(std::string& name, int seconds) {
        name = Path(name);
        SF_INFO info{};
        info.samplerate = 44100;
        info.channels = 2;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* file = sf_open(name.c_str(), SFM_WRITE, &info);
        if (file == nullptr) {
            return;
        }
        std::vector<short> block(2 * 44100);
        uint32_t state = 12345;
        for (int s = 0; s < seconds; ++s) {
            for (short& v : block) {
                state = state * 1664525u + 1013904223u;
                v = static_cast<short>(static_cast<int>(state >> 16) / 8 - 4096);
            }
            sf_writef_short(file, block.data(), 44100);
        }
        sf_close(file);
    }
    std::string dir_;
};

const Files& TestFiles() {
    static Files files;
    return files;
}

// The process's peak resident memory so far [MB].
double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

SoundFontBank& LoadedBank() {
    static SoundFontBank bank(kRate);
    static const std::string loaded = bank.Load();
    return bank;
}

void RenderInMemory(benchmark::State& state, const std::string& midi, VoiceKind voice) {
    if (voice == VoiceKind::SoundFont && !LoadedBank().Loaded()) {
        state.SkipWithError("no SoundFont installed");
        return;
    }
    RenderRequest request;
    request.midiPath = midi;
    request.voice = voice;
    uint64_t frames = 0;
    for (auto _ : state) {
        float sink = 0;
        const RenderSummary summary = RenderTransmission(
            request,
            [&](const float* stereo, size_t count) {
                sink += stereo[count - 1];
                return true;
            },
            voice == VoiceKind::SoundFont ? &LoadedBank() : nullptr);
        benchmark::DoNotOptimize(sink);
        frames = summary.frames;
    }
    state.counters["audio_s"] = static_cast<double>(frames) / kRate;
    state.counters["realtime"] =
        benchmark::Counter(static_cast<double>(frames) / kRate * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["peak_MB"] = PeakMegabytes();
}

void RenderWav(benchmark::State& state, const std::string& midi) {
    RenderRequest request;
    request.midiPath = midi;
    request.voice = VoiceKind::SoundFont;
    const std::string out = TestFiles().Path("ours.wav");
    uint64_t frames = 0;
    for (auto _ : state) {
        const RenderSummary summary = RenderToFile(request, out); // loads the SoundFont each time
        if (!summary.ok()) {
            state.SkipWithError(summary.error.c_str());
            return;
        }
        frames = summary.frames;
    }
    state.counters["audio_s"] = static_cast<double>(frames) / kRate;
    state.counters["realtime"] =
        benchmark::Counter(static_cast<double>(frames) / kRate * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["peak_MB"] = PeakMegabytes();
}

// FluidSynth's own renderer with the same settings that matter for speed (48 kHz, no reverb,
// no chorus), writing a WAV file.
void FluidSynthFile(benchmark::State& state, const std::string& midi) {
    const std::string font = SoundFontBank::FindSoundFont();
    if (font.empty() || std::system("command -v fluidsynth > /dev/null 2>&1") != 0) {
        state.SkipWithError("fluidsynth or a SoundFont is missing");
        return;
    }
    const std::string out = TestFiles().Path("fluidsynth.wav");
    const std::string command =
        "fluidsynth -ni -q -r 48000 -R 0 -C 0 -F '" + out + "' '" + font + "' '" + midi + "' > /dev/null 2>&1";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("fluidsynth failed");
            return;
        }
    }
    const auto bytes = std::filesystem::file_size(out);
    const double seconds = static_cast<double>(bytes - 44) / (4.0 * kRate); // 16-bit stereo
    state.counters["audio_s"] = seconds;
    state.counters["realtime"] = benchmark::Counter(seconds * state.iterations(), benchmark::Counter::kIsRate);
}

void BM_SoundFontRadiogram(benchmark::State& state) {
    RenderInMemory(state, TestFiles().radiogram, VoiceKind::SoundFont);
}
void BM_SoundFontCompetition(benchmark::State& state) {
    RenderInMemory(state, TestFiles().competition, VoiceKind::SoundFont);
}
void BM_ToneRadiogram(benchmark::State& state) {
    RenderInMemory(state, TestFiles().radiogram, VoiceKind::Tone);
}
void BM_ToneCompetition(benchmark::State& state) {
    RenderInMemory(state, TestFiles().competition, VoiceKind::Tone);
}
void BM_SoundFontRadiogramWav(benchmark::State& state) {
    RenderWav(state, TestFiles().radiogram);
}
void BM_SoundFontCompetitionWav(benchmark::State& state) {
    RenderWav(state, TestFiles().competition);
}
void BM_FluidSynthRadiogramWav(benchmark::State& state) {
    FluidSynthFile(state, TestFiles().radiogram);
}
void BM_FluidSynthCompetitionWav(benchmark::State& state) {
    FluidSynthFile(state, TestFiles().competition);
}

// The noise player opening (and closing) the same minute of noise again, as every Run does.
void BM_NoiseOpenAgain(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    AudioEngine engine;
    const std::string& noise = TestFiles().minuteOfNoise;
    if (const OpenOutcome first = engine.Open(kNoiseSlot, noise); !first.error.empty()) {
        state.SkipWithError(first.error.c_str());
        return;
    }
    for (auto _ : state) {
        const OpenOutcome outcome = engine.Open(kNoiseSlot, noise);
        benchmark::DoNotOptimize(outcome.error.size());
        engine.Close(kNoiseSlot);
    }
}

// The same open with nothing in memory: decoding and resampling the whole minute.
void BM_NoiseOpenFirst(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    AudioEngine engine;
    const std::string& noise = TestFiles().minuteOfNoise;
    for (auto _ : state) {
        state.PauseTiming();
        engine.Noise().Clear();
        state.ResumeTiming();
        const OpenOutcome outcome = engine.Open(kNoiseSlot, noise);
        if (!outcome.error.empty()) {
            state.SkipWithError(outcome.error.c_str());
            return;
        }
        engine.Close(kNoiseSlot);
    }
}

BENCHMARK(BM_NoiseOpenFirst)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(11)
    ->ReportAggregatesOnly();
BENCHMARK(BM_NoiseOpenAgain)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(21)
    ->ReportAggregatesOnly();
BENCHMARK(BM_SoundFontRadiogram)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ToneRadiogram)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SoundFontRadiogramWav)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FluidSynthRadiogramWav)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SoundFontCompetition)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ToneCompetition)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_SoundFontCompetitionWav)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_FluidSynthCompetitionWav)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

} // namespace
} // namespace qlor
