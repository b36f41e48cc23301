// Chat lines stored per second by the store thread, which writes each run of
// queued lines in one transaction (a savepoint, a count and two writes per
// line), beside SQLite writing the same rows with two prepared statements in
// one transaction on one connection. Both run in the same temporary folder in
// the same run.
//
// Usage: kanzo_db_store_bench [lines]   (default 300, at most 20000)
#include <sqlite3.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "bench_report.h"
#include "db/db_access.h"
#include "db/db_manager.h"
#include "db/store_talk_message_tread.h"
#include "platform/clock.h"
#include "records/agent_record.h"
#include "records/contact_table.h"

namespace {

using kanzo::AgentTriple;
using Clock = std::chrono::steady_clock;

constexpr int kDefaultLines = 300;
constexpr int kMaxLines = 20000;
constexpr std::int32_t kVisitorId = 4242;
constexpr AgentTriple kAgent{9001, 77, 1};
constexpr double kAimLinesPerSecond = 1000;
constexpr double kAimShareOfBaseline = 0.5;

std::string LineText(int i) { return "访客说：第 " + std::to_string(i) + " 行 it's [#333333]markup[/#333333]"; }

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The store thread: count, update user_info and insert the line for each
// line, the lines queued at once in one transaction.
double StoreThreadSeconds(int lines) {
  kanzo::ContactTable contacts;
  kanzo::SharedAgentRecord agent;
  agent.Update([](kanzo::AgentRecord& r) { r.triple = kAgent; });
  auto visitor = std::make_unique<kanzo::ContactRecord>();
  visitor->id = kVisitorId;
  visitor->kind = kanzo::kContactKindVisitor;
  visitor->name = "访客 4242";
  visitor->area = "上海";
  contacts.Enter(std::move(visitor));

  const auto start = Clock::now();
  kanzo::StoreTalkMessageTread store(contacts, agent);
  store.start();
  for (int i = 0; i < lines; ++i) store.Add(kVisitorId, LineText(i), i % 2 == 0);
  store.stop();
  return Seconds(Clock::now() - start);
}

// The same rows (one user_info update and one talk_message insert per line)
// through prepared statements in one transaction on one connection.
double OneTransactionSeconds(const std::string& path, int lines) {
  const auto start = Clock::now();
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) return -1;
  sqlite3_stmt* update = nullptr;
  sqlite3_stmt* insert = nullptr;
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_prepare_v2(db,
                     "UPDATE user_info SET area=?,currTime=? WHERE uid=? AND lgn_account=? AND lgn_uid=? AND "
                     "lgn_type=?",
                     -1, &update, nullptr);
  sqlite3_prepare_v2(db,
                     "INSERT INTO talk_message (uid,type,fromMember,fromType,toMember,toType,body,currTime,"
                     "lgn_account,lgn_uid,lgn_type) values (?,?,?,?,?,?,?,?,?,?,?)",
                     -1, &insert, nullptr);
  const std::int64_t now = kanzo::platform::CurrentClock().NowSeconds();
  for (int i = 0; i < lines; ++i) {
    sqlite3_bind_text(update, 1, "上海", -1, SQLITE_STATIC);
    sqlite3_bind_int64(update, 2, now);
    sqlite3_bind_int(update, 3, kVisitorId);
    sqlite3_bind_int(update, 4, kAgent.account);
    sqlite3_bind_int(update, 5, kAgent.agentId);
    sqlite3_bind_int(update, 6, kAgent.agentType);
    sqlite3_step(update);
    sqlite3_reset(update);

    const std::string text = LineText(i);
    const bool incoming = i % 2 == 0;
    sqlite3_bind_int(insert, 1, kVisitorId);
    sqlite3_bind_int(insert, 2, kanzo::kContactKindVisitor);
    sqlite3_bind_int(insert, 3, incoming ? kVisitorId : kAgent.agentId);
    sqlite3_bind_int(insert, 4, incoming ? kanzo::kContactKindVisitor : kAgent.agentType);
    sqlite3_bind_int(insert, 5, incoming ? kAgent.agentId : kVisitorId);
    sqlite3_bind_int(insert, 6, incoming ? kAgent.agentType : kanzo::kContactKindVisitor);
    sqlite3_bind_text(insert, 7, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(insert, 8, now);
    sqlite3_bind_int(insert, 9, kAgent.account);
    sqlite3_bind_int(insert, 10, kAgent.agentId);
    sqlite3_bind_int(insert, 11, kAgent.agentType);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(update);
  sqlite3_finalize(insert);
  const bool committed = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return committed ? Seconds(Clock::now() - start) : -1;
}

long long CountLines() {
  kanzo::DbRows rows;
  if (!kanzo::DbQuery("SELECT COUNT(*) FROM talk_message", &rows) || rows.empty()) return -1;
  return std::stoll(rows[0][0]);
}

}  // namespace

int main(int argc, char** argv) {
  int lines = argc > 1 ? std::atoi(argv[1]) : kDefaultLines;
  if (lines <= 0 || lines > kMaxLines) lines = kDefaultLines;

  std::string folder = (std::filesystem::temp_directory_path() / "kanzo-db-bench-XXXXXX").string();
  if (!mkdtemp(folder.data())) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string path = folder + "/" + kanzo::kDatabaseFileName;
  kanzo::SetDatabasePath(path);
  kanzo::DBManager::Init();

  const double storeSeconds = StoreThreadSeconds(lines);
  const long long stored = CountLines();
  kanzo::DbExec("DELETE FROM talk_message");
  const double batchSeconds = OneTransactionSeconds(path, lines);
  const long long batched = CountLines();
  std::filesystem::remove_all(folder);

  if (storeSeconds <= 0 || batchSeconds <= 0 || stored != lines || batched != lines) {
    std::fprintf(stderr, "benchmark failed: stored %lld and %lld of %d lines\n", stored, batched, lines);
    return 1;
  }
  const double storeRate = lines / storeSeconds;
  const double batchRate = lines / batchSeconds;
  std::printf("lines: %d\n", lines);
  std::printf("store thread, a transaction per run:     %10.1f lines/s (%.3f s)\n", storeRate, storeSeconds);
  std::printf("one transaction on one connection:       %10.1f lines/s (%.3f s)\n", batchRate, batchSeconds);
  std::printf("ratio (store thread / one transaction):  %10.2f\n", storeRate / batchRate);
  using kanzo::bench::Figure;
  kanzo::bench::ReportFigure(Figure{"chat lines stored by the store thread",
                                    storeRate,
                                    "lines/s",
                                    batchRate,
                                    {"≥ 1000 lines/s", storeRate >= kAimLinesPerSecond}});
  kanzo::bench::ReportFigure(Figure{"store thread / one transaction",
                                    storeRate / batchRate,
                                    "share",
                                    NAN,
                                    {"≥ 0.5", storeRate / batchRate >= kAimShareOfBaseline}});
  return 0;
}
