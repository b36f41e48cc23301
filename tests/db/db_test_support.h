#pragma once
// A fresh database file in a temporary folder, a settable clock, and direct
// access to the file that does not go through the code under test.
#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

#include "db/db_access.h"
#include "platform/clock.h"
#include "support/temp_dir.h"

namespace kanzo::test {

// 2024-03-11 12:00:00 UTC.
inline constexpr std::int64_t kNoon20240311 = 1710158400;

class DbFixtureState {
 public:
  DbFixtureState() {
    SetDatabasePath(dir.File(kDatabaseFileName));
    clock.SetSeconds(kNoon20240311);
    platform::SetCurrentClock(&clock);
  }
  ~DbFixtureState() {
    platform::SetCurrentClock(nullptr);
    SetDatabasePath("");
  }
  std::string Path() const { return dir.File(kDatabaseFileName); }

  TempDir dir;
  platform::SettableClock clock;
};

// Runs `sql` on its own connection; every column as text, NULL as "<null>".
inline std::vector<std::vector<std::string>> RawQuery(const std::string& path, const std::string& sql) {
  std::vector<std::vector<std::string>> rows;
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
    sqlite3_close(db);
    return rows;
  }
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK) {
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      std::vector<std::string> row;
      for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
        row.push_back(text ? std::string(text, sqlite3_column_bytes(stmt, c)) : std::string("<null>"));
      }
      rows.push_back(std::move(row));
    }
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return rows;
}

inline bool RawExec(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  bool ok = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
            sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return ok;
}

inline std::int64_t RawCount(const std::string& path, const std::string& table, const std::string& where = "1") {
  auto rows = RawQuery(path, "SELECT COUNT(*) FROM " + table + " WHERE " + where);
  return rows.empty() ? -1 : std::stoll(rows[0][0]);
}

}  // namespace kanzo::test
