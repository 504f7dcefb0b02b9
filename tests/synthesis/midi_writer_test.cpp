#include "base/codepage.h"
#include "synthesis/midi_writer.h"
#include "synthesis/timing.h"
#include "tests/support/smf_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace qlor {
namespace {

namespace fs = std::filesystem;
using test::ReadSmf;
using test::SmfFile;

ByteVector Bytes(std::initializer_list<int> values) {
    ByteVector out;
    for (int v : values) {
        out.push_back(static_cast<uint8_t>(v));
    }
    return out;
}

ByteVector Ascii(std::string_view text) {
    return ByteVector(text.begin(), text.end());
}

ByteVector Concat(std::initializer_list<ByteVector> parts) {
    ByteVector out;
    for (const auto& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

MidiVoice DefaultVoice() {
    return MidiVoice{0, 70, 3, 73};
}

// Reads `bytes` into `var`, failing the test (and leaving it) when they are not a valid SMF.
#define ASSERT_SMF(var, bytes)                                                                                         \
    std::string var##Error;                                                                                            \
    const auto var##Read = ReadSmf(bytes, &var##Error);                                                                \
    ASSERT_TRUE(var##Read.has_value()) << var##Error;                                                                  \
    const SmfFile& var = *var##Read;                                                                                   \
    (void)var

ByteVector ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return ByteVector((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Where each note of an element string sounds, by the plain meaning of the letters: every letter
// takes its written length in turn; D and T sound, other letters take no time.
struct Note {
    uint64_t on, off;
    bool operator==(const Note&) const = default;
};
std::vector<Note> ExpectedNotes(std::string_view elements, int pauseDelayDots, uint64_t start) {
    std::vector<Note> notes;
    uint64_t t = start;
    for (char c : elements) {
        uint64_t len = static_cast<uint64_t>(ElementTicks(c, pauseDelayDots));
        if (c == 'D' || c == 'T') {
            notes.push_back({t, t + len});
        }
        t += len;
    }
    return notes;
}

std::vector<Note> ActualNotes(const SmfFile& file, int note) {
    std::vector<Note> notes;
    for (const auto& ev : file.events) {
        if (ev.IsNoteOn()) {
            EXPECT_EQ(ev.data[0], note);
            EXPECT_EQ(ev.data[1], 0x64);
            notes.push_back({ev.tick, 0});
        } else if (ev.IsNoteOff()) {
            EXPECT_FALSE(notes.empty());
            if (!notes.empty()) {
                EXPECT_EQ(notes.back().off, 0u) << "note-off without note-on";
                notes.back().off = ev.tick;
            }
        }
    }
    return notes;
}

TEST(MidiEncoding, VarLenExamples) {
    EXPECT_EQ(EncodeVarLen(0), Bytes({0x00}));
    EXPECT_EQ(EncodeVarLen(16), Bytes({0x10}));
    EXPECT_EQ(EncodeVarLen(48), Bytes({0x30}));
    EXPECT_EQ(EncodeVarLen(112), Bytes({0x70}));
    EXPECT_EQ(EncodeVarLen(127), Bytes({0x7F}));
    EXPECT_EQ(EncodeVarLen(128), Bytes({0x81, 0x00}));
    EXPECT_EQ(EncodeVarLen(240), Bytes({0x81, 0x70}));
    EXPECT_EQ(EncodeVarLen(688), Bytes({0x85, 0x30}));
    EXPECT_EQ(EncodeVarLen(0x3FFF), Bytes({0xFF, 0x7F}));
    EXPECT_EQ(EncodeVarLen(0x4000), Bytes({0x81, 0x80, 0x00}));
    EXPECT_EQ(EncodeVarLen(0x0FFFFFFF), Bytes({0xFF, 0xFF, 0xFF, 0x7F}));
    EXPECT_EQ(EncodeVarLen(UINT64_MAX).size(), 10u);
}

TEST(MidiEncoding, HeaderWritesTrackLengthInFourBytes) {
    auto header = [](int tracks, uint32_t length) { return MidiHeader(tracks, length); };
    const ByteVector prefix = Concat({Ascii("MThd"), Bytes({0, 0, 0, 6, 0, 0, 0, 1, 0, 0xFF}), Ascii("MTrk")});
    EXPECT_EQ(header(1, 127), Concat({prefix, Bytes({0, 0, 0, 0x7F})}));
    EXPECT_EQ(header(1, 128), Concat({prefix, Bytes({0, 0, 0, 0x80})}));
    EXPECT_EQ(header(1, 65536), Concat({prefix, Bytes({0, 1, 0, 0})}));
    ByteVector multi = header(3, 0x01020304);
    ASSERT_EQ(multi.size(), 22u);
    EXPECT_EQ(multi[9], 1); // format 1
    EXPECT_EQ(multi[11], 3);
    EXPECT_EQ(ByteVector(multi.begin() + 18, multi.end()), Bytes({1, 2, 3, 4}));
}

TEST(MidiFile, SingleLetterExampleIsByteExact) {
    MorseTable table;
    MidiResult r = BuildMorseMidi(table, {{"", "E", "", 60}}, 0, DefaultVoice());
    ASSERT_TRUE(r) << r.message;
    const ByteVector expected = Concat({
        Ascii("MThd"),
        Bytes({0, 0, 0, 6, 0, 0, 0, 1, 0, 0xFF}),
        Ascii("MTrk"),
        Bytes({0, 0, 0, 0x38}),
        Bytes({0x00, 0xC0, 0x46}),
        Bytes({0x00, 0xFF, 0x51, 0x03, 0xF3, 0x2F, 0xDC}),
        Bytes({0x00, 0xFF, 0x02, 0x16}),
        Ascii("QLOR-2000 code trainer"),
        Bytes({0x00, 0x90, 0x49, 0x64, 0x10, 0x49, 0x00}),
        Bytes({0x50, 0xFF, 0x01, 0x05}),
        Ascii("PAUSE"),
        Bytes({0x00, 0xFF, 0x2F, 0x00}),
    });
    EXPECT_EQ(expected.size(), 78u);
    EXPECT_EQ(r.bytes, expected);
}

TEST(MidiFile, HeaderAndEndingSoundAtTheBodySpeed) {
    MorseTable table;
    MidiResult r = BuildMorseMidi(table, {{"vvv=\r\n", "ET", "\r\n*", 60}}, 0, DefaultVoice());
    ASSERT_TRUE(r) << r.message;
    ASSERT_SMF(file, r.bytes);
    EXPECT_EQ(file.format, 0);
    EXPECT_EQ(file.division, 255);
    // Tempo of "ET" alone: N = 2, U = 112.
    ASSERT_GE(file.events.size(), 3u);
    EXPECT_TRUE(file.events[1].IsMeta(0x51));
    EXPECT_EQ(file.events[1].data, Bytes({0x45, 0x7B, 0x63})); // 4553571
    EXPECT_TRUE(file.events[2].IsMeta(0x02));
    EXPECT_EQ(file.events[2].Text(), "QLOR-2000 code trainer");

    const std::string v = "DPDPDPT", eq = "TPDPDPDPT", ar = "DPTPDPTPD";
    const std::string elements = v + "Q" + v + "Q" + v + "Q" + eq + "R" + "DQT" + "R" + ar;
    EXPECT_EQ(ActualNotes(file, 73), ExpectedNotes(elements, 3, 0));

    // The closing marker: vlq(280) FF 01 05 "PAUSE", 5 s after the last note-off.
    const ByteVector tail = Concat({Bytes({0x82, 0x18, 0xFF, 0x01, 0x05}), Ascii("PAUSE"), Bytes({0, 0xFF, 0x2F, 0})});
    ASSERT_GE(r.bytes.size(), tail.size());
    EXPECT_EQ(ByteVector(r.bytes.end() - static_cast<std::ptrdiff_t>(tail.size()), r.bytes.end()), tail);
}

TEST(MidiFile, ChannelProgramAndNoteAreWritten) {
    MorseTable table;
    MidiResult r = BuildMorseMidi(table, {{"", "E", "", 60}}, 0, MidiVoice{15, 127, 3, 110});
    ASSERT_TRUE(r);
    EXPECT_EQ(ByteVector(r.bytes.begin() + 22, r.bytes.begin() + 25), Bytes({0x00, 0xCF, 0x7F}));
    const size_t notes = 22 + 3 + 7 + 26;
    EXPECT_EQ(ByteVector(r.bytes.begin() + notes, r.bytes.begin() + notes + 7),
              Bytes({0x00, 0x9F, 110, 0x64, 0x10, 110, 0x00}));
}

TEST(MidiFile, OutOfRangeVoiceNeverBreaksTheFile) {
    MorseTable table;
    MidiResult r = BuildMorseMidi(table, {{"", "EE", "", 60}}, 0, MidiVoice{200, 300, -4, 999});
    ASSERT_TRUE(r);
    ASSERT_SMF(file, r.bytes);
    EXPECT_EQ(file.events[0].status, 0xCF);
    EXPECT_EQ(file.events[0].data, Bytes({0x7F}));
}

TEST(MidiFile, PauseDelayLengthensOnlyTheGaps) {
    MorseTable table;
    const MidiVoice slow{0, 70, 15, 73};
    const size_t notes = 22 + 3 + 7 + 26;
    MidiResult chars = BuildMorseMidi(table, {{"", "EE", "", 60}}, 0, slow);
    ASSERT_TRUE(chars);
    EXPECT_EQ(ByteVector(chars.bytes.begin() + notes, chars.bytes.begin() + notes + 14),
              Bytes({0x00, 0x90, 0x49, 0x64, 0x10, 0x49, 0x00, 0x81, 0x70, 0x49, 0x64, 0x10, 0x49, 0x00}));
    MidiResult words = BuildMorseMidi(table, {{"", "E E", "", 60}}, 0, slow);
    ASSERT_TRUE(words);
    EXPECT_EQ(ByteVector(words.bytes.begin() + notes + 7, words.bytes.begin() + notes + 9), Bytes({0x83, 0x70}));
    // The tempo counts standard gaps, whatever the pause.
    MidiResult standard = BuildMorseMidi(table, {{"", "E E", "", 60}}, 0, DefaultVoice());
    EXPECT_EQ(ByteVector(words.bytes.begin() + 25, words.bytes.begin() + 32),
              ByteVector(standard.bytes.begin() + 25, standard.bytes.begin() + 32));
}

TEST(MidiFile, EachSegmentHasItsTempoStatusAndMarker) {
    MorseTable table;
    MidiResult r = BuildMorseMidi(table, {{"", "PARIS", "", 60}, {"vvv=", "PARIS", "*", 100}}, 60, DefaultVoice());
    ASSERT_TRUE(r) << r.message;
    ASSERT_SMF(file, r.bytes);
    std::vector<ByteVector> tempos;
    std::vector<uint64_t> markerDeltas;
    int statusBytes = 0;
    for (const auto& ev : file.events) {
        if (ev.IsMeta(0x51)) {
            tempos.push_back(ev.data);
        } else if (ev.IsMeta(0x01)) {
            EXPECT_EQ(ev.Text(), "PAUSE");
            markerDeltas.push_back(ev.delta);
        } else if (ev.status == 0x90 && !ev.runningStatus) {
            ++statusBytes;
        }
    }
    ASSERT_EQ(tempos.size(), 2u);
    EXPECT_EQ(tempos[0], Bytes({0x1C, 0x47, 0x0E})); // 1853198
    EXPECT_EQ(tempos[1], Bytes({0x10, 0xF7, 0x6F})); // 1111919
    EXPECT_EQ(statusBytes, 2);
    ASSERT_EQ(markerDeltas.size(), 2u);
    EXPECT_EQ(markerDeltas[0], 8256u); // 60 s at 1853198 us per quarter
    EXPECT_EQ(markerDeltas[1], EndPauseTicks(1111919, 60));
}

TEST(MidiFile, LeadingWordGapBecomesTheFirstDelta) {
    MorseTable table;
    MidiResult r = BuildMorseMidi(table, {{"", "##E", "", 60}}, 0, DefaultVoice());
    ASSERT_TRUE(r) << r.message;
    const size_t notes = 22 + 3 + 7 + 26;
    EXPECT_EQ(ByteVector(r.bytes.begin() + notes, r.bytes.begin() + notes + 7),
              Bytes({0x70, 0x90, 0x49, 0x64, 0x10, 0x49, 0x00}));
    ASSERT_SMF(parsed, r.bytes);
}

TEST(MidiFile, OddOverridesStillGiveValidFiles) {
    const size_t notes = 22 + 3 + 7 + 26;
    {
        // Two elements without a gap: a zero delta between note-off and note-on.
        MorseTable table;
        table.ApplyOverrides("5:DT;");
        MidiResult r = BuildMorseMidi(table, {{"", "E", "", 60}}, 0, DefaultVoice());
        ASSERT_TRUE(r);
        EXPECT_EQ(ByteVector(r.bytes.begin() + notes, r.bytes.begin() + notes + 13),
                  Bytes({0x00, 0x90, 0x49, 0x64, 0x10, 0x49, 0x00, 0x00, 0x49, 0x64, 0x30, 0x49, 0x00}));
        ASSERT_SMF(parsed, r.bytes);
    }
    {
        // Only silence: no note events at all, the marker follows the copyright directly.
        MorseTable table;
        table.ApplyOverrides("5:P;");
        MidiResult r = BuildMorseMidi(table, {{"", "E", "", 60}}, 0, DefaultVoice());
        ASSERT_TRUE(r) << r.message;
        ASSERT_SMF(file, r.bytes);
        EXPECT_TRUE(ActualNotes(file, 73).empty());
        EXPECT_EQ(r.bytes[notes + 1], 0xFF);
    }
    {
        // A gap that ends a pattern meets the character gap: one delta; unknown letters weigh nothing.
        MorseTable table;
        table.ApplyOverrides("5:DPx;");
        MidiResult r = BuildMorseMidi(table, {{"", "EE", "", 60}}, 0, DefaultVoice());
        ASSERT_TRUE(r);
        ASSERT_SMF(file, r.bytes);
        EXPECT_EQ(ActualNotes(file, 73), (std::vector<Note>{{0, 16}, {80, 96}}));
        const auto tempo = SegmentTempoUsPerQuarter(2, 16 + 16 + 48 + 16 + 16, 60);
        ASSERT_TRUE(tempo);
        EXPECT_EQ(file.events[1].data, Bytes({static_cast<int>(*tempo >> 16 & 0xFF),
                                              static_cast<int>(*tempo >> 8 & 0xFF), static_cast<int>(*tempo & 0xFF)}));
        // The trailing P is silence after the last note: the marker still sits 5 s after it ends.
        EXPECT_EQ(file.events.rbegin()[1].tick, 96 + EndPauseTicks(*tempo, 0));
    }
    {
        // An emptied pattern: the body has a character but nothing to time.
        MorseTable table;
        table.ApplyOverrides("5:;");
        MidiResult r = BuildMorseMidi(table, {{"", "E", "", 60}}, 0, DefaultVoice());
        EXPECT_EQ(r.error, MidiError::NoKeyableCharacter);
    }
}

TEST(MidiFile, RandomElementStringsGiveValidFilesWithTheRightTiming) {
    std::mt19937 rng(1234);
    const std::string letters = "DTPQRxdD";
    const std::string textBytes = "AETMN#  -,";
    for (int round = 0; round < 400; ++round) {
        MorseTable table;
        std::string overrides;
        for (int index : {1, 5, 13, 14, 20, 104}) {
            std::string pattern;
            int len = std::uniform_int_distribution<int>(0, 6)(rng);
            for (int j = 0; j < len; ++j) {
                pattern += letters[rng() % letters.size()];
            }
            overrides += std::to_string(index) + ":" + pattern + ";\n";
        }
        table.ApplyOverrides(overrides);
        auto randomText = [&](int maxLen) {
            std::string s;
            int len = std::uniform_int_distribution<int>(0, maxLen)(rng);
            for (int j = 0; j < len; ++j) {
                s += textBytes[rng() % textBytes.size()];
            }
            return s;
        };
        SegmentText segment{randomText(4), randomText(12), randomText(4), 5 + static_cast<int>(rng() % 200)};
        const MidiVoice voice{static_cast<int>(rng() % 16), 0, 3 + static_cast<int>(rng() % 13), 60};
        MidiResult r = BuildMorseMidi(table, {segment}, 0, voice);
        const Elements body = TextToElements(table, segment.body);
        const auto tempo = SegmentTempoUsPerQuarter(body.count, ElementWeightTotal(body.elements), segment.speedCpm);
        if (!tempo) {
            EXPECT_EQ(r.error, MidiError::NoKeyableCharacter);
            continue;
        }
        ASSERT_TRUE(r) << r.message;
        std::string error;
        auto file = ReadSmf(r.bytes, &error);
        ASSERT_TRUE(file) << error << "\noverrides:\n" << overrides << "body: " << segment.body;
        const Elements full = TextToElements(table, FullSegmentText(segment.header, segment.body, segment.ending));
        const auto expected = ExpectedNotes(full.elements, voice.pauseDelayDots, 0);
        const auto actual = ActualNotes(*file, 60);
        ASSERT_EQ(actual, expected) << "elements " << full.elements;
        const uint64_t written = std::min<uint64_t>(*tempo, kMaxTempoUsPerQuarter);
        const uint64_t lastOff = expected.empty() ? 0 : expected.back().off;
        ASSERT_TRUE(file->events.rbegin()[1].IsMeta(0x01));
        EXPECT_EQ(file->events.rbegin()[1].tick, lastOff + EndPauseTicks(written, 0));
    }
}

TEST(MidiFile, SlowTempoIsClampedToThreeBytes) {
    MorseTable table;
    // E at 5 characters per minute would need 191250000 us per quarter note.
    MidiResult r = BuildMorseMidi(table, {{"", "E", "", 5}}, 0, DefaultVoice());
    ASSERT_TRUE(r);
    ASSERT_SMF(file, r.bytes);
    EXPECT_EQ(file.events[1].data, Bytes({0xFF, 0xFF, 0xFF}));
    // Five seconds at the clamped tempo: 5 * 255e6 / 16777215 = 75.996 ticks.
    EXPECT_EQ(file.events.rbegin()[1].delta, 76u);
    // Speeds below the floor of 5 are sent at 5.
    EXPECT_EQ(BuildMorseMidi(table, {{"", "E", "", 0}}, 0, DefaultVoice()).bytes, r.bytes);
}

TEST(MidiFile, FullTextTrimsAndJoins) {
    EXPECT_EQ(FullSegmentText("vvv=\r\n", "AB   CD ", "\r\n*"), "vvv= AB CD *");
    EXPECT_EQ(FullSegmentText("", "  E ", ""), "E");
    EXPECT_EQ(FullSegmentText(" \r\n", "E", "AR"), "E AR");
    EXPECT_EQ(FullSegmentText("A\r\n\r\nB", "E", ""), "A\r\n\r\nB E");
}

class MidiWriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::path(::testing::TempDir()) /
               ("qlor-midi-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::vector<std::string> Listing() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    fs::path dir_;
};

TEST_F(MidiWriteTest, WritesTheBuiltBytesAndReplacesAnOldFile) {
    MorseTable table;
    const std::string path = (dir_ / "temp.mid").string();
    { std::ofstream(path) << "old content that is longer than nothing"; }
    MidiResult r = WriteMorseMidi(table, {{"", "E", "", 60}}, path, 0, DefaultVoice());
    ASSERT_TRUE(r) << r.message;
    EXPECT_EQ(ReadFileBytes(path), BuildMorseMidi(table, {{"", "E", "", 60}}, 0, DefaultVoice()).bytes);
    EXPECT_EQ(Listing(), std::vector<std::string>{"temp.mid"});
}

TEST_F(MidiWriteTest, NoKeyableCharacterWritesNothing) {
    MorseTable table;
    const std::string fresh = (dir_ / "fresh.mid").string();
    MidiResult r = WriteMorseMidi(table, {{"vvv=", "--- ###", "*", 60}}, fresh, 0, DefaultVoice());
    EXPECT_EQ(r.error, MidiError::NoKeyableCharacter);
    EXPECT_FALSE(r.message.empty());
    EXPECT_TRUE(Listing().empty());

    // A later segment without a keyable character leaves an existing file as it was.
    const std::string old = (dir_ / "old.mid").string();
    { std::ofstream(old) << "keep"; }
    r = WriteMorseMidi(table, {{"", "E", "", 60}, {"", "", "", 60}}, old, 0, DefaultVoice());
    EXPECT_EQ(r.error, MidiError::NoKeyableCharacter);
    EXPECT_EQ(ReadFileBytes(old), Ascii("keep"));
    EXPECT_EQ(Listing(), std::vector<std::string>{"old.mid"});
}

TEST_F(MidiWriteTest, UnwritablePathIsAnIoErrorAndLeavesNothing) {
    MorseTable table;
    const std::string missing = (dir_ / "no-such-dir" / "x.mid").string();
    MidiResult r = WriteMorseMidi(table, {{"", "E", "", 60}}, missing, 0, DefaultVoice());
    EXPECT_EQ(r.error, MidiError::Io);
    EXPECT_NE(r.message.find(missing), std::string::npos) << r.message;
    EXPECT_NE(r.message.find("No such file"), std::string::npos) << r.message;
    EXPECT_TRUE(r.bytes.empty());

    // The final name is taken by a folder: the temporary file is removed again.
    fs::create_directory(dir_ / "taken.mid");
    r = WriteMorseMidi(table, {{"", "E", "", 60}}, (dir_ / "taken.mid").string(), 0, DefaultVoice());
    EXPECT_EQ(r.error, MidiError::Io);
    EXPECT_EQ(Listing(), std::vector<std::string>{"taken.mid"});

    EXPECT_FALSE(WriteFileAtomically("", "x").empty());
}

} // namespace
} // namespace qlor
