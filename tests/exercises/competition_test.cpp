// The competition plan: protocol lines, segments, seeds and speeds, and the file it makes.
#include "base/codepage.h"
#include "exercises/competition.h"
#include "synthesis/midi_writer.h"
#include "synthesis/morse_table.h"
#include "synthesis/timing.h"
#include "textgen/radiogram.h"

#include "tests/support/smf_reader.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qlor {
namespace {

using Lines = std::vector<std::string>;

void SetSpeedDigits(std::array<int, 3>& digits, int value) {
    digits = {value / 100, value / 10 % 10, value % 10};
}

CompetitionParams Params(int start, int final, int textType = 0) {
    CompetitionParams p;
    p.settings = DefaultTransmissionSettings();
    p.settings.number = {0, 4, 1, 7};
    p.settings.textType = textType;
    p.settings.charInGroup = 5;
    SetSpeedDigits(p.settings.startSpeed, start);
    SetSpeedDigits(p.settings.stopSpeed, final);
    p.trainText = true;
    p.cpm = true;
    p.english = true;
    p.dateTime = "01.02.2024 10:11:12";
    p.symbolMemoLength = 75;
    return p;
}

std::string Body(const CompetitionParams& p, int groups, int d4) {
    GenerateParams g;
    g.groupCount = groups;
    g.textType = p.settings.textType;
    g.d1 = p.settings.number[0];
    g.d2 = p.settings.number[1];
    g.d3 = p.settings.number[2];
    g.d4 = d4;
    g.charInGroup = p.settings.charInGroup;
    g.symbolMemoLength = p.symbolMemoLength;
    return GenerateText(g).body;
}

int Groups(const std::string& body) {
    return static_cast<int>(std::count(body.begin(), body.end(), ' '));
}

TEST(CompetitionCount, TruncatesTowardZero) {
    EXPECT_EQ(CompetitionTextCount(50, 60), 2);
    EXPECT_EQ(CompetitionTextCount(50, 50), 1);
    EXPECT_EQ(CompetitionTextCount(10, 390), 39);
    EXPECT_EQ(CompetitionTextCount(60, 50), 0); // (-10)/10 + 1 = 0
    EXPECT_EQ(CompetitionTextCount(70, 50), 0);
    EXPECT_EQ(CompetitionTextCount(390, 0), 0);
    EXPECT_EQ(CompetitionTextCount(50, 45), 1); // (-5)/10 truncates to 0
}

TEST(Competition, TwentyTwoLineEnglishProtocol) {
    CompetitionParams p = Params(50, 60);
    CompetitionPlan plan = PlanCompetition(p);
    const std::string train = Body(p, 10, 7 - 1);
    const std::string first = Body(p, 10, 7 + 1);
    const std::string second = Body(p, 12, 7 + 2);
    const Lines expected{"Checklist QLOR-2000",
                         "Begin 01.02.2024 10:11:12",
                         "Initial speed 50 spm",
                         "Train text",
                         "TRAIN 50",
                         "vvv=",
                         train,
                         "*",
                         "Pause 60 sec",
                         "Competition text",
                         "Speed 50",
                         "OOOOO 50",
                         "vvv=",
                         first,
                         "*",
                         "Pause 60 sec",
                         "Competition text",
                         "Speed 60",
                         "OOOOO 60",
                         "vvv=",
                         second,
                         "*"};
    EXPECT_EQ(plan.protocol, expected);
    EXPECT_EQ(Groups(train), 10);
    EXPECT_EQ(Groups(first), 10);
    EXPECT_EQ(Groups(second), 12);
    EXPECT_NE(train, first);
    EXPECT_NE(first, second.substr(0, first.size()));

    ASSERT_EQ(plan.segments.size(), 3u);
    EXPECT_EQ(plan.segments[0].header, "TRAIN 50 vvv=");
    EXPECT_EQ(plan.segments[1].header, "OOOOO 50 vvv=");
    EXPECT_EQ(plan.segments[2].header, "OOOOO 60 vvv=");
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(plan.segments[i].ending, "*");
        EXPECT_EQ(plan.segments[i].body, plan.protocol[i == 0 ? 6 : i == 1 ? 13 : 20]);
    }
    EXPECT_EQ(plan.segments[0].speedCpm, 50);
    EXPECT_EQ(plan.segments[1].speedCpm, 50);
    EXPECT_EQ(plan.segments[2].speedCpm, 60);

    std::string text = plan.ProtocolText();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 22);
    EXPECT_EQ(text.substr(0, 21), "Checklist QLOR-2000\r\n");
    EXPECT_EQ(text.substr(text.size() - 3), "*\r\n");
}

TEST(Competition, RussianWording) {
    CompetitionParams p = Params(50, 60, 1);
    p.english = false;
    CompetitionPlan plan = PlanCompetition(p);
    ASSERT_EQ(plan.protocol.size(), 22u);
    EXPECT_EQ(plan.protocol[0], Cp("Протокол КЛОР-2000"));
    EXPECT_EQ(plan.protocol[1], Cp("Начало 01.02.2024 10:11:12"));
    EXPECT_EQ(plan.protocol[2], Cp("Начальная скорость 50 зн/мин"));
    EXPECT_EQ(plan.protocol[3], Cp("Тренировочный текст"));
    EXPECT_EQ(plan.protocol[8], Cp("Пауза 60 секунд"));
    EXPECT_EQ(plan.protocol[9], Cp("Текст соревнования"));
    EXPECT_EQ(plan.protocol[10], Cp("Скорость 50"));
    EXPECT_EQ(plan.protocol[11], "OOOOO 50"); // Latin O marker for Cyrillic texts too
    p.cpm = false;
    EXPECT_EQ(PlanCompetition(p).protocol[2], Cp("Начальная скорость 50 PARIS"));
}

TEST(Competition, FinalBelowStart) {
    CompetitionParams p = Params(60, 50);
    CompetitionPlan plan = PlanCompetition(p);
    ASSERT_EQ(plan.protocol.size(), 9u);
    EXPECT_EQ(plan.protocol.back(), "Pause 60 sec"); // the training block keeps its pause line
    ASSERT_EQ(plan.segments.size(), 1u);
    EXPECT_EQ(plan.segments[0].header, "TRAIN 60 vvv=");

    p.trainText = false;
    plan = PlanCompetition(p);
    EXPECT_EQ(plan.protocol, (Lines{"Checklist QLOR-2000", "Begin 01.02.2024 10:11:12", "Initial speed 60 spm"}));
    EXPECT_TRUE(plan.segments.empty());
    EXPECT_EQ(plan.ProtocolText(), "Checklist QLOR-2000\r\nBegin 01.02.2024 10:11:12\r\nInitial speed 60 spm\r\n");
}

TEST(Competition, StartZeroSendsAtFiveWithOneGroup) {
    CompetitionParams p = Params(0, 10);
    CompetitionPlan plan = PlanCompetition(p);
    ASSERT_EQ(plan.segments.size(), 3u);
    EXPECT_EQ(plan.segments[0].header, "TRAIN 5 vvv=");
    EXPECT_EQ(plan.segments[0].speedCpm, 5);
    EXPECT_EQ(plan.segments[1].header, "OOOOO 0 vvv=");
    EXPECT_EQ(plan.segments[1].speedCpm, 5);
    EXPECT_EQ(Groups(plan.segments[0].body), 1);
    EXPECT_EQ(Groups(plan.segments[1].body), 1);
    EXPECT_EQ(plan.segments[2].speedCpm, 10);
    EXPECT_EQ(Groups(plan.segments[2].body), 2);
    EXPECT_EQ(plan.protocol[4], "TRAIN 5");
    EXPECT_EQ(plan.protocol[10], "Speed 0");
}

TEST(Competition, ParisHeadersNominalSpeedEntriesConverted) {
    CompetitionParams p = Params(100, 120, 2);
    p.cpm = false;
    CompetitionPlan plan = PlanCompetition(p);
    EXPECT_EQ(plan.protocol[2], "Initial speed 100 PARIS");
    // Figures: 100 -> 56 -> 55, 110 -> 61.6 -> 60, 120 -> 67.2 -> 65.
    EXPECT_EQ(plan.protocol[4], "TRAIN 55");
    ASSERT_EQ(plan.segments.size(), 4u);
    EXPECT_EQ(plan.segments[0].header, "TRAIN 55 vvv=");
    const int nominal[] = {100, 110, 120};
    const int sending[] = {55, 60, 65};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(plan.segments[i + 1].header, "00000 " + std::to_string(nominal[i]) + " vvv=");
        EXPECT_EQ(plan.segments[i + 1].speedCpm, sending[i]);
        EXPECT_EQ(Groups(plan.segments[i + 1].body), sending[i] / 5);
    }
    EXPECT_EQ(plan.protocol[10], "Speed 100");
    EXPECT_EQ(plan.protocol[11], "00000 100");
}

TEST(Competition, MarkersByTextType) {
    for (int type = 0; type <= 5; ++type) {
        CompetitionParams p = Params(20, 20, type);
        p.trainText = false;
        CompetitionPlan plan = PlanCompetition(p);
        ASSERT_EQ(plan.segments.size(), 1u);
        EXPECT_EQ(plan.segments[0].header, std::string(type <= 1 ? "OOOOO" : "00000") + " 20 vvv=") << type;
    }
}

// Seeds are the panel's digits with d4 + i for text i and d4 - 1 for the training text; the
// bodies are checked against known generator output, not against the generator itself.
TEST(Competition, SeedsFromThePanelDigits) {
    CompetitionParams p = Params(10, 10, 2);
    p.settings.number = {1, 2, 3, 3};
    p.settings.charInGroup = 10;
    p.trainText = false;
    EXPECT_EQ(PlanCompetition(p).segments.at(0).body, "6048857875 6798473473 "); // seed 1234

    CompetitionParams t = Params(20, 10, 0);
    t.settings.number = {0, 0, 0, 1};
    CompetitionPlan plan = PlanCompetition(t);
    ASSERT_EQ(plan.segments.size(), 1u);
    EXPECT_EQ(plan.segments[0].body.substr(0, 24), "ERVHJ YXDKQ FJCVG UXLAG "); // seed 0000
}

TEST(Competition, NoThreeInARowFollowsTheSymbolMemoLength) {
    CompetitionParams p = Params(0, 0, 2);
    p.settings.number = {0, 0, 1, 8};
    p.settings.charInGroup = 10;
    p.trainText = false;
    p.symbolMemoLength = 2;
    EXPECT_EQ(PlanCompetition(p).segments.at(0).body, "1696904337 ");
    p.symbolMemoLength = 0;
    EXPECT_EQ(PlanCompetition(p).segments.at(0).body, "1696904333 ");
}

TEST(Competition, MidiFileHasOneSegmentPerTextWithMinutePauses) {
    CompetitionParams p = Params(50, 70);
    CompetitionPlan plan = PlanCompetition(p);
    MorseTable table;
    MidiVoice voice;
    voice.channel = 3;
    MidiResult midi = BuildMorseMidi(table, plan.segments, kCompetitionPauseSeconds, voice);
    ASSERT_TRUE(midi) << midi.message;

    test::SmfTrack track = test::ReadSmfSegments(midi.bytes);
    ASSERT_TRUE(track.error.empty()) << track.error;
    EXPECT_EQ(track.format, 0);
    EXPECT_EQ(track.division, 255);
    EXPECT_EQ(track.program, 70);
    ASSERT_EQ(track.segments.size(), plan.segments.size());
    for (size_t i = 0; i < plan.segments.size(); ++i) {
        const SegmentText& seg = plan.segments[i];
        const test::SmfSegment& got = track.segments[i];
        // Tempo: the body's N characters last 60 N / S seconds when timed with the weights.
        Elements body = TextToElements(table, Trim1251(seg.body));
        const double u = static_cast<double>(ElementWeightTotal(body.elements));
        const double tempo = body.count / static_cast<double>(seg.speedCpm) * 60.0 / u * 255.0 * 1e6;
        EXPECT_NEAR(static_cast<double>(got.tempoUsPerQuarter), tempo, 1.0) << "segment " << i;
        // Closing marker 60 seconds after the last note, to within one tick.
        const double pauseUs = static_cast<double>(got.closingDelta) * got.tempoUsPerQuarter / 255.0;
        EXPECT_NEAR(pauseUs, 60e6, got.tempoUsPerQuarter / 255.0) << "segment " << i;
        // One note per dot or dash of header, body and ending.
        Elements full = TextToElements(table, FullSegmentText(seg.header, seg.body, seg.ending));
        const auto keyed =
            std::count_if(full.elements.begin(), full.elements.end(), [](char e) { return e == 'D' || e == 'T'; });
        EXPECT_EQ(got.notes, keyed) << "segment " << i;
        EXPECT_EQ(got.channel, 3);
        EXPECT_TRUE(got.closed);
        EXPECT_TRUE(got.hasCopyright);
    }
}

} // namespace
} // namespace qlor
