// Latency of the instant character recognition in the trainer window: from the learner's key
// press, handled by the recognition page (answer judged, next character drawn, its MIDI built and
// handed to the window's session), to the next character's first block of samples rendered by the
// real MIDI renderer (the bytes opened as the engine opens them, the first block rendered). The
// goal is at most 50 ms; the sound device's own buffer comes on top of it and is measured by
// run_latency_bench.
#include "audio/audio_engine.h"
#include "audio/midi_source.h"
#include "audio/soundfont_bank.h"
#include "base/codepage.h"
#include "control/session.h"
#include "shell/trainer_recognition_page.h"
#include "shell/trainer_window.h"
#include "tests/support/controls.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <memory>

namespace qlor {
namespace {

using SteadyClock = std::chrono::steady_clock;

// A port that renders offline: opening prepares the MIDI source as the engine does, playing
// renders its first block and notes when that block was ready.
class RenderingPort : public AudioPort {
public:
    RenderingPort(VoiceKind voice, SoundFontBank* bank) : voice_(voice), bank_(bank) {}
    std::string OpenMidi(const ByteVector& bytes) override {
        MidiOpenResult opened = OpenMidiBytes(bytes, voice_, bank_, kOutputRate);
        source_ = std::move(opened.source);
        return opened.error;
    }
    std::string OpenNoise(const std::string&) override { return {}; }
    std::string Play() override {
        if (!source_)
            return "not open";
        source_->Render(block_.data(), kMidiBlockFrames);
        renderedAt = SteadyClock::now();
        sounding = false;
        for (const float sample : block_)
            sounding = sounding || sample != 0.0f;
        ++played;
        return {};
    }
    void Stop() override {}
    void Close() override { source_.reset(); }
    std::int64_t PositionMs() const override { return 0; }
    std::int64_t LengthMs() const override {
        return source_ ? static_cast<std::int64_t>(FramesToMs(source_->LengthFrames(), kOutputRate)) : 0;
    }
    void SetEndListener(EndListener) override {}

    SteadyClock::time_point renderedAt;
    bool sounding = false; // the first block holds the start of the first element
    int played = 0;

private:
    VoiceKind voice_;
    SoundFontBank* bank_;
    std::unique_ptr<MidiSource> source_;
    std::array<float, 2 * kMidiBlockFrames> block_{};
};

// Timers that never fire: the benchmark answers before any character ends.
class StillClock : public Clock {
public:
    std::int64_t NowMs() const override { return 0; }
    int StartTimer(std::int64_t, std::function<void()>) override { return 1; }
    void StopTimer(int) override {}
};

void KeyToNextCharacter(benchmark::State& state, VoiceKind voice) {
    SoundFontBank bank(kOutputRate);
    RenderingPort port(voice, &bank);
    StillClock clock;
    TrainerContext context;
    context.port = &port;
    context.clock = &clock;
    TrainerWindow window(context);
    auto& page = *window.findChild<TrainerRecognitionPage*>();
    test::Control<QLineEdit>(window, "RecognitionSet")
        .setText(QStringLiteral("KMURESNAPTLWI.JZ=FOY,VG5/Q92H38B?47C1D60X"));
    auto& count = test::Control<QSpinBox>(window, "RecognitionCount");
    count.setValue(count.maximum());
    const std::size_t lastAnswer = static_cast<std::size_t>(count.maximum()) - 1;
    QWidget& answer = test::Control<QWidget>(window, "RecognitionAnswer");
    page.StartClick(); // the first character: the SoundFont is loaded once, before the clock runs

    for (auto _ : state) {
        // Every key answers with a next character: a session about to end is begun anew.
        if (!page.Running() || page.LastSession().answers.size() >= lastAnswer) {
            page.StopClick();
            page.StartClick();
        }
        const int played = port.played;
        const QString key = QString::fromStdString(Cp1251ToUtf8(std::string(1, static_cast<char>(page.Shown()))));
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, key);
        const auto start = SteadyClock::now();
        QApplication::sendEvent(&answer, &press);
        if (port.played != played + 1 || !port.sounding) {
            const std::string why = port.played != played + 1
                                        ? "the next character was not played: " +
                                              test::Control<QLabel>(window, "RecognitionStatus").text().toStdString()
                                        : std::string("the next character did not sound");
            state.SkipWithError(why.c_str());
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(port.renderedAt - start).count());
    }
    page.StopClick();
}

void BM_KeyToNextCharacter_Tone(benchmark::State& state) {
    KeyToNextCharacter(state, VoiceKind::Tone);
}
void BM_KeyToNextCharacter_SoundFontOrTone(benchmark::State& state) {
    KeyToNextCharacter(state, VoiceKind::Automatic);
}
BENCHMARK(BM_KeyToNextCharacter_Tone)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeyToNextCharacter_SoundFontOrTone)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
} // namespace qlor
