#pragma once
// One integer from an SQL query on a database file, through a read-only connection of its own
// (-1 when the file cannot be opened or the query gives no row).
#include <sqlite3.h>

#include <filesystem>

namespace qlor::test {

inline long long QueryInteger(const std::filesystem::path& path, const char* sql) {
    sqlite3* db = nullptr;
    long long value = -1;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW) {
            value = sqlite3_column_int64(s, 0);
        }
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    return value;
}

} // namespace qlor::test
