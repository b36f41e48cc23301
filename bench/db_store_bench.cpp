// Chat lines stored per second by the store thread, which writes each run of
// queued lines in one transaction (a savepoint, a count and two writes per
// line, and two log records), beside SQLite writing the same rows with two
// prepared statements in one transaction on one connection. The benchmark
// checks that both wrote the same rows. Both run in the same temporary
// folder in the same run, each round on a new database file of its own (so
// neither reuses pages the other freed), alternately, and the best round of
// each counts.
//
// Usage: kanzo_db_store_bench [lines]   (default 300, at most 20000)
#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "bench_report.h"
#include "bench_timing.h"
#include "db/db_access.h"
#include "db/db_manager.h"
#include "db/store_talk_message_tread.h"
#include "platform/clock.h"
#include "records/agent_record.h"
#include "records/contact_table.h"

namespace {

using kanzo::AgentTriple;
using kanzo::bench::Clock;
using kanzo::bench::Seconds;

constexpr int kDefaultLines = 300;
constexpr int kMaxLines = 20000;
constexpr int kRounds = 5;
constexpr std::int32_t kVisitorId = 4242;
constexpr AgentTriple kAgent{9001, 77, 1};
constexpr double kAimLinesPerSecond = 1000;
constexpr double kAimShareOfBaseline = 0.5;

std::string LineText(int i) { return "访客说：第 " + std::to_string(i) + " 行 it's [#333333]markup[/#333333]"; }

// The visitor as the visitor list knows one: every detail the user_info
// row holds.
struct VisitorDetails {
  const char* name = "访客 4242";
  const char* area = "上海";
  const char* source = "http://www.example.com/search?q=产品";
  const char* currentPage = "http://shop.example.com/product/42";
  const char* pageTitle = "产品详情";
  const char* ip = "10.1.2.3";
  const char* phone = "13800000000";
  const char* remark = "老客户";
  const char* onlineTime = "09:30:00";
  const char* lastTalkTime = "09:31:00";
};
constexpr VisitorDetails kVisitor;

// The store thread: count, update user_info and insert the line for each
// line, the lines queued at once in one transaction.
double StoreThreadSeconds(int lines) {
  kanzo::ContactTable contacts;
  kanzo::SharedAgentRecord agent;
  agent.Update([](kanzo::AgentRecord& r) { r.triple = kAgent; });
  auto visitor = std::make_unique<kanzo::ContactRecord>();
  visitor->id = kVisitorId;
  visitor->kind = kanzo::kContactKindVisitor;
  visitor->name = kVisitor.name;
  visitor->area = kVisitor.area;
  visitor->source = kVisitor.source;
  visitor->currentPage = kVisitor.currentPage;
  visitor->pageTitle = kVisitor.pageTitle;
  visitor->ip = kVisitor.ip;
  visitor->phone = kVisitor.phone;
  visitor->remark = kVisitor.remark;
  visitor->onlineTime = kVisitor.onlineTime;
  visitor->lastTalkTime = kVisitor.lastTalkTime;
  contacts.Enter(std::move(visitor));

  const auto start = Clock::now();
  kanzo::StoreTalkMessageTread store(contacts, agent);
  store.start();
  for (int i = 0; i < lines; ++i) store.Add(kVisitorId, LineText(i), i % 2 == 0);
  store.stop();
  return Seconds(Clock::now() - start);
}

// The same rows (the visitor's user_info row once, then one user_info
// update of the same columns and one talk_message insert per line) through
// prepared statements in one transaction on one connection: what SQLite
// itself takes to write what the store thread writes.
double OneTransactionSeconds(const std::string& path, int lines) {
  const auto start = Clock::now();
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) return -1;
  sqlite3_stmt* update = nullptr;
  sqlite3_stmt* insert = nullptr;
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  const std::int64_t now = kanzo::platform::CurrentClock().NowSeconds();
  const char* texts[] = {kVisitor.area, kVisitor.source, kVisitor.currentPage, kVisitor.pageTitle,
                         kVisitor.ip,   kVisitor.phone,  kVisitor.remark,      kVisitor.onlineTime};
  sqlite3_stmt* row = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO user_info (uid,type,name,area,source,currentPage,pageTitle,ip,phone,remark,"
                     "onlineTime,lastTalkTime,currTime,lgn_account,lgn_uid,lgn_type) values "
                     "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                     -1, &row, nullptr);
  sqlite3_bind_int(row, 1, kVisitorId);
  sqlite3_bind_int(row, 2, kanzo::kContactKindVisitor);
  sqlite3_bind_text(row, 3, kVisitor.name, -1, SQLITE_STATIC);
  for (int t = 0; t < 8; ++t) sqlite3_bind_text(row, 4 + t, texts[t], -1, SQLITE_STATIC);
  sqlite3_bind_text(row, 12, kVisitor.lastTalkTime, -1, SQLITE_STATIC);
  sqlite3_bind_int64(row, 13, now);
  sqlite3_bind_int(row, 14, kAgent.account);
  sqlite3_bind_int(row, 15, kAgent.agentId);
  sqlite3_bind_int(row, 16, kAgent.agentType);
  sqlite3_step(row);
  sqlite3_finalize(row);
  sqlite3_prepare_v2(db,
                     "UPDATE user_info SET area=?,source=?,currentPage=?,pageTitle=?,ip=?,phone=?,remark=?,"
                     "onlineTime=?,currTime=? WHERE uid=? AND lgn_account=? AND lgn_uid=? AND lgn_type=?",
                     -1, &update, nullptr);
  sqlite3_prepare_v2(db,
                     "INSERT INTO talk_message (uid,type,fromMember,fromType,toMember,toType,body,currTime,"
                     "lgn_account,lgn_uid,lgn_type) values (?,?,?,?,?,?,?,?,?,?,?)",
                     -1, &insert, nullptr);
  for (int i = 0; i < lines; ++i) {
    for (int t = 0; t < 8; ++t) sqlite3_bind_text(update, 1 + t, texts[t], -1, SQLITE_STATIC);
    sqlite3_bind_int64(update, 9, now);
    sqlite3_bind_int(update, 10, kVisitorId);
    sqlite3_bind_int(update, 11, kAgent.account);
    sqlite3_bind_int(update, 12, kAgent.agentId);
    sqlite3_bind_int(update, 13, kAgent.agentType);
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

// Every row of the file but the times it was written at: the store thread's
// and the baseline's must be the same, or the comparison is not fair.
kanzo::DbRows RowsOf(const std::string& path) {
  kanzo::SetDatabasePath(path);
  kanzo::DbRows rows;
  kanzo::DbQuery(
      "SELECT uid,type,name,area,source,currentPage,pageTitle,ip,phone,remark,onlineTime,lastTalkTime,"
      "lgn_account,lgn_uid,lgn_type FROM user_info",
      &rows);
  kanzo::DbQuery(
      "SELECT uid,type,fromMember,fromType,toMember,toType,body,lgn_account,lgn_uid,lgn_type FROM "
      "talk_message ORDER BY rowid",
      &rows);
  return rows;
}

}  // namespace

int main(int argc, char** argv) {
  const int lines = kanzo::bench::CountArgument(argc, argv, 1, kDefaultLines, 1, kMaxLines);

  std::string folder = (std::filesystem::temp_directory_path() / "kanzo-db-bench-XXXXXX").string();
  if (!mkdtemp(folder.data())) {
    std::perror("mkdtemp");
    return 1;
  }
  // A new, empty database file, as the program makes it.
  int files = 0;
  const auto newDatabase = [&] {
    const std::string path = folder + "/" + std::to_string(++files) + "-" + kanzo::kDatabaseFileName;
    kanzo::SetDatabasePath(path);
    kanzo::DBManager::Init();
    return path;
  };
  double storeSeconds = 0;
  double batchSeconds = 0;
  bool complete = true;
  for (int round = 0; round < kRounds && complete; ++round) {
    const std::string storeFile = newDatabase();
    const double store = StoreThreadSeconds(lines);
    const std::string batchFile = newDatabase();
    const double batch = OneTransactionSeconds(batchFile, lines);
    const kanzo::DbRows stored = RowsOf(storeFile);
    // The visitor's row and one row per line.
    complete =
        store > 0 && batch > 0 && stored.size() == static_cast<std::size_t>(lines) + 1 && RowsOf(batchFile) == stored;
    storeSeconds = round == 0 ? store : std::min(storeSeconds, store);
    batchSeconds = round == 0 ? batch : std::min(batchSeconds, batch);
  }
  std::filesystem::remove_all(folder);
  if (!complete) {
    std::fprintf(stderr, "benchmark failed: a round did not store the same %d lines both ways\n", lines);
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
