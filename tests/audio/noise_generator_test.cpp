// Generated band noise, signal-to-noise levels and fading, judged on the sound they make: spectra,
// envelopes and the loop seam of rendered samples.
#include "audio/noise_generator.h"
#include "audio/offline_render.h"
#include "audio/welch_power.h"
#include "synthesis/transmission_settings.h"
#include "tests/audio/audio_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>

namespace qlor {
namespace {

std::vector<float> Generate(NoiseKind kind, int seconds, int rate, uint64_t seed = 1, NoisePlan* plan = nullptr) {
    NoiseGenerator generator(NoiseRecipe{kind, seed, rate, seconds});
    std::vector<int16_t> samples(generator.LengthFrames());
    EXPECT_EQ(generator.Render(samples.data(), samples.size()), samples.size());
    if (plan != nullptr) {
        *plan = generator.Plan();
    }
    std::vector<float> out(samples.size());
    std::transform(samples.begin(), samples.end(), out.begin(), [](int16_t v) { return v / 32768.0f; });
    return out;
}

double Db(double ratio) {
    return 10.0 * std::log10(ratio);
}

TEST(NoiseGenerator, HissStaysInsideTheReceiverBandAtEveryRate) {
    for (int rate : {8000, 48000, 192000}) {
        const std::vector<float> hiss = Generate(NoiseKind::Hiss, 4, rate);
        const std::vector<double> spectrum = WelchSpectrum(hiss.data(), hiss.size(), 1, 8192);
        const double inside = BandPower(spectrum, rate, 200, 3500);
        const double outside = BandPower(spectrum, rate, 0, rate / 2.0) - inside;
        EXPECT_LT(Db(outside / inside), -30.0) << rate << " Hz";
        EXPECT_NEAR(Db(inside), -20.0, 1.0) << rate << " Hz: the hiss level";
    }
}

// The last samples lead into the first ones as smoothly as neighbours inside the recording: the
// second difference across the seam is no larger than anywhere else.
TEST(NoiseGenerator, EveryKindLoopsWithoutASeam) {
    for (NoiseKind kind : {NoiseKind::Hiss, NoiseKind::Static, NoiseKind::Qrm, NoiseKind::Mix}) {
        const std::vector<float> x = Generate(kind, 2, 48000, 7);
        const size_t n = x.size();
        auto second = [&](size_t i) { // around sample i, circularly
            return std::fabs(x[(i + n - 1) % n] - 2 * x[i] + x[(i + 1) % n]);
        };
        double inside = 0;
        for (size_t i = 1; i + 1 < n; ++i) {
            inside = std::max(inside, static_cast<double>(second(i)));
        }
        EXPECT_GT(inside, 0.0) << NoiseKindName(kind);
        EXPECT_LE(second(n - 1), inside) << NoiseKindName(kind);
        EXPECT_LE(second(0), inside) << NoiseKindName(kind);
        // Against the typical neighbour, not only the worst one.
        double sum = 0;
        for (size_t i = 1; i + 1 < n; ++i) {
            sum += second(i);
        }
        EXPECT_LT(second(n - 1) + second(0), 20 * sum / static_cast<double>(n)) << NoiseKindName(kind);
    }
}

TEST(NoiseGenerator, TheSameSeedGivesTheSameBytesAndAnotherSeedOthers) {
    test::TempDir dir;
    for (const char* extension : {".wav", ".flac"}) {
        auto write = [&](uint64_t seed, const std::string& name) {
            const std::string path = dir.File(name + extension);
            EXPECT_EQ(WriteNoiseFile(NoiseRecipe{NoiseKind::Mix, seed, 22050, 3}, path), "");
            return test::ReadAll(path);
        };
        const std::string first = write(5, "a");
        EXPECT_GT(first.size(), 1000u) << extension;
        EXPECT_EQ(first, write(5, "b")) << extension;
        EXPECT_NE(first, write(6, "c")) << extension;
    }
    // The samples do not depend on how they are asked for.
    NoiseGenerator whole(NoiseRecipe{NoiseKind::Static, 3, 16000, 2});
    NoiseGenerator pieces(NoiseRecipe{NoiseKind::Static, 3, 16000, 2});
    std::vector<int16_t> a(whole.LengthFrames());
    std::vector<int16_t> b(a.size());
    whole.Render(a.data(), a.size());
    for (size_t at = 0; at < b.size();) {
        at += pieces.Render(b.data() + at, std::min<size_t>(777, b.size() - at));
    }
    EXPECT_EQ(a, b);
}

// The interfering stations are found in the spectrum as lines: exactly as many as planned, at the
// planned pitches, 50..800 Hz from the default tone.
TEST(NoiseGenerator, QrmStationsShowAsLinesAtTheirPitches) {
    // 2^17 frames: one FFT over the whole loop puts each carrier (whole periods in the loop) into
    // one bin of 1/16 Hz, while its keying spreads over tens of Hz.
    constexpr int kRate = 8192;
    constexpr int kSeconds = 16;
    for (uint64_t seed : {1u, 2u, 3u, 4u}) {
        NoisePlan plan;
        const std::vector<float> qrm = Generate(NoiseKind::Qrm, kSeconds, kRate, seed, &plan);
        ASSERT_GE(plan.stations.size(), 2u);
        ASSERT_LE(plan.stations.size(), 4u);
        std::vector<std::complex<double>> data(qrm.begin(), qrm.end());
        Fft(data);
        std::vector<double> spectrum(data.size() / 2);
        for (size_t k = 0; k < spectrum.size(); ++k) {
            spectrum[k] = std::norm(data[k]);
        }
        const double binHz = 1.0 / kSeconds;
        // A line: 15 dB above the mean power of the bins 0.3..20 Hz either side (a carrier and the
        // sidebands of its slow fading lie within 0.2 Hz; keying spreads smoothly). A line within
        // 45 Hz of a stronger one is that station's keying (stations are at least 60 Hz apart).
        const auto reach = static_cast<size_t>(20 / binHz);
        const auto skip = static_cast<size_t>(0.3 / binHz);
        std::vector<std::pair<double, double>> found; // Hz, power
        for (size_t k = reach; k + reach < spectrum.size(); ++k) {
            if (spectrum[k] < spectrum[k - 1] || spectrum[k] < spectrum[k + 1]) {
                continue;
            }
            double beside = 0;
            for (size_t d = skip; d <= reach; ++d) {
                beside += spectrum[k - d] + spectrum[k + d];
            }
            if (Db(spectrum[k] / (beside / static_cast<double>(2 * (reach - skip + 1)))) < 15) {
                continue;
            }
            found.emplace_back(k * binHz, spectrum[k]);
        }
        std::vector<double> lines;
        for (const auto& line : found) {
            const bool strongest = std::none_of(found.begin(), found.end(), [&](const auto& other) {
                return std::fabs(other.first - line.first) < 45 && other.second > line.second;
            });
            if (strongest) {
                lines.push_back(line.first);
            }
        }
        ASSERT_EQ(lines.size(), plan.stations.size()) << "seed " << seed;
        std::vector<double> pitches;
        for (const InterferingStation& station : plan.stations) {
            pitches.push_back(station.pitchHz);
        }
        std::sort(pitches.begin(), pitches.end());
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_NEAR(lines[i], pitches[i], 0.01) << "seed " << seed;
            const double offset = std::fabs(lines[i] - kDefaultToneHz);
            EXPECT_GE(offset, 49.0) << "seed " << seed;
            EXPECT_LE(offset, 801.0) << "seed " << seed;
        }
    }
}

// ---- Rendering with a signal-to-noise ratio and with fading ----

struct Rendered {
    std::vector<float> left;
    std::vector<test::NoteTime> notes;
};

Rendered Render(const std::string& midiPath, const RenderRequest& base) {
    RenderRequest request = base;
    request.midiPath = midiPath;
    request.voice = VoiceKind::Tone;
    Rendered rendered;
    const RenderSummary summary = RenderTransmission(request, [&](const float* stereo, size_t frames) {
        for (size_t i = 0; i < frames; ++i) {
            rendered.left.push_back(stereo[2 * i]);
        }
        return true;
    });
    EXPECT_TRUE(summary.ok()) << summary.error;
    const std::string bytes = test::ReadAll(midiPath);
    rendered.notes = test::ReadNoteTimes(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    return rendered;
}

// Brick-wall band filter by one FFT over the whole signal.
std::vector<double> BandLimited(const std::vector<float>& x, int rate, double lowHz, double highHz) {
    size_t size = 1;
    while (size < x.size()) {
        size <<= 1;
    }
    std::vector<std::complex<double>> data(size);
    std::copy(x.begin(), x.end(), data.begin());
    Fft(data);
    for (size_t k = 0; k < size; ++k) {
        const double hz = static_cast<double>(std::min(k, size - k)) * rate / static_cast<double>(size);
        if (hz < lowHz || hz > highHz) {
            data[k] = 0;
        }
    }
    Fft(data, true);
    std::vector<double> y(x.size());
    for (size_t i = 0; i < y.size(); ++i) {
        y[i] = data[i].real() / static_cast<double>(size);
    }
    return y;
}

TEST(SignalToNoise, TheOutputHasTheRequestedRatioInTheBandAroundTheTone) {
    constexpr int kRate = 16000;
    test::TempDir dir;
    const std::string noise = dir.File("hiss.wav");
    ASSERT_EQ(WriteNoiseFile(NoiseRecipe{NoiseKind::Hiss, 9, kRate, 5}, noise), "");
    const std::string midi = dir.File("text.mid");
    test::WriteBytes(midi, test::MorseMidi({"PARIS 0123 QRZ? 5NN TEST MORSE"}, {60}));
    const double tone = 440.0 * std::exp2((kToneDefault - 69) / 12.0);
    for (double snr : {-3.0, 10.0, 30.0}) {
        RenderRequest request;
        request.rate = kRate;
        request.noisePath = noise;
        request.snrDb = snr;
        const Rendered out = Render(midi, request);
        const std::vector<double> band = BandLimited(out.left, kRate, tone - 250, tone + 250);
        // Key down: inside a note, 10 ms from its edges; key up: between notes, 10 ms from them.
        const long double guard = 10000; // [us]
        double down = 0, up = 0;
        size_t downCount = 0, upCount = 0;
        for (size_t i = 0; i < out.notes.size(); ++i) {
            const test::NoteTime& note = out.notes[i];
            for (auto k = static_cast<size_t>(test::UsToFrames(note.on + guard, kRate));
                 k < static_cast<size_t>(test::UsToFrames(note.off - guard, kRate)); ++k) {
                down += band[k] * band[k];
                ++downCount;
            }
            if (i + 1 < out.notes.size()) {
                for (auto k = static_cast<size_t>(test::UsToFrames(note.off + guard, kRate));
                     k < static_cast<size_t>(test::UsToFrames(out.notes[i + 1].on - guard, kRate)); ++k) {
                    up += band[k] * band[k];
                    ++upCount;
                }
            }
        }
        ASSERT_GT(downCount, 0u);
        ASSERT_GT(upCount, 0u);
        const double noisePower = up / upCount;
        const double signalPower = down / downCount - noisePower;
        EXPECT_NEAR(Db(signalPower / noisePower), snr, 1.0) << "requested " << snr << " dB";
    }
}

TEST(Fading, TheEnvelopeOfTheTextSwingsByTheDepth) {
    constexpr int kRate = 48000;
    test::TempDir dir;
    const std::string midi = dir.File("dashes.mid");
    test::WriteBytes(midi, test::MorseMidi({"00000000 00000000 00000000"}, {60}));
    struct Case {
        FadingKind kind;
        double depthDb;
    };
    for (const Case& c : {Case{FadingKind::Slow, 20}, Case{FadingKind::Fast, 10}, Case{FadingKind::Slow, 6}}) {
        RenderRequest request;
        request.rate = kRate;
        request.fading = c.kind;
        request.fadingDepthDb = c.depthDb;
        const Rendered out = Render(midi, request);
        // Peak of each 4 ms inside the notes (two periods of the tone), 8 ms from their edges.
        double highest = 0, lowest = 1e9;
        for (const test::NoteTime& note : out.notes) {
            const auto first = static_cast<size_t>(test::UsToFrames(note.on + 8000, kRate));
            const auto last = static_cast<size_t>(test::UsToFrames(note.off - 8000, kRate));
            for (size_t k = first; k + 192 <= last; k += 192) {
                double peak = 0;
                for (size_t i = k; i < k + 192; ++i) {
                    peak = std::max(peak, static_cast<double>(std::fabs(out.left[i])));
                }
                highest = std::max(highest, peak);
                lowest = std::min(lowest, peak);
            }
        }
        EXPECT_NEAR(20 * std::log10(highest / lowest), c.depthDb, 1.0)
            << (c.kind == FadingKind::Slow ? "slow " : "fast ") << c.depthDb << " dB";
    }
}

} // namespace
} // namespace qlor
