// Timing measured on rendered audio against the note times read from the SMF: every note-on and
// note-off of both voices within one sample, at the slowest and fastest speeds and over a
// 40-segment competition file (no drift); full notes and silent gaps at high-speed test speeds.
#include "audio/midi_source.h"
#include "audio/note_cache_renderer.h"
#include "audio/soundfont_bank.h"
#include "audio/tone_renderer.h"
#include "audio_test_util.h"

#include <fluidsynth.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <numbers>

namespace qlor {
namespace {

constexpr int kRate = 48000;
const std::string kText = "PARIS 12345 ABCDE";

SoundFontBank& SharedBank() {
    static SoundFontBank bank(kRate);
    return bank;
}

bool HaveSoundFont() {
    return SharedBank().Load().empty();
}

// The instrument's own sound of a held note from its note-on, rendered by a FluidSynth synth of
// the test's own (left channel) [frames].
// The instrument's note as FluidSynth plays it and the note cache keeps it.
std::vector<float> InstrumentNote(int program, int key, int velocity, size_t frames) {
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.sample-rate", kRate);
    fluid_settings_setint(settings, "synth.reverb.active", 0);
    fluid_settings_setint(settings, "synth.chorus.active", 0);
    fluid_synth_t* synth = new_fluid_synth(settings);
    fluid_synth_sfload(synth, SharedBank().LoadedPath().c_str(), 1);
    fluid_synth_program_change(synth, 0, program);
    fluid_synth_noteon(synth, 0, key, velocity);
    std::vector<float> stereo(2 * frames);
    fluid_synth_write_float(synth, static_cast<int>(frames), stereo.data(), 0, 2, stereo.data(), 1, 2);
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    NoteCacheRenderer::RemoveRumble(stereo, key, kRate);
    std::vector<float> left(frames);
    for (size_t n = 0; n < frames; ++n) {
        left[n] = stereo[2 * n];
    }
    return left;
}

void RenderAll(AudioSource& source, const std::function<void(uint64_t start, const float*, size_t)>& block = {}) {
    std::vector<float> buffer(2 * 4096);
    uint64_t at = 0;
    for (;;) {
        const size_t made = source.Render(buffer.data(), 4096);
        if (block) {
            block(at, buffer.data(), made);
        }
        at += made;
        if (made < 4096) {
            break;
        }
    }
}

struct Errors {
    long double onset = 0;  // largest |error| [frames]
    long double offset = 0; // [frames]
    size_t notes = 0;
    std::vector<std::pair<long double, bool>> edges; // measured instants [frames] in time order, rising or not
    double keyDownRms = 0;                           // of the left channel while keys are down
};

// Note-ons and note-offs of either voice: the instant the note passes half its key-down
// amplitude. The amplitude of the note's fundamental comes from complex demodulation at its
// known frequency, smoothed by a Hann window four periods wide; being symmetric, the window
// keeps the half-amplitude point of a symmetric edge where it is. The key-down amplitude of the
// sine is the peak of the period after the edge. The instrument's own amplitude moves by a few
// per cent within a few milliseconds, so for the SoundFont voice the measure is the ratio of
// the played amplitude to that of the instrument's held note (its sustained sound from
// kAttackSkipMs on) at the same point, and the key-down level that ratio just past the edge.
// Each edge is measured alone (neither voice rings after its key-up edge). A note at the very
// start of the file cannot have the first half of its rise (it would lie before the file); it
// is not measured.
Errors Measure(const std::vector<uint8_t>& smf, VoiceKind voice, int key = 73, int program = 70) {
    Errors errors;
    const std::vector<test::NoteTime> notes = test::ReadNoteTimes(smf);
    MidiOpenResult opened = OpenMidiBytes(smf, voice, voice == VoiceKind::Tone ? nullptr : &SharedBank(), kRate);
    EXPECT_TRUE(opened.error.empty()) << opened.error;
    if (!opened.source) {
        return errors;
    }
    constexpr int64_t kHalf = 600;  // recorded window around each instant [frames]
    constexpr int64_t kSearch = 24; // the crossing is looked for this close to the instant [frames]
    struct Window {
        long double at; // expected instant [frames]
        bool rising;
        int64_t start;
        std::vector<float> left;
        long double noteOn;  // of its note [frames]
        long double noteOff; // [frames]
        double halfEdge;     // of its note's edges, short at high speeds [frames]
    };
    std::vector<Window> windows;
    long double longest = 0; // [frames]
    std::vector<NoteSpan> spans;
    for (const test::NoteTime& note : notes) {
        spans.push_back({static_cast<double>(test::UsToFrames(note.on, kRate)),
                         static_cast<double>(test::UsToFrames(note.off, kRate))});
    }
    const std::vector<double> halfEdges = NoteHalfEdges(spans, kRate); // [frames]
    for (size_t k = 0; k < notes.size(); ++k) {
        const long double on = test::UsToFrames(notes[k].on, kRate);
        const long double off = test::UsToFrames(notes[k].off, kRate);
        longest = std::max(longest, off - on);
        for (bool rising : {true, false}) {
            const long double at = rising ? on : off;
            windows.push_back(
                Window{at, rising, static_cast<int64_t>(std::floor(at)) - kHalf, {}, on, off, halfEdges[k]});
        }
    }
    std::sort(windows.begin(), windows.end(), [](const Window& a, const Window& b) { return a.start < b.start; });
    for (Window& window : windows) {
        // Before the start of the file there is silence.
        window.left.assign(static_cast<size_t>(std::max<int64_t>(0, -window.start)), 0.0f);
    }
    size_t first = 0;
    size_t down = 0; // first note whose key-down part may still come
    double power = 0;
    uint64_t downFrames = 0;
    RenderAll(*opened.source, [&](uint64_t start, const float* stereo, size_t frames) {
        const auto end = static_cast<int64_t>(start + frames);
        for (size_t k = down; k < notes.size(); ++k) {
            const auto from = static_cast<int64_t>(std::ceil(test::UsToFrames(notes[k].on, kRate) + halfEdges[k]));
            const auto to = static_cast<int64_t>(std::floor(test::UsToFrames(notes[k].off, kRate) - halfEdges[k]));
            if (from >= end) {
                break;
            }
            for (int64_t n = std::max<int64_t>(from, static_cast<int64_t>(start)); n < std::min(to, end); ++n) {
                const double x = stereo[2 * (n - static_cast<int64_t>(start))];
                power += x * x;
                ++downFrames;
            }
            if (to <= end && k == down) {
                ++down;
            }
        }
        for (size_t w = first; w < windows.size() && windows[w].start < end; ++w) {
            Window& window = windows[w];
            for (int64_t n = std::max<int64_t>(window.start, static_cast<int64_t>(start));
                 n < std::min<int64_t>(window.start + 2 * kHalf, end); ++n) {
                window.left.push_back(stereo[2 * (n - static_cast<int64_t>(start))]);
            }
        }
        while (first < windows.size() && windows[first].start + 2 * kHalf <= end) {
            ++first;
        }
    });
    const double omega = 2.0 * std::numbers::pi * 440.0 * std::exp2((key - 69) / 12.0) / kRate;
    const auto period = static_cast<int64_t>(std::lround(2 * std::numbers::pi / omega)); // [frames]
    const int64_t reach = 2 * period;
    std::vector<double> hann(static_cast<size_t>(2 * reach + 1));
    for (int64_t k = -reach; k <= reach; ++k) {
        hann[static_cast<size_t>(k + reach)] = 0.5 + 0.5 * std::cos(std::numbers::pi * k / (reach + 1));
    }
    const auto demodulated = [&](const float* samples, int64_t index) {
        double i = 0, q = 0, weights = 0;
        for (int64_t k = -reach; k <= reach; ++k) {
            const double w = hann[static_cast<size_t>(k + reach)];
            const double x = samples[index + k];
            i += w * x * std::cos(omega * static_cast<double>(index + k));
            q += w * x * std::sin(omega * static_cast<double>(index + k));
            weights += w;
        }
        return 2.0 * std::sqrt(i * i + q * q) / weights;
    };
    const auto skip = static_cast<int64_t>(std::lround(NoteCacheRenderer::kAttackSkipMs * 1e-3 * kRate));
    std::vector<float> instrument;
    if (voice != VoiceKind::Tone) {
        instrument = InstrumentNote(program, key, 100, static_cast<size_t>(skip + longest + 2 * kHalf + 2 * reach));
    }
    for (const Window& window : windows) {
        EXPECT_EQ(window.left.size(), static_cast<size_t>(2 * kHalf));
        if (window.left.size() != static_cast<size_t>(2 * kHalf)) {
            continue;
        }
        // The instrument's frame sounding at frame `index` of the window: its sustained sound
        // from the first frame of the note's key-down edge on.
        const double edge = window.halfEdge;
        const int64_t keyDown = static_cast<int64_t>(std::ceil(window.noteOn - edge));
        const auto amplitude = [&](int64_t index) {
            const double played = demodulated(window.left.data(), index);
            if (instrument.empty()) {
                return played;
            }
            const int64_t at = window.start + index - keyDown + skip;
            return at - reach < 0 ? 0.0 : played / demodulated(instrument.data(), at);
        };
        const int64_t center = kHalf; // index of floor(at)
        if (window.at < edge + reach) {
            continue;
        }
        double plateau = 0;
        if (voice == VoiceKind::Tone) { // a sine: the peak of the period after the edge
            for (int64_t k = 0; k < period; ++k) {
                const int64_t n = static_cast<int64_t>(edge) + 5 + k;
                plateau = std::max<double>(
                    plateau, std::fabs(window.left[static_cast<size_t>(window.rising ? center + n : center - n)]));
            }
        } else {
            // The gain between the edges: played over instrument, summed where the key is down.
            const auto full = static_cast<int64_t>(edge) + 2;
            const auto length = static_cast<int64_t>(window.noteOff - window.noteOn);
            const int64_t from = window.rising ? center + full : center - std::min(kHalf - 1, length - full);
            const int64_t to = window.rising ? center + std::min(kHalf - 1, length - full) : center - full;
            double played = 0, own = 0;
            for (int64_t n = from; n < to; ++n) {
                played += std::fabs(window.left[static_cast<size_t>(n)]);
                own += std::fabs(instrument[static_cast<size_t>(window.start + n - keyDown + skip)]);
            }
            EXPECT_GT(to - from, period) << "a note too short to measure at frame " << static_cast<double>(window.at);
            plateau = own > 0 ? played / own : 0;
        }
        const double half = plateau / 2;
        long double crossing = -1;
        double previous = amplitude(center - kSearch);
        for (int64_t n = center - kSearch + 1; n <= center + kSearch && crossing < 0; ++n) {
            const double now = amplitude(n);
            if ((previous - half) * (now - half) <= 0 && previous != now) {
                crossing = window.start + (n - 1) + (half - previous) / (now - previous);
            }
            previous = now;
        }
        EXPECT_GE(crossing, 0) << "no half-amplitude crossing near frame " << static_cast<double>(window.at);
        if (crossing < 0) {
            continue;
        }
        long double& worst = window.rising ? errors.onset : errors.offset;
        worst = std::max(worst, std::fabs(crossing - window.at));
        errors.edges.emplace_back(crossing, window.rising);
    }
    errors.notes = notes.size();
    errors.keyDownRms = downFrames > 0 ? std::sqrt(power / static_cast<double>(downFrames)) : 0.0;
    return errors;
}

// The keying balance dot / (dot + gap) from measured instants: the mean of the dots (marks
// shorter than twice the shortest) over that plus the mean of the gaps inside characters (gaps
// shorter than twice the shortest).
double Balance(const Errors& errors) {
    std::vector<long double> marks, gaps;
    for (size_t k = 1; k < errors.edges.size(); ++k) {
        const auto& [at, rising] = errors.edges[k];
        const auto& [before, wasRising] = errors.edges[k - 1];
        if (rising != wasRising) {
            (rising ? gaps : marks).push_back(at - before);
        }
    }
    const auto meanOfShort = [](const std::vector<long double>& lengths) {
        const long double shortest = *std::min_element(lengths.begin(), lengths.end());
        long double sum = 0;
        int count = 0;
        for (long double length : lengths) {
            if (length < 2 * shortest) {
                sum += length;
                ++count;
            }
        }
        return static_cast<double>(sum / count);
    };
    if (marks.empty() || gaps.empty()) {
        return 0;
    }
    const double dot = meanOfShort(marks);
    return dot / (dot + meanOfShort(gaps));
}

std::vector<uint8_t> CompetitionFile() {
    std::vector<std::string> bodies;
    std::vector<int> speeds;
    for (int i = 0; i < 40; ++i) {
        bodies.push_back(i % 2 ? "QLOR2" : "CQ 73");
        speeds.push_back(5 + 10 * i); // 5 .. 395 [cpm]
    }
    return test::MorseMidi(bodies, speeds, 60);
}

void Report(const char* what, const Errors& errors) {
    std::cout << "[ timing   ] " << what << ": " << errors.notes << " notes, largest note-on error "
              << static_cast<double>(errors.onset) << " frames";
    if (errors.offset > 0) {
        std::cout << ", largest note-off error " << static_cast<double>(errors.offset) << " frames";
    }
    std::cout << "\n";
}

class SoundFontTiming : public ::testing::TestWithParam<int> {};

TEST_P(SoundFontTiming, EveryNoteOnAndOffLandsOnTheSmfTime) {
    if (!HaveSoundFont()) {
        GTEST_SKIP() << "no SoundFont installed";
    }
    const Errors errors = Measure(test::MorseMidi({kText}, {GetParam()}), VoiceKind::SoundFont);
    Report(("SoundFont " + std::to_string(GetParam()) + " cpm").c_str(), errors);
    EXPECT_GT(errors.notes, 40u);
    EXPECT_LE(errors.onset, 1.0L);
    EXPECT_LE(errors.offset, 1.0L);
}

// The piano rings for a second after its note-off and decays while it is held: its notes are
// keyed as exactly as the default bassoon's.
TEST(SoundFontTimingLongRelease, PianoAtTheTopSpeed) {
    if (!HaveSoundFont()) {
        GTEST_SKIP() << "no SoundFont installed";
    }
    MidiVoice piano;
    piano.patch = 0;
    const Errors errors = Measure(test::MorseMidi({kText}, {399}, 0, piano), VoiceKind::SoundFont, 73, 0);
    Report("SoundFont piano 399 cpm", errors);
    EXPECT_LE(errors.onset, 1.0L);
    EXPECT_LE(errors.offset, 1.0L);
}

class ToneTiming : public ::testing::TestWithParam<int> {};

TEST_P(ToneTiming, EveryNoteOnAndOffLandsWithinOneSample) {
    const Errors errors = Measure(test::MorseMidi({kText}, {GetParam()}), VoiceKind::Tone);
    Report(("tone " + std::to_string(GetParam()) + " cpm").c_str(), errors);
    EXPECT_GT(errors.notes, 40u);
    EXPECT_LE(errors.onset, 1.0L);
    EXPECT_LE(errors.offset, 1.0L);
}

INSTANTIATE_TEST_SUITE_P(Speeds, SoundFontTiming, ::testing::Values(5, 60, 150, 399));
INSTANTIATE_TEST_SUITE_P(Speeds, ToneTiming, ::testing::Values(5, 60, 150, 399));

// Both voices key alike and sound equally loud: the balance measured on the audio is the pure
// tone's 50 % at every speed, and the key-down RMS of the two voices differs by less than 1 dB.
class VoicesMatch : public ::testing::TestWithParam<int> {};

TEST_P(VoicesMatch, SameBalanceAndLoudness) {
    if (!HaveSoundFont()) {
        GTEST_SKIP() << "no SoundFont installed";
    }
    const std::vector<uint8_t> smf = test::MorseMidi({"PARIS 12345 CQ DE QLOR 73"}, {GetParam()});
    const Errors tone = Measure(smf, VoiceKind::Tone);
    const Errors soundFont = Measure(smf, VoiceKind::SoundFont);
    const double levelDb = 20 * std::log10(soundFont.keyDownRms / tone.keyDownRms);
    std::cout << "[ balance  ] " << GetParam() << " cpm: tone " << 100 * Balance(tone) << " %, SoundFont "
              << 100 * Balance(soundFont) << " %, SoundFont level " << levelDb << " dB against the tone\n";
    EXPECT_NEAR(Balance(tone), 0.5, 0.03);
    EXPECT_NEAR(Balance(soundFont), 0.5, 0.03);
    EXPECT_NEAR(levelDb, 0.0, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Speeds, VoicesMatch, ::testing::Values(60, 150, 250, 399));

// High-speed keying: at up to 990 cpm a dot of a figure text lasts under 3 ms, shorter than the
// 5 ms edges of slower speeds. Every dot and dash must still reach the level the longest notes of
// the file reach, and every gap must fall silent, in both voices.
TEST(HighSpeedKeying, EveryNoteReachesFullLevelAndEveryGapIsSilent) {
    struct Case {
        const char* body;
        int speedCpm;
    } cases[] = {
        {"PARIS EISH5", 700}, {"PARIS EISH5", 990}, {"55555 00000", 400}, {"55555 00000", 700}, {"55555 00000", 990}};
    for (const VoiceKind voice : {VoiceKind::Tone, VoiceKind::SoundFont}) {
        if (voice == VoiceKind::SoundFont && !HaveSoundFont()) {
            continue;
        }
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(voice == VoiceKind::Tone ? "tone " : "SoundFont ") + c.body + " at " +
                         std::to_string(c.speedCpm) + " cpm");
            const std::vector<uint8_t> smf = test::MorseMidi({c.body}, {c.speedCpm});
            const std::vector<test::NoteTime> notes = test::ReadNoteTimes(smf);
            MidiOpenResult opened =
                OpenMidiBytes(smf, voice, voice == VoiceKind::Tone ? nullptr : &SharedBank(), kRate);
            ASSERT_TRUE(opened.source) << opened.error;
            std::vector<float> left;
            RenderAll(*opened.source, [&](uint64_t, const float* stereo, size_t frames) {
                for (size_t n = 0; n < frames; ++n) {
                    left.push_back(stereo[2 * n]);
                }
            });
            // The peak of a note over its middle, [on + 20 %, off - 20 %] of its length.
            const auto middlePeak = [&](long double from, long double to) {
                const long double margin = (to - from) / 5;
                float peak = 0;
                for (auto n = static_cast<size_t>(std::ceil(from + margin)); n < left.size() && n < to - margin; ++n) {
                    peak = std::max(peak, std::fabs(left[n]));
                }
                return peak;
            };
            float longest = 0; // the level of the file's longest notes
            long double longestLength = 0;
            for (const test::NoteTime& note : notes) {
                longestLength = std::max(longestLength, note.off - note.on);
            }
            for (const test::NoteTime& note : notes) {
                if (note.off - note.on == longestLength) {
                    longest = std::max(longest,
                                       middlePeak(test::UsToFrames(note.on, kRate), test::UsToFrames(note.off, kRate)));
                }
            }
            ASSERT_GT(longest, 0.1f);
            const long double dot = test::UsToFrames(notes.front().off - notes.front().on, kRate);
            // Edges of 5 ms would reach into the middle 60 % of gaps this short.
            EXPECT_LT(dot, 2.5 * 5e-3L * kRate);
            for (size_t i = 0; i < notes.size(); ++i) {
                const long double on = test::UsToFrames(notes[i].on, kRate);
                const long double off = test::UsToFrames(notes[i].off, kRate);
                EXPECT_GE(middlePeak(on, off), 0.9f * longest) << "note " << i;
                if (i + 1 < notes.size()) {
                    EXPECT_EQ(middlePeak(off, test::UsToFrames(notes[i + 1].on, kRate)), 0.0f)
                        << "gap after note " << i;
                }
            }
        }
    }
}

TEST(CompetitionTiming, FortySegmentsDoNotDriftWithTheSoundFont) {
    if (!HaveSoundFont()) {
        GTEST_SKIP() << "no SoundFont installed";
    }
    const Errors errors = Measure(CompetitionFile(), VoiceKind::SoundFont);
    Report("SoundFont, 40 segments 5..395 cpm", errors);
    EXPECT_LE(errors.onset, 1.0L);
    EXPECT_LE(errors.offset, 1.0L);
}

TEST(CompetitionTiming, FortySegmentsDoNotDriftWithThePureTone) {
    const Errors errors = Measure(CompetitionFile(), VoiceKind::Tone);
    Report("tone, 40 segments 5..395 cpm", errors);
    EXPECT_LE(errors.onset, 1.0L);
    EXPECT_LE(errors.offset, 1.0L);
}

TEST(CompetitionTiming, LengthIsTheEndOfTrack) {
    const std::vector<uint8_t> smf = CompetitionFile();
    long double endUs = 0;
    test::ReadNoteTimes(smf, &endUs);
    MidiOpenResult opened = OpenMidiBytes(smf, VoiceKind::Tone, nullptr, kRate);
    ASSERT_TRUE(opened.source);
    EXPECT_NEAR(static_cast<double>(opened.source->LengthFrames()), static_cast<double>(test::UsToFrames(endUs, kRate)),
                0.5);
}

// The program's own files are sounded from the note cache: one clip for the one pitch, however
// many speeds the file holds.
TEST(SoundFontNoteCache, OwnFilesNeedOneClipPerPitch) {
    if (!HaveSoundFont()) {
        GTEST_SKIP() << "no SoundFont installed";
    }
    MidiOpenResult opened = OpenMidiBytes(CompetitionFile(), VoiceKind::SoundFont, &SharedBank(), kRate);
    ASSERT_TRUE(opened.source);
    EXPECT_FALSE(opened.source->UsesBank()); // SoundFont voice, yet no synth: the cache
    ASSERT_TRUE(NoteCacheRenderer::Suits(opened.source->Timeline()));
    const NoteCacheRenderer cache(SharedBank(), opened.source->Timeline());
    EXPECT_EQ(cache.DistinctNotes(), 1u);
}

// A foreign file whose notes are bent while they sound cannot come from the cache: it plays on
// the bank's synths, and sounds.
TEST(SoundFontNoteCache, FilesWithPitchBendsPlayOnTheSynths) {
    if (!HaveSoundFont()) {
        GTEST_SKIP() << "no SoundFont installed";
    }
    const std::vector<uint8_t> smf = {'M',  'T',  'h',  'd',  0,    0,    0,   6,
                                      0,    0,    0,    1,    0x01, 0xE0,          // format 0, 480 ticks a quarter
                                      'M',  'T',  'r',  'k',  0,    0,    0,   21, //
                                      0x00, 0xC0, 70,   0x00, 0x90, 69,   100,     // bassoon, A4 on
                                      0x83, 0x60, 0xE0, 0x00, 0x50,                // half a second later: bent up
                                      0x83, 0x60, 0x80, 69,   0,                   // off
                                      0x00, 0xFF, 0x2F, 0x00};
    MidiOpenResult opened = OpenMidiBytes(smf, VoiceKind::SoundFont, &SharedBank(), kRate);
    ASSERT_TRUE(opened.source) << opened.error;
    EXPECT_TRUE(opened.source->UsesBank());
    float peak = 0;
    RenderAll(*opened.source, [&](uint64_t, const float* stereo, size_t frames) {
        for (size_t k = 0; k < 2 * frames; ++k) {
            peak = std::max(peak, std::fabs(stereo[k]));
        }
    });
    EXPECT_GT(peak, 0.01f);
    MidiOpenResult own = OpenMidiBytes(test::MorseMidi({kText}, {60}), VoiceKind::SoundFont, &SharedBank(), kRate);
    ASSERT_TRUE(own.source);
    EXPECT_FALSE(own.source->UsesBank());
}

} // namespace
} // namespace qlor
