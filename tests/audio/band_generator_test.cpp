// The generated band: the receiver filter's rejection, the Rayleigh statistics of QSB, a band
// that never repeats, the same bytes for a seed however it is cut into blocks, the AGC's ceiling
// and the SNR as documented.
#include "audio/band_generator.h"
#include "audio/offline_render.h"
#include "audio/portable_math.h"
#include "audio_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace qlor {
namespace {

constexpr int kRate = 8000; // [frames/s] small, so long stretches cost little

BandSignal Signal(int rate = kRate) {
    return BandSignalForTone(rate, 73, 100); // 554 Hz
}

// The band alone (no wanted signal), mono, in blocks of `block` frames (0: ragged).
std::vector<float> BandAlone(const BandSettings& settings, size_t frames, size_t block, int rate = kRate) {
    BandGenerator band(settings, Signal(rate));
    std::vector<float> out(frames);
    std::vector<float> zeros(2 * BandGenerator::kMaxFrames, 0.0f);
    std::vector<float> stereo(2 * BandGenerator::kMaxFrames);
    std::mt19937 sizes(7);
    for (size_t done = 0; done < frames;) {
        const size_t want = block != 0 ? block : 1 + sizes() % BandGenerator::kMaxFrames;
        const size_t now = std::min(want, frames - done);
        band.Process(zeros.data(), nullptr, 1.0, stereo.data(), now);
        for (size_t i = 0; i < now; ++i) {
            out[done + i] = stereo[2 * i];
        }
        done += now;
    }
    return out;
}

double Power(const std::vector<double>& x, size_t from) {
    double sum = 0;
    for (size_t i = from; i < x.size(); ++i) {
        sum += x[i] * x[i];
    }
    return sum / static_cast<double>(x.size() - from);
}

// Gain of the filter [dB] for a sine `offsetHz` from the tone.
TEST(ReceiverFilter, PassesTheToneAndRejectsWhatLiesOff) {
    struct Case {
        int width;
        double offsetHz;
        double lowDb, highDb; // the gain lies in [lowDb, highDb]
    };
    const Case cases[] = {
        {500, 0, -0.05, 0.05},   {250, 0, -0.05, 0.05},  {2400, 0, -0.1, 0.1},  {500, 200, -3.5, 0.5},
        {500, 400, -200, -40},   {500, -400, -200, -40}, {250, 250, -200, -40}, {250, -250, -200, -40},
        {2400, 2600, -200, -30}, {500, 150, -0.5, 0.5},
    };
    const double tone = Signal(48000).toneHz;
    for (const Case& c : cases) {
        ReceiverFilter filter(c.width, tone, 48000);
        const double omega = 2 * std::numbers::pi * (tone + c.offsetHz) / 48000;
        std::vector<double> out(48000);
        for (size_t n = 0; n < out.size(); ++n) {
            if (n % kBandControlFrames == 0) {
                filter.Renormalise();
            }
            out[n] = filter.Step(std::sin(omega * static_cast<double>(n)));
        }
        const double db = 10 * std::log10(Power(out, 24000) / 0.5);
        EXPECT_GE(db, c.lowDb) << c.width << " Hz filter, " << c.offsetHz << " Hz off";
        EXPECT_LE(db, c.highDb) << c.width << " Hz filter, " << c.offsetHz << " Hz off";
    }
}

// The QSB's power gain: mean 1, and its 10 % and 1 % points those of Rayleigh fading (-9.8 and
// -20 dB) within 2 and 3 dB.
TEST(Qsb, FollowsRayleighStatistics) {
    for (QsbKind kind : {QsbKind::Slow, QsbKind::Fast}) {
        Qsb qsb(kind, kRate);
        qsb.Restart(11);
        const size_t steps = static_cast<size_t>(8000.0 * kRate / kBandControlFrames); // 8000 s
        std::vector<double> power(steps);
        double sum = 0;
        for (double& p : power) {
            const double g = qsb.NextGain();
            p = g * g;
            sum += p;
        }
        std::sort(power.begin(), power.end());
        const double tenth = 10 * std::log10(power[steps / 10]);
        const double hundredth = 10 * std::log10(power[steps / 100]);
        EXPECT_NEAR(10 * std::log10(sum / static_cast<double>(steps)), 0.0, 0.5) << QsbName(kind);
        EXPECT_NEAR(tenth, -9.8, 2.0) << QsbName(kind);
        EXPECT_NEAR(hundredth, -20.0, 3.0) << QsbName(kind);
    }
}

// A long contest band never comes back to itself: its autocorrelation stays small at every lag
// of 2 s and more (checked every 250 ms up to a minute), the band being a stream and not a loop.
TEST(BandGenerator, NeverRepeats) {
    const std::vector<float> band = BandAlone(PresetBand(BandPreset::Contest), 120 * kRate, 1024);
    std::vector<double> x(band.begin(), band.end());
    double mean = 0;
    for (double v : x) {
        mean += v;
    }
    mean /= static_cast<double>(x.size());
    for (double& v : x) {
        v -= mean;
    }
    const size_t n = x.size();
    double worst = 0;
    for (size_t lag = 2 * kRate; lag <= 60 * kRate; lag += kRate / 4) {
        double sum = 0, a = 0, b = 0;
        for (size_t i = 0; i + lag < n; ++i) {
            sum += x[i] * x[i + lag];
            a += x[i] * x[i];
            b += x[i + lag] * x[i + lag];
        }
        worst = std::max(worst, std::fabs(sum) / std::sqrt(a * b));
    }
    EXPECT_LT(worst, 0.2);
}

// FNV-1a of the 16-bit samples.
uint64_t Checksum(const std::vector<float>& samples) {
    uint64_t hash = 1469598103934665603ull;
    for (float v : samples) {
        const auto s = static_cast<int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
        for (int byte = 0; byte < 2; ++byte) {
            hash = (hash ^ ((static_cast<uint16_t>(s) >> (8 * byte)) & 0xFF)) * 1099511628211ull;
        }
    }
    return hash;
}

// The same seed gives the same samples however the blocks are cut, and the same bytes on every
// machine (the checksum was taken on x86-64); another seed gives another band.
TEST(BandGenerator, SameSeedSameBytesEverywhere) {
    for (BandPreset preset : {BandPreset::Average, BandPreset::Contest, BandPreset::Poor}) {
        BandSettings settings = PresetBand(preset);
        settings.seed = 417;
        const std::vector<float> whole = BandAlone(settings, 10 * kRate, 1024);
        EXPECT_TRUE(whole == BandAlone(settings, 10 * kRate, 0)) << BandPresetName(preset);
        EXPECT_TRUE(whole == BandAlone(settings, 10 * kRate, 1024)) << BandPresetName(preset);
        settings.seed = 418;
        EXPECT_FALSE(whole == BandAlone(settings, 10 * kRate, 1024)) << BandPresetName(preset);
    }
    BandSettings contest = PresetBand(BandPreset::Contest);
    contest.seed = 417;
    EXPECT_EQ(Checksum(BandAlone(contest, 5 * kRate, 1024)), 6138164975546781040ull);
}

// Whatever the band and whatever comes in besides (a recording at full scale), no sample passes
// -1 dBFS with the AGC on.
TEST(BandGenerator, AgcKeepsEveryPeakBelowMinusOneDbfs) {
    const double ceiling = portable::DbToGain(-1.0);
    for (BandPreset preset : {BandPreset::Quiet, BandPreset::Average, BandPreset::Contest, BandPreset::Poor}) {
        for (double snr : {-20.0, 10.0, 60.0}) {
            BandSettings settings = PresetBand(preset);
            settings.snrDb = snr;
            settings.qrn = QrnKind::Heavy;
            BandGenerator band(settings, Signal());
            std::vector<float> in(2 * 1024), loud(2 * 1024), out(2 * 1024);
            std::mt19937 random(3);
            std::uniform_real_distribution<float> full(-1.0f, 1.0f);
            float peak = 0;
            for (int block = 0; block < 20 * kRate / 1024; ++block) {
                const bool keyDown = block % 4 < 2;
                for (size_t i = 0; i < 1024; ++i) {
                    in[2 * i] = in[2 * i + 1] = keyDown ? 0.45f * std::sin(0.4354f * static_cast<float>(i)) : 0.0f;
                    loud[2 * i] = loud[2 * i + 1] = block % 9 == 0 ? full(random) : 0.0f;
                }
                band.Process(in.data(), loud.data(), 1.0, out.data(), 1024);
                for (float v : out) {
                    peak = std::max(peak, std::fabs(v));
                }
            }
            EXPECT_LE(peak, ceiling) << BandPresetName(preset) << " at " << snr << " dB";
            EXPECT_GT(peak, 0.1f) << BandPresetName(preset) << " at " << snr << " dB";
        }
    }
}

// The SNR as documented: the key-down power of the tone against the hiss, both behind the filter
// (the AGC off, so that the band is linear): the stated ratio through the 500 Hz filter, 3 dB more
// through 250 Hz, 6.8 dB less through 2400 Hz.
TEST(BandGenerator, SnrIsTheSignalsAgainstTheHissInTheReferenceBand) {
    struct Case {
        int filter;
        double snr;
        double expected;
    };
    for (const Case& c : {Case{500, 15, 15}, Case{250, 15, 18}, Case{2400, 15, 8.2}, Case{500, -10, -10}}) {
        BandSettings settings = PresetBand(BandPreset::Quiet);
        settings.agc = false;
        settings.filterHz = c.filter;
        settings.snrDb = c.snr;
        const BandSignal signal = Signal();
        auto run = [&](bool withSignal) {
            BandGenerator band(settings, signal);
            std::vector<double> out;
            std::vector<float> in(2 * 1000), stereo(2 * 1000);
            const double omega = 2 * std::numbers::pi * signal.toneHz / kRate;
            for (size_t block = 0; block < 60 * kRate / 1000; ++block) {
                for (size_t i = 0; i < 1000; ++i) {
                    const double t = static_cast<double>(block * 1000 + i);
                    in[2 * i] = in[2 * i + 1] =
                        withSignal ? static_cast<float>(signal.amplitude * std::sin(omega * t)) : 0.0f;
                }
                band.Process(in.data(), nullptr, 1.0, stereo.data(), 1000);
                for (size_t i = 0; i < 1000; ++i) {
                    out.push_back(stereo[2 * i]);
                }
            }
            return out;
        };
        const std::vector<double> noise = run(false);
        std::vector<double> signalOnly = run(true);
        for (size_t i = 0; i < noise.size(); ++i) {
            signalOnly[i] -= noise[i]; // the same seed: the same hiss
        }
        const double measured = 10 * std::log10(Power(signalOnly, kRate) / Power(noise, kRate));
        EXPECT_NEAR(measured, c.expected, 0.5) << c.filter << " Hz at " << c.snr << " dB";
    }
}

// QSB fades the wanted signal itself, through the mixer as the window plays it: the dashes of a
// slow text come out at strengths spread over many dB with QSB, all alike without.
TEST(BandGenerator, QsbFadesTheTextItself) {
    test::TempDir dir;
    const std::string midi = dir.File("t.mid");
    const std::vector<uint8_t> smf = test::MorseMidi({"TTTTTTTTTT"}, {5}, 1); // dashes of seconds
    test::WriteBytes(midi, smf);
    const std::vector<test::NoteTime> notes = test::ReadNoteTimes(smf);
    ASSERT_EQ(notes.size(), 10u);
    struct Case {
        QsbKind qsb;
        double lowestSpreadDb, highestSpreadDb;
    };
    for (const Case& c : {Case{QsbKind::Off, 0, 0.2}, Case{QsbKind::Slow, 6, 60}, Case{QsbKind::Flutter, 6, 60}}) {
        BandSettings band = PresetBand(BandPreset::Quiet);
        band.snrDb = 60;
        band.agc = false;
        band.qsb = c.qsb;
        RenderRequest request;
        request.midiPath = midi;
        request.voice = VoiceKind::Tone;
        request.rate = kRate;
        request.band = band;
        std::vector<float> left;
        ASSERT_TRUE(RenderTransmission(request, [&](const float* stereo, size_t frames) {
                        for (size_t i = 0; i < frames; ++i) {
                            left.push_back(stereo[2 * i]);
                        }
                        return true;
                    }).ok());
        // The power of each dash but its first and last 0.2 s.
        std::vector<double> dashes;
        for (const test::NoteTime& note : notes) {
            double sum = 0;
            const auto from = static_cast<size_t>((note.on * 1e-6L + 0.2L) * kRate);
            const auto to = std::min(left.size(), static_cast<size_t>((note.off * 1e-6L - 0.2L) * kRate));
            for (size_t i = from; i < to; ++i) {
                sum += static_cast<double>(left[i]) * left[i];
            }
            dashes.push_back(sum / static_cast<double>(to - from));
        }
        const auto [low, high] = std::minmax_element(dashes.begin(), dashes.end());
        const double spread = 10 * std::log10(*high / *low);
        EXPECT_GE(spread, c.lowestSpreadDb) << QsbName(c.qsb);
        EXPECT_LE(spread, c.highestSpreadDb) << QsbName(c.qsb);
    }
}

} // namespace
} // namespace qlor
