#include "db/db_access.h"

#include <sqlite3.h>

#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "log/cx_log.h"
#include "platform/file_identity.h"

namespace kanzo {
namespace {

// A connection's kept statements by text. They are few (a chat line runs
// five), so a look-up compares lengths first and whole texts only for an
// equal length, which is cheaper than hashing texts of a few hundred bytes.
class StatementCache {
 public:
  sqlite3_stmt* Find(std::string_view text) const {
    for (const auto& [kept, stmt] : statements_)
      if (kept.size() == text.size() && kept == text) return stmt;
    return nullptr;
  }
  void Add(std::string_view text, sqlite3_stmt* stmt) { statements_.emplace_back(text, stmt); }
  std::size_t size() const { return statements_.size(); }
  void FinalizeAll() {
    for (const auto& [text, stmt] : statements_) sqlite3_finalize(stmt);
    statements_.clear();
  }

 private:
  std::vector<std::pair<std::string, sqlite3_stmt*>> statements_;
};

}  // namespace

// A batch's connection and its prepared statements by text: a run of chat
// lines repeats the same few statements, and preparing is most of a
// statement's cost on a connection that is already open.
struct DbConnectionState {
  sqlite3* db = nullptr;
  StatementCache statements;
  // The file the connection was opened on, to notice when the path names
  // another one.
  std::string path;
  std::optional<platform::FileIdentity> file;

  DbConnectionState() = default;
  DbConnectionState(const DbConnectionState&) = delete;
  DbConnectionState& operator=(const DbConnectionState&) = delete;
  ~DbConnectionState() { Close(); }

  bool NamesOpenFile(const std::string& currentPath) const {
    return currentPath == path && file && platform::IdentityOfPath(path) == file;
  }

  void Close() {
    statements.FinalizeAll();
    sqlite3_close(db);
    db = nullptr;
  }
};

namespace {

std::mutex gPathMutex;
std::string gDatabasePath = kDatabaseFileName;

// The batch living on this thread, if any.
thread_local DbConnectionState* tBatch = nullptr;
// The chat-line statements bind all their values and keep one text each;
// statements with values in their text (the user-interface thread's) may
// still come in many texts, and past this many the rest are prepared for one
// use.
constexpr std::size_t kMaxBatchStatements = 64;

constexpr const char* kBeginBatch = "BEGIN IMMEDIATE";
constexpr const char* kCommitBatch = "COMMIT";
constexpr const char* kRollBackBatch = "ROLLBACK";
constexpr const char* kBeginUnit = "SAVEPOINT kanzo_unit";
constexpr const char* kEndUnit = "RELEASE kanzo_unit";
constexpr const char* kRollBackUnit = "ROLLBACK TO kanzo_unit";

// Closes the connection unless it is the thread's batch connection, which
// its DbBatch closes or keeps.
struct ConnectionCloser {
  void operator()(sqlite3* db) const {
    if (!tBatch || db != tBatch->db) sqlite3_close(db);
  }
};
using Connection = std::unique_ptr<sqlite3, ConnectionCloser>;

// Finalises a statement prepared for one use; a statement kept by the batch
// is only reset for its next use.
struct StatementFinalizer {
  bool kept = false;
  void operator()(sqlite3_stmt* stmt) const {
    if (!kept) {
      sqlite3_finalize(stmt);
      return;
    }
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
  }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

struct ErrorTextFreer {
  void operator()(char* text) const { sqlite3_free(text); }
};

// Opens the file (creating it when missing) with the busy time-out set;
// null when it cannot be opened.
Connection OpenOwnConnection(const std::string& path) {
  // SQLite keeps a count of its memory under one process-wide mutex, taken
  // on every allocation (several per statement: the library is built
  // without its small-allocation pool), which the store thread and the
  // user-interface thread then contend for. Nothing reads the count, so it
  // is turned off; this has to come before the library is first used, which
  // is this first opening (the tables are made at start, before any other
  // thread).
  static const bool configured = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;
  (void)configured;
  sqlite3* raw = nullptr;
  // A connection is only ever used by the thread that opened it, so it goes
  // without the per-call mutex a shared connection would need.
  const int rc =
      sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  Connection db(raw);
  if (rc != SQLITE_OK) {
    KLOG_WARN("打开数据库失败：%s %s", path.c_str(), db ? sqlite3_errmsg(db.get()) : sqlite3_errstr(rc));
    return nullptr;
  }
  sqlite3_busy_timeout(db.get(), kDbBusyTimeoutMs);
  return db;
}

// Opens `state` on the database path unless it is open on the file the path
// names already; false when the file cannot be opened.
bool OpenOnCurrentPath(DbConnectionState* state) {
  const std::string path = DatabasePath();
  if (state->db && state->NamesOpenFile(path)) return true;
  state->Close();
  Connection db = OpenOwnConnection(path);
  if (!db) return false;
  state->file = platform::IdentityOfPath(path);
  state->path = path;
  state->db = db.release();
  return true;
}

// The thread's batch connection, or a connection of its own.
Connection OpenDatabase() {
  if (tBatch) return Connection(tBatch->db);
  return OpenOwnConnection(DatabasePath());
}

void LogStatementFailure(sqlite3* db, std::string_view sql) {
  KLOG_WARN("数据库语句执行失败：%s [%.*s]", sqlite3_errmsg(db), static_cast<int>(sql.size()), sql.data());
}

Statement Prepare(sqlite3* db, std::string_view sql) {
  StatementCache* const cache = tBatch && db == tBatch->db ? &tBatch->statements : nullptr;
  if (cache) {
    if (sqlite3_stmt* kept = cache->Find(sql)) return Statement(kept, StatementFinalizer{true});
  }
  const bool keep = cache && cache->size() < kMaxBatchStatements;
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), keep ? SQLITE_PREPARE_PERSISTENT : 0, &raw,
                         nullptr) != SQLITE_OK) {
    LogStatementFailure(db, sql);
    sqlite3_finalize(raw);
    return nullptr;
  }
  if (keep) cache->Add(sql, raw);
  return Statement(raw, StatementFinalizer{keep});
}

// Texts are bound without a copy: they outlive the statement's use, which
// ends (finalised, or reset with its bindings cleared) before the caller's
// texts go. A line's statements bind some thirty values, and copying each
// was a good part of a stored line's cost.
bool BindValues(sqlite3* db, sqlite3_stmt* stmt, std::string_view sql, DbValues values) {
  // An empty text without storage has no pointer, and a null pointer would
  // bind NULL instead of the empty text.
  static constexpr char kEmptyText[] = "";
  int index = 0;
  for (const DbValue& value : values) {
    ++index;
    int rc;
    if (value.IsText()) {
      const std::string_view text = value.Text();
      rc = sqlite3_bind_text(stmt, index, text.data() ? text.data() : kEmptyText, static_cast<int>(text.size()),
                             SQLITE_STATIC);
    } else {
      rc = sqlite3_bind_int64(stmt, index, value.Number());
    }
    if (rc != SQLITE_OK) {
      LogStatementFailure(db, sql);
      return false;
    }
  }
  return true;
}

// Runs a statement on the thread's connection and hands each result row to
// `onRow`; false when the statement cannot be prepared, bound or stepped.
template <typename OnRow>
bool StepRows(std::string_view sql, DbValues values, OnRow&& onRow) {
  Connection db = OpenDatabase();
  if (!db) return false;
  Statement stmt = Prepare(db.get(), sql);
  if (!stmt || !BindValues(db.get(), stmt.get(), sql, values)) return false;
  for (;;) {
    const int rc = sqlite3_step(stmt.get());
    if (rc == SQLITE_DONE) return true;
    if (rc != SQLITE_ROW) {
      LogStatementFailure(db.get(), sql);
      return false;
    }
    onRow(stmt.get());
  }
}

bool RunQuery(std::string_view sql, DbValues values, DbRows* rows) {
  DbRows read;
  const bool ok = StepRows(sql, values, [&read](sqlite3_stmt* stmt) {
    const int columns = sqlite3_column_count(stmt);
    DbRow row;
    row.reserve(columns);
    for (int c = 0; c < columns; ++c) {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
      const int bytes = sqlite3_column_bytes(stmt, c);
      row.emplace_back(text ? std::string(text, static_cast<std::size_t>(bytes)) : std::string());
    }
    read.push_back(std::move(row));
  });
  if (!ok) return false;
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

bool DbExecBind(std::string_view sql, DbValues values) {
  Connection db = OpenDatabase();
  if (!db) return false;
  Statement stmt = Prepare(db.get(), sql);
  if (!stmt || !BindValues(db.get(), stmt.get(), sql, values)) return false;
  if (sqlite3_step(stmt.get()) != SQLITE_DONE) {
    LogStatementFailure(db.get(), sql);
    return false;
  }
  return true;
}

bool DbQuery(const std::string& sql, DbRows* rows) { return RunQuery(sql, {}, rows); }

bool DbQueryBind(std::string_view sql, DbValues values, DbRows* rows) { return RunQuery(sql, values, rows); }

long long DbCountRowsBind(std::string_view sql, DbValues values) {
  long long count = 0;
  return StepRows(sql, values, [&count](sqlite3_stmt*) { ++count; }) ? count : -1;
}

DbKeptConnection::DbKeptConnection() : state_(std::make_unique<DbConnectionState>()) {}

DbKeptConnection::~DbKeptConnection() = default;

bool DbKeptConnection::Open() { return !tBatch && OpenOnCurrentPath(state_.get()); }

// A batch inside a batch of the same thread would share its connection and
// commit the outer one early; the inner one stays inactive instead.
DbBatch::DbBatch() {
  if (tBatch) return;
  own_ = std::make_unique<DbConnectionState>();
  Begin(own_.get());
}

DbBatch::DbBatch(DbKeptConnection& kept) {
  if (tBatch) return;
  Begin(kept.state_.get());
}

bool DbBatch::Begin(DbConnectionState* state) {
  if (!OpenOnCurrentPath(state)) return false;
  char* rawError = nullptr;
  const int rc = sqlite3_exec(state->db, kBeginBatch, nullptr, nullptr, &rawError);
  std::unique_ptr<char, ErrorTextFreer> error(rawError);
  if (rc != SQLITE_OK) {
    KLOG_WARN("数据库事务开始失败：%s", error ? error.get() : sqlite3_errstr(rc));
    return false;
  }
  state_ = state;
  tBatch = state;
  return true;
}

DbBatch::~DbBatch() {
  if (!state_) return;
  Run(kRollBackBatch);
  End(false);
}

bool DbBatch::BeginUnit() { return state_ && Run(kBeginUnit); }

bool DbBatch::EndUnit() { return state_ && Run(kEndUnit); }

bool DbBatch::RollBackUnit() { return state_ && Run(kRollBackUnit) && Run(kEndUnit); }

bool DbBatch::intact() const { return state_ && !sqlite3_get_autocommit(state_->db); }

bool DbBatch::Commit() {
  if (!state_) return false;
  const bool committed = Run(kCommitBatch);
  // A commit that failed (the lock not released by readers in time) leaves
  // the transaction open: roll it back so the file stays unlocked.
  if (!committed) Run(kRollBackBatch);
  End(committed);
  return committed;
}

bool DbBatch::Run(const char* sql) {
  Statement stmt = Prepare(state_->db, sql);
  if (!stmt) return false;
  if (sqlite3_step(stmt.get()) != SQLITE_DONE) {
    LogStatementFailure(state_->db, sql);
    return false;
  }
  return true;
}

void DbBatch::End(bool committed) {
  tBatch = nullptr;
  // Whatever a failed batch left behind (an open transaction, a connection
  // on a file that went away) is not carried into the next one.
  if (own_ || !committed) state_->Close();
  own_.reset();
  state_ = nullptr;
}

}  // namespace kanzo
