#pragma once
// SQLite helpers shared by the parts of the history of checks (check_history.cpp,
// course_history.cpp): a statement finalised with its scope, plain execution, one integer from a
// query, a text column, whether a table exists, and how a result code is read.
#include <sqlite3.h>

#include <string>

namespace qlor::history_sql {

class Statement {
public:
    Statement(sqlite3* db, const char* sql) { rc_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    int Prepared() const { return rc_; }
    sqlite3_stmt* get() const { return stmt_; }

private:
    sqlite3_stmt* stmt_ = nullptr;
    int rc_ = SQLITE_OK;
};

inline int Exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

// One integer from a query such as "PRAGMA user_version"; the result code is returned.
inline int QueryInt(sqlite3* db, const char* sql, long long& value) {
    Statement s(db, sql);
    if (s.Prepared() != SQLITE_OK) {
        return s.Prepared();
    }
    const int rc = sqlite3_step(s.get());
    if (rc == SQLITE_ROW) {
        value = sqlite3_column_int64(s.get(), 0);
        return SQLITE_OK;
    }
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

inline std::string Text(sqlite3_stmt* s, int column) {
    const auto* text = sqlite3_column_text(s, column);
    return text ? std::string(reinterpret_cast<const char*>(text), static_cast<size_t>(sqlite3_column_bytes(s, column)))
                : std::string();
}

inline bool HasTable(sqlite3* db, const char* name) {
    Statement s(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?");
    if (s.Prepared() != SQLITE_OK) {
        return false;
    }
    sqlite3_bind_text(s.get(), 1, name, -1, SQLITE_STATIC);
    return sqlite3_step(s.get()) == SQLITE_ROW;
}

inline bool IsDamage(int rc) {
    const int primary = rc & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

inline bool IsBusy(int rc) {
    const int primary = rc & 0xFF;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

inline bool IsReadOnly(int rc) {
    const int primary = rc & 0xFF;
    return primary == SQLITE_READONLY || primary == SQLITE_PERM || primary == SQLITE_CANTOPEN;
}

} // namespace qlor::history_sql
