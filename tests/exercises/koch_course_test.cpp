// The Koch course: the rule that moves it on, fresh lesson texts of about a minute at the
// learner's speed (also with the wider gaps of the Farnsworth method), and what a copy is taken for.
#include "exercises/check_history.h"
#include "exercises/koch_course.h"
#include "synthesis/morse_table.h"
#include "synthesis/timing.h"
#include "textgen/text_sources.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace qlor {
namespace {

// A lesson-1 check: `k` K's and `m` M's sent in groups of five, of which the first `missedK`
// K's and `missedM` M's were heard as E, and `extra` E's typed at the end.
CheckRecord LessonOneCheck(int k, int m, int missedK, int missedM, int extra = 0) {
    std::string sent;
    std::string copy;
    int count = 0;
    auto put = [&](char c, bool missed) {
        if (count > 0 && count % 5 == 0) {
            sent += ' ';
            copy += ' ';
        }
        sent += c;
        copy += missed ? 'E' : c;
        ++count;
    };
    for (int i = 0; i < k; ++i) {
        put('K', i < missedK);
    }
    for (int i = 0; i < m; ++i) {
        put('M', i < missedM);
    }
    copy += ' ' + std::string(static_cast<std::size_t>(extra), 'E');
    return MakeCheckRecord(0, sent + " ", copy, 0, true, kCourseGroupSize);
}

TEST(KochCourse, MovesOnWhenTheRecentChecksAreAccurateAndTheNewestCharacterWasSentOften) {
    CourseSettings defaults; // last 3 checks, 90 %, newest sent 20 times
    CourseSettings lastFour = defaults;
    lastFour.recentChecks = 4;
    CourseSettings strict = defaults;
    strict.passPercent = 100;
    strict.minNewestSent = 30;
    const struct {
        const char* name;
        CourseSettings settings;
        std::vector<CheckRecord> checks;
        bool due;
    } kCases[] = {
        {"no check yet", defaults, {}, false},
        {"one perfect check", defaults, {LessonOneCheck(30, 20, 0, 0)}, true},
        {"newest sent 19 times", defaults, {LessonOneCheck(30, 19, 0, 0)}, false},
        {"newest sent 20 times over two checks",
         defaults,
         {LessonOneCheck(10, 10, 0, 0), LessonOneCheck(10, 10, 0, 0)},
         true},
        {"exactly 90 %", defaults, {LessonOneCheck(30, 20, 3, 2)}, true},
        {"just below 90 %", defaults, {LessonOneCheck(30, 20, 3, 3)}, false},
        {"extra characters count against it", defaults, {LessonOneCheck(30, 20, 0, 0, 6)}, false},
        {"a poor check older than the last three is forgotten",
         defaults,
         {LessonOneCheck(30, 20, 20, 10), LessonOneCheck(30, 20, 0, 0), LessonOneCheck(30, 20, 0, 0),
          LessonOneCheck(30, 20, 1, 1)},
         true},
        {"... but not over the last four",
         lastFour,
         {LessonOneCheck(30, 20, 20, 10), LessonOneCheck(30, 20, 0, 0), LessonOneCheck(30, 20, 0, 0),
          LessonOneCheck(30, 20, 1, 1)},
         false},
        {"a poor latest check holds it back",
         defaults,
         {LessonOneCheck(30, 20, 0, 0), LessonOneCheck(30, 20, 0, 0), LessonOneCheck(30, 20, 10, 6)},
         false},
        {"settable: 100 % and 30 times", strict, {LessonOneCheck(30, 20, 0, 0), LessonOneCheck(5, 10, 0, 0)}, true},
        {"settable: 100 % missed by one", strict, {LessonOneCheck(30, 20, 0, 0), LessonOneCheck(5, 10, 0, 1)}, false},
    };
    for (const auto& row : kCases) {
        SCOPED_TRACE(row.name);
        const LessonProgress p = EvaluateLesson(row.settings, 1, row.checks);
        EXPECT_EQ(p.due, row.due) << "accuracy " << p.accuracy << ", newest sent " << p.newestSent;
        EXPECT_EQ(p.characters, "KM");
        EXPECT_EQ(p.newest, 'M');
        ASSERT_EQ(p.perChar.size(), 2u);
        EXPECT_EQ(p.perChar[0].ch, 'K');
        const CourseState after = AfterCheck(CourseState{}, p);
        EXPECT_EQ(after.lesson, row.due ? 2 : 1);
    }
}

TEST(KochCourse, PerCharacterCountsAndTheLastLessonCompletesTheCourse) {
    const LessonProgress p = EvaluateLesson({}, 1, std::vector<CheckRecord>{LessonOneCheck(30, 20, 3, 2)});
    EXPECT_EQ(p.perChar[0].sent, 30);
    EXPECT_EQ(p.perChar[0].correct, 27);
    EXPECT_EQ(p.perChar[1].sent, 20);
    EXPECT_EQ(p.perChar[1].correct, 18);
    EXPECT_DOUBLE_EQ(p.accuracy, 45.0 / 50.0);

    CourseState last;
    last.lesson = kKochLastLesson;
    LessonProgress done;
    done.lesson = kKochLastLesson;
    done.due = true;
    EXPECT_EQ(AfterCheck(last, done).lesson, kKochLastLesson);
}

TEST(KochCourse, TextNumbersAdvanceThroughEveryNumberBeforeOneComesAgain) {
    std::set<int> seen;
    for (std::int64_t i = 0; i < 10000; ++i) {
        const int number = CourseTextNumber(i);
        ASSERT_GE(number, 0);
        ASSERT_LE(number, 9999);
        seen.insert(number);
    }
    EXPECT_EQ(seen.size(), 10000u);
    EXPECT_EQ(CourseTextNumber(10000), CourseTextNumber(0));

    // Each handed-out text is fresh: a new number and new groups, the state counting it.
    CourseState state;
    std::set<std::string> bodies;
    for (int i = 0; i < 5; ++i) {
        const LessonText text = NextLessonText(state);
        EXPECT_EQ(NextLessonText(state).body, text.body); // the state alone decides it
        state = IssueLessonText(state, text);
        EXPECT_EQ(state.textsIssued, i + 1);
        EXPECT_EQ(state.pendingText, text.body);
        EXPECT_EQ(state.pendingTextNumber, text.textNumber);
        bodies.insert(text.body);
    }
    EXPECT_EQ(bodies.size(), 5u);
}

// How long a lesson text sounds [s], from its MIDI timing.
double LessonSeconds(const LessonText& text) {
    const Elements e = TextToElements(MorseTable(), text.body);
    std::uint64_t ticks = 0;
    for (const char letter : e.elements) {
        ticks += static_cast<std::uint64_t>(ElementTicks(letter, text.pauseDelayDots));
    }
    const auto tempo = SegmentTempoUsPerQuarter(e.count, ElementWeightTotal(e.elements), text.charSpeedCpm);
    return tempo ? static_cast<double>(ticks) * static_cast<double>(*tempo) / kTicksPerQuarter / 1e6 : 0.0;
}

TEST(KochCourse, LessonTextsHoldOnlyTheLessonsCharactersInGroupsAndLastAboutAMinute) {
    const struct {
        int lesson;
        int cpm;
        int pauseDelayDots;
        int effectiveCpm;
    } kCases[] = {
        {1, 100, 3, 100},  {5, 100, 3, 100},    {12, 60, 3, 60},   {12, 100, 9, 58},
        {20, 150, 15, 61}, {40, 1000, 3, 1000}, {40, 300, 6, 221}, {3, 5, 3, 5},
    };
    for (const auto& row : kCases) {
        SCOPED_TRACE(testing::Message() << "lesson " << row.lesson << ", " << row.cpm << " cpm, pause "
                                        << row.pauseDelayDots);
        CourseState state;
        state.lesson = row.lesson;
        state.settings.charSpeedCpm = row.cpm;
        state.settings.pauseDelayDots = row.pauseDelayDots;
        const LessonText text = NextLessonText(state);
        EXPECT_EQ(text.characters, KochLessonSymbols(row.lesson));
        EXPECT_EQ(text.effectiveCpm, row.effectiveCpm);
        ASSERT_FALSE(text.body.empty());
        for (std::size_t i = 0; i < text.body.size(); ++i) {
            if (i % 6 == 5) {
                ASSERT_EQ(text.body[i], ' ') << text.body;
            } else {
                ASSERT_NE(text.characters.find(text.body[i]), std::string::npos) << text.body;
            }
        }
        EXPECT_EQ(text.body.size() % 6, 0u);
        // A speed of 5 cpm cannot make a group in a minute: one group is sent.
        if (row.cpm >= 30) {
            EXPECT_NEAR(LessonSeconds(text), kCourseLessonSeconds, 0.15 * kCourseLessonSeconds);
        }
        EXPECT_EQ(LessonVoice(MidiVoice{}, text).pauseDelayDots, row.pauseDelayDots);
        EXPECT_TRUE(BuildMorseMidi(MorseTable(), {LessonSegment(text)}, 0, LessonVoice(MidiVoice{}, text)));
    }
}

TEST(KochCourse, WordAndCallsignTextsUseOnlyTheLessonsCharactersOrFallBackToTheGroups) {
    const struct {
        int lesson;
        TextSource source;
        bool fallsBack; // too few items of the lesson's characters, or none with its newest one
    } kCases[] = {
        {1, TextSource::Words, true},                                    // K M: "K" alone
        {10, TextSource::Words, false},                                  // up to L
        {13, TextSource::Words, true},                                   // the newest character "." is in no word
        {30, TextSource::Words, false},                                  // up to 3
        {40, TextSource::Words, false},                                  // every character
        {12, TextSource::Callsigns, true},                               // no figure yet
        {23, TextSource::Callsigns, false},                              // up to 5
        {40, TextSource::Callsigns, false}, {40, TextSource::Qso, true}, // not a course source: groups
    };
    for (const auto& row : kCases) {
        SCOPED_TRACE(testing::Message() << "lesson " << row.lesson << ", " << TextSourceName(row.source));
        std::set<std::string> bodies;
        for (const std::int64_t issued : {0, 1}) {
            CourseState groups;
            groups.lesson = row.lesson;
            groups.textsIssued = issued;
            CourseState state = groups;
            state.settings.source = row.source;
            const LessonText text = NextLessonText(state);
            EXPECT_EQ(text.body, NextLessonText(state).body); // the text number decides the bytes
            bodies.insert(text.body);
            if (row.fallsBack) {
                EXPECT_EQ(text.FellBack(), row.source != TextSource::Qso); // qso is no choice: groups
                EXPECT_EQ(text.source, TextSource::Groups);
                EXPECT_EQ(text.body, NextLessonText(groups).body);
                continue;
            }
            EXPECT_EQ(text.source, row.source);
            ASSERT_FALSE(text.body.empty());
            EXPECT_EQ(text.body.back(), ' ');
            EXPECT_EQ(text.body.find("  "), std::string::npos) << text.body;
            for (const char c : text.body) {
                ASSERT_TRUE(c == ' ' || text.characters.find(c) != std::string::npos) << text.body;
            }
            EXPECT_NEAR(LessonSeconds(text), kCourseLessonSeconds, 0.15 * kCourseLessonSeconds);
            // The newest character is heard in at least every other item.
            int items = 0;
            int withNewest = 0;
            std::istringstream words(text.body);
            for (std::string item; words >> item; ++items) {
                withNewest += item.find(text.characters.back()) != std::string::npos ? 1 : 0;
            }
            EXPECT_GE(2 * withNewest, items - 1) << text.body;
            // Checked as any lesson text: a right copy passes as one.
            const CourseState issuedState = IssueLessonText(state, text);
            const CourseCheckOutcome outcome = CheckLessonCopy(issuedState, {}, text.body, 1);
            EXPECT_EQ(outcome.verdict, CopyVerdict::Checked);
            EXPECT_EQ(outcome.progress.accuracy, 1.0);
        }
        EXPECT_EQ(bodies.size(), 2u);
    }
}

TEST(KochCourse, ACopyIsTakenForEmptyOrAnotherTextOnlyWhenItIsOne) {
    const std::string sent = "KMKMM MKKMK MMKKM KMMKM ";
    const struct {
        const char* copy;
        CopyVerdict verdict;
    } kCases[] = {
        {"KMKMM MKKMK MMKKM KMMKM", CopyVerdict::Checked},
        {"kmkmm mkkmk", CopyVerdict::Checked},             // the first half only
        {"MKMKK KMMKM KKMMK MKKMK", CopyVerdict::Checked}, // all wrong but of the lesson: cannot be told apart
        {"KMXMM MKKMK", CopyVerdict::Checked},
        {"", CopyVerdict::Empty},
        {" \r\n \t", CopyVerdict::Empty},
        {"ABCDE FGHIJ LOPQR STVWX", CopyVerdict::NotThisText},
        {"VVV= ABCDE FGKMJ *", CopyVerdict::NotThisText},
    };
    for (const auto& row : kCases) {
        SCOPED_TRACE(row.copy);
        EXPECT_EQ(JudgeCopy("KM", AlignCopy(sent, row.copy)), row.verdict);
    }
}

TEST(KochCourse, TheAlignedRowsMarkEveryError) {
    const AlignedRows rows = ShowAlignment(AlignCopy("KMKMM MKKMK", "KMMM MXKMKE"));
    EXPECT_EQ(rows.sent, "KMKMM MKKMK-");
    EXPECT_EQ(rows.copy, "KM-MM MXKMKE");
    EXPECT_EQ(rows.marks, "  ^    ^   ^");
}

TEST(KochCourse, ACheckRecordTellsHowTheLessonTextWasSent) {
    CourseState state;
    state.settings.charSpeedCpm = 80;
    const LessonText text = NextLessonText(state);
    state = IssueLessonText(state, text);
    state.settings.charSpeedCpm = 120; // changed after the text was handed out
    const CheckRecord r = CourseCheckRecord(state, 1700000000, "KM");
    EXPECT_EQ(r.sent, text.body);
    EXPECT_EQ(r.copy, "KM");
    EXPECT_EQ(r.textNumber, text.textNumber);
    EXPECT_EQ(r.speedCpm, 80);
    EXPECT_EQ(r.speedDigits, "080");
    EXPECT_EQ(r.groups, LessonGroupCount(CourseSettings{80}));
    EXPECT_EQ(r.timeUtc, 1700000000);
    EXPECT_GT(r.positionalErrors, 0);
    EXPECT_EQ(r.aligned.matches, 2);

    // Every character of a lesson text counts: it has no header line and no ending to leave out.
    state.pendingText = "KMKMK MKMKM\r\nKKMMK MKM";
    const CheckRecord whole = CourseCheckRecord(state, 1700000000, "KMKMK MKMKM KKMMK MKM");
    EXPECT_EQ(whole.aligned.sentChars, 21); // 18 letters, 3 spaces
    EXPECT_EQ(whole.aligned.matches, 21);
    EXPECT_FALSE(whole.ownText);
}

} // namespace
} // namespace qlor

namespace qlor {
namespace {

TEST(KochCourse, TheCheckOfACopyRecordsOnlyACopyAndCountsItWithTheLessonsEarlierChecks) {
    CourseState state;
    state = IssueLessonText(state, NextLessonText(state));
    const std::vector<CheckRecord> none;
    const CourseCheckOutcome empty = CheckLessonCopy(state, none, " \r\n", 1);
    EXPECT_EQ(empty.verdict, CopyVerdict::Empty);
    EXPECT_EQ(empty.after, state); // the text still waits for its copy
    const CourseCheckOutcome other = CheckLessonCopy(state, none, "ABCDE FGHIJ", 1);
    EXPECT_EQ(other.verdict, CopyVerdict::NotThisText);
    EXPECT_EQ(other.typed, 10);

    // Half the text copied: the lesson goes on; with an earlier perfect check of it, too little.
    const std::string half = state.pendingText.substr(0, state.pendingText.size() / 2);
    const CourseCheckOutcome poor = CheckLessonCopy(state, none, half, 1700000000);
    ASSERT_EQ(poor.verdict, CopyVerdict::Checked);
    EXPECT_EQ(poor.record.copy, half);
    EXPECT_EQ(poor.lesson, 1);
    EXPECT_EQ(poor.progress.checks, 1);
    EXPECT_FALSE(poor.MovedOn(state));
    EXPECT_FALSE(poor.after.HasPending());
    const CourseCheckOutcome good = CheckLessonCopy(state, none, state.pendingText, 1700000000);
    EXPECT_TRUE(good.MovedOn(state));
    const std::vector<CheckRecord> earlier = {poor.record, poor.record};
    const CourseCheckOutcome good3 = CheckLessonCopy(state, earlier, state.pendingText, 1700000000);
    EXPECT_EQ(good3.progress.checks, 3);
    EXPECT_FALSE(good3.MovedOn(state));
}

} // namespace
} // namespace qlor
