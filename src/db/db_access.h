#pragma once
// The three plain ways into the local database. Each opens the file, runs
// one statement (DbExec: one or more), finalises and closes again; there is
// no long-lived connection. Every connection waits up to kDbBusyTimeoutMs
// for a lock held by another connection (the other thread, another client
// process) instead of failing at once, so a chat line is not lost to a
// momentary lock.
//
// Text values always go in as bound parameters, never pasted into the
// statement text.
#include <string>
#include <vector>

namespace kanzo {

inline constexpr const char* kDatabaseFileName = "qmb.db";
inline constexpr int kDbBusyTimeoutMs = 5000;

using DbRow = std::vector<std::string>;
using DbRows = std::vector<DbRow>;

// The file the operations open: "qmb.db" in the current folder unless set.
// An empty path restores the default.
void SetDatabasePath(const std::string& path);
std::string DatabasePath();

// Runs the statement(s) without parameters; true when all ran to their end.
bool DbExec(const std::string& sql);

// Runs one statement with `texts` bound in order to parameters 1, 2, 3...;
// stops at the first failing bind. True when the statement ran to its end.
bool DbExecBind(const std::string& sql, const std::vector<std::string>& texts);

// Appends one row per result row, in result order, every column as text (a
// NULL column reads as ""). On failure `rows` is left as it was.
bool DbQuery(const std::string& sql, DbRows* rows);
bool DbQueryBind(const std::string& sql, const std::vector<std::string>& texts, DbRows* rows);

}  // namespace kanzo
