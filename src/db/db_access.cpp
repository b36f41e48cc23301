#include "db/db_access.h"

#include <sqlite3.h>

#include <memory>
#include <mutex>

#include "log/cx_log.h"

namespace kanzo {
namespace {

std::mutex gPathMutex;
std::string gDatabasePath = kDatabaseFileName;

struct ConnectionCloser {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Connection = std::unique_ptr<sqlite3, ConnectionCloser>;

struct StatementFinalizer {
  void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

struct ErrorTextFreer {
  void operator()(char* text) const { sqlite3_free(text); }
};

// Opens the file (creating it when missing) with the busy time-out set;
// null when it cannot be opened.
Connection OpenDatabase() {
  const std::string path = DatabasePath();
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open(path.c_str(), &raw);
  Connection db(raw);
  if (rc != SQLITE_OK) {
    KLOG_WARN("打开数据库失败：%s %s", path.c_str(), db ? sqlite3_errmsg(db.get()) : sqlite3_errstr(rc));
    return nullptr;
  }
  sqlite3_busy_timeout(db.get(), kDbBusyTimeoutMs);
  return db;
}

void LogStatementFailure(sqlite3* db, const std::string& sql) {
  KLOG_WARN("数据库语句执行失败：%s [%s]", sqlite3_errmsg(db), sql.c_str());
}

Statement Prepare(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr) != SQLITE_OK) {
    LogStatementFailure(db, sql);
    return nullptr;
  }
  return Statement(raw);
}

bool BindTexts(sqlite3* db, sqlite3_stmt* stmt, const std::string& sql, const std::vector<std::string>& texts) {
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const std::string& text = texts[i];
    if (sqlite3_bind_text(stmt, static_cast<int>(i + 1), text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT) != SQLITE_OK) {
      LogStatementFailure(db, sql);
      return false;
    }
  }
  return true;
}

bool RunQuery(const std::string& sql, const std::vector<std::string>& texts, DbRows* rows) {
  Connection db = OpenDatabase();
  if (!db) return false;
  Statement stmt = Prepare(db.get(), sql);
  if (!stmt || !BindTexts(db.get(), stmt.get(), sql, texts)) return false;
  DbRows read;
  const int columns = sqlite3_column_count(stmt.get());
  for (;;) {
    const int rc = sqlite3_step(stmt.get());
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW) {
      LogStatementFailure(db.get(), sql);
      return false;
    }
    DbRow row;
    row.reserve(columns);
    for (int c = 0; c < columns; ++c) {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), c));
      const int bytes = sqlite3_column_bytes(stmt.get(), c);
      row.emplace_back(text ? std::string(text, static_cast<std::size_t>(bytes)) : std::string());
    }
    read.push_back(std::move(row));
  }
  if (rows) {
    for (DbRow& row : read) rows->push_back(std::move(row));
  }
  return true;
}

}  // namespace

void SetDatabasePath(const std::string& path) {
  std::lock_guard<std::mutex> guard(gPathMutex);
  gDatabasePath = path.empty() ? std::string(kDatabaseFileName) : path;
}

std::string DatabasePath() {
  std::lock_guard<std::mutex> guard(gPathMutex);
  return gDatabasePath;
}

bool DbExec(const std::string& sql) {
  Connection db = OpenDatabase();
  if (!db) return false;
  char* rawError = nullptr;
  const int rc = sqlite3_exec(db.get(), sql.c_str(), nullptr, nullptr, &rawError);
  std::unique_ptr<char, ErrorTextFreer> error(rawError);
  if (rc != SQLITE_OK) {
    KLOG_WARN("数据库语句执行失败：%s [%s]", error ? error.get() : sqlite3_errstr(rc), sql.c_str());
    return false;
  }
  return true;
}

bool DbExecBind(const std::string& sql, const std::vector<std::string>& texts) {
  Connection db = OpenDatabase();
  if (!db) return false;
  Statement stmt = Prepare(db.get(), sql);
  if (!stmt || !BindTexts(db.get(), stmt.get(), sql, texts)) return false;
  if (sqlite3_step(stmt.get()) != SQLITE_DONE) {
    LogStatementFailure(db.get(), sql);
    return false;
  }
  return true;
}

bool DbQuery(const std::string& sql, DbRows* rows) { return RunQuery(sql, {}, rows); }

bool DbQueryBind(const std::string& sql, const std::vector<std::string>& texts, DbRows* rows) {
  return RunQuery(sql, texts, rows);
}

}  // namespace kanzo
