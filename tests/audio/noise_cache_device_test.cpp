// The engine's noise cache on SDL's dummy device (real time): Run's second open of a noise file
// decodes nothing; a preloaded file opens from memory; a clip dropped from the cache while it
// plays goes on sounding to its last sample and is freed only when the player lets it go, on the
// player's thread.
#include "audio/audio_engine.h"
#include "audio/noise_cache.h"
#include "audio_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace qlor {
namespace {

using Clock = std::chrono::steady_clock;

bool WaitUntil(const std::function<bool()>& done, double seconds = 15) {
    const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (Clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

class EngineNoiseCacheTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("SDL_AUDIODRIVER", "dummy", 0); }

    std::string Noise(const char* name, size_t frames, float amplitude, int rate = kOutputRate) {
        const std::string path = dir.File(name);
        EXPECT_TRUE(test::WriteSound(path, test::LoopableSine(frames, 7, amplitude), 1, rate));
        return path;
    }

    test::TempDir dir;
};

TEST_F(EngineNoiseCacheTest, RunOpensTheSameNoiseFileWithoutDecodingItAgain) {
    AudioEngine engine;
    if (!engine.OpenDevice().empty()) {
        GTEST_SKIP() << "no SDL audio (dummy driver) here";
    }
    const std::string midi = dir.File("temp.mid");
    test::WriteBytes(midi, test::MorseMidi({"E"}, {600}));
    const std::string noise = Noise("noise.wav", 4410, 0.3f, 44100);
    for (int run = 0; run < 3; ++run) { // as the window's Run, Stop and Run again do it
        ASSERT_TRUE(engine.Open(kTextSlot, midi).error.empty());
        const OpenOutcome opened = engine.Open(kNoiseSlot, noise);
        ASSERT_TRUE(opened.error.empty()) << opened.error;
        EXPECT_EQ(engine.LengthFrames(kNoiseSlot), 4800u);
        engine.Play(kTextSlot);
        engine.Play(kNoiseSlot);
        Mixer& mixer = engine.GetMixer();
        ASSERT_TRUE(WaitUntil([&] { return mixer.PulledFrames() > mixer.StartFrame(kNoiseSlot) + 4800; })); // it looped
        engine.Stop(kTextSlot); // the noise stops with it
        EXPECT_TRUE(WaitUntil([&] { return engine.Mode(kNoiseSlot) == PlayerMode::Stopped; }));
        engine.Close(kNoiseSlot);
        engine.Close(kTextSlot);
    }
    EXPECT_EQ(engine.Noise().Stats().decodes, 1u);
    EXPECT_EQ(engine.Noise().Stats().hits, 2u);

    // Rewritten between two transmissions: decoded again, and the new length is what opens.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    Noise("noise.wav", 8820, 0.3f, 44100);
    ASSERT_TRUE(engine.Open(kNoiseSlot, noise).error.empty());
    EXPECT_EQ(engine.LengthFrames(kNoiseSlot), 9600u);
    EXPECT_EQ(engine.Noise().Stats().decodes, 2u);

    // Preloaded ahead of Run: the open itself decodes nothing.
    const std::string other = Noise("other.wav", 2205, 0.3f, 44100);
    engine.PreloadNoise(other);
    engine.Noise().WaitForPreloads();
    const uint64_t decodes = engine.Noise().Stats().decodes;
    ASSERT_TRUE(engine.Open(kNoiseSlot, other).error.empty());
    EXPECT_EQ(engine.Noise().Stats().decodes, decodes);
    EXPECT_EQ(engine.LengthFrames(kNoiseSlot), 2400u);

    // An undecodable file still says why, every time.
    const std::string broken = dir.File("broken.wav");
    test::WriteBytes(broken, {'R', 'I', 'F', 'F', 1, 2, 3, 4, 'W', 'A', 'V', 'E'});
    for (int k = 0; k < 2; ++k) {
        const OpenOutcome failed = engine.Open(kNoiseSlot, broken);
        EXPECT_EQ(failed.error.rfind("The noise file \"" + broken + "\" cannot be played", 0), 0u) << failed.error;
        EXPECT_FALSE(engine.IsOpen(kNoiseSlot));
    }
}

TEST_F(EngineNoiseCacheTest, AClipDroppedFromTheCacheWhilePlayingSoundsToItsEnd) {
    const test::DiskCapture device(dir.File("device.raw"));
    std::vector<float> expected;
    {
        AudioEngine engine;
        ASSERT_EQ(engine.OpenDevice(), "");
        engine.Noise().SetLimits(NoiseCacheLimits{1, uint64_t{1} << 30});
        const std::string playing = Noise("playing.wav", 48000, 0.5f); // 1 s, played once on its own
        const std::string b = Noise("b.wav", 480, 0.1f);
        const std::string c = Noise("c.wav", 480, 0.2f);
        ASSERT_TRUE(engine.Open(kNoiseSlot, playing).error.empty());
        std::weak_ptr<const NoiseClip> clip = engine.Noise().Open(playing).clip;
        ASSERT_FALSE(clip.expired());
        expected = clip.lock()->samples;
        engine.Play(kNoiseSlot);

        // The window opens other recordings meanwhile: the playing one leaves the cache.
        ASSERT_TRUE(engine.Noise().Open(b).ok());
        ASSERT_TRUE(engine.Noise().Open(c).ok());
        EXPECT_FALSE(engine.Noise().Holds(playing));
        EXPECT_EQ(engine.Noise().Stats().clips, 1u);
        EXPECT_GE(engine.Noise().Stats().evictions, 2u);
        EXPECT_EQ(engine.Mode(kNoiseSlot), PlayerMode::Playing); // dropped while it played
        EXPECT_FALSE(clip.expired());                            // the player still holds it

        ASSERT_TRUE(WaitUntil([&] { return engine.Mode(kNoiseSlot) == PlayerMode::Stopped; }));
        EXPECT_FALSE(clip.expired());                                // the ended playback keeps its source until closed
        std::this_thread::sleep_for(std::chrono::milliseconds(100)); // some silence after it

        // Closing hands the source back and destroys it here, on this thread: the last reference
        // to the clip goes with it.
        engine.Close(kNoiseSlot);
        EXPECT_TRUE(clip.expired());
    } // the device closes: its file is complete

    // Every frame of the recording reached the device, in both channels, and nothing after it.
    const std::vector<float> capture = device.Frames();
    const auto lead = static_cast<size_t>(
        std::find_if(expected.begin(), expected.end(), [](float v) { return v != 0.0f; }) - expected.begin());
    ASSERT_LT(lead, expected.size());
    ASSERT_GE(test::FirstSoundingFrame(capture), lead);
    const size_t start = test::FirstSoundingFrame(capture) - lead;
    ASSERT_GT(capture.size() / 2, start + expected.size());
    for (size_t n = 0; n < expected.size(); ++n) {
        ASSERT_EQ(capture[2 * (start + n)], expected[n]) << "frame " << n;
        ASSERT_EQ(capture[2 * (start + n) + 1], expected[n]) << "frame " << n;
    }
    EXPECT_EQ(capture[2 * (start + expected.size())], 0.0f); // it ended after its last frame
}

} // namespace
} // namespace qlor
