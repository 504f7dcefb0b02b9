// The history's version 2: a version-1 history (made by the version-1 program, tests/data) is
// upgraded in one transaction without losing a check, its checks scored again over the body, to
// the same schema as a new history; the Koch course and the recognition sessions are kept; a
// newer history is left alone.
#include "exercises/check_history.h"
#include "exercises/koch_course.h"
#include "tests/support/sqlite_query.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <unistd.h>

namespace qlor {
namespace {

namespace fs = std::filesystem;

long long Query(const fs::path& path, const char* sql) {
    return test::QueryInteger(path, sql);
}

// Every table and index of a database as it was made: "name: sql" lines in name order.
std::string Schema(const fs::path& path) {
    sqlite3* db = nullptr;
    std::string schema;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT name, sql FROM sqlite_master WHERE sql IS NOT NULL ORDER BY name", -1, &s,
                               nullptr) == SQLITE_OK) {
            while (sqlite3_step(s) == SQLITE_ROW) {
                schema += reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
                schema += ": ";
                schema += reinterpret_cast<const char*>(sqlite3_column_text(s, 1));
                schema += '\n';
            }
        }
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    return schema;
}

void Exec(const fs::path& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

class CourseHistoryTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "qlor-course-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        path = dir / "QLOR" / "history.sqlite";
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    // The version-1 history: two checks recorded by the version-1 qlor-cli.
    void PutVersionOne() {
        fs::create_directories(path.parent_path());
        fs::copy_file(fs::path(QLOR_TEST_DATA_DIR) / "history-v1.sqlite", path);
        ASSERT_EQ(Query(path, "PRAGMA user_version"), 1);
    }
    fs::path dir;
    fs::path path;
};

TEST_F(CourseHistoryTest, AVersionOneHistoryIsUpgradedWithEveryCheckAndACopyKept) {
    PutVersionOne();
    CheckHistory history(path.string());
    std::vector<CheckRecord> checks;
    ASSERT_TRUE(history.Load(checks, true).ok());
    EXPECT_EQ(Query(path, "PRAGMA user_version"), 2);
    ASSERT_EQ(checks.size(), 2u);
    EXPECT_EQ(checks[0].textNumber, 417);
    EXPECT_EQ(checks[0].textType, 1);
    EXPECT_EQ(checks[0].speedDigits, "060");
    EXPECT_EQ(checks[0].noiseType, 3);
    EXPECT_EQ(checks[0].voice, "tone");
    EXPECT_EQ(checks[0].sent, "vvv=\r\nABCDE FGHIJ\r\n*");
    EXPECT_EQ(checks[0].copy, "vvv=\r\nabde fgxij\r\n*");
    // Scored again over the body "ABCDE FGHIJ" (version 1 counted "vvv=" and "*" too, 18 and 16).
    EXPECT_EQ(checks[0].aligned, (AlignmentCounts{11, 9, 1, 1, 0})); // C left out, H heard X
    EXPECT_EQ(checks[1].sent, "\xC6\xD9\xCA\xCC\r\n");               // ЖЩКМ
    EXPECT_FALSE(checks[1].tally.empty());
    // The same tables and indexes as a history made by this version.
    const fs::path fresh = dir / "fresh.sqlite";
    std::vector<CheckRecord> none;
    ASSERT_TRUE(CheckHistory(fresh.string()).Load(none, false).ok());
    EXPECT_FALSE(Schema(path).empty());
    EXPECT_EQ(Schema(path), Schema(fresh));
    // The copy taken before the upgrade is the version-1 file.
    EXPECT_EQ(Query(path.string() + ".v1", "PRAGMA user_version"), 1);
    EXPECT_EQ(Query(path.string() + ".v1", "SELECT count(*) FROM checks"), 2);

    // The new tables work at once.
    CourseState state;
    ASSERT_TRUE(history.LoadCourse(state).ok());
    EXPECT_EQ(state, CourseState{});
    const LessonText text = NextLessonText(state);
    state = IssueLessonText(state, text);
    ASSERT_TRUE(history.SaveCourse(state).ok());
    CourseState read;
    ASSERT_TRUE(CheckHistory(path.string()).LoadCourse(read).ok());
    EXPECT_EQ(read, state);
}

TEST_F(CourseHistoryTest, AnUpgradeThatFailsLeavesTheVersionOneHistoryAsItWas) {
    PutVersionOne();
    // A table in the way of the upgrade's second statement: the first has already run.
    Exec(path, "CREATE TABLE course_checks (x)");
    CheckHistory history(path.string());
    std::vector<CheckRecord> checks;
    EXPECT_FALSE(history.Load(checks, false).ok());
    EXPECT_EQ(Query(path, "PRAGMA user_version"), 1);
    EXPECT_EQ(Query(path, "SELECT count(*) FROM checks"), 2);
    EXPECT_EQ(Query(path, "SELECT count(*) FROM sqlite_master WHERE name = 'course'"), 0);
}

TEST_F(CourseHistoryTest, ACourseCheckIsRecordedAsEveryCheckWithItsLessonAndTheNewState) {
    CheckHistory history(path.string());
    CourseState state;
    state = IssueLessonText(state, NextLessonText(state));
    const CheckRecord first = CourseCheckRecord(state, 1700000000, state.pendingText);
    CourseState after = AfterCheck(state, EvaluateLesson(state.settings, 1, std::vector<CheckRecord>{first}));
    ASSERT_EQ(after.lesson, 2);
    ASSERT_TRUE(history.RecordCourseCheck(first, 1, after).ok());
    ASSERT_TRUE(
        history.Record(MakeCheckRecord(1700000100, "ABC", "ABD", 1, false, 5)).ok()); // a check outside the course

    after = IssueLessonText(after, NextLessonText(after));
    const CheckRecord second = CourseCheckRecord(after, 1700000200, "KMU");
    ASSERT_TRUE(history.RecordCourseCheck(second, 2, AfterCheck(after, LessonProgress{})).ok());

    CheckHistory reader(path.string());
    std::vector<CheckRecord> all;
    ASSERT_TRUE(reader.Load(all, true).ok());
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].sent, first.sent);
    EXPECT_EQ(all[0].textNumber, first.textNumber);
    std::vector<CheckRecord> lesson;
    ASSERT_TRUE(reader.LoadLessonChecks(1, lesson).ok());
    ASSERT_EQ(lesson.size(), 1u);
    EXPECT_EQ(lesson[0].tally, first.tally);
    ASSERT_TRUE(reader.LoadLessonChecks(2, lesson).ok());
    ASSERT_EQ(lesson.size(), 1u);
    EXPECT_EQ(lesson[0].timeUtc, 1700000200);
    CourseState read;
    ASSERT_TRUE(reader.LoadCourse(read).ok());
    EXPECT_EQ(read.lesson, 2);
    EXPECT_FALSE(read.HasPending());
    EXPECT_EQ(read.textsIssued, 2);
}

TEST_F(CourseHistoryTest, RecognitionSessionsKeepEveryAnswer) {
    RecognitionSession session;
    session.timeUtc = 1700000000;
    session.characters = "KM\xC6"; // Ж
    session.charSpeedCpm = 120;
    session.seed = 0xFEDCBA9876543210ull;
    session.answers = {{'K', 'K', 310}, {'M', 'K', 950}, {0xC6, 0, -1}};
    {
        CheckHistory history(path.string());
        ASSERT_TRUE(history.RecordRecognition(session).ok());
        ASSERT_TRUE(history.RecordRecognition(session).ok());
    }
    CheckHistory history(path.string());
    std::vector<RecognitionSession> read;
    ASSERT_TRUE(history.LoadRecognitionSessions(read).ok());
    ASSERT_EQ(read.size(), 2u);
    EXPECT_GT(read[1].id, read[0].id);
    EXPECT_EQ(read[1].characters, session.characters);
    EXPECT_EQ(read[1].seed, session.seed);
    EXPECT_EQ(read[1].charSpeedCpm, 120);
    EXPECT_EQ(read[1].answers, session.answers);
}

TEST_F(CourseHistoryTest, ANewerHistoryIsNeitherReadForTheCourseNorWritten) {
    CheckHistory(path.string()).SaveCourse(IssueLessonText(CourseState{}, NextLessonText(CourseState{})));
    Exec(path, "PRAGMA user_version = 3");
    CheckHistory history(path.string());
    CourseState state;
    EXPECT_EQ(history.LoadCourse(state).problem, HistoryProblem::Newer);
    EXPECT_EQ(state, CourseState{});
    const CheckRecord record = MakeCheckRecord(1, "KM", "KM", 0, true, kCourseGroupSize);
    EXPECT_EQ(history.RecordCourseCheck(record, 1, state).problem, HistoryProblem::Newer);
    EXPECT_EQ(Query(path, "SELECT count(*) FROM checks"), 0);
    EXPECT_EQ(Query(path, "SELECT texts_issued FROM course"), 1);
}

} // namespace
} // namespace qlor
