// The parts of the history of checks that keep the Koch course and the instant recognition
// sessions (schema version 2).
#include "base/codepage.h"
#include "exercises/char_recognition.h"
#include "exercises/check_history.h"
#include "exercises/history_sql.h"
#include "exercises/koch_course.h"

#include <algorithm>

namespace qlor {
namespace {

using namespace history_sql;

constexpr const char* kCourseColumns =
    "lesson, texts_issued, char_speed_cpm, pause_delay, recent_checks, pass_percent, min_newest_sent, "
    "pending_lesson, pending_text_number, pending_text, pending_char_speed_cpm, pending_pause_delay";

int WriteCourseOption(sqlite3* db, std::string_view name, std::string_view value) {
    Statement s(db, "INSERT OR REPLACE INTO course_options (name, value) VALUES (?, ?)");
    if (s.Prepared() != SQLITE_OK) {
        return s.Prepared();
    }
    sqlite3_bind_text(s.get(), 1, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
    sqlite3_bind_text(s.get(), 2, value.data(), static_cast<int>(value.size()), SQLITE_STATIC);
    const int rc = sqlite3_step(s.get());
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

// The value of a course option; "" when it was never written (or the table is missing, in a file
// that could not be upgraded).
int ReadCourseOption(sqlite3* db, const char* name, std::string& value) {
    value.clear();
    if (!HasTable(db, "course_options")) {
        return SQLITE_OK;
    }
    Statement s(db, "SELECT value FROM course_options WHERE name = ?");
    if (s.Prepared() != SQLITE_OK) {
        return s.Prepared();
    }
    sqlite3_bind_text(s.get(), 1, name, -1, SQLITE_STATIC);
    const int rc = sqlite3_step(s.get());
    if (rc == SQLITE_ROW) {
        value = Text(s.get(), 0);
        return SQLITE_OK;
    }
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int WriteCourse(sqlite3* db, const CourseState& c) {
    const std::string sql =
        std::string("INSERT OR REPLACE INTO course (id, ") + kCourseColumns + ") VALUES (1,?,?,?,?,?,?,?,?,?,?,?,?)";
    Statement s(db, sql.c_str());
    if (s.Prepared() != SQLITE_OK) {
        return s.Prepared();
    }
    sqlite3_stmt* st = s.get();
    const std::string pending = Cp1251ToUtf8(c.pendingText);
    int i = 1;
    sqlite3_bind_int(st, i++, c.lesson);
    sqlite3_bind_int64(st, i++, c.textsIssued);
    for (const int v : {c.settings.charSpeedCpm, c.settings.pauseDelayDots, c.settings.recentChecks,
                        c.settings.passPercent, c.settings.minNewestSent, c.pendingLesson, c.pendingTextNumber}) {
        sqlite3_bind_int(st, i++, v);
    }
    sqlite3_bind_text(st, i++, pending.c_str(), static_cast<int>(pending.size()), SQLITE_STATIC);
    sqlite3_bind_int(st, i++, c.pendingCharSpeedCpm);
    sqlite3_bind_int(st, i++, c.pendingPauseDelay);
    const int rc = sqlite3_step(st);
    if (rc != SQLITE_DONE) {
        return rc;
    }
    return WriteCourseOption(db, "source", TextSourceName(c.settings.source));
}

int ReadCourse(sqlite3* db, CourseState& c) {
    c = CourseState{}; // no course yet: the first lesson with the default settings
    if (!HasTable(db, "course")) {
        return SQLITE_OK; // a version 1 history that could not be upgraded (read-only)
    }
    const std::string sql = std::string("SELECT ") + kCourseColumns + " FROM course WHERE id = 1";
    Statement s(db, sql.c_str());
    if (s.Prepared() != SQLITE_OK) {
        return s.Prepared();
    }
    sqlite3_stmt* st = s.get();
    const int rc = sqlite3_step(st);
    if (rc != SQLITE_ROW) {
        return rc == SQLITE_DONE ? SQLITE_OK : rc;
    }
    int i = 0;
    c.lesson = sqlite3_column_int(st, i++);
    c.textsIssued = sqlite3_column_int64(st, i++);
    for (int* v : {&c.settings.charSpeedCpm, &c.settings.pauseDelayDots, &c.settings.recentChecks,
                   &c.settings.passPercent, &c.settings.minNewestSent, &c.pendingLesson, &c.pendingTextNumber}) {
        *v = sqlite3_column_int(st, i++);
    }
    c.pendingText = Utf8ToCp1251(Text(st, i++));
    c.pendingCharSpeedCpm = sqlite3_column_int(st, i++);
    c.pendingPauseDelay = sqlite3_column_int(st, i++);
    std::string source;
    if (const int read = ReadCourseOption(db, "source", source); read != SQLITE_OK) {
        return read;
    }
    // An unknown name (of a newer program) reads as groups.
    c.settings.source = TextSourceByName(source).value_or(TextSource::Groups);
    c.settings = ClampCourseSettings(c.settings);
    c.lesson = std::clamp(c.lesson, kKochFirstLesson, kKochLastLesson);
    return SQLITE_OK;
}

int WriteSession(sqlite3* db, const RecognitionSession& session) {
    const std::string characters = Cp1251ToUtf8(session.characters);
    {
        Statement s(db, "INSERT INTO recognition_sessions (id, time_utc, characters, char_speed_cpm, seed) "
                        "VALUES (?,?,?,?,?)");
        if (s.Prepared() != SQLITE_OK) {
            return s.Prepared();
        }
        sqlite3_stmt* st = s.get();
        if (session.id > 0) {
            sqlite3_bind_int64(st, 1, session.id);
        } else {
            sqlite3_bind_null(st, 1);
        }
        sqlite3_bind_int64(st, 2, session.timeUtc);
        sqlite3_bind_text(st, 3, characters.c_str(), static_cast<int>(characters.size()), SQLITE_STATIC);
        sqlite3_bind_int(st, 4, session.charSpeedCpm);
        // The seed's 64 bits as SQLite's signed integer.
        sqlite3_bind_int64(st, 5, static_cast<sqlite3_int64>(session.seed));
        const int rc = sqlite3_step(st);
        if (rc != SQLITE_DONE) {
            return rc;
        }
    }
    const sqlite3_int64 id = sqlite3_last_insert_rowid(db);
    if (session.mode != RecognitionMode::Characters) {
        Statement s(db, "INSERT INTO recognition_modes (session_id, mode) VALUES (?, ?)");
        if (s.Prepared() != SQLITE_OK) {
            return s.Prepared();
        }
        const std::string_view mode = RecognitionModeName(session.mode);
        sqlite3_bind_int64(s.get(), 1, id);
        sqlite3_bind_text(s.get(), 2, mode.data(), static_cast<int>(mode.size()), SQLITE_STATIC);
        if (const int rc = sqlite3_step(s.get()); rc != SQLITE_DONE) {
            return rc;
        }
    }
    Statement s(db, "INSERT INTO recognition_answers (session_id, seq, shown, typed, reaction_ms) VALUES (?,?,?,?,?)");
    if (s.Prepared() != SQLITE_OK) {
        return s.Prepared();
    }
    sqlite3_stmt* st = s.get();
    int seq = 0;
    for (const RecognitionAnswer& a : session.answers) {
        const std::string shown = Cp1251ToUtf8(a.IsWord() ? a.word : std::string(1, static_cast<char>(a.shown)));
        const std::string typed = a.IsWord() ? Cp1251ToUtf8(a.typedWord)
                                  : a.typed  ? Cp1251ToUtf8(std::string(1, static_cast<char>(a.typed)))
                                             : std::string();
        sqlite3_reset(st);
        sqlite3_bind_int64(st, 1, id);
        sqlite3_bind_int(st, 2, seq++);
        sqlite3_bind_text(st, 3, shown.c_str(), static_cast<int>(shown.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 4, typed.c_str(), static_cast<int>(typed.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 5, a.reactionMs);
        const int rc = sqlite3_step(st);
        if (rc != SQLITE_DONE) {
            return rc;
        }
    }
    return SQLITE_OK;
}

unsigned char OneChar(const std::string& utf8) {
    const std::string c = Utf8ToCp1251(utf8);
    return c.empty() ? 0 : static_cast<unsigned char>(c[0]);
}

int ReadSessions(sqlite3* db, std::vector<RecognitionSession>& sessions) {
    {
        Statement s(db, "SELECT id, time_utc, characters, char_speed_cpm, seed FROM recognition_sessions "
                        "ORDER BY time_utc, id");
        if (s.Prepared() != SQLITE_OK) {
            return s.Prepared();
        }
        int rc;
        while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
            RecognitionSession& r = sessions.emplace_back();
            r.id = sqlite3_column_int64(s.get(), 0);
            r.timeUtc = sqlite3_column_int64(s.get(), 1);
            r.characters = Utf8ToCp1251(Text(s.get(), 2));
            r.charSpeedCpm = sqlite3_column_int(s.get(), 3);
            r.seed = static_cast<std::uint64_t>(sqlite3_column_int64(s.get(), 4));
        }
        if (rc != SQLITE_DONE) {
            return rc;
        }
    }
    if (HasTable(db, "recognition_modes")) {
        Statement s(db, "SELECT mode FROM recognition_modes WHERE session_id = ?");
        if (s.Prepared() != SQLITE_OK) {
            return s.Prepared();
        }
        for (RecognitionSession& r : sessions) {
            sqlite3_reset(s.get());
            sqlite3_bind_int64(s.get(), 1, r.id);
            const int rc = sqlite3_step(s.get());
            if (rc == SQLITE_ROW) {
                // An unknown mode (of a newer program) sent words of some kind.
                r.mode = RecognitionModeByName(Text(s.get(), 0)).value_or(RecognitionMode::Words);
            } else if (rc != SQLITE_DONE) {
                return rc;
            }
        }
    }
    Statement s(db, "SELECT shown, typed, reaction_ms FROM recognition_answers WHERE session_id = ? ORDER BY seq");
    if (s.Prepared() != SQLITE_OK) {
        return s.Prepared();
    }
    for (RecognitionSession& r : sessions) {
        sqlite3_reset(s.get());
        sqlite3_bind_int64(s.get(), 1, r.id);
        int rc;
        while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
            RecognitionAnswer& a = r.answers.emplace_back();
            if (r.mode == RecognitionMode::Characters) {
                a.shown = OneChar(Text(s.get(), 0));
                a.typed = OneChar(Text(s.get(), 1));
            } else {
                a.word = Utf8ToCp1251(Text(s.get(), 0));
                a.typedWord = Utf8ToCp1251(Text(s.get(), 1));
            }
            a.reactionMs = sqlite3_column_int(s.get(), 2);
        }
        if (rc != SQLITE_DONE) {
            return rc;
        }
    }
    return SQLITE_OK;
}

} // namespace

HistoryStatus CheckHistory::LoadCourse(CourseState& state) {
    state = CourseState{};
    const HistoryStatus status = Read([this, &state](sqlite3* db) {
        // What a newer version keeps of the course may mean something else: it is not read.
        return newer_ ? SQLITE_OK : ReadCourse(db, state);
    });
    return status;
}

HistoryStatus CheckHistory::SaveCourse(const CourseState& state) {
    return Write([&state](sqlite3* db) { return WriteCourse(db, state); });
}

HistoryStatus CheckHistory::LoadLessonChecks(int lesson, std::vector<CheckRecord>& checks) {
    checks.clear();
    return Read([this, lesson, &checks](sqlite3* db) {
        if (newer_ || !HasTable(db, "course_checks")) {
            return SQLITE_OK;
        }
        const int rc = ReadAll(checks, false, lesson);
        if (rc != SQLITE_OK) {
            checks.clear();
        }
        return rc;
    });
}

HistoryStatus CheckHistory::RecordCourseCheck(const CheckRecord& record, int lesson, const CourseState& after) {
    return Write([this, &record, lesson, &after](sqlite3* db) {
        int rc = WriteOne(record);
        if (rc != SQLITE_OK) {
            return rc;
        }
        Statement s(db, "INSERT INTO course_checks (check_id, lesson) VALUES (?, ?)");
        if (s.Prepared() != SQLITE_OK) {
            return s.Prepared();
        }
        sqlite3_bind_int64(s.get(), 1, sqlite3_last_insert_rowid(db));
        sqlite3_bind_int(s.get(), 2, lesson);
        rc = sqlite3_step(s.get());
        if (rc != SQLITE_DONE) {
            return rc;
        }
        return WriteCourse(db, after);
    });
}

HistoryStatus CheckHistory::RecordRecognition(const RecognitionSession& session) {
    return Write([&session](sqlite3* db) { return WriteSession(db, session); });
}

HistoryStatus CheckHistory::LoadRecognitionSessions(std::vector<RecognitionSession>& sessions) {
    sessions.clear();
    return Read([this, &sessions](sqlite3* db) {
        if (newer_ || !HasTable(db, "recognition_sessions")) {
            return SQLITE_OK;
        }
        const int rc = ReadSessions(db, sessions);
        if (rc != SQLITE_OK) {
            sessions.clear();
        }
        return rc;
    });
}

} // namespace qlor
