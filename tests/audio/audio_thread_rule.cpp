// The audio thread's rule, checked: while whole songs play with each voice on SDL's dummy device,
// replayed and stopped, the thread that pulls the audio calls no malloc, free or open. This
// program replaces those functions (and their relatives) for the whole process and counts the
// calls made on SDL's playback thread while a check is armed; the real work is forwarded to
// glibc. It is a program of its own, so nothing else runs with the replacements.
#include "audio/audio_engine.h"
#include "audio_test_util.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* pointer);
}

namespace {

std::atomic<bool> gArmed{false};
std::atomic<int> gCalls{0};
std::atomic<int> gLastKind{0}; // 1 malloc, 2 free, 3 open

// SDL names its playback threads "SDLAudioP<n>".
void Count(int kind) {
    if (!gArmed.load(std::memory_order_relaxed)) {
        return;
    }
    char name[17] = {};
    prctl(PR_GET_NAME, name, 0, 0, 0);
    if (std::strncmp(name, "SDLAudioP", 9) == 0) {
        gCalls.fetch_add(1);
        gLastKind.store(kind);
    }
}

int OpenAt(int dir, const char* path, int flags, va_list args) {
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        mode = static_cast<mode_t>(va_arg(args, int));
    }
    return static_cast<int>(syscall(SYS_openat, dir, path, flags, mode));
}

} // namespace

extern "C" {
void* malloc(size_t size) {
    Count(1);
    return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
    Count(1);
    return __libc_calloc(count, size);
}
void* realloc(void* pointer, size_t size) {
    Count(1);
    return __libc_realloc(pointer, size);
}
void* memalign(size_t alignment, size_t size) {
    Count(1);
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(size_t alignment, size_t size) {
    Count(1);
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, size_t alignment, size_t size) {
    Count(1);
    *out = __libc_memalign(alignment, size);
    return *out != nullptr ? 0 : ENOMEM;
}
void free(void* pointer) {
    Count(2);
    __libc_free(pointer);
}
int open(const char* path, int flags, ...) {
    Count(3);
    va_list args;
    va_start(args, flags);
    const int fd = OpenAt(AT_FDCWD, path, flags, args);
    va_end(args);
    return fd;
}
int open64(const char* path, int flags, ...) {
    Count(3);
    va_list args;
    va_start(args, flags);
    const int fd = OpenAt(AT_FDCWD, path, flags, args);
    va_end(args);
    return fd;
}
int openat(int dir, const char* path, int flags, ...) {
    Count(3);
    va_list args;
    va_start(args, flags);
    const int fd = OpenAt(dir, path, flags, args);
    va_end(args);
    return fd;
}
}

namespace qlor {
namespace {

bool WaitFor(const std::function<bool()>& done, double seconds = 20) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// A voice, with or without a generated band (the contest's stations come and go, QRN's events
// start and end, the AGC runs).
class AudioThreadRule : public ::testing::TestWithParam<std::tuple<VoiceKind, BandPreset>> {};

// The counting itself: a thread named like SDL's that allocates, frees and opens is seen.
TEST(AudioThreadRuleProbe, SeesCallsOnAThreadNamedLikeSdls) {
    gCalls = 0;
    gArmed = true;
    std::thread([] {
        prctl(PR_SET_NAME, "SDLAudioP9", 0, 0, 0);
        void* volatile block = std::malloc(64);
        std::free(block);
        const int fd = ::open("/dev/null", O_RDONLY);
        if (fd >= 0) {
            ::close(fd);
        }
    }).join();
    gArmed = false;
    EXPECT_GE(gCalls.load(), 3); // with the thread's own exit
}

TEST_P(AudioThreadRule, NoAllocationFreeOrOpenWhileSongsPlay) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    test::TempDir dir;
    const std::string midi = dir.File("song.mid");
    test::WriteBytes(midi, test::MorseMidi({"CQ DE QLOR 73"}, {300}));
    AudioEngine engine;
    if (!engine.OpenDevice().empty()) {
        GTEST_SKIP() << "no SDL audio (dummy driver) here";
    }
    const auto [voice, preset] = GetParam();
    engine.SetVoice(voice);
    if (preset != BandPreset::Off) {
        BandSettings band = PresetBand(preset);
        band.qrn = QrnKind::Heavy;
        engine.SetBand(band);
    }
    const OpenOutcome opened = engine.Open(kTextSlot, midi);
    ASSERT_TRUE(opened.error.empty()) << opened.error;
    ASSERT_TRUE(opened.warning.empty()) << opened.warning; // the SoundFont voice really plays
    const uint32_t endedBefore = engine.EndedCount(kTextSlot);

    gCalls = 0;
    gArmed = true;
    engine.Play(kTextSlot); // the whole song
    const bool ended = WaitFor([&] { return engine.EndedCount(kTextSlot) == endedBefore + 1; });
    engine.Play(kTextSlot); // a replay from the start, stopped on its way
    const bool underWay = WaitFor([&] { return engine.PositionFrames(kTextSlot) >= uint64_t(engine.Rate()) * 2 / 5; });
    engine.Stop(kTextSlot);
    engine.Play(kTextSlot); // resumed after the stop, then played to the end
    const bool endedAgain = WaitFor([&] { return engine.EndedCount(kTextSlot) >= endedBefore + 3; });
    gArmed = false;

    EXPECT_TRUE(ended);
    EXPECT_TRUE(underWay);
    EXPECT_TRUE(endedAgain);
    EXPECT_EQ(gCalls.load(), 0) << "last call of kind " << gLastKind.load() << " (1 malloc, 2 free, 3 open)";
    engine.Close(kTextSlot);
}

INSTANTIATE_TEST_SUITE_P(Voices, AudioThreadRule,
                         ::testing::Combine(::testing::Values(VoiceKind::Tone, VoiceKind::SoundFont),
                                            ::testing::Values(BandPreset::Off, BandPreset::Contest)),
                         [](const auto& paramInfo) {
                             return std::string(VoiceName(std::get<0>(paramInfo.param))) + "_band_" +
                                    BandPresetName(std::get<1>(paramInfo.param));
                         });

} // namespace
} // namespace qlor
