// Latency of the Run command in the window: from the click on Run to the first sample of the first
// note in the output stream, for a 50-group radiogram, on the audio engine's dummy output device
// (which pulls at the real pace of the sound card it stands in for). The time covers composing,
// writing "temp.mid", opening and starting the player and the device's next buffer.
//
// Counters: click_ms is the time the click handler itself took (the window is busy only that
// long); lead_ms is the silence in front of the first note in the stream once playback started.
#include "audio/audio_engine.h"
#include "audio/media_player.h"
#include "audio/midi_source.h"
#include "audio/mixer.h"
#include "audio/soundfont_bank.h"
#include "shell/main_form.h"
#include "shell/ui_dialogs.h"
#include "tests/support/controls.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

namespace qlor {
namespace {

using Clock = std::chrono::steady_clock;

// Dialogs that never open: the benchmark counts how many errors would have been shown.
class SilentDialogs : public UiDialogs {
public:
    std::optional<QString> OpenFile(QWidget*, const FileDialogSpec&) override { return std::nullopt; }
    std::optional<QString> SaveFile(QWidget*, const FileDialogSpec&) override { return std::nullopt; }
    std::optional<QString> ChooseFolder(QWidget*, const QString&) override { return std::nullopt; }
    void ShowError(QWidget*, const QString& text) override { last = text; }
    void ShowMessage(QWidget*, const QString&, const QString& text) override { last = text; }
    QString last;
};

constexpr auto kGiveUp = std::chrono::seconds(5);

// Frames of silence in front of the first note of a MIDI file as the voice renders it, from a
// mixer of its own; the file's frames reach the device in this order.
uint64_t SilenceBeforeFirstNote(const QString& midi, VoiceKind voice) {
    SoundFontBank bank(kOutputRate);
    MidiOpenResult opened = OpenMidiFile(midi.toStdString(), voice, &bank, kOutputRate);
    if (!opened.source)
        return 0;
    std::unique_ptr<AudioSource> source = std::move(opened.source);
    Mixer offline(kOutputRate);
    offline.SetLevel(kTextSlot, 65535);
    offline.Attach(kTextSlot, source);
    offline.Play(kTextSlot, 1);
    std::vector<float> block(2 * 1024);
    for (uint64_t done = 0; done < 60 * uint64_t{kOutputRate}; done += 1024) {
        offline.Pull(block.data(), 1024);
        for (uint64_t n = 0; n < 1024; ++n) {
            if (block[2 * n] != 0.0f || block[2 * n + 1] != 0.0f)
                return done + n;
        }
    }
    return 0;
}

void RunToFirstNote(benchmark::State& state, VoiceKind voice) {
    QTemporaryDir dir;
    const QString startDir = QDir::currentPath();
    QDir::setCurrent(dir.path());
    AudioEngine& engine = AudioEngine::Shared();
    engine.SetVoice(voice);
    Mixer& mixer = engine.GetMixer();

    SilentDialogs dialogs;
    auto form = std::make_unique<TMainForm>(&dialogs);
    // A standard radiogram of 50 groups of five at 100 characters a minute.
    form->Settings().number = {1, 2, 3, 4};
    form->Settings().groups = {0, 5, 0};
    form->Settings().charInGroup = 5;
    form->Settings().speed = {1, 0, 0};
    SetRadioChecked(&test::Control<QRadioButton>(*form, "OurSystem"), true);
    // Found before the clock runs.
    QPushButton& run = test::Control<QPushButton>(*form, "ButtonRun");
    const QPushButton& stop = test::Control<QPushButton>(*form, "ButtonStop");

    // One Run beforehand, so that the SoundFont (loaded once and kept) is not in the figures.
    run.click();
    form->ButtonStopClick();
    QCoreApplication::processEvents();
    // Every Run sends the same radiogram.
    const uint64_t firstNote = SilenceBeforeFirstNote(form->TempMidiPath(), voice); // [frames]

    double clickMs = 0;
    double leadMs = 0;
    for (auto _ : state) {
        const uint64_t pulledAtClick = mixer.PulledFrames();
        const auto start = Clock::now();
        run.click();
        const auto clicked = Clock::now();
        if (!stop.isEnabled()) {
            state.SkipWithError(("Run failed: " + dialogs.last.toStdString()).c_str());
            break;
        }
        // The first sample that is not silence, as soon as the output has pulled it: the mixer
        // publishes the text's position after every buffer the device pulls.
        bool found = false;
        while (!(found = mixer.Playing(kTextSlot) && mixer.PositionFrames(kTextSlot) > firstNote)) {
            if (Clock::now() - start > kGiveUp)
                break;
            std::this_thread::yield();
        }
        const auto heard = Clock::now();
        if (!found) {
            state.SkipWithError("no note reached the output");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(heard - start).count());
        clickMs += std::chrono::duration<double, std::milli>(clicked - start).count();
        const uint64_t lead = mixer.StartFrame(kTextSlot) - pulledAtClick + firstNote; // [frames]
        leadMs += 1000.0 * static_cast<double>(lead) / kOutputRate;

        form->ButtonStopClick();
        QCoreApplication::processEvents(); // the player's notice of the stop
    }
    if (state.iterations() > 0) {
        state.counters["click_ms"] = clickMs / static_cast<double>(state.iterations());
        state.counters["lead_ms"] = leadMs / static_cast<double>(state.iterations());
    }
    form.reset();
    QDir::setCurrent(startDir);
}

void BM_RunToFirstNote_SoundFontOrTone(benchmark::State& state) {
    RunToFirstNote(state, VoiceKind::Automatic);
}
void BM_RunToFirstNote_Tone(benchmark::State& state) {
    RunToFirstNote(state, VoiceKind::Tone);
}
BENCHMARK(BM_RunToFirstNote_SoundFontOrTone)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(40)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_RunToFirstNote_Tone)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(40)
    ->ReportAggregatesOnly(true);

// A minute of recorded noise (44.1 kHz stereo, resampled on opening): how long the click on Run
// keeps the window busy when the noise player opens such a file as well.
bool WriteNoiseWav(const QString& path, int seconds) {
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!f)
        return false;
    std::vector<short> samples(static_cast<size_t>(info.samplerate) * info.channels * seconds);
    uint32_t x = 1;
    for (short& v : samples) {
        x = x * 1664525u + 1013904223u;
        v = static_cast<short>(static_cast<int>(x >> 16) - 32768) / 8;
    }
    const sf_count_t written = sf_write_short(f, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(f);
    return written == static_cast<sf_count_t>(samples.size());
}

void BM_RunClickWithMinuteOfNoise(benchmark::State& state) {
    QTemporaryDir dir;
    const QString startDir = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const QString noise = dir.filePath(QStringLiteral("noise.wav"));
    if (!WriteNoiseWav(noise, 60)) {
        state.SkipWithError("cannot write the noise file");
        return;
    }
    SilentDialogs dialogs;
    auto form = std::make_unique<TMainForm>(&dialogs);
    form->Settings().groups = {0, 5, 0};
    form->Settings().noiseType = 1;
    test::Control<QLineEdit>(*form, "NoiseFile1").setText(noise);
    QPushButton& run = test::Control<QPushButton>(*form, "ButtonRun");
    for (auto _ : state) {
        run.click();
        state.PauseTiming();
        if (form->MediaPlayerNoise->mode() != MediaPlayer::Mode::Playing) {
            state.SkipWithError(("noise not playing: " + dialogs.last.toStdString()).c_str());
            break;
        }
        form->ButtonStopClick();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    form.reset();
    QDir::setCurrent(startDir);
}
BENCHMARK(BM_RunClickWithMinuteOfNoise)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
} // namespace qlor
