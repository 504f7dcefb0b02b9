// The batch export: names, file contents, folders and failures.
#include "base/codepage.h"
#include "exercises/batch_export.h"

#include "tests/support/files.h"
#include "tests/support/smf_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

namespace qlor {
namespace {

namespace fs = std::filesystem;

using test::ReadAll;

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::string s = ReadAll(path);
    return std::vector<uint8_t>(s.begin(), s.end());
}

std::set<std::string> Names(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

class BatchExport : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp_.valid());
        dir_ = tmp_.path();
        params_.controls.settings = DefaultTransmissionSettings();
        params_.controls.settings.number = {0, 4, 1, 7};
        params_.controls.settings.groups = {0, 0, 5}; // 5 groups
        params_.controls.settings.files = {1, 2};
        params_.folder = dir_.string();
    }

    void SetCount(int count) { params_.controls.settings.files = {count / 10, count % 10}; }

    test::TempDir tmp_{"qlor-export"};
    fs::path dir_;
    ExportParams params_;
    MorseTable table_;
};

TEST(ExportNames, CountsAndBaseNames) {
    TransmissionSettings s = DefaultTransmissionSettings();
    s.files = {0, 0};
    EXPECT_EQ(ExportFileCount(s), 1);
    s.files = {0, 9};
    EXPECT_EQ(ExportFileCount(s), 9);
    s.files = {9, 9};
    EXPECT_EQ(ExportFileCount(s), 99);
    s.number = {0, 4, 1, 7};
    EXPECT_EQ(ExportBaseName(s, 1), "0417-01");
    EXPECT_EQ(ExportBaseName(s, 9), "0417-09");
    EXPECT_EQ(ExportBaseName(s, 10), "0417-10");
    EXPECT_EQ(ExportBaseName(s, 99), "0417-99");
}

TEST_F(BatchExport, WritesOnePairPerFileNamedFromThePanelDigits) {
    for (int count : {0, 9, 10, 99}) {
        SetCount(count);
        fs::remove_all(dir_);
        fs::create_directory(dir_);
        std::vector<std::pair<int, int>> calls;
        ExportResult result = RunExport(table_, params_, [&](int i, int n) {
            calls.emplace_back(i, n);
            return true;
        });
        const int n = count == 0 ? 1 : count;
        EXPECT_TRUE(result.error.empty()) << result.error;
        EXPECT_EQ(result.written, n);
        ASSERT_EQ(calls.size(), static_cast<size_t>(n));
        EXPECT_EQ(calls.back(), std::make_pair(n, n));
        std::set<std::string> expected;
        for (int i = 1; i <= n; ++i) {
            const std::string base = std::string("0417-") + (i < 10 ? "0" : "") + std::to_string(i);
            expected.insert(base + ".txt");
            expected.insert(base + ".mid");
        }
        EXPECT_EQ(Names(dir_), expected) << "count " << count;
    }
}

TEST_F(BatchExport, FilesHoldTheDisplayedTextAndTheKeyedRadiogram) {
    SetCount(3);
    params_.voice.note = 80;
    params_.controls.settings.speed = {0, 6, 0};
    params_.cpm = false; // PARIS 60 for letters: 52.2 -> 50
    ASSERT_TRUE(RunExport(table_, params_).error.empty());
    std::set<std::string> bodies;
    for (int i = 1; i <= 3; ++i) {
        ExportItem item = PlanExportItem(params_, i);
        const std::string text = ReadAll(dir_ / (item.baseName + ".txt"));
        EXPECT_EQ(text, item.displayed);
        // "vvv=" CR LF, five groups each with its space, CR LF "*"; no line break at the end.
        ASSERT_EQ(text.size(), 6u + 30u + 3u);
        EXPECT_EQ(text.substr(0, 6), "vvv=\r\n");
        EXPECT_EQ(text.substr(text.size() - 3), "\r\n*");
        EXPECT_EQ(item.segment.speedCpm, 50);
        bodies.insert(item.segment.body);

        const std::vector<uint8_t> midi = ReadBytes(dir_ / (item.baseName + ".mid"));
        MidiResult built = BuildMorseMidi(table_, {item.segment}, 0, params_.voice);
        ASSERT_TRUE(built);
        EXPECT_EQ(midi, built.bytes);
        test::SmfTrack track = test::ReadSmfSegments(midi);
        ASSERT_TRUE(track.error.empty()) << track.error;
        ASSERT_EQ(track.segments.size(), 1u);
        // The closing marker 5 seconds after the last note, to within one tick.
        const double pauseUs =
            static_cast<double>(track.segments[0].closingDelta) * track.segments[0].tempoUsPerQuarter / 255.0;
        EXPECT_NEAR(pauseUs, 5e6, track.segments[0].tempoUsPerQuarter / 255.0);
    }
    EXPECT_EQ(bodies.size(), 3u); // each file is seeded with d4 + i
}

TEST_F(BatchExport, BodySeededWithTheFourthDigitPlusTheFileNumber) {
    params_.controls.settings.number = {1, 2, 3, 3};
    params_.controls.settings.textType = 2;
    params_.controls.settings.charInGroup = 10;
    params_.controls.settings.groups = {0, 0, 2};
    params_.controls.needHeader = false;
    params_.controls.needEnded = false;
    ExportItem item = PlanExportItem(params_, 1);
    EXPECT_EQ(item.baseName, "1233-01");
    EXPECT_EQ(item.displayed, "6048857875 6798473473 "); // the body of text number 1234
}

TEST_F(BatchExport, HeaderAndEndingVariants) {
    RadiogramControls& c = params_.controls;
    c.needHeader = false;
    c.needEnded = false;
    ExportItem plain = PlanExportItem(params_, 1);
    EXPECT_EQ(plain.displayed, plain.segment.body);
    EXPECT_EQ(plain.displayed.back(), ' ');
    EXPECT_EQ(plain.segment.header, "");
    EXPECT_EQ(plain.segment.ending, "");

    c.needHeader = true;
    c.headerStandard = false;
    c.beginChar = "QST";
    c.needEnded = true;
    c.endedStandard = false;
    c.endChar = "SK";
    ExportItem user = PlanExportItem(params_, 1);
    EXPECT_EQ(user.displayed, "QST\r\n" + plain.segment.body + "SK");
    EXPECT_EQ(user.segment.header, "QST\r\n");
    EXPECT_EQ(user.segment.ending, "SK");

    // The own-text mode does not apply to the export: the text is generated all the same.
    c.ownText = true;
    c.memoText = "OWN TEXT";
    EXPECT_EQ(PlanExportItem(params_, 1).segment.body, plain.segment.body);
}

TEST_F(BatchExport, GroupCountZeroMeansFiftyAndSpeedFloorIsFive) {
    params_.controls.settings.groups = {0, 0, 0};
    params_.controls.settings.speed = {0, 0, 0};
    ExportItem item = PlanExportItem(params_, 1);
    EXPECT_EQ(std::count(item.segment.body.begin(), item.segment.body.end(), ' '), 50);
    EXPECT_EQ(item.segment.speedCpm, 5);
}

TEST_F(BatchExport, FailedGenerationKeysTheFailureTextAndGoesOn) {
    SetCount(3);
    RadiogramControls& c = params_.controls;
    c.allSymbols = false;
    c.selectedSymbols = "!*"; // no character of the list can be generated
    ExportResult result = RunExport(table_, params_);
    EXPECT_TRUE(result.error.empty()) << result.error;
    EXPECT_EQ(result.written, 3);
    EXPECT_EQ(result.failedGenerations, 3);
    ExportItem item = PlanExportItem(params_, 2);
    EXPECT_TRUE(item.generationFailed);
    EXPECT_EQ(item.segment.body, Cp("Невозможно сформировать текст - набор символов слищком мал!"));
    EXPECT_EQ(item.displayed, "vvv=\r\n\r\n*");
    EXPECT_EQ(ReadAll(dir_ / "0417-02.txt"), "vvv=\r\n\r\n*");
    test::SmfTrack track = test::ReadSmfSegments(ReadBytes(dir_ / "0417-02.mid"));
    ASSERT_TRUE(track.error.empty()) << track.error;
    EXPECT_GT(track.segments.at(0).notes, 100); // the failure text is keyed

    c.needHeader = false;
    c.needEnded = false;
    EXPECT_EQ(PlanExportItem(params_, 1).displayed, "*");
}

// A single selected letter at the end of the range is drawn about once in 142 draws, so within
// the 1000-draw limit a generation fails for a few seeds only; text number 0959 has such a seed
// for its second file alone.
TEST_F(BatchExport, FailedGenerationInTheMiddleOfTheSeries) {
    SetCount(3);
    TransmissionSettings& s = params_.controls.settings;
    s.number = {0, 9, 5, 9};
    s.groups = {0, 0, 1};
    s.charInGroup = 1;
    params_.controls.allSymbols = false;
    params_.controls.selectedSymbols = Cp("Я");
    params_.controls.needHeader = false;
    params_.controls.needEnded = false;
    ExportResult result = RunExport(table_, params_);
    EXPECT_TRUE(result.error.empty()) << result.error;
    EXPECT_EQ(result.written, 3);
    EXPECT_EQ(result.failedGenerations, 1);
    EXPECT_EQ(ReadAll(dir_ / "0959-01.txt"), Cp("Я "));
    EXPECT_EQ(ReadAll(dir_ / "0959-02.txt"), "*");
    EXPECT_EQ(ReadAll(dir_ / "0959-03.txt"), Cp("Я "));
    EXPECT_TRUE(PlanExportItem(params_, 2).generationFailed);
    EXPECT_EQ(PlanExportItem(params_, 2).segment.body,
              Cp("Невозможно сформировать текст - набор символов слищком мал!"));
    EXPECT_GT(ReadAll(dir_ / "0959-02.mid").size(), ReadAll(dir_ / "0959-03.mid").size());
}

TEST_F(BatchExport, EmptyFolderMeansTheCurrentDirectory) {
    SetCount(2);
    params_.folder.clear();
    const fs::path before = fs::current_path();
    fs::current_path(dir_);
    ExportResult result = RunExport(table_, params_);
    fs::current_path(before);
    EXPECT_TRUE(result.error.empty()) << result.error;
    EXPECT_EQ(Names(dir_), (std::set<std::string>{"0417-01.txt", "0417-01.mid", "0417-02.txt", "0417-02.mid"}));
}

TEST_F(BatchExport, OverwritesAnEarlierExport) {
    SetCount(1);
    std::ofstream(dir_ / "0417-01.txt") << "an older and much longer text than the new one will be, surely";
    std::ofstream(dir_ / "0417-01.mid") << "junk";
    ASSERT_TRUE(RunExport(table_, params_).error.empty());
    EXPECT_EQ(ReadAll(dir_ / "0417-01.txt"), PlanExportItem(params_, 1).displayed);
    EXPECT_EQ(ReadAll(dir_ / "0417-01.mid").substr(0, 4), "MThd");
}

TEST_F(BatchExport, UnwritableFolderStopsAtTheFirstFileAndNamesIt) {
    // A folder below a regular file cannot exist, whoever runs the test.
    std::ofstream(dir_ / "plain") << "x";
    params_.folder = (dir_ / "plain" / "sub").string();
    ExportResult result = RunExport(table_, params_);
    EXPECT_EQ(result.written, 0);
    EXPECT_NE(result.error.find("0417-01.txt"), std::string::npos) << result.error;
}

TEST_F(BatchExport, WriteErrorInTheMiddleKeepsEarlierPairsAndLeavesNoHalfPair) {
    SetCount(5);
    fs::create_directory(dir_ / "0417-03.mid"); // the third MIDI file cannot take its name
    int calls = 0;
    ExportResult result = RunExport(table_, params_, [&](int, int) { return ++calls > 0; });
    EXPECT_EQ(result.written, 2);
    EXPECT_EQ(calls, 2);
    EXPECT_NE(result.error.find("0417-03.mid"), std::string::npos) << result.error;
    // Pairs 1 and 2 whole, no text without its MIDI file, nothing else (no temporary leftovers).
    EXPECT_EQ(Names(dir_),
              (std::set<std::string>{"0417-01.txt", "0417-01.mid", "0417-02.txt", "0417-02.mid", "0417-03.mid"}));
    EXPECT_TRUE(fs::is_directory(dir_ / "0417-03.mid"));
    EXPECT_EQ(ReadAll(dir_ / "0417-02.mid").substr(0, 4), "MThd");

    fs::remove_all(dir_ / "0417-01.txt");
    fs::create_directory(dir_ / "0417-01.txt");
    result = RunExport(table_, params_);
    EXPECT_EQ(result.written, 0);
    EXPECT_NE(result.error.find("0417-01.txt"), std::string::npos) << result.error;
}

TEST_F(BatchExport, ProgressCanCancel) {
    SetCount(10);
    ExportResult result = RunExport(table_, params_, [](int i, int) { return i < 4; });
    EXPECT_EQ(result.written, 4);
    EXPECT_TRUE(result.cancelled);
    EXPECT_TRUE(result.error.empty());
    EXPECT_EQ(Names(dir_).size(), 8u);
}

} // namespace
} // namespace qlor

namespace qlor {
namespace {

// With a sound file asked for, the text and MIDI files keep their bytes, every pair gains its
// sound file from its own MIDI file, and a pair whose sound fails leaves none of its files.
TEST_F(BatchExport, SoundFilesJoinTheirPairsOrThePairIsRemoved) {
    SetCount(3);
    ASSERT_TRUE(RunExport(table_, params_).error.empty());
    std::map<std::string, std::string> plain;
    for (const std::string& name : Names(dir_)) {
        plain[name] = ReadAll(dir_ / name);
    }
    fs::remove_all(dir_);
    fs::create_directories(dir_);

    params_.audioExtension = "ogg";
    EXPECT_EQ(ExportFilesPerItem(params_), 3);
    int calls = 0;
    auto audio = [&](const std::string& midiPath, const std::string& audioPath) -> std::string {
        ++calls;
        if (calls == 3) {
            return "no room left";
        }
        std::ofstream(audioPath, std::ios::binary) << ReadAll(midiPath); // stands for the sound
        return {};
    };
    const ExportResult result = RunExport(table_, params_, {}, {}, audio);
    EXPECT_EQ(result.written, 2);
    EXPECT_NE(result.error.find("0417-03.ogg"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find("no room left"), std::string::npos) << result.error;
    const std::set<std::string> expected = {"0417-01.txt", "0417-01.mid", "0417-01.ogg",
                                            "0417-02.txt", "0417-02.mid", "0417-02.ogg"};
    EXPECT_EQ(Names(dir_), expected);
    for (const char* base : {"0417-01", "0417-02"}) {
        EXPECT_EQ(ReadAll(dir_ / (std::string(base) + ".txt")), plain[std::string(base) + ".txt"]) << base;
        EXPECT_EQ(ReadAll(dir_ / (std::string(base) + ".mid")), plain[std::string(base) + ".mid"]) << base;
        EXPECT_EQ(ReadAll(dir_ / (std::string(base) + ".ogg")), plain[std::string(base) + ".mid"]) << base;
    }
}

} // namespace
} // namespace qlor
