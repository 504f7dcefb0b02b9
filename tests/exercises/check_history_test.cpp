// The history of checks: what a record keeps, two writers at once, and a damaged, locked,
// read-only or newer database. Every history lives in a temporary folder.
#include "base/codepage.h"
#include "exercises/check_history.h"
#include "tests/support/sqlite_query.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>
#include <unistd.h>

namespace qlor {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

long long Query(const fs::path& path, const char* sql) {
    return test::QueryInteger(path, sql);
}

class CheckHistoryTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "qlor-history-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        path = dir / "QLOR" / "history.sqlite";
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir / "QLOR", fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir, ec);
    }
    static CheckRecord Sample(std::int64_t time) {
        CheckRecord r =
            MakeCheckRecord(time, Cp("vvv=\r\nЖЩABC DEFGH\r\n*"), Cp("VVV=\r\nжщAC DEFXH\r\n*"), 4, false, 5);
        r.textNumber = 417;
        r.textType = 5;
        r.speedDigits = "060";
        r.paris = true;
        r.speedCpm = 42;
        r.groups = 2;
        r.groupSize = 5;
        r.pauseDelayDots = 7;
        r.noiseType = 3;
        r.voice = "tone";
        return r;
    }
    std::size_t Count() {
        CheckHistory reader(path.string());
        std::vector<CheckRecord> all;
        EXPECT_TRUE(reader.Load(all, false).ok());
        return all.size();
    }
    fs::path dir;
    fs::path path;
};

TEST_F(CheckHistoryTest, ARecordKeepsEveryFieldWithTextsInUtf8AndAVersionedWalFile) {
    {
        CheckHistory history(path.string());
        EXPECT_TRUE(history.Record(Sample(1700000000)).ok());
        EXPECT_TRUE(history.Record(Sample(1600000000)).ok()); // an earlier time is loaded first
    }
    EXPECT_EQ(Query(path, "PRAGMA user_version"), kHistorySchemaVersion);
    EXPECT_EQ(Query(path, "SELECT count(*) FROM pragma_journal_mode WHERE journal_mode = 'wal'"), 1);
    EXPECT_EQ(Query(path, "SELECT count(*) FROM checks WHERE sent = 'vvv=' || char(13, 10) || 'ЖЩABC DEFGH' || "
                          "char(13, 10) || '*'"),
              2);

    CheckHistory history(path.string());
    std::vector<CheckRecord> all;
    ASSERT_TRUE(history.Load(all, true).ok());
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].timeUtc, 1600000000);
    const CheckRecord expected = Sample(1700000000);
    const CheckRecord& r = all[1];
    EXPECT_GT(r.id, 0);
    EXPECT_EQ(r.textNumber, 417);
    EXPECT_EQ(r.textType, 5);
    EXPECT_EQ(r.speedDigits, "060");
    EXPECT_TRUE(r.paris);
    EXPECT_EQ(r.speedCpm, 42);
    EXPECT_EQ(r.groups, 2);
    EXPECT_EQ(r.groupSize, 5);
    EXPECT_EQ(r.pauseDelayDots, 7);
    EXPECT_EQ(r.noiseType, 3);
    EXPECT_EQ(r.voice, "tone");
    EXPECT_EQ(r.sent, expected.sent);
    EXPECT_EQ(r.copy, expected.copy);
    EXPECT_EQ(r.positionalErrors, 4);
    EXPECT_EQ(r.aligned, (AlignmentCounts{11, 9, 1, 1, 0})); // the body: B left out, G heard X
    EXPECT_EQ(r.tally, expected.tally);

    std::vector<CheckRecord> lean;
    ASSERT_TRUE(history.Load(lean, false).ok());
    EXPECT_TRUE(lean[1].sent.empty());
    EXPECT_EQ(lean[1].tally, expected.tally);
}

TEST_F(CheckHistoryTest, TwoWritersAtOnceLoseNoRecord) {
    constexpr int kEach = 40;
    auto writer = [&](int offset) {
        CheckHistory history(path.string());
        for (int i = 0; i < kEach; ++i) {
            EXPECT_TRUE(history.Record(Sample(offset + i)).ok());
        }
    };
    std::thread a(writer, 0);
    std::thread b(writer, 1000);
    a.join();
    b.join();
    EXPECT_EQ(Count(), 2u * kEach);
}

TEST_F(CheckHistoryTest, ADamagedFileIsKeptAsideAndANewHistoryStarted) {
    fs::create_directories(path.parent_path());
    const std::string garbage(5000, 'x');
    WriteBytes(path, garbage);
    auto history = std::make_unique<CheckHistory>(path.string());
    const HistoryStatus status = history->Record(Sample(1));
    EXPECT_EQ(status.problem, HistoryProblem::Damaged);
    EXPECT_TRUE(status.firstTime);
    ASSERT_FALSE(status.keptAs.empty());
    EXPECT_EQ(ReadBytes(status.keptAs), garbage);
    EXPECT_TRUE(history->Record(Sample(2)).ok());
    EXPECT_EQ(Count(), 2u);

    // A history cut short (a full disk, a copy broken off) is damaged too, and does not replace
    // the first file kept aside.
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(history->Record(Sample(10 + i)).ok());
    }
    history = std::make_unique<CheckHistory>(path.string()); // the old one closed, the file whole
    const std::string whole = ReadBytes(path);
    ASSERT_GT(whole.size(), 8192u);
    WriteBytes(path, whole.substr(0, whole.size() / 2));
    std::vector<CheckRecord> none;
    const HistoryStatus again = history->Load(none, false);
    EXPECT_EQ(again.problem, HistoryProblem::Damaged);
    EXPECT_NE(again.keptAs, status.keptAs);
    EXPECT_EQ(ReadBytes(status.keptAs), garbage);
    EXPECT_EQ(ReadBytes(again.keptAs), whole.substr(0, whole.size() / 2));
    EXPECT_TRUE(history->Record(Sample(3)).ok());
    EXPECT_EQ(Count(), 1u);
}

TEST_F(CheckHistoryTest, ALockedHistoryKeepsTheRecordForTheNextWrite) {
    ASSERT_TRUE(CheckHistory(path.string()).Record(Sample(1)).ok());
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    CheckHistory history(path.string(), 50);
    HistoryStatus status = history.Record(Sample(2));
    EXPECT_EQ(status.problem, HistoryProblem::Locked);
    EXPECT_TRUE(status.firstTime);
    EXPECT_EQ(history.Record(Sample(3)).firstTime, false); // told once
    EXPECT_EQ(history.Pending(), 2u);
    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    EXPECT_TRUE(history.Flush().ok());
    EXPECT_EQ(history.Pending(), 0u);
    EXPECT_TRUE(history.Record(Sample(4)).ok());
    EXPECT_EQ(Count(), 4u);
}

TEST_F(CheckHistoryTest, AReadOnlyOrUnreachableHistoryIsToldOnceAndLeftAsItIs) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "file permissions do not bind the superuser";
    }
    ASSERT_TRUE(CheckHistory(path.string()).Record(Sample(1)).ok());
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
    fs::permissions(path.parent_path(), fs::perms::owner_read | fs::perms::owner_exec);
    const std::string before = ReadBytes(path);
    CheckHistory history(path.string());
    HistoryStatus status = history.Record(Sample(2));
    EXPECT_EQ(status.problem, HistoryProblem::ReadOnly);
    EXPECT_TRUE(status.firstTime);
    EXPECT_FALSE(history.Record(Sample(3)).firstTime);
    EXPECT_EQ(ReadBytes(path), before);
}

TEST_F(CheckHistoryTest, AFolderThatCannotBeMadeOrANewerSchemaIsLeftAlone) {
    WriteBytes(dir / "QLOR", "a file where the folder should be");
    CheckHistory blocked(path.string());
    EXPECT_EQ(blocked.Record(Sample(1)).problem, HistoryProblem::CannotOpen);
    fs::remove(dir / "QLOR");

    ASSERT_TRUE(CheckHistory(path.string()).Record(Sample(1)).ok());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "PRAGMA user_version = 99", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    CheckHistory history(path.string());
    const HistoryStatus status = history.Record(Sample(2));
    EXPECT_EQ(status.problem, HistoryProblem::Newer);
    EXPECT_TRUE(status.firstTime);
    EXPECT_EQ(Query(path, "SELECT count(*) FROM checks"), 1);
    EXPECT_EQ(Query(path, "PRAGMA user_version"), 99);
}

// A history of version 1 counted the header and the ending; opened now, its checks are scored
// again over the body, and the file as it was is kept beside it.
TEST_F(CheckHistoryTest, AVersion1HistoryIsScoredAgainOverTheBody) {
    ASSERT_TRUE(CheckHistory(path.string()).Record(Sample(1)).ok());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "UPDATE checks SET sent_chars = 18, matches = 16, pairs = x'565603';"
                           "DROP TABLE course_checks; DROP TABLE course; DROP TABLE recognition_answers;"
                           "DROP TABLE recognition_sessions; PRAGMA user_version = 1",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);

    CheckHistory history(path.string());
    std::vector<CheckRecord> all;
    ASSERT_TRUE(history.Load(all, false).ok());
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].aligned, Sample(1).aligned);
    EXPECT_EQ(all[0].tally, Sample(1).tally);
    EXPECT_EQ(Query(path, "PRAGMA user_version"), kHistorySchemaVersion);
    EXPECT_EQ(Query(path.string() + ".v1", "SELECT sent_chars FROM checks"), 18);
}

// The callsign runs' tables came to version 2 later: a history of version 1 and one of version 2
// made before them both gain them when opened, keep every check, and then keep every run with its
// calls (the copies in UTF-8 in the file).
TEST_F(CheckHistoryTest, AVersion1Or2HistoryGainsTheCallsignRunsAndKeepsEveryRecord) {
    const struct {
        const char* name;
        const char* makeOlder; // SQL that turns today's history into the older one
        int version;
    } kCases[] = {
        {"version 1",
         "DROP TABLE callsign_attempts; DROP TABLE callsign_runs; DROP TABLE course_checks; DROP TABLE course;"
         "DROP TABLE recognition_answers; DROP TABLE recognition_sessions; PRAGMA user_version = 1",
         1},
        {"version 2 before the runs", "DROP TABLE callsign_attempts; DROP TABLE callsign_runs", 2},
    };
    CallsignRun run({"K1ABC", "DL2XYZ/P", "UA3AA"}, 300);
    run.Answer("k1abc");
    run.Answer(Cp("ж"));
    run.Answer(" UA3 AA ");
    CallsignRunRecord record = MakeCallsignRunRecord(run, 417, 1000);
    record.id = 1;
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        std::error_code ec;
        fs::remove_all(path.parent_path(), ec);
        ASSERT_TRUE(CheckHistory(path.string()).Record(Sample(1)).ok());
        ASSERT_TRUE(CheckHistory(path.string()).RecordCourseCheck(Sample(2), 1, CourseState{}).ok());
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, c.makeOlder, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);

        CheckHistory history(path.string());
        ASSERT_TRUE(history.RecordCallsignRun(record).ok());
        std::vector<CallsignRunRecord> runs;
        ASSERT_TRUE(history.LoadCallsignRuns(runs).ok());
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(runs[0], record);
        EXPECT_EQ(Query(path, "SELECT count(*) FROM callsign_attempts WHERE typed = 'ж'"), 1);
        EXPECT_EQ(Count(), 2u);
        EXPECT_EQ(Query(path, "PRAGMA user_version"), kHistorySchemaVersion);
        EXPECT_EQ(Query(path, "SELECT count(*) FROM course_checks"), c.version == 1 ? 0 : 1);
        // Only a new version number makes a copy of the file as it was.
        EXPECT_EQ(fs::exists(path.string() + ".v1"), c.version == 1);
    }
}

TEST(CheckHistoryPath, FollowsXdgDataHome) {
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_DATA_HOME", "/tmp/qlor-xdg", 1);
    EXPECT_EQ(CheckHistory::DefaultPath(), "/tmp/qlor-xdg/QLOR/history.sqlite");
    setenv("XDG_DATA_HOME", "relative", 1); // not absolute: ignored, as the XDG rules say
    EXPECT_EQ(CheckHistory::DefaultPath(), std::string(std::getenv("HOME")) + "/.local/share/QLOR/history.sqlite");
    if (old) {
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
}

} // namespace
} // namespace qlor
