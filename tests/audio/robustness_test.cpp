// Damaged inputs end in a clear error or in silence, never in a crash or a hang: a missing or
// corrupt SoundFont, an SMF of any bytes played through both voices, a zero-length file.
#include "audio/midi_source.h"
#include "audio/offline_render.h"
#include "audio/soundfont_bank.h"
#include "audio_test_util.h"

#include <gtest/gtest.h>

#include <random>

namespace qlor {
namespace {

constexpr int kRate = 48000;

// Renders at most `limit` frames; the output must stay finite and within full scale.
void RenderSafely(AudioSource& source, uint64_t limit) {
    std::vector<float> out(2 * 1024);
    for (uint64_t done = 0; done < limit;) {
        const size_t made = source.Render(out.data(), 1024);
        for (size_t k = 0; k < 2 * made; ++k) {
            ASSERT_TRUE(std::isfinite(out[k]));
        }
        done += made;
        if (made < 1024) {
            break;
        }
    }
}

class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
            had_ = true;
        }
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        if (had_) {
            setenv(name_, old_.c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

TEST(SoundFontProblems, MissingOrCorruptFontFallsBackToTheToneOrIsAnError) {
    test::TempDir dir;
    const std::string corrupt = dir.File("broken.sf2");
    std::vector<uint8_t> bytes = {'R', 'I', 'F', 'F', 0x10, 0, 0, 0, 's', 'f', 'b', 'k', 'L', 'I', 'S', 'T'};
    bytes.resize(3000, 0x5A);
    test::WriteBytes(corrupt, bytes);
    const std::vector<uint8_t> smf = test::MorseMidi({"PARIS"}, {60});

    for (const std::string& font : {dir.File("missing.sf2"), corrupt, dir.File("")}) {
        SoundFontBank bank(kRate);
        bank.SetPath(font);
        const std::string why = bank.Load();
        EXPECT_FALSE(why.empty()) << font;
        EXPECT_FALSE(bank.Loaded());

        MidiOpenResult automatic = OpenMidiBytes(smf, VoiceKind::Automatic, &bank, kRate);
        ASSERT_TRUE(automatic.source) << automatic.error;
        EXPECT_EQ(automatic.source->Voice(), VoiceKind::Tone);
        EXPECT_NE(automatic.warning.find("pure tone"), std::string::npos);
        RenderSafely(*automatic.source, 48000);

        MidiOpenResult strict = OpenMidiBytes(smf, VoiceKind::SoundFont, &bank, kRate);
        EXPECT_FALSE(strict.source);
        EXPECT_EQ(strict.error, why);
    }
}

TEST(SoundFontProblems, TheEnvironmentVariableChoosesTheFont) {
    test::TempDir dir;
    ScopedEnvironment environment(kSoundFontEnvironment, dir.File("elsewhere.sf2"));
    EXPECT_EQ(SoundFontBank::FindSoundFont(), dir.File("elsewhere.sf2"));
    SoundFontBank bank(kRate);
    const std::string why = bank.Load();
    EXPECT_NE(why.find(dir.File("elsewhere.sf2")), std::string::npos) << why;
}

TEST(SoundFontProblems, TheRenderCommandReportsAMissingFont) {
    test::TempDir dir;
    const std::string midi = dir.File("temp.mid");
    test::WriteBytes(midi, test::MorseMidi({"E"}, {60}, 1));
    RenderRequest request;
    request.midiPath = midi;
    request.voice = VoiceKind::SoundFont;
    request.soundFontPath = dir.File("none.sf2");
    const RenderSummary strict = RenderToFile(request, dir.File("out.wav"));
    EXPECT_FALSE(strict.ok());
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.wav")));
    request.voice = VoiceKind::Automatic;
    const RenderSummary fallback = RenderToFile(request, dir.File("out.wav"));
    EXPECT_TRUE(fallback.ok()) << fallback.error;
    EXPECT_EQ(fallback.voice, VoiceKind::Tone);
    EXPECT_FALSE(fallback.warning.empty());
}

// Damaged Morse files and random bytes, played with both voices: each either is refused with a
// reason or plays to its end with finite samples.
TEST(AnySmf, PlaysOrIsRefusedWithBothVoices) {
    SoundFontBank bank(kRate);
    const bool soundFont = bank.Load().empty();
    std::mt19937 random(1234);
    const std::vector<uint8_t> morse = test::MorseMidi({"CQ TEST 73"}, {200});
    int played = 0;
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bytes = morse;
        switch (round % 4) {
        case 0: // flipped bytes anywhere after the header
            for (int d = 0; d < 6; ++d) {
                bytes[22 + random() % (bytes.size() - 22)] = static_cast<uint8_t>(random());
            }
            break;
        case 1: // truncated
            bytes.resize(14 + random() % (bytes.size() - 14));
            break;
        case 2: // random track data under a valid header
            bytes.resize(22 + random() % 400);
            for (size_t k = 22; k < bytes.size(); ++k) {
                bytes[k] = static_cast<uint8_t>(random());
            }
            break;
        default: // channel messages of every kind with random data bytes
            bytes.resize(22);
            for (int e = 0; e < 200; ++e) {
                bytes.push_back(static_cast<uint8_t>(random() % 8));
                bytes.push_back(static_cast<uint8_t>(0x80 + random() % 0x70));
                bytes.push_back(static_cast<uint8_t>(random() % 128));
                bytes.push_back(static_cast<uint8_t>(random() % 128));
            }
            break;
        }
        for (VoiceKind voice : {VoiceKind::Tone, VoiceKind::SoundFont}) {
            if (voice == VoiceKind::SoundFont && !soundFont) {
                continue;
            }
            MidiOpenResult opened = OpenMidiBytes(bytes, voice, &bank, kRate);
            if (!opened.source) {
                EXPECT_FALSE(opened.error.empty());
                continue;
            }
            ++played;
            RenderSafely(*opened.source, 20 * kRate);
            opened.source->Rewind();
            RenderSafely(*opened.source, kRate);
        }
    }
    EXPECT_GT(played, 80);
}

TEST(AnySmf, ZeroLengthSongEndsAtOnce) {
    // A valid file whose only event is its end: nothing to play.
    const std::vector<uint8_t> bytes = {'M', 'T', 'h', 'd', 0,   0, 0, 6, 0, 0, 0,    1,    0,
                                        96,  'M', 'T', 'r', 'k', 0, 0, 0, 4, 0, 0xFF, 0x2F, 0};
    MidiOpenResult opened = OpenMidiBytes(bytes, VoiceKind::Tone, nullptr, kRate);
    ASSERT_TRUE(opened.source);
    EXPECT_EQ(opened.source->LengthFrames(), 0u);
    std::vector<float> out(64);
    EXPECT_EQ(opened.source->Render(out.data(), 32), 0u);
}

} // namespace
} // namespace qlor
