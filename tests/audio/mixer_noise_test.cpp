// The noise source and the mixer: sample-exact loops (also after resampling), the noise stopping
// with the text, levels that apply at once, end notices, and results that do not depend on how
// the audio is pulled.
#include "audio/midi_source.h"
#include "audio/mixer.h"
#include "audio/noise_source.h"
#include "audio/offline_render.h"
#include "audio/soundfont_bank.h"
#include "audio_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sys/stat.h>

namespace qlor {
namespace {

constexpr int kRate = 48000;

std::unique_ptr<AudioSource> ToneText(const std::vector<uint8_t>& smf) {
    MidiOpenResult opened = OpenMidiBytes(smf, VoiceKind::Tone, nullptr, kRate);
    EXPECT_TRUE(opened.error.empty()) << opened.error;
    return std::move(opened.source);
}

std::unique_ptr<AudioSource> Noise(const std::string& path) {
    NoiseResult decoded = DecodeNoiseFile(path, kRate);
    EXPECT_TRUE(decoded.ok()) << decoded.error;
    return decoded.ok() ? std::make_unique<NoiseSource>(decoded.clip) : nullptr;
}

std::vector<float> PullAll(Mixer& mixer, uint64_t frames, size_t block = 1000) {
    std::vector<float> out(2 * frames);
    for (uint64_t done = 0; done < frames;) {
        const auto now = static_cast<size_t>(std::min<uint64_t>(block, frames - done));
        mixer.Pull(out.data() + 2 * done, now);
        done += now;
    }
    return out;
}

class NoiseTest : public ::testing::Test {
protected:
    test::TempDir dir;
    // A 500 Hz sine of exactly 50 periods in 0.1 s: it loops without a seam.
    std::string SineFile(int rate, const char* name = "noise.wav") {
        const std::string path = dir.File(name);
        EXPECT_TRUE(test::WriteSound(path, test::LoopableSine(static_cast<size_t>(rate / 10), 50, 0.5f), 1, rate));
        return path;
    }
};

TEST_F(NoiseTest, LoopsSampleExactlyUnderTheTextAndStopsOnItsLastFrame) {
    const std::string path = SineFile(kRate);
    const std::vector<float> sine = test::LoopableSine(4800, 50, 0.5f);
    Mixer mixer(kRate);
    mixer.SetLevel(kTextSlot, 0); // only the noise is heard
    std::unique_ptr<AudioSource> text = ToneText(test::MorseMidi({"PARIS"}, {300}));
    const uint64_t length = text->LengthFrames();
    std::unique_ptr<AudioSource> noise = Noise(path);
    ASSERT_TRUE(mixer.Attach(kTextSlot, text));
    ASSERT_TRUE(mixer.Attach(kNoiseSlot, noise));
    mixer.Play(kTextSlot, 1);
    mixer.Play(kNoiseSlot, 2);
    ASSERT_GE(length, 20 * 4800u); // many loop points
    const std::vector<float> out = PullAll(mixer, length + 3000, 777);
    for (uint64_t n = 0; n < length; ++n) {
        ASSERT_EQ(out[2 * n], sine[n % 4800]) << "frame " << n;
        ASSERT_EQ(out[2 * n + 1], sine[n % 4800]) << "frame " << n;
    }
    for (uint64_t n = length; n < length + 3000; ++n) {
        ASSERT_EQ(out[2 * n], 0.0f) << "the noise must stop with the text, frame " << n;
    }
    EXPECT_FALSE(mixer.Playing(kNoiseSlot));
    EXPECT_EQ(mixer.EndedCount(kTextSlot), 1u);
    EXPECT_EQ(mixer.EndedCount(kNoiseSlot), 1u);
    EXPECT_EQ(mixer.EndedPlayId(kNoiseSlot), 2u);
}

TEST_F(NoiseTest, ResampledLoopHasNoClickAtTheLoopPoint) {
    const std::string path = SineFile(44100);
    NoiseResult decoded = DecodeNoiseFile(path, kRate);
    ASSERT_TRUE(decoded.ok()) << decoded.error;
    const NoiseClip& clip = *decoded.clip;
    ASSERT_EQ(clip.frames, 4800u); // 0.1 s at 48 kHz
    ASSERT_EQ(clip.channels, 1);
    // Played as a loop, the step from the last sample to the first is an ordinary step of the
    // 500 Hz sine, and the amplitude holds up to the ends.
    float largestStep = 0.0f;
    float peak = 0.0f;
    for (size_t i = 0; i + 1 < clip.frames; ++i) {
        largestStep = std::max(largestStep, std::fabs(clip.samples[i + 1] - clip.samples[i]));
        peak = std::max(peak, std::fabs(clip.samples[i]));
    }
    const float loopStep = std::fabs(clip.samples.front() - clip.samples.back());
    EXPECT_LE(loopStep, largestStep * 1.01f);
    EXPECT_NEAR(peak, 0.5f, 0.01f);
    const double idealStep = 0.5 * 2 * std::sin(M_PI * 500.0 / kRate);
    EXPECT_NEAR(largestStep, idealStep, idealStep * 0.02);
    for (size_t i = 0; i < 50; ++i) { // no fade at the edges
        EXPECT_NEAR(clip.samples[i], 0.5f * std::sin(2 * M_PI * 500.0 * i / kRate), 0.01) << i;
    }
}

TEST_F(NoiseTest, LevelsApplyFromTheNextPulledFrame) {
    const std::string path = SineFile(kRate);
    const std::vector<float> sine = test::LoopableSine(4800, 50, 0.5f);
    Mixer mixer(kRate);
    std::unique_ptr<AudioSource> noise = Noise(path);
    mixer.Attach(kNoiseSlot, noise);
    mixer.Play(kNoiseSlot, 1);
    std::vector<float> out(2 * 1000);
    mixer.Pull(out.data(), 1000);
    EXPECT_EQ(out[2 * 100], sine[100]);
    mixer.SetLevel(kNoiseSlot, 16384);
    mixer.Pull(out.data(), 1000);
    const float gain = 16384.0f / 65535.0f;
    for (int n = 0; n < 1000; ++n) {
        ASSERT_FLOAT_EQ(out[2 * n], gain * sine[1000 + n]) << n;
    }
    mixer.SetLevel(kNoiseSlot, 0);
    mixer.Pull(out.data(), 1000);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](float v) { return v == 0.0f; }));
}

TEST_F(NoiseTest, AloneItPlaysOnceAndEnds) {
    Mixer mixer(kRate);
    std::unique_ptr<AudioSource> noise = Noise(SineFile(kRate));
    mixer.Attach(kNoiseSlot, noise);
    mixer.Play(kNoiseSlot, 7);
    const std::vector<float> out = PullAll(mixer, 6000);
    EXPECT_NE(out[2 * 4799], 0.0f);
    EXPECT_EQ(out[2 * 4800], 0.0f);
    EXPECT_FALSE(mixer.Playing(kNoiseSlot));
    EXPECT_EQ(mixer.EndedPlayId(kNoiseSlot), 7u);
    EXPECT_EQ(mixer.PositionFrames(kNoiseSlot), 4800u);
    // Playing again at the end starts from the beginning.
    mixer.Play(kNoiseSlot, 8);
    const std::vector<float> again = PullAll(mixer, 10);
    EXPECT_EQ(again[2 * 5], out[2 * 5]);
    EXPECT_TRUE(mixer.Playing(kNoiseSlot));
}

TEST_F(NoiseTest, StoppingTheTextStopsTheNoiseOnTheSameFrame) {
    Mixer mixer(kRate);
    std::unique_ptr<AudioSource> text = ToneText(test::MorseMidi({"PARIS"}, {60}));
    std::unique_ptr<AudioSource> noise = Noise(SineFile(kRate));
    mixer.Attach(kTextSlot, text);
    mixer.Attach(kNoiseSlot, noise);
    mixer.Play(kTextSlot, 1);
    mixer.Play(kNoiseSlot, 2);
    PullAll(mixer, 10000);
    mixer.Stop(kTextSlot);
    const std::vector<float> after = PullAll(mixer, 500);
    EXPECT_TRUE(std::all_of(after.begin(), after.end(), [](float v) { return v == 0.0f; }));
    EXPECT_EQ(mixer.EndedCount(kTextSlot), 1u);
    EXPECT_EQ(mixer.EndedCount(kNoiseSlot), 1u);
    // A stop of a stopped player ends nothing more.
    mixer.Stop(kTextSlot);
    mixer.Stop(kNoiseSlot);
    PullAll(mixer, 10);
    EXPECT_EQ(mixer.EndedCount(kTextSlot), 1u);
    EXPECT_EQ(mixer.EndedCount(kNoiseSlot), 1u);
    // Detaching a playing source ends its playback; the source comes back for destruction.
    mixer.Play(kTextSlot, 3);
    PullAll(mixer, 10);
    mixer.Detach(kTextSlot);
    PullAll(mixer, 10);
    EXPECT_EQ(mixer.EndedCount(kTextSlot), 2u);
    int retired = 0;
    while (mixer.TakeRetired()) {
        ++retired;
    }
    EXPECT_EQ(retired, 1);
}

TEST_F(NoiseTest, UndecodableFilesGiveThePlayersErrorText) {
    const std::string garbage = dir.File("noise1.wav");
    std::vector<uint8_t> bytes(5000);
    std::mt19937 random(7);
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(random());
    }
    test::WriteBytes(garbage, bytes);
    const std::string empty = dir.File("empty.wav");
    test::WriteBytes(empty, {});
    for (const std::string& path : {garbage, empty, dir.File("missing.wav")}) {
        const NoiseResult result = DecodeNoiseFile(path, kRate);
        EXPECT_FALSE(result.ok()) << path;
        EXPECT_NE(result.error.find("The noise file \"" + path + "\" cannot be played"), std::string::npos)
            << result.error;
    }
    // A valid header with no frames is refused too (it could not loop).
    const std::string silent = dir.File("zero.wav");
    ASSERT_TRUE(test::WriteSound(silent, {}, 1, kRate, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
    EXPECT_FALSE(DecodeNoiseFile(silent, kRate).ok());
}

TEST_F(NoiseTest, HostileRecordingsAreTamedOrRefusedAtOnceWithTheReason) {
    // Float samples near the limits of the format, NaN and infinities among a quiet sine: the
    // decoded (and resampled) noise stays finite and within full scale, and mostly quiet.
    std::vector<float> wild = test::LoopableSine(22050, 100, 0.1f);
    for (size_t i = 0; i < wild.size(); i += 2205) {
        wild[i] = i % 2 == 0 ? 3e38f : -3e38f;
    }
    wild[7] = std::numeric_limits<float>::quiet_NaN();
    wild[9] = std::numeric_limits<float>::infinity();
    const std::string loud = dir.File("loud.wav");
    ASSERT_TRUE(test::WriteSound(loud, wild, 1, 22050));
    const NoiseResult tamed = DecodeNoiseFile(loud, kRate);
    ASSERT_TRUE(tamed.ok()) << tamed.error;
    size_t loudSamples = 0;
    for (const float v : tamed.clip->samples) {
        ASSERT_TRUE(std::isfinite(v) && std::fabs(v) <= 1.0f) << v;
        loudSamples += std::fabs(v) > 0.5f ? 1 : 0;
    }
    EXPECT_LT(loudSamples, tamed.clip->samples.size() / 20);
    // A whole recording at the float limits (a sine of amplitude 3e38) plays as that sine scaled
    // down by its peak, not as the full-scale square wave that clipping would make of it.
    std::vector<float> huge = test::LoopableSine(22050, 100, 1.0f);
    for (float& v : huge) {
        v *= 3e38f;
    }
    huge[11] = std::numeric_limits<float>::quiet_NaN();
    const std::string limits = dir.File("limits.wav");
    ASSERT_TRUE(test::WriteSound(limits, huge, 1, 22050));
    const NoiseResult scaled = DecodeNoiseFile(limits, kRate);
    ASSERT_TRUE(scaled.ok()) << scaled.error;
    double power = 0.0;
    float peak = 0.0f;
    for (const float v : scaled.clip->samples) {
        ASSERT_TRUE(std::isfinite(v) && std::fabs(v) <= 1.0f) << v;
        power += static_cast<double>(v) * v;
        peak = std::max(peak, std::fabs(v));
    }
    EXPECT_GT(peak, 0.9f);
    EXPECT_NEAR(std::sqrt(power / static_cast<double>(scaled.clip->samples.size())), peak / std::sqrt(2.0), 0.02);

    // A 1 Hz recording; a sparse file that declares gigabytes of 96 kHz float stereo; a folder;
    // a FIFO without a writer (a blocking open would hang).
    const std::string slow = dir.File("slow.wav");
    ASSERT_TRUE(test::WriteSound(slow, std::vector<float>(16, 0.5f), 1, 1));
    const std::string sparse = dir.File("sparse.wav");
    {
        // RIFF header of 32-bit float stereo at 96 kHz whose data chunk declares 2 GB.
        const uint32_t dataBytes = 0x7FFF0000;
        auto le = [](std::string& out, uint32_t v, int n) {
            for (int k = 0; k < n; ++k) {
                out += static_cast<char>((v >> (8 * k)) & 0xFF);
            }
        };
        std::string header = "RIFF";
        le(header, 36 + dataBytes, 4);
        header += "WAVEfmt ";
        le(header, 16, 4);
        le(header, 3, 2); // IEEE float
        le(header, 2, 2);
        le(header, 96000, 4);
        le(header, 96000 * 8, 4);
        le(header, 8, 2);
        le(header, 32, 2);
        header += "data";
        le(header, dataBytes, 4);
        test::WriteBytes(sparse, std::vector<uint8_t>(header.begin(), header.end()));
    }
    std::filesystem::resize_file(sparse, 44 + 0x7FFF0000ull); // sparse: a few KB on the disk
    const std::string folder = dir.File("folder.wav");
    std::filesystem::create_directory(folder);
    const std::string fifo = dir.File("fifo.wav");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::string path;
        const char* reason;
    };
    for (const Case& c : {Case{slow, "sample rate (1 Hz)"}, Case{sparse, "MB of memory"}, Case{folder, "is a folder"},
                          Case{fifo, "not a regular file"}}) {
        const auto start = std::chrono::steady_clock::now();
        const NoiseResult result = DecodeNoiseFile(c.path, 192000);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << c.path;
        EXPECT_FALSE(result.ok()) << c.path;
        EXPECT_NE(result.error.find(c.reason), std::string::npos) << result.error;
    }
}

TEST_F(NoiseTest, AnyBytesAreSafe) {
    std::mt19937 random(11);
    const std::string path = SineFile(22050, "good.wav");
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::vector<std::string> magics = {"RIFF", "OggS", "fLaC", "ID3\x04", "FORM", ".snd"};
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bytes;
        if (round % 2 == 0) {
            bytes = good;
            for (int d = 0; d < 10; ++d) {
                bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
            }
            bytes.resize(random() % bytes.size());
        } else {
            bytes.resize(random() % 3000);
            for (uint8_t& b : bytes) {
                b = static_cast<uint8_t>(random());
            }
            const std::string& magic = magics[random() % magics.size()];
            for (size_t k = 0; k < magic.size() && k < bytes.size(); ++k) {
                bytes[k] = static_cast<uint8_t>(magic[k]);
            }
        }
        const std::string file = dir.File("fuzz.bin");
        test::WriteBytes(file, bytes);
        const NoiseResult result = DecodeNoiseFile(file, kRate);
        if (result.ok()) {
            NoiseSource source(result.clip);
            std::vector<float> out(2 * 512);
            while (source.Render(out.data(), 512) == 512) {
            }
            ASSERT_TRUE(std::all_of(out.begin(), out.end(), [](float v) { return std::isfinite(v); }));
        } else {
            ASSERT_FALSE(result.error.empty());
        }
    }
}

TEST_F(NoiseTest, DecodesTheCompressedFormats) {
    const std::vector<float> sine = test::LoopableSine(4410, 50, 0.5f);
    struct Format {
        const char* name;
        int format;
        double tolerance;
    };
    for (const Format& f : {Format{"n.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1e-4},
                            Format{"n.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 0.05},
                            Format{"n.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 0.1}}) {
        SF_INFO info{};
        info.samplerate = 44100;
        info.channels = 1;
        info.format = f.format;
        if (!sf_format_check(&info)) {
            continue; // this libsndfile cannot write it
        }
        std::vector<float> tenth;
        for (int r = 0; r < 10; ++r) {
            tenth.insert(tenth.end(), sine.begin(), sine.end());
        }
        const std::string path = dir.File(f.name);
        ASSERT_TRUE(test::WriteSound(path, tenth, 1, 44100, f.format));
        const NoiseResult result = DecodeNoiseFile(path, kRate);
        ASSERT_TRUE(result.ok()) << f.name << ": " << result.error;
        EXPECT_NEAR(static_cast<double>(result.clip->frames), 48000.0, 48000.0 * 0.06) << f.name;
        float peak = 0;
        for (float v : result.clip->samples) {
            peak = std::max(peak, std::fabs(v));
        }
        EXPECT_NEAR(peak, 0.5, f.tolerance + 0.01) << f.name;
    }
}

// The same transmission pulled in blocks of many sizes, or played again, is the same, sample
// for sample: the device callback and the offline renderer hear exactly the same thing; with a
// generated band too (its QSB on the text, the recording mixed in before its receiver).
TEST(Mixer, ResultDoesNotDependOnHowItIsPulled) {
    for (const BandPreset preset : {BandPreset::Off, BandPreset::Poor}) {
        test::TempDir dir;
        const std::string noisePath = dir.File("noise.wav");
        std::vector<float> stereo;
        std::mt19937 random(3);
        std::uniform_real_distribution<float> value(-0.3f, 0.3f);
        for (int i = 0; i < 2 * 12345; ++i) {
            stereo.push_back(value(random));
        }
        ASSERT_TRUE(test::WriteSound(noisePath, stereo, 2, 44100));
        const std::vector<uint8_t> smf = test::MorseMidi({"PARIS 12345"}, {150});
        SoundFontBank bank(kRate);
        const bool soundFont = bank.Load().empty();

        auto render = [&](const std::function<size_t()>& blockSize) {
            Mixer mixer(kRate);
            mixer.SetLevel(kTextSlot, 50000);
            mixer.SetLevel(kNoiseSlot, 20000);
            MidiOpenResult text = OpenMidiBytes(smf, soundFont ? VoiceKind::SoundFont : VoiceKind::Tone,
                                                soundFont ? &bank : nullptr, kRate);
            const MidiTimeline* timeline = &text.source->Timeline();
            std::unique_ptr<AudioSource> textSource = std::move(text.source);
            const uint64_t length = textSource->LengthFrames();
            std::unique_ptr<AudioSource> noise = Noise(noisePath);
            if (preset != BandPreset::Off) {
                auto band = std::make_unique<BandGenerator>(PresetBand(preset), BandSignalFor(*timeline));
                mixer.AttachBand(band);
            }
            mixer.Attach(kTextSlot, textSource);
            mixer.Attach(kNoiseSlot, noise);
            mixer.Play(kTextSlot, 1);
            mixer.Play(kNoiseSlot, 2);
            std::vector<float> out(2 * length);
            for (uint64_t done = 0; done < length;) {
                const auto now = static_cast<size_t>(std::min<uint64_t>(blockSize(), length - done));
                mixer.Pull(out.data() + 2 * done, now);
                done += now;
            }
            return out;
        };
        const std::vector<float> big = render([] { return size_t{4096}; });
        const std::vector<float> again = render([] { return size_t{4096}; }); // the same voice, played before
        EXPECT_TRUE(big == again);
        std::mt19937 sizes(5);
        const std::vector<float> ragged = render([&] { return size_t{1} + sizes() % 3000; });
        ASSERT_EQ(big.size(), ragged.size());
        EXPECT_TRUE(big == ragged);
        EXPECT_GT(*std::max_element(big.begin(), big.end()), 0.1f);
    }
}

TEST(Mixer, ClipsAtFullScale) {
    test::TempDir dir;
    const std::string path = dir.File("loud.wav");
    ASSERT_TRUE(test::WriteSound(path, std::vector<float>(4800, 1.5f), 1, kRate));
    Mixer mixer(kRate);
    std::unique_ptr<AudioSource> noise = Noise(path);
    mixer.Attach(kNoiseSlot, noise);
    mixer.Play(kNoiseSlot, 1);
    const std::vector<float> out = PullAll(mixer, 100);
    EXPECT_EQ(out[10], 1.0f);
}

TEST(OfflineRender, WritesFilesOtherToolsOpen) {
    test::TempDir dir;
    const std::string midi = dir.File("temp.mid");
    test::WriteBytes(midi, test::MorseMidi({"E"}, {60}, 1));
    RenderRequest request;
    request.midiPath = midi;
    request.voice = VoiceKind::Tone;
    for (const char* name : {"out.wav", "out.flac", "out.ogg", "out.mp3"}) {
        const std::string out = dir.File(name);
        const RenderSummary summary = RenderToFile(request, out);
        ASSERT_TRUE(summary.ok()) << name << ": " << summary.error;
        SF_INFO info{};
        const std::vector<float> samples = test::ReadSound(out, info);
        EXPECT_EQ(info.channels, 2) << name;
        EXPECT_EQ(info.samplerate, 48000) << name;
        EXPECT_NEAR(static_cast<double>(info.frames), 2.0 * 48000, 48000 * 0.05) << name; // 1 s dot + 1 s pause
        EXPECT_FALSE(std::filesystem::exists(out + ".part"));
    }
    const RenderSummary bad = RenderToFile(request, dir.File("out.aiff"));
    EXPECT_FALSE(bad.ok());
    request.midiPath = dir.File("missing.mid");
    const RenderSummary missing = RenderToFile(request, dir.File("never.wav"));
    EXPECT_FALSE(missing.ok());
    EXPECT_FALSE(std::filesystem::exists(dir.File("never.wav")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("never.wav.part")));
}

// 16-bit output is rounded with TPDF dither: a tone of a third of the last bit still comes
// through at its amplitude (plain rounding would leave silence), and there is no DC offset.
TEST(OfflineRender, SixteenBitOutputKeepsSignalsBelowTheLastBit) {
    test::TempDir dir;
    const std::string midi = dir.File("dash.mid");
    test::WriteBytes(midi, test::MorseMidi({"T"}, {5}, 0)); // one dash of 3.6 s
    RenderRequest request;
    request.midiPath = midi;
    request.voice = VoiceKind::Tone;
    request.midiLevel = 2; // a sine of 0.45 * 100 / 127 * 2 / 65535 full scale: 0.35 of the last bit
    const std::string out = dir.File("quiet.wav");
    ASSERT_TRUE(RenderToFile(request, out).ok());
    SF_INFO info{};
    SNDFILE* file = sf_open(out.c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    std::vector<short> pcm(static_cast<size_t>(info.frames * info.channels));
    sf_readf_short(file, pcm.data(), info.frames);
    sf_close(file);
    const double omega = 2.0 * M_PI * 440.0 * std::exp2((73 - 69) / 12.0) / kRate;
    double sum = 0, i = 0, q = 0;
    const size_t from = kRate / 2, to = 3 * kRate; // inside the dash [frames]
    ASSERT_GT(pcm.size(), 2 * to);
    for (size_t n = from; n < to; ++n) {
        sum += pcm[2 * n];
        i += pcm[2 * n] * std::cos(omega * static_cast<double>(n));
        q += pcm[2 * n] * std::sin(omega * static_cast<double>(n));
    }
    const double frames = static_cast<double>(to - from);
    const double expected = 0.45 * 100 / 127 * 2 / 65535 * 32767; // [LSB]
    EXPECT_NEAR(2 * std::sqrt(i * i + q * q) / frames, expected, 0.1 * expected);
    EXPECT_NEAR(sum / frames, 0.0, 0.02); // [LSB]
}

} // namespace
} // namespace qlor
