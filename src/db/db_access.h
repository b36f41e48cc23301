#pragma once
// The three plain ways into the local database. Each opens the file, runs
// one statement (DbExec: one or more), finalises and closes again, unless a
// DbBatch lives on the calling thread (below). Every connection waits up to kDbBusyTimeoutMs
// for a lock held by another connection (the other thread, another client
// process) instead of failing at once, so a chat line is not lost to a
// momentary lock.
//
// Text values always go in as bound parameters, never pasted into the
// statement text.
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace kanzo {

inline constexpr const char* kDatabaseFileName = "qmb.db";
inline constexpr int kDbBusyTimeoutMs = 5000;

using DbRow = std::vector<std::string>;
using DbRows = std::vector<DbRow>;

// One value bound to a statement parameter: a whole number, bound as an
// integer, or text, bound without a copy. The text must outlive the call it
// is passed to (the braced list of a call's arguments does).
class DbValue final {
 public:
  template <std::integral Number>
  DbValue(Number number) : number_(static_cast<std::int64_t>(number)), isText_(false) {}    // NOLINT: implicit
  DbValue(std::string_view text) : text_(text) {}                                           // NOLINT: implicit
  DbValue(const std::string& text) : text_(text) {}                                         // NOLINT: implicit
  DbValue(const char* text) : text_(text ? std::string_view(text) : std::string_view()) {}  // NOLINT: implicit

  bool IsText() const { return isText_; }
  std::int64_t Number() const { return number_; }
  std::string_view Text() const { return text_; }

 private:
  std::string_view text_;
  std::int64_t number_ = 0;
  bool isText_ = true;
};
using DbValues = std::initializer_list<DbValue>;

// The file the operations open: "qmb.db" in the current folder unless set.
// An empty path restores the default.
void SetDatabasePath(const std::string& path);
std::string DatabasePath();

// Runs the statement(s) without parameters; true when all ran to their end.
bool DbExec(const std::string& sql);

// Runs one statement with `values` bound in order to parameters 1, 2, 3...;
// stops at the first failing bind. True when the statement ran to its end.
bool DbExecBind(std::string_view sql, DbValues values);

// Appends one row per result row, in result order, every column as text (a
// NULL column reads as ""). On failure `rows` is left as it was.
bool DbQuery(const std::string& sql, DbRows* rows);
bool DbQueryBind(std::string_view sql, DbValues values, DbRows* rows);
// The number of result rows, without reading their columns; -1 on failure.
long long DbCountRowsBind(std::string_view sql, DbValues values);

struct DbConnectionState;

// A connection one thread keeps open from batch to batch, with the
// statements its batches prepared: a thread that writes a batch every few
// moments (the chat-line store thread) then opens the file and prepares its
// statements once, not for every batch. Between batches it holds no lock.
// When the database path no longer names the open file (the path was set to
// another file, or the file was removed or replaced) or a batch on it did
// not commit, the next batch opens the file anew. Only the thread that uses
// it may touch it, and it must outlive every batch on it.
class DbKeptConnection final {
 public:
  DbKeptConnection();
  ~DbKeptConnection();
  DbKeptConnection(const DbKeptConnection&) = delete;
  DbKeptConnection& operator=(const DbKeptConnection&) = delete;

  // Opens the file now, unless it is open on the path already, so that the
  // first batch does not wait for it; false when it cannot be opened (a
  // batch then tries again) or a batch is active on this thread.
  bool Open();

 private:
  friend class DbBatch;
  std::unique_ptr<DbConnectionState> state_;
};

// One write transaction on one connection for a run of operations of the
// creating thread: while it lives, the operations above called on that
// thread run on its connection instead of opening the file each time, and
// commit together. Other threads keep a connection per statement. The
// write lock is taken at the start, waiting up to kDbBusyTimeoutMs like any
// statement, so no statement inside can fail on another connection's lock.
// What is not committed when it ends is rolled back.
class DbBatch final {
 public:
  // On a connection of its own, closed when the batch ends.
  DbBatch();
  // On the kept connection, which stays open afterwards.
  explicit DbBatch(DbKeptConnection& kept);
  ~DbBatch();
  DbBatch(const DbBatch&) = delete;
  DbBatch& operator=(const DbBatch&) = delete;

  // False when the file could not be opened or the write lock not taken;
  // the operations then open their own connections as usual.
  bool active() const { return state_ != nullptr; }

  // A savepoint for one unit (a chat line): RollBackUnit undoes the unit's
  // statements and keeps the earlier ones of the batch, EndUnit keeps them.
  bool BeginUnit();
  bool EndUnit();
  bool RollBackUnit();

  // Whether the transaction is still open: a failure such as a full disk
  // rolls back the whole transaction, and every earlier unit with it.
  bool intact() const;

  // Commits everything; the batch is no longer active afterwards either way.
  bool Commit();

 private:
  bool Begin(DbConnectionState* state);
  bool Run(const char* sql);
  // Leaves the batch; a kept connection stays open only after a commit.
  void End(bool committed);

  std::unique_ptr<DbConnectionState> own_;
  // Set while the batch is active.
  DbConnectionState* state_ = nullptr;
};

}  // namespace kanzo
