// The noise cache: a recording is decoded once per version of the file (path spelling aside),
// a changed file is decoded again, the least recently used clips are dropped at the limits,
// failures are not kept, and preloading and concurrent opens never decode the same version twice.
#include "audio/noise_cache.h"
#include "audio_test_util.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>

namespace qlor {
namespace {

constexpr int kRate = 48000;

class NoiseCacheTest : public ::testing::Test {
protected:
    // `frames` of a mono sine at 48 kHz whose amplitude tells the files apart.
    std::string Write(const char* name, size_t frames, float amplitude) {
        const std::string path = dir.File(name);
        EXPECT_TRUE(test::WriteSound(path, test::LoopableSine(frames, 10, amplitude), 1, kRate));
        return path;
    }
    static float Peak(const NoiseResult& result) {
        float peak = 0;
        for (float v : result.clip->samples) {
            peak = std::max(peak, std::fabs(v));
        }
        return peak;
    }

    test::TempDir dir;
};

TEST_F(NoiseCacheTest, ASecondOpenOfTheSameFileTakesTheClipFromMemory) {
    const std::string path = Write("noise.wav", 4800, 0.5f);
    NoiseCache cache(kRate);
    const NoiseResult first = cache.Open(path);
    ASSERT_TRUE(first.ok()) << first.error;
    EXPECT_EQ(cache.Stats().decodes, 1u);
    EXPECT_TRUE(cache.Holds(path));

    const NoiseResult second = cache.Open(path);
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(second.clip, first.clip); // the very same samples
    // Another spelling of the same file is the same clip.
    std::filesystem::create_directory(dir.File("sub"));
    const NoiseResult third = cache.Open(dir.File("./sub/../noise.wav"));
    ASSERT_TRUE(third.ok()) << third.error;
    EXPECT_EQ(third.clip, first.clip);
    std::filesystem::create_symlink(path, dir.File("link.wav"));
    EXPECT_EQ(cache.Open(dir.File("link.wav")).clip, first.clip);
    const NoiseCacheStats stats = cache.Stats();
    EXPECT_EQ(stats.decodes, 1u);
    EXPECT_EQ(stats.hits, 3u);
    EXPECT_EQ(stats.clips, 1u);
    EXPECT_GE(stats.bytes, 4800 * sizeof(float));

    // A cache at another rate resamples for its own rate.
    NoiseCache other(44100);
    const NoiseResult resampled = other.Open(path);
    ASSERT_TRUE(resampled.ok()) << resampled.error;
    EXPECT_EQ(resampled.clip->frames, 4410u);
}

TEST_F(NoiseCacheTest, AFileChangedOnDiskIsDecodedAgain) {
    const std::string path = Write("noise.wav", 4800, 0.5f);
    NoiseCache cache(kRate);
    const NoiseResult original = cache.Open(path);
    ASSERT_TRUE(original.ok());

    // New length (and size).
    Write("noise.wav", 9600, 0.25f);
    const NoiseResult longer = cache.Open(path);
    ASSERT_TRUE(longer.ok());
    EXPECT_EQ(cache.Stats().decodes, 2u);
    EXPECT_EQ(longer.clip->frames, 9600u);
    EXPECT_NEAR(Peak(longer), 0.25f, 0.01f);
    EXPECT_EQ(cache.Stats().clips, 1u);      // the old version is not kept beside it
    EXPECT_EQ(original.clip->frames, 4800u); // and one still held elsewhere is untouched

    // Same size, new modification time.
    Write("noise.wav", 9600, 0.125f);
    const auto written = std::filesystem::last_write_time(path);
    std::filesystem::last_write_time(path, written + std::chrono::seconds(5));
    const NoiseResult touched = cache.Open(path);
    ASSERT_TRUE(touched.ok());
    EXPECT_EQ(cache.Stats().decodes, 3u);
    EXPECT_NEAR(Peak(touched), 0.125f, 0.01f);

    // Same size, rewritten, and the old modification time put back (as a copy that keeps times
    // does): still noticed.
    const auto kept = std::filesystem::last_write_time(path);
    std::this_thread::sleep_for(std::chrono::milliseconds(30)); // past the file system's clock tick
    Write("noise.wav", 9600, 0.0625f);
    std::filesystem::last_write_time(path, kept);
    const NoiseResult restored = cache.Open(path);
    ASSERT_TRUE(restored.ok());
    EXPECT_EQ(cache.Stats().decodes, 4u);
    EXPECT_NEAR(Peak(restored), 0.0625f, 0.01f);

    // Replaced by another file under the same name.
    const std::string other = Write("other.wav", 9600, 0.75f);
    std::filesystem::rename(other, path);
    const NoiseResult replaced = cache.Open(path);
    ASSERT_TRUE(replaced.ok());
    EXPECT_EQ(cache.Stats().decodes, 5u);
    EXPECT_NEAR(Peak(replaced), 0.75f, 0.01f);
    EXPECT_EQ(cache.Stats().hits, 0u);
}

TEST_F(NoiseCacheTest, TheLeastRecentlyUsedClipIsDroppedAtTheClipLimit) {
    const std::string a = Write("a.wav", 4800, 0.1f);
    const std::string b = Write("b.wav", 4800, 0.2f);
    const std::string c = Write("c.wav", 4800, 0.3f);
    NoiseCache cache(kRate, NoiseCacheLimits{2, uint64_t{1} << 30});
    ASSERT_TRUE(cache.Open(a).ok());
    ASSERT_TRUE(cache.Open(b).ok());
    ASSERT_TRUE(cache.Open(a).ok()); // a is now the more recent
    ASSERT_TRUE(cache.Open(c).ok());
    EXPECT_TRUE(cache.Holds(a));
    EXPECT_FALSE(cache.Holds(b));
    EXPECT_TRUE(cache.Holds(c));
    NoiseCacheStats stats = cache.Stats();
    EXPECT_EQ(stats.clips, 2u);
    EXPECT_EQ(stats.evictions, 1u);
    EXPECT_EQ(stats.decodes, 3u);
    ASSERT_TRUE(cache.Open(b).ok()); // dropped: decoded again, and now a is the oldest
    stats = cache.Stats();
    EXPECT_EQ(stats.decodes, 4u);
    EXPECT_FALSE(cache.Holds(a));
    EXPECT_TRUE(cache.Holds(c));

    cache.SetLimits(NoiseCacheLimits{1, uint64_t{1} << 30});
    EXPECT_EQ(cache.Stats().clips, 1u);
    EXPECT_TRUE(cache.Holds(b));
    cache.Clear();
    EXPECT_EQ(cache.Stats().clips, 0u);
    EXPECT_EQ(cache.Stats().bytes, 0u);
    EXPECT_FALSE(cache.Holds(b));
}

TEST_F(NoiseCacheTest, TheByteBudgetDropsOldClipsButKeepsTheNewestEvenWhenLarger) {
    const std::string small1 = Write("s1.wav", 4800, 0.1f); // about 19 KB of samples
    const std::string small2 = Write("s2.wav", 4800, 0.2f);
    const std::string large = Write("large.wav", 48000, 0.3f); // about 190 KB
    NoiseCache cache(kRate, NoiseCacheLimits{10, 50 * 1024});
    ASSERT_TRUE(cache.Open(small1).ok());
    ASSERT_TRUE(cache.Open(small2).ok());
    EXPECT_EQ(cache.Stats().clips, 2u);
    EXPECT_LE(cache.Stats().bytes, 50u * 1024);
    const NoiseResult big = cache.Open(large);
    ASSERT_TRUE(big.ok());
    NoiseCacheStats stats = cache.Stats();
    EXPECT_EQ(stats.clips, 1u); // only the newest, over budget as it is
    EXPECT_EQ(stats.evictions, 2u);
    EXPECT_TRUE(cache.Holds(large));
    EXPECT_GE(stats.bytes, 48000 * sizeof(float));
    ASSERT_TRUE(cache.Open(large).ok());
    EXPECT_EQ(cache.Stats().decodes, 3u); // still served from memory
    ASSERT_TRUE(cache.Open(small1).ok());
    EXPECT_FALSE(cache.Holds(large));
    EXPECT_TRUE(cache.Holds(small1));
    EXPECT_LE(cache.Stats().bytes, 50u * 1024);
}

TEST_F(NoiseCacheTest, FailuresKeepTheirTextAndAreNotKept) {
    NoiseCache cache(kRate);
    const std::string path = dir.File("noise.wav");
    test::WriteBytes(path, {'R', 'I', 'F', 'F', 1, 2, 3, 4, 'W', 'A', 'V', 'E', 9, 9, 9});
    const std::string missing = dir.File("missing.wav");
    const std::string folder = dir.File("folder.wav");
    std::filesystem::create_directory(folder);
    for (int round = 0; round < 2; ++round) {
        for (const std::string& file : {path, missing, folder}) {
            const NoiseResult result = cache.Open(file);
            EXPECT_FALSE(result.ok()) << file;
            EXPECT_EQ(result.error.rfind("The noise file \"" + file + "\" cannot be played: ", 0), 0u) << result.error;
            EXPECT_EQ(result.error, DecodeNoiseFile(file, kRate).error);
        }
    }
    EXPECT_EQ(cache.Stats().clips, 0u);
    EXPECT_EQ(cache.Stats().decodes, 6u);
    // Mended, the file plays at its next open.
    Write("noise.wav", 4800, 0.5f);
    EXPECT_TRUE(cache.Open(path).ok());
}

TEST_F(NoiseCacheTest, PreloadingDecodesAheadAndNeverTwice) {
    const std::string path = Write("noise.wav", 4800, 0.5f);
    NoiseCache cache(kRate);
    cache.Preload(path);
    cache.Preload(""); // ignored
    cache.WaitForPreloads();
    EXPECT_TRUE(cache.Holds(path));
    EXPECT_EQ(cache.Stats().decodes, 1u);
    ASSERT_TRUE(cache.Open(path).ok());
    EXPECT_EQ(cache.Stats().decodes, 1u);
    EXPECT_EQ(cache.Stats().hits, 1u);

    // An open right after the preload was asked for either waits for its decode or finds the
    // clip: either way one decode of a file several seconds long.
    std::vector<float> stereo(2 * 44100 * 5);
    for (size_t i = 0; i < stereo.size(); ++i) {
        stereo[i] = 0.2f * static_cast<float>(std::sin(0.01 * static_cast<double>(i)));
    }
    for (int round = 0; round < 3; ++round) {
        const std::string name = "long" + std::to_string(round) + ".wav";
        const std::string longer = dir.File(name);
        ASSERT_TRUE(test::WriteSound(longer, stereo, 2, 44100));
        const uint64_t before = cache.Stats().decodes;
        cache.Preload(longer);
        cache.Preload(longer);
        const NoiseResult opened = cache.Open(longer);
        ASSERT_TRUE(opened.ok()) << opened.error;
        EXPECT_EQ(opened.clip->frames, 48000u * 5);
        cache.WaitForPreloads();
        EXPECT_EQ(cache.Stats().decodes, before + 1) << name;
    }
}

TEST_F(NoiseCacheTest, ThreadsOpeningTogetherGetWholeClips) {
    std::vector<std::string> paths;
    for (int i = 0; i < 6; ++i) {
        // Appended, not concatenated to a literal: GCC 12 at -O3 warns falsely (-Wrestrict) on that.
        std::string name = "n";
        name += std::to_string(i) + ".wav";
        paths.push_back(Write(name.c_str(), 4800 * (i + 1), 0.1f * (i + 1)));
    }
    NoiseCache cache(kRate, NoiseCacheLimits{3, uint64_t{1} << 30});
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int k = 0; k < 60; ++k) {
                const size_t i = static_cast<size_t>(t * 7 + k * 5) % paths.size();
                if (k % 10 == 0) {
                    cache.Preload(paths[i]);
                }
                const NoiseResult result = cache.Open(paths[i]);
                if (!result.ok() || result.clip->frames != 4800 * (i + 1) ||
                    std::fabs(Peak(result) - 0.1f * static_cast<float>(i + 1)) > 0.01f) {
                    ++wrong;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    cache.WaitForPreloads();
    EXPECT_EQ(wrong.load(), 0);
    const NoiseCacheStats stats = cache.Stats();
    EXPECT_EQ(stats.clips, 3u);
    EXPECT_EQ(stats.decodes, stats.evictions + stats.clips); // every decode kept until dropped
    // Each open counts once; the preloads (at most 24, fewer when one was already queued) as well.
    EXPECT_GE(stats.hits + stats.decodes, 4u * 60);
    EXPECT_LE(stats.hits + stats.decodes, 4u * 60 + 24);
}

TEST_F(NoiseCacheTest, ClosingCutsPreloadsShort) {
    std::vector<float> stereo(2 * 44100 * 20, 0.1f);
    std::vector<std::string> paths;
    for (int i = 0; i < 4; ++i) {
        paths.push_back(dir.File("long" + std::to_string(i) + ".wav"));
        ASSERT_TRUE(test::WriteSound(paths.back(), stereo, 2, 44100));
    }
    const std::atomic<bool> cancelled{true};
    const NoiseResult given_up = DecodeNoiseFile(paths[0], kRate, &cancelled);
    EXPECT_FALSE(given_up.ok());
    EXPECT_NE(given_up.error.find("cancelled"), std::string::npos) << given_up.error;
    // A cache destroyed with preloads queued and one under way neither hangs nor leaves its
    // thread running.
    for (int round = 0; round < 3; ++round) {
        NoiseCache cache(kRate);
        for (const std::string& path : paths) {
            cache.Preload(path);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5 * round));
    }
}

} // namespace
} // namespace qlor
