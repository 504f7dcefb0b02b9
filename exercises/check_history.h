#pragma once
// The history of reception checks: one SQLite database per user, "QLOR/history.sqlite" in the XDG
// data folder, written by the window and by qlor-cli, possibly at the same moment.
//
// The database keeps its schema version in `PRAGMA user_version`, runs in WAL mode and waits up
// to kBusyTimeoutMs for a writer of another process. A file that is not a readable database is
// never overwritten: it is renamed aside ("history.sqlite.damaged-<time>") and a new history is
// started. A schema upgrade copies the file aside first and runs in one transaction.
//
// Version 2 adds the Koch course (its state, and which checks belong to which lesson) and the
// sessions of instant character recognition. The callsign runs' tables were added to version 2
// later: they are made when missing, in the transaction that opens or upgrades the file, so a
// history of version 2 stays readable by every program that reads version 2.
#include "exercises/callsign_run.h"
#include "exercises/check_record.h"
#include "exercises/course_state.h"
#include "synthesis/transmission_settings.h"

#include <functional>
#include <string>
#include <vector>

struct sqlite3;

namespace qlor {

enum class HistoryProblem {
    None,
    Damaged,    // not a readable database: kept aside under `keptAs`, a new history started
    Locked,     // another program held the database longer than the busy timeout
    ReadOnly,   // the file or its folder cannot be written
    Newer,      // written by a newer version of the program: left as it is, nothing recorded
    CannotOpen, // the folder cannot be made or the file cannot be opened
};

struct HistoryStatus {
    HistoryProblem problem = HistoryProblem::None;
    bool firstTime = false; // the first time this history meets this kind of problem
    std::string detail;     // the database's own words, English
    std::string keptAs;     // Damaged: where the damaged file now is
    bool ok() const { return problem == HistoryProblem::None; }
};

// Waiting time for another writer [ms].
inline constexpr int kBusyTimeoutMs = 5000;
// The schema this version writes (PRAGMA user_version).
inline constexpr int kHistorySchemaVersion = 2;

class CheckHistory {
public:
    // Opens nothing yet: the file is opened (and made) at the first use. busyTimeoutMs: how long
    // a write waits for another writer [ms].
    explicit CheckHistory(std::string path, int busyTimeoutMs = kBusyTimeoutMs);
    ~CheckHistory();
    CheckHistory(const CheckHistory&) = delete;
    CheckHistory& operator=(const CheckHistory&) = delete;

    // $XDG_DATA_HOME/QLOR/history.sqlite, or ~/.local/share/QLOR/history.sqlite.
    static std::string DefaultPath();

    const std::string& Path() const { return path_; }

    // Adds one check (id and time as given; an id of 0 is given by the database). A record that
    // cannot be written now (locked, read-only) is kept and written before the next one.
    // The aligned figures and pairs are taken as they are in `record`.
    HistoryStatus Record(CheckRecord record);
    // Records waiting to be written.
    std::size_t Pending() const { return pending_.size(); }
    // Tries once more to write the waiting records (at the end of the program).
    HistoryStatus Flush();

    // Every check in time order (oldest first); the sent text and copy only when withTexts.
    HistoryStatus Load(std::vector<CheckRecord>& checks, bool withTexts);

    // The Koch course kept in the history; a history without one gives the first lesson with the
    // default settings. A newer history gives the default state and the Newer problem.
    HistoryStatus LoadCourse(CourseState& state);
    // Keeps `state` as the course, replacing the one kept.
    HistoryStatus SaveCourse(const CourseState& state);
    // The checks of one lesson of the course, oldest first, without their texts.
    HistoryStatus LoadLessonChecks(int lesson, std::vector<CheckRecord>& checks);
    // In one transaction: the records waiting to be written, then `record` added as every check
    // is, marked as a check of `lesson`, and the course replaced by `after`. When anything fails,
    // nothing of it is written (the record is not kept for later: the caller tells the learner).
    HistoryStatus RecordCourseCheck(const CheckRecord& record, int lesson, const CourseState& after);

    // Sessions of instant character recognition, with every answer.
    HistoryStatus RecordRecognition(const RecognitionSession& session);
    // Every session, oldest first.
    HistoryStatus LoadRecognitionSessions(std::vector<RecognitionSession>& sessions);

    // Finished callsign runs, with every call (the id and time as given; an id of 0 is given by
    // the database).
    HistoryStatus RecordCallsignRun(const CallsignRunRecord& run);
    // Every run, oldest first.
    HistoryStatus LoadCallsignRuns(std::vector<CallsignRunRecord>& runs);

private:
    // Opens the database if it is not open; on a damaged file keeps it aside and starts anew.
    HistoryStatus Open();
    HistoryStatus OpenOnce();
    void Close();
    HistoryStatus Problem(HistoryProblem problem, std::string detail);
    // Renames the damaged file (and its WAL files) aside and opens a new one.
    HistoryStatus KeepAsideAndRestart(const std::string& detail);
    int WriteOne(const CheckRecord& record);
    HistoryStatus WritePending();
    // Opens the history and runs `work` (may be empty) in one write transaction after the waiting
    // records; a damaged file is kept aside and the work tried once more on the new history.
    HistoryStatus Write(const std::function<int(sqlite3*)>& work);
    // Opens the history and runs `work` to read it; a damaged file is kept aside.
    HistoryStatus Read(const std::function<int(sqlite3*)>& work);
    // Every check (lesson 0), or the checks of one lesson of the course.
    int ReadAll(std::vector<CheckRecord>& checks, bool withTexts, int lesson = 0);

    std::string path_;
    int busyTimeoutMs_;
    sqlite3* db_ = nullptr;
    bool readOnly_ = false;
    bool newer_ = false;
    std::vector<CheckRecord> pending_;
    unsigned reported_ = 0; // one bit per HistoryProblem already returned
};

// A check made now from the sent text and the copy (cp1251): time, texts, the positional error
// count given, whether the operator's own text was sent and the group size [characters], and the
// body's aligned figures and pairs (see FindBody). The other settings fields are left for the caller.
CheckRecord MakeCheckRecord(std::int64_t timeUtc, std::string sent, std::string copy, int positionalErrors,
                            bool ownText, int groupSize);
// The settings fields of a check, as the text was sent: text number and type, the speed digits
// (PARIS or characters per minute) and the speed they convert to, groups, group size, pause,
// noise type and the stored voice name.
void SetSendingSettings(CheckRecord& record, const TransmissionSettings& s, bool paris, std::string voice);

} // namespace qlor
