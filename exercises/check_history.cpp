#include "exercises/check_history.h"

#include "base/codepage.h"
#include "exercises/check_body.h"
#include "exercises/check_statistics.h"
#include "exercises/history_sql.h"
#include "synthesis/timing.h"

#include <sqlite3.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace qlor {
namespace {

namespace fs = std::filesystem;
using namespace history_sql;

// Version 1. `pairs` holds the aligned character pairs of the check as triples: the sent byte and
// the heard byte (Windows-1251, 0 for none), then the count as an unsigned LEB128 number. The
// texts are UTF-8. time_utc is seconds since 1970-01-01 UTC.
constexpr const char* kSchemaV1 = R"sql(
CREATE TABLE checks (
    id INTEGER PRIMARY KEY,
    time_utc INTEGER NOT NULL,
    text_number INTEGER NOT NULL,
    text_type INTEGER NOT NULL,
    own_text INTEGER NOT NULL,
    speed_digits TEXT NOT NULL,
    speed_system TEXT NOT NULL,
    speed_cpm INTEGER NOT NULL,
    groups INTEGER NOT NULL,
    group_size INTEGER NOT NULL,
    pause_delay INTEGER NOT NULL,
    noise_type INTEGER NOT NULL,
    voice TEXT NOT NULL,
    sent TEXT NOT NULL,
    copy TEXT NOT NULL,
    positional_errors INTEGER NOT NULL,
    sent_chars INTEGER NOT NULL,
    matches INTEGER NOT NULL,
    substitutions INTEGER NOT NULL,
    omissions INTEGER NOT NULL,
    insertions INTEGER NOT NULL,
    pairs BLOB NOT NULL
);
CREATE INDEX checks_by_time ON checks (time_utc, id);
)sql";

// Version 2: the Koch course and instant character recognition. `course` holds one row, the
// learner's course (this history belongs to one user); `course_checks` marks which checks were
// copies of which lesson; the recognition sessions keep every answer with its reaction time [ms].
// Texts are UTF-8.
constexpr const char* kSchemaV2 = R"sql(
CREATE TABLE course (
    id INTEGER PRIMARY KEY CHECK (id = 1),
    lesson INTEGER NOT NULL,
    texts_issued INTEGER NOT NULL,
    char_speed_cpm INTEGER NOT NULL,
    pause_delay INTEGER NOT NULL,
    recent_checks INTEGER NOT NULL,
    pass_percent INTEGER NOT NULL,
    min_newest_sent INTEGER NOT NULL,
    pending_lesson INTEGER NOT NULL,
    pending_text_number INTEGER NOT NULL,
    pending_text TEXT NOT NULL,
    pending_char_speed_cpm INTEGER NOT NULL,
    pending_pause_delay INTEGER NOT NULL
);
CREATE TABLE course_checks (
    check_id INTEGER PRIMARY KEY REFERENCES checks (id),
    lesson INTEGER NOT NULL
);
CREATE INDEX course_checks_by_lesson ON course_checks (lesson, check_id);
CREATE TABLE recognition_sessions (
    id INTEGER PRIMARY KEY,
    time_utc INTEGER NOT NULL,
    characters TEXT NOT NULL,
    char_speed_cpm INTEGER NOT NULL,
    seed INTEGER NOT NULL
);
CREATE TABLE recognition_answers (
    session_id INTEGER NOT NULL REFERENCES recognition_sessions (id),
    seq INTEGER NOT NULL,
    shown TEXT NOT NULL,
    typed TEXT NOT NULL,
    reaction_ms INTEGER NOT NULL,
    PRIMARY KEY (session_id, seq)
);
)sql";

// Added to version 2 without a new version number: the callsign runs, each with its calls in
// sending order; the course's options beyond the `course` row, by name ("source": what the
// lesson texts are made of, groups when there is no row); the mode of each recognition session
// that sent words or callsigns (a session without a row sent characters; its answers' `shown` and
// `typed` hold whole words). Made when missing, so every program that reads version 2 still reads
// the file. Texts are UTF-8.
constexpr const char* kAddedTables = R"sql(
CREATE TABLE IF NOT EXISTS callsign_runs (
    id INTEGER PRIMARY KEY,
    time_utc INTEGER NOT NULL,
    text_number INTEGER NOT NULL,
    start_speed_cpm INTEGER NOT NULL,
    score INTEGER NOT NULL,
    right_calls INTEGER NOT NULL,
    top_speed_cpm INTEGER NOT NULL
);
CREATE TABLE IF NOT EXISTS callsign_attempts (
    run_id INTEGER NOT NULL REFERENCES callsign_runs (id),
    seq INTEGER NOT NULL,
    call TEXT NOT NULL,
    typed TEXT NOT NULL,
    speed_cpm INTEGER NOT NULL,
    is_right INTEGER NOT NULL,
    points INTEGER NOT NULL,
    PRIMARY KEY (run_id, seq)
);
CREATE TABLE IF NOT EXISTS course_options (
    name TEXT PRIMARY KEY,
    value TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS recognition_modes (
    session_id INTEGER PRIMARY KEY REFERENCES recognition_sessions (id),
    mode TEXT NOT NULL
);
)sql";
constexpr std::array<const char*, 4> kAddedTableNames = {"callsign_runs", "callsign_attempts", "course_options",
                                                         "recognition_modes"};

std::string EncodePairs(const CharTally& tally) {
    std::string bytes;
    bytes.reserve(tally.size() * 3);
    for (const PairCount& p : tally) {
        bytes += static_cast<char>(p.sent);
        bytes += static_cast<char>(p.heard);
        auto n = static_cast<unsigned>(p.count);
        do {
            const auto low = static_cast<unsigned char>(n & 0x7F);
            n >>= 7;
            bytes += static_cast<char>(n ? (low | 0x80) : low);
        } while (n);
    }
    return bytes;
}

CharTally DecodePairs(const unsigned char* bytes, int size) {
    CharTally tally;
    int i = 0;
    while (i + 3 <= size) {
        PairCount p;
        p.sent = bytes[i++];
        p.heard = bytes[i++];
        unsigned n = 0;
        int shift = 0;
        while (i < size && shift < 28) {
            const unsigned char b = bytes[i++];
            n |= static_cast<unsigned>(b & 0x7F) << shift;
            shift += 7;
            if (!(b & 0x80)) {
                break;
            }
        }
        p.count = static_cast<int>(n & 0x7FFFFFFF);
        tally.push_back(p);
    }
    return tally;
}

// Version 2 also scores the checks over the body of the radiogram alone (FindBody): the aligned
// figures and the pairs of every check recorded before are worked out again from its texts.
int RescoreBodies(sqlite3* db) {
    struct Row {
        sqlite3_int64 id;
        bool ownText;
        int groupSize;
        std::string sent;
        std::string copy;
    };
    std::vector<Row> rows;
    {
        Statement s(db, "SELECT id, own_text, group_size, sent, copy FROM checks");
        if (s.Prepared() != SQLITE_OK) {
            return s.Prepared();
        }
        int rc;
        while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
            rows.push_back({sqlite3_column_int64(s.get(), 0), sqlite3_column_int(s.get(), 1) != 0,
                            sqlite3_column_int(s.get(), 2), Utf8ToCp1251(Text(s.get(), 3)),
                            Utf8ToCp1251(Text(s.get(), 4))});
        }
        if (rc != SQLITE_DONE) {
            return rc;
        }
    }
    Statement u(db, "UPDATE checks SET sent_chars = ?, matches = ?, substitutions = ?, omissions = ?, "
                    "insertions = ?, pairs = ? WHERE id = ?");
    if (u.Prepared() != SQLITE_OK) {
        return u.Prepared();
    }
    for (Row& row : rows) {
        const CheckRecord r =
            MakeCheckRecord(0, std::move(row.sent), std::move(row.copy), 0, row.ownText, row.groupSize);
        const std::string pairs = EncodePairs(r.tally);
        sqlite3_stmt* st = u.get();
        int i = 1;
        for (const int v : {r.aligned.sentChars, r.aligned.matches, r.aligned.substitutions, r.aligned.omissions,
                            r.aligned.insertions}) {
            sqlite3_bind_int(st, i++, v);
        }
        sqlite3_bind_blob(st, i++, pairs.data(), static_cast<int>(pairs.size()), SQLITE_STATIC);
        sqlite3_bind_int64(st, i++, row.id);
        const int rc = sqlite3_step(st);
        sqlite3_reset(st);
        if (rc != SQLITE_DONE) {
            return rc;
        }
    }
    return SQLITE_OK;
}

// The steps from one version to the next: kUpgrades[v] turns version v into version v + 1, by its
// SQL, then by its function when it has one. Later versions add their step here; existing rows
// are kept by every step.
struct Upgrade {
    const char* sql;
    int (*step)(sqlite3* db);
};
constexpr Upgrade kUpgrades[kHistorySchemaVersion] = {{kSchemaV1, nullptr}, {kSchemaV2, RescoreBodies}};

// A name next to `path` that does not exist yet: path + suffix, then path + suffix + "-2" ...
std::string FreeName(const std::string& base) {
    std::error_code ec;
    std::string name = base;
    for (int n = 2; fs::exists(name + "-wal", ec) || fs::exists(name, ec); ++n) {
        name = base + "-" + std::to_string(n);
    }
    return name;
}

// Renames without replacing anything at the target (a hard link, then the old name removed).
bool RenameNoReplace(const std::string& from, const std::string& to) {
    if (::link(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    return ::unlink(from.c_str()) == 0;
}

// Whether the file (when it exists) and its folder can be written.
bool Writable(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    const std::string dir = folder.empty() ? std::string(".") : folder.string();
    if (::access(dir.c_str(), W_OK) != 0) {
        return false;
    }
    return ::access(path.c_str(), F_OK) != 0 || ::access(path.c_str(), W_OK) == 0;
}

std::string UtcStamp(std::int64_t timeUtc) {
    const std::time_t t = static_cast<std::time_t>(timeUtc);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y%m%dT%H%M%SZ", &tm);
    return buffer;
}

} // namespace

CheckRecord MakeCheckRecord(std::int64_t timeUtc, std::string sent, std::string copy, int positionalErrors,
                            bool ownText, int groupSize) {
    CheckRecord record;
    record.timeUtc = timeUtc;
    record.ownText = ownText;
    record.groupSize = groupSize;
    const Alignment alignment = AlignBody(sent, copy, ownText, groupSize);
    record.aligned = alignment.counts;
    record.tally = TallyAlignment(alignment);
    record.sent = std::move(sent);
    record.copy = std::move(copy);
    record.positionalErrors = positionalErrors;
    return record;
}

CheckHistory::CheckHistory(std::string path, int busyTimeoutMs)
    : path_(std::move(path)), busyTimeoutMs_(busyTimeoutMs) {}

CheckHistory::~CheckHistory() {
    Close();
}

std::string CheckHistory::DefaultPath() {
    // Each path built in one go: GCC 12 takes an assignment of a literal to a string built
    // otherwise for an overlapping copy at -O3 (-Wrestrict) and warns.
    constexpr std::string_view kFile = "/QLOR/history.sqlite";
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/')
        return std::string(xdg).append(kFile);
    if (const char* home = std::getenv("HOME"); home && home[0])
        return std::string(home).append("/.local/share").append(kFile);
    return std::string(".").append(kFile);
}

void CheckHistory::Close() {
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

HistoryStatus CheckHistory::Problem(HistoryProblem problem, std::string detail) {
    HistoryStatus status;
    status.problem = problem;
    status.detail = std::move(detail);
    const unsigned bit = 1u << static_cast<unsigned>(problem);
    // Every damaged file kept aside is news; the other problems are told once.
    status.firstTime = problem == HistoryProblem::Damaged || (reported_ & bit) == 0;
    reported_ |= bit;
    return status;
}

HistoryStatus CheckHistory::Open() {
    if (db_) {
        return {};
    }
    HistoryStatus status = OpenOnce();
    if (status.problem == HistoryProblem::Damaged && status.keptAs.empty()) {
        return KeepAsideAndRestart(status.detail);
    }
    return status;
}

HistoryStatus CheckHistory::OpenOnce() {
    readOnly_ = false;
    newer_ = false;
    std::error_code ec;
    const fs::path folder = fs::path(path_).parent_path();
    if (!folder.empty()) {
        fs::create_directories(folder, ec);
        if (ec && !fs::is_directory(folder)) {
            return Problem(HistoryProblem::CannotOpen, ec.message());
        }
    }
    int rc = sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const std::string detail = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        Close();
        // A file that exists but cannot be opened for writing is opened for reading only.
        rc = sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr);
        if (rc != SQLITE_OK) {
            Close();
            return Problem(IsReadOnly(rc) ? HistoryProblem::ReadOnly : HistoryProblem::CannotOpen, detail);
        }
    }
    sqlite3_busy_timeout(db_, busyTimeoutMs_);
    sqlite3_extended_result_codes(db_, 1);
    readOnly_ = sqlite3_db_readonly(db_, "main") == 1;

    long long version = 0;
    rc = QueryInt(db_, "PRAGMA user_version", version);
    if (rc == SQLITE_OK && version > kHistorySchemaVersion) {
        newer_ = true;
        return Problem(HistoryProblem::Newer, "schema version " + std::to_string(version));
    }
    if (rc == SQLITE_OK && !readOnly_) {
        long long ignored = 0;
        rc = QueryInt(db_, "PRAGMA journal_mode=WAL", ignored);
        // With WAL this keeps the file consistent on a crash; a commit does not wait for the disk.
        if (rc == SQLITE_OK) {
            rc = Exec(db_, "PRAGMA synchronous=NORMAL");
        }
    }
    bool tablesMissing = false;
    for (const char* table : kAddedTableNames) {
        tablesMissing = tablesMissing || (rc == SQLITE_OK && !HasTable(db_, table));
    }
    if (rc == SQLITE_OK && !readOnly_ && (version < kHistorySchemaVersion || tablesMissing)) {
        // Made or upgraded by one writer at a time; another process may have done it meanwhile.
        rc = Exec(db_, "BEGIN IMMEDIATE");
        if (rc == SQLITE_OK) {
            rc = QueryInt(db_, "PRAGMA user_version", version);
        }
        long long tables = 0;
        if (rc == SQLITE_OK) {
            rc = QueryInt(db_, "SELECT count(*) FROM sqlite_master", tables);
        }
        if (rc == SQLITE_OK && version == 0 && tables > 0) {
            // Tables but no version: some other program's database, not a history.
            Exec(db_, "ROLLBACK");
            return Problem(HistoryProblem::Damaged, "not a history of checks");
        }
        if (rc == SQLITE_OK && version > 0 && version < kHistorySchemaVersion) {
            // Upgrading a history that holds checks: a copy of it is kept first.
            const std::string copy = FreeName(path_ + ".v" + std::to_string(version));
            Exec(db_, "COMMIT");
            char* sql = sqlite3_mprintf("VACUUM INTO %Q", copy.c_str());
            rc = Exec(db_, sql);
            sqlite3_free(sql);
            if (rc == SQLITE_OK) {
                rc = Exec(db_, "BEGIN IMMEDIATE");
            }
            if (rc == SQLITE_OK) {
                rc = QueryInt(db_, "PRAGMA user_version", version);
            }
        }
        for (long long v = version; rc == SQLITE_OK && v < kHistorySchemaVersion; ++v) {
            if (kUpgrades[v].sql) {
                rc = Exec(db_, kUpgrades[v].sql);
            }
            if (rc == SQLITE_OK && kUpgrades[v].step) {
                rc = kUpgrades[v].step(db_);
            }
        }
        if (rc == SQLITE_OK && version <= kHistorySchemaVersion) {
            rc = Exec(db_, kAddedTables);
        }
        if (rc == SQLITE_OK && version < kHistorySchemaVersion) {
            rc = Exec(db_, ("PRAGMA user_version=" + std::to_string(kHistorySchemaVersion)).c_str());
        }
        if (rc == SQLITE_OK) {
            rc = Exec(db_, "COMMIT");
        }
        if (rc != SQLITE_OK) {
            const std::string detail = sqlite3_errmsg(db_);
            Exec(db_, "ROLLBACK");
            const int code = rc;
            Close();
            if (IsDamage(code)) {
                return Problem(HistoryProblem::Damaged, detail);
            }
            return Problem(IsBusy(code) ? HistoryProblem::Locked : HistoryProblem::ReadOnly, detail);
        }
    }
    if (rc != SQLITE_OK) {
        const std::string detail = sqlite3_errmsg(db_);
        Close();
        if (IsDamage(rc)) {
            return Problem(HistoryProblem::Damaged, detail);
        }
        if (IsBusy(rc)) {
            return Problem(HistoryProblem::Locked, detail);
        }
        // A WAL database in a folder that cannot be written cannot even be read.
        return Problem(Writable(path_) ? HistoryProblem::CannotOpen : HistoryProblem::ReadOnly, detail);
    }
    if (readOnly_) {
        return Problem(HistoryProblem::ReadOnly, "the file is read-only");
    }
    return {};
}

HistoryStatus CheckHistory::KeepAsideAndRestart(const std::string& detail) {
    Close();
    const std::string aside = FreeName(path_ + ".damaged-" + UtcStamp(static_cast<std::int64_t>(std::time(nullptr))));
    if (!RenameNoReplace(path_, aside)) {
        return Problem(HistoryProblem::CannotOpen, detail + "; it cannot be renamed: " + std::strerror(errno));
    }
    // The WAL files belong to the damaged database: they go with it, never into the new one.
    for (const char* suffix : {"-wal", "-shm"}) {
        std::error_code ec;
        if (fs::exists(path_ + suffix, ec)) {
            RenameNoReplace(path_ + suffix, aside + suffix);
        }
    }
    HistoryStatus reopened = OpenOnce();
    HistoryStatus status = Problem(HistoryProblem::Damaged, detail);
    status.keptAs = aside;
    if (!reopened.ok()) {
        status.detail += "; " + reopened.detail;
    }
    return status;
}

int CheckHistory::WriteOne(const CheckRecord& r) {
    Statement s(db_, "INSERT INTO checks (id, time_utc, text_number, text_type, own_text, speed_digits, speed_system, "
                     "speed_cpm, groups, group_size, pause_delay, noise_type, voice, sent, copy, positional_errors, "
                     "sent_chars, matches, substitutions, omissions, insertions, pairs) "
                     "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    if (s.Prepared() != SQLITE_OK) {
        return s.Prepared();
    }
    sqlite3_stmt* st = s.get();
    const std::string sent = Cp1251ToUtf8(r.sent);
    const std::string copy = Cp1251ToUtf8(r.copy);
    const std::string pairs = EncodePairs(r.tally);
    int i = 1;
    if (r.id > 0) {
        sqlite3_bind_int64(st, i++, r.id);
    } else {
        sqlite3_bind_null(st, i++);
    }
    sqlite3_bind_int64(st, i++, r.timeUtc);
    for (const int v : {r.textNumber, r.textType, r.ownText ? 1 : 0}) {
        sqlite3_bind_int(st, i++, v);
    }
    sqlite3_bind_text(st, i++, r.speedDigits.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, i++, r.paris ? "paris" : "cpm", -1, SQLITE_STATIC);
    for (const int v : {r.speedCpm, r.groups, r.groupSize, r.pauseDelayDots, r.noiseType}) {
        sqlite3_bind_int(st, i++, v);
    }
    sqlite3_bind_text(st, i++, r.voice.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, i++, sent.c_str(), static_cast<int>(sent.size()), SQLITE_STATIC);
    sqlite3_bind_text(st, i++, copy.c_str(), static_cast<int>(copy.size()), SQLITE_STATIC);
    for (const int v : {r.positionalErrors, r.aligned.sentChars, r.aligned.matches, r.aligned.substitutions,
                        r.aligned.omissions, r.aligned.insertions}) {
        sqlite3_bind_int(st, i++, v);
    }
    sqlite3_bind_blob(st, i++, pairs.data(), static_cast<int>(pairs.size()), SQLITE_STATIC);
    const int rc = sqlite3_step(st);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

HistoryStatus CheckHistory::Record(CheckRecord record) {
    pending_.push_back(std::move(record));
    return WritePending();
}

HistoryStatus CheckHistory::Flush() {
    return pending_.empty() ? HistoryStatus{} : WritePending();
}

HistoryStatus CheckHistory::WritePending() {
    return Write(nullptr);
}

HistoryStatus CheckHistory::Write(const std::function<int(sqlite3*)>& work) {
    HistoryStatus status = Open();
    if (newer_) {
        return status.ok() ? Problem(HistoryProblem::Newer, "written by a newer version") : status;
    }
    if (!db_) {
        return status;
    }
    if (readOnly_) {
        return status.ok() ? Problem(HistoryProblem::ReadOnly, "the file is read-only") : status;
    }
    const HistoryStatus opened = status;
    for (int attempt = 0; attempt < 2; ++attempt) {
        // Every waiting record and the work in one transaction: all of it is written, or none.
        int rc = Exec(db_, "BEGIN IMMEDIATE");
        for (std::size_t k = 0; rc == SQLITE_OK && k < pending_.size(); ++k) {
            rc = WriteOne(pending_[k]);
        }
        if (rc == SQLITE_OK && work) {
            rc = work(db_);
        }
        if (rc == SQLITE_OK) {
            rc = Exec(db_, "COMMIT");
        }
        if (rc == SQLITE_OK) {
            pending_.clear();
            return opened;
        }
        const std::string detail = sqlite3_errmsg(db_);
        Exec(db_, "ROLLBACK");
        if (IsDamage(rc) && attempt == 0) {
            status = KeepAsideAndRestart(detail);
            if (!db_) {
                return status;
            }
            continue;
        }
        if (IsBusy(rc)) {
            return Problem(HistoryProblem::Locked, detail);
        }
        return Problem(IsReadOnly(rc) ? HistoryProblem::ReadOnly : HistoryProblem::CannotOpen, detail);
    }
    pending_.clear();
    return status;
}

HistoryStatus CheckHistory::Read(const std::function<int(sqlite3*)>& work) {
    HistoryStatus status = Open();
    if (!db_) {
        return status;
    }
    const int rc = work(db_);
    if (rc == SQLITE_OK) {
        return status;
    }
    const std::string detail = sqlite3_errmsg(db_);
    if (IsDamage(rc)) {
        return KeepAsideAndRestart(detail);
    }
    return Problem(IsBusy(rc) ? HistoryProblem::Locked : HistoryProblem::CannotOpen, detail);
}

int CheckHistory::ReadAll(std::vector<CheckRecord>& checks, bool withTexts, int lesson) {
    std::string sql = "SELECT id, time_utc, text_number, text_type, own_text, speed_digits, speed_system, "
                      "speed_cpm, groups, group_size, pause_delay, noise_type, voice, positional_errors, "
                      "sent_chars, matches, substitutions, omissions, insertions, pairs";
    sql += withTexts ? ", sent, copy FROM checks" : " FROM checks";
    if (lesson > 0) {
        sql += " WHERE id IN (SELECT check_id FROM course_checks WHERE lesson = ?1)";
    }
    sql += " ORDER BY time_utc, id";
    Statement s(db_, sql.c_str());
    if (s.Prepared() != SQLITE_OK) {
        return s.Prepared();
    }
    sqlite3_stmt* st = s.get();
    if (lesson > 0) {
        sqlite3_bind_int(st, 1, lesson);
    }
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        CheckRecord& r = checks.emplace_back();
        int i = 0;
        r.id = sqlite3_column_int64(st, i++);
        r.timeUtc = sqlite3_column_int64(st, i++);
        r.textNumber = sqlite3_column_int(st, i++);
        r.textType = sqlite3_column_int(st, i++);
        r.ownText = sqlite3_column_int(st, i++) != 0;
        r.speedDigits = Text(st, i++);
        r.paris = Text(st, i++) == "paris";
        for (int* v : {&r.speedCpm, &r.groups, &r.groupSize, &r.pauseDelayDots, &r.noiseType}) {
            *v = sqlite3_column_int(st, i++);
        }
        r.voice = Text(st, i++);
        for (int* v : {&r.positionalErrors, &r.aligned.sentChars, &r.aligned.matches, &r.aligned.substitutions,
                       &r.aligned.omissions, &r.aligned.insertions}) {
            *v = sqlite3_column_int(st, i++);
        }
        r.tally =
            DecodePairs(static_cast<const unsigned char*>(sqlite3_column_blob(st, i)), sqlite3_column_bytes(st, i));
        ++i;
        if (withTexts) {
            r.sent = Utf8ToCp1251(Text(st, i++));
            r.copy = Utf8ToCp1251(Text(st, i++));
        }
    }
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

HistoryStatus CheckHistory::Load(std::vector<CheckRecord>& checks, bool withTexts) {
    checks.clear();
    return Read([this, &checks, withTexts](sqlite3*) {
        const int rc = ReadAll(checks, withTexts);
        if (rc != SQLITE_OK) {
            checks.clear();
        }
        return rc;
    });
}

void SetSendingSettings(CheckRecord& record, const TransmissionSettings& s, bool paris, std::string voice) {
    record.textNumber = TextNumber(s);
    record.textType = s.textType;
    record.speedDigits = std::to_string(s.speed[0]) + std::to_string(s.speed[1]) + std::to_string(s.speed[2]);
    record.paris = paris;
    record.speedCpm = SendingSpeed(SpeedValue(s), s.textType, !paris);
    record.groups = GroupsToSend(s);
    record.groupSize = s.charInGroup == 0 ? 10 : s.charInGroup;
    record.pauseDelayDots = s.pauseDelayDots;
    record.noiseType = s.noiseType;
    record.voice = std::move(voice);
}

} // namespace qlor
