// The part of the history of checks that keeps the callsign runs, each with its calls.
#include "base/codepage.h"
#include "exercises/check_history.h"
#include "exercises/history_sql.h"

namespace qlor {
namespace {

using namespace history_sql;

int WriteRun(sqlite3* db, const CallsignRunRecord& run) {
    {
        Statement s(db, "INSERT INTO callsign_runs (id, time_utc, text_number, start_speed_cpm, score, right_calls, "
                        "top_speed_cpm) VALUES (?,?,?,?,?,?,?)");
        if (s.Prepared() != SQLITE_OK) {
            return s.Prepared();
        }
        sqlite3_stmt* st = s.get();
        if (run.id > 0) {
            sqlite3_bind_int64(st, 1, run.id);
        } else {
            sqlite3_bind_null(st, 1);
        }
        sqlite3_bind_int64(st, 2, run.timeUtc);
        int i = 3;
        for (const int v : {run.number, run.startSpeedCpm, run.score, run.rightCalls, run.topSpeedCpm}) {
            sqlite3_bind_int(st, i++, v);
        }
        const int rc = sqlite3_step(st);
        if (rc != SQLITE_DONE) {
            return rc;
        }
    }
    const sqlite3_int64 id = sqlite3_last_insert_rowid(db);
    Statement s(db, "INSERT INTO callsign_attempts (run_id, seq, call, typed, speed_cpm, is_right, points) "
                    "VALUES (?,?,?,?,?,?,?)");
    if (s.Prepared() != SQLITE_OK) {
        return s.Prepared();
    }
    sqlite3_stmt* st = s.get();
    int seq = 0;
    for (const CallAttempt& a : run.attempts) {
        // The calls and the copies are Windows-1251 in the program and UTF-8 in the file.
        const std::string call = Cp1251ToUtf8(a.call);
        const std::string typed = Cp1251ToUtf8(a.typed);
        sqlite3_reset(st);
        sqlite3_bind_int64(st, 1, id);
        sqlite3_bind_int(st, 2, seq++);
        sqlite3_bind_text(st, 3, call.c_str(), static_cast<int>(call.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 4, typed.c_str(), static_cast<int>(typed.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 5, a.speedCpm);
        sqlite3_bind_int(st, 6, a.right ? 1 : 0);
        sqlite3_bind_int(st, 7, a.points);
        const int rc = sqlite3_step(st);
        if (rc != SQLITE_DONE) {
            return rc;
        }
    }
    return SQLITE_OK;
}

int ReadRuns(sqlite3* db, std::vector<CallsignRunRecord>& runs) {
    {
        Statement s(db, "SELECT id, time_utc, text_number, start_speed_cpm, score, right_calls, top_speed_cpm "
                        "FROM callsign_runs ORDER BY time_utc, id");
        if (s.Prepared() != SQLITE_OK) {
            return s.Prepared();
        }
        int rc;
        while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
            CallsignRunRecord& r = runs.emplace_back();
            r.id = sqlite3_column_int64(s.get(), 0);
            r.timeUtc = sqlite3_column_int64(s.get(), 1);
            int i = 2;
            for (int* v : {&r.number, &r.startSpeedCpm, &r.score, &r.rightCalls, &r.topSpeedCpm}) {
                *v = sqlite3_column_int(s.get(), i++);
            }
        }
        if (rc != SQLITE_DONE) {
            return rc;
        }
    }
    Statement s(db, "SELECT call, typed, speed_cpm, is_right, points FROM callsign_attempts WHERE run_id = ? "
                    "ORDER BY seq");
    if (s.Prepared() != SQLITE_OK) {
        return s.Prepared();
    }
    for (CallsignRunRecord& r : runs) {
        sqlite3_reset(s.get());
        sqlite3_bind_int64(s.get(), 1, r.id);
        int rc;
        while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
            CallAttempt& a = r.attempts.emplace_back();
            a.call = Utf8ToCp1251(Text(s.get(), 0));
            a.typed = Utf8ToCp1251(Text(s.get(), 1));
            a.speedCpm = sqlite3_column_int(s.get(), 2);
            a.right = sqlite3_column_int(s.get(), 3) != 0;
            a.points = sqlite3_column_int(s.get(), 4);
        }
        if (rc != SQLITE_DONE) {
            return rc;
        }
    }
    return SQLITE_OK;
}

} // namespace

HistoryStatus CheckHistory::RecordCallsignRun(const CallsignRunRecord& run) {
    return Write([&run](sqlite3* db) { return WriteRun(db, run); });
}

HistoryStatus CheckHistory::LoadCallsignRuns(std::vector<CallsignRunRecord>& runs) {
    runs.clear();
    return Read([this, &runs](sqlite3* db) {
        // A read-only history of version 2 may not have the runs' tables yet.
        if (newer_ || !HasTable(db, "callsign_runs") || !HasTable(db, "callsign_attempts")) {
            return SQLITE_OK;
        }
        const int rc = ReadRuns(db, runs);
        if (rc != SQLITE_OK) {
            runs.clear();
        }
        return rc;
    });
}

} // namespace qlor
