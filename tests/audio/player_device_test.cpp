// The engine on SDL's dummy device (real time) and the Qt media players: what SDL's disk driver
// was given equals the offline rendering sample for sample; the players' operations,
// modes and notices; the application mixer's volume words.
#include "audio/audio_engine.h"
#include "audio/media_player.h"
#include "audio/mixer.h"
#include "audio/noise_source.h"
#include "audio/soundfont_bank.h"
#include "audio_test_util.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace qlor {
namespace {

using Clock = std::chrono::steady_clock;

class DeviceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "test_audio_device";
            static char* argv[] = {name, nullptr};
            static QCoreApplication app(argc, argv);
        }
    }

    // Runs the event loop until `done` holds or `seconds` pass.
    static bool WaitFor(const std::function<bool()>& done, double seconds = 15) {
        const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
        while (!done()) {
            if (Clock::now() > deadline) {
                return false;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        QCoreApplication::processEvents();
        return true;
    }

    // Lets queued notices that might (wrongly) still come arrive.
    static void Settle(double seconds = 0.3) {
        WaitFor([] { return false; }, seconds);
    }

    test::TempDir dir;
};

// What the device was handed, from the frame the text started, equals the offline rendering of
// the same text and noise (with the noise started on the frame it started).
TEST_F(DeviceTest, CaptureEqualsOfflineRenderSampleForSample) {
    const std::string midi = dir.File("temp.mid");
    test::WriteBytes(midi, test::MorseMidi({"PARIS"}, {150}, 1));
    const std::string noisePath = dir.File("noise.wav");
    ASSERT_TRUE(test::WriteSound(noisePath, test::LoopableSine(4410, 50, 0.4f), 1, 44100));

    const test::DiskCapture device(dir.File("device.raw"));
    uint64_t length = 0;     // of the text [frames]
    uint64_t noiseDelay = 0; // from the text's start to the noise's [frames]
    {
        AudioEngine engine;
        ASSERT_EQ(engine.OpenDevice(), "");
        Mixer& mixer = engine.GetMixer();
        mixer.SetLevel(kTextSlot, 40000);
        mixer.SetLevel(kNoiseSlot, 25000);
        ASSERT_TRUE(engine.Open(kTextSlot, midi).error.empty());
        ASSERT_TRUE(engine.Open(kNoiseSlot, noisePath).error.empty());
        length = engine.LengthFrames(kTextSlot);
        engine.Play(kTextSlot);
        engine.Play(kNoiseSlot);
        ASSERT_TRUE(WaitFor([&] { return engine.Mode(kTextSlot) == PlayerMode::Stopped; }));
        EXPECT_EQ(engine.Mode(kNoiseSlot), PlayerMode::Stopped); // it stopped with the text
        noiseDelay = mixer.StartFrame(kNoiseSlot) - mixer.StartFrame(kTextSlot);
        Settle(0.2); // some silence after the text
    }                // the device closes: its file is complete

    // The same through a mixer of its own, pulled in other block sizes.
    SoundFontBank bank(kOutputRate);
    MidiOpenResult text = OpenMidiFile(midi, VoiceKind::Automatic, &bank, kOutputRate);
    ASSERT_TRUE(text.source);
    std::unique_ptr<AudioSource> textSource = std::move(text.source);
    std::unique_ptr<AudioSource> noise = std::make_unique<NoiseSource>(DecodeNoiseFile(noisePath, kOutputRate).clip);
    Mixer offline(kOutputRate);
    offline.SetLevel(kTextSlot, 40000);
    offline.SetLevel(kNoiseSlot, 25000);
    offline.Attach(kTextSlot, textSource);
    offline.Attach(kNoiseSlot, noise);
    offline.Play(kTextSlot, 1);
    std::vector<float> rendered(2 * length);
    offline.Pull(rendered.data(), static_cast<size_t>(noiseDelay));
    offline.Play(kNoiseSlot, 2);
    for (uint64_t done = noiseDelay; done < length;) {
        const auto now = static_cast<size_t>(std::min<uint64_t>(3001, length - done));
        offline.Pull(rendered.data() + 2 * done, now);
        done += now;
    }

    // The device's file starts with the silence of the paused device; the first sounding frames
    // of both line them up.
    const std::vector<float> capture = device.Frames();
    const size_t lead = test::FirstSoundingFrame(rendered);
    ASSERT_LT(lead, length);
    const size_t sounding = test::FirstSoundingFrame(capture);
    ASSERT_GE(sounding, lead);
    const size_t textStart = sounding - lead;
    ASSERT_GE(capture.size() / 2, textStart + length);
    const std::vector<float> played(capture.begin() + static_cast<std::ptrdiff_t>(2 * textStart),
                                    capture.begin() + static_cast<std::ptrdiff_t>(2 * (textStart + length)));
    size_t firstDifference = 0;
    while (firstDifference < played.size() && played[firstDifference] == rendered[firstDifference]) {
        ++firstDifference;
    }
    EXPECT_EQ(firstDifference, played.size()) << "first different frame " << firstDifference / 2;
    EXPECT_GT(*std::max_element(played.begin(), played.end()), 0.3f); // text and noise both sound
    // After the text: silence (the noise stopped with it).
    for (size_t n = 2 * (textStart + length); n < capture.size(); ++n) {
        ASSERT_EQ(capture[n], 0.0f) << n / 2;
    }
}

TEST_F(DeviceTest, PlayerNotifiesOnceAtTheEndAndRewindsOnPlay) {
    const std::string midi = dir.File("temp.mid");
    test::WriteBytes(midi, test::MorseMidi({"E"}, {600}, 1)); // a dot, then 1 s
    AudioEngine engine;
    if (!engine.OpenDevice().empty()) {
        GTEST_SKIP() << "no SDL audio (dummy driver) here";
    }
    MediaPlayer player(MediaPlayer::Channel::Text, engine);
    int notices = 0;
    QObject::connect(&player, &MediaPlayer::notify, [&] { ++notices; });
    EXPECT_EQ(player.mode(), MediaPlayer::Mode::NotOpen);
    player.setFileName(QString::fromStdString(midi));
    ASSERT_TRUE(player.open()) << player.errorString().toStdString();
    EXPECT_EQ(player.mode(), MediaPlayer::Mode::Stopped);
    EXPECT_NEAR(player.lengthMs(), 1100, 5); // the dot is 0.1 s at 600 cpm
    EXPECT_EQ(player.positionMs(), 0);

    const auto before = Clock::now();
    ASSERT_TRUE(player.play());
    EXPECT_LT(Clock::now() - before, std::chrono::milliseconds(200)); // returns at once
    EXPECT_EQ(player.mode(), MediaPlayer::Mode::Playing);
    EXPECT_TRUE(player.play()); // no effect while playing
    ASSERT_TRUE(WaitFor([&] { return notices > 0; }));
    Settle();
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(player.mode(), MediaPlayer::Mode::Stopped);
    EXPECT_EQ(player.positionMs(), player.lengthMs());

    ASSERT_TRUE(player.play()); // at the end: from the beginning
    ASSERT_TRUE(WaitFor([&] { return player.positionMs() > 0 && player.positionMs() < 900; }, 2));
    player.stop();
    EXPECT_EQ(player.mode(), MediaPlayer::Mode::Stopped);
    ASSERT_TRUE(WaitFor([&] { return notices == 2; }));
    player.stop(); // stopping a stopped player ends nothing
    Settle();
    EXPECT_EQ(notices, 2);

    player.close();
    player.close(); // idempotent
    EXPECT_EQ(player.mode(), MediaPlayer::Mode::NotOpen);
    EXPECT_EQ(player.lengthMs(), 0);
    EXPECT_FALSE(player.play());
    EXPECT_TRUE(std::filesystem::remove(midi)); // the file is free
    Settle();
    EXPECT_EQ(notices, 2);
}

TEST_F(DeviceTest, CloseWhilePlayingEndsPlaybackWithOneNotice) {
    const std::string midi = dir.File("temp.mid");
    test::WriteBytes(midi, test::MorseMidi({"PARIS"}, {60}));
    AudioEngine engine;
    if (!engine.OpenDevice().empty()) {
        GTEST_SKIP() << "no SDL audio (dummy driver) here";
    }
    MediaPlayer player(MediaPlayer::Channel::Text, engine);
    int notices = 0;
    QObject::connect(&player, &MediaPlayer::notify, [&] { ++notices; });
    player.setFileName(QString::fromStdString(midi));
    ASSERT_TRUE(player.open());
    player.play();
    ASSERT_TRUE(WaitFor([&] { return player.positionMs() > 100; }, 3));
    player.close();
    EXPECT_EQ(notices, 0); // raised on the window's thread, after close() returned
    ASSERT_TRUE(WaitFor([&] { return notices == 1; }));
    Settle();
    EXPECT_EQ(notices, 1);
    // Reopening an open player closes it first.
    ASSERT_TRUE(player.open());
    player.play();
    ASSERT_TRUE(player.open());
    ASSERT_TRUE(WaitFor([&] { return notices == 2; }));
    EXPECT_EQ(player.mode(), MediaPlayer::Mode::Stopped);
}

TEST_F(DeviceTest, NoiseLoopsUnderTheTextAndBothNotifyAtItsEnd) {
    const std::string midi = dir.File("temp.mid");
    test::WriteBytes(midi, test::MorseMidi({"EE"}, {300}, 1)); // about 1.3 s
    const std::string noisePath = dir.File("noise.flac");
    ASSERT_TRUE(test::WriteSound(noisePath, test::LoopableSine(2400, 25, 0.3f), 1, 48000,
                                 SF_FORMAT_FLAC | SF_FORMAT_PCM_16)); // 50 ms
    AudioEngine engine;
    if (!engine.OpenDevice().empty()) {
        GTEST_SKIP() << "no SDL audio (dummy driver) here";
    }
    MediaPlayer text(MediaPlayer::Channel::Text, engine);
    MediaPlayer noise(MediaPlayer::Channel::Noise, engine);
    int textNotices = 0;
    int noiseNotices = 0;
    QObject::connect(&text, &MediaPlayer::notify, [&] { ++textNotices; });
    QObject::connect(&noise, &MediaPlayer::notify, [&] { ++noiseNotices; });
    text.setFileName(QString::fromStdString(midi));
    noise.setFileName(QString::fromStdString(noisePath));
    ASSERT_TRUE(text.open());
    ASSERT_TRUE(noise.open()) << noise.errorString().toStdString();
    EXPECT_EQ(noise.lengthMs(), 50);
    text.play();
    noise.play();
    ASSERT_TRUE(WaitFor([&] { return textNotices == 1; }));
    Settle();
    EXPECT_EQ(textNotices, 1);
    EXPECT_EQ(noiseNotices, 1); // no notice at each of its loops, one when it stopped with the text
    EXPECT_EQ(noise.mode(), MediaPlayer::Mode::Stopped);
}

TEST_F(DeviceTest, OpenErrorsCarryReadableText) {
    AudioEngine engine;
    if (!engine.OpenDevice().empty()) {
        GTEST_SKIP() << "no SDL audio (dummy driver) here";
    }
    MediaPlayer text(MediaPlayer::Channel::Text, engine);
    MediaPlayer noise(MediaPlayer::Channel::Noise, engine);
    const std::string missing = dir.File("missing.mid");
    text.setFileName(QString::fromStdString(missing));
    EXPECT_FALSE(text.open());
    EXPECT_TRUE(text.errorString().contains(QString::fromStdString(missing)));
    EXPECT_EQ(text.mode(), MediaPlayer::Mode::NotOpen);

    const std::string empty = dir.File("temp.mid");
    test::WriteBytes(empty, {});
    text.setFileName(QString::fromStdString(empty));
    EXPECT_FALSE(text.open());
    EXPECT_TRUE(text.errorString().contains("empty")) << text.errorString().toStdString();

    const std::string garbage = dir.File("noise.wav");
    test::WriteBytes(garbage, {'R', 'I', 'F', 'F', 1, 2, 3, 4, 'W', 'A', 'V', 'E', 9, 9, 9});
    noise.setFileName(QString::fromStdString(garbage));
    EXPECT_FALSE(noise.open());
    EXPECT_TRUE(noise.errorString().startsWith("The noise file")) << noise.errorString().toStdString();
    EXPECT_FALSE(noise.play());
}

TEST_F(DeviceTest, WithoutAnOutputDeviceOpenFailsWithAClearError) {
    const std::string midi = dir.File("temp.mid");
    test::WriteBytes(midi, test::MorseMidi({"E"}, {60}, 1));
    const char* old = std::getenv("SDL_AUDIODRIVER");
    const std::string saved = old ? old : "";
    setenv("SDL_AUDIODRIVER", "qlor-no-such-driver", 1);
    {
        AudioEngine engine;
        MediaPlayer player(MediaPlayer::Channel::Text, engine);
        player.setFileName(QString::fromStdString(midi));
        EXPECT_FALSE(player.open());
        EXPECT_TRUE(player.errorString().startsWith("No audio output")) << player.errorString().toStdString();
        EXPECT_EQ(player.mode(), MediaPlayer::Mode::NotOpen);
        player.close();
    }
    setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
}

TEST_F(DeviceTest, VolumeWordsHoldTheLevelInBothHalves) {
    SetMidiVolume(1234);
    EXPECT_EQ(GetMidiVolume(), 1234u * 65537u);
    EXPECT_EQ(GetMidiVolume() & 0xFFFF, 1234u);
    SetWaveVolume(70000);
    EXPECT_EQ(GetWaveVolume(), 0xFFFFFFFFu);
    SetWaveVolume(-3);
    EXPECT_EQ(GetWaveVolume(), 0u);
    EXPECT_EQ(AudioEngine::Shared().GetMixer().Level(kTextSlot), 1234);
    SetMidiVolume(65535);
    SetWaveVolume(65535);
}

} // namespace
} // namespace qlor
