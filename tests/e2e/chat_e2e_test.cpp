// The chat window in the whole client against the simulator: a visitor's
// line reaches the client, is stored as display markup with its face and
// telephone link, and is loaded again by the next run.
#include <sqlite3.h>

#include <csignal>

#include "e2e/session_fixture.h"
#include "protocol/commands.h"

namespace kanzo::test {
namespace {

using std::chrono::seconds;

constexpr auto kLineWait = seconds(8);
constexpr auto kExitWait = seconds(8);
constexpr std::int32_t kVisitor = 3050;

// Bodies of the stored lines with `visitor`, oldest first.
std::vector<std::string> StoredBodies(const std::string& folder, std::int32_t visitor) {
  std::vector<std::string> bodies;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2((folder + "qmb.db").c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* stmt = nullptr;
    const std::string sql = "SELECT body FROM talk_message WHERE uid=" + std::to_string(visitor) + " ORDER BY rowid";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK) {
      while (sqlite3_step(stmt) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        bodies.emplace_back(text ? text : "");
      }
    }
    sqlite3_finalize(stmt);
  }
  sqlite3_close(db);
  return bodies;
}

TEST_F(ClientSessionTest, VisitorLineIsStoredAsMarkupAndComesBackAfterARestart) {
  StartClient();
  ASSERT_FALSE(WaitForMainWindow().empty());
  ASSERT_TRUE(sim_->Command("visitor " + std::to_string(kVisitor) + " area=上海市").ok);
  ASSERT_TRUE(sim_->Command("say " + std::to_string(kVisitor) + " 你好[FACE]00_微笑[/FACE]，电话13812345678").ok);

  // Stored by the chat window's store thread as the transcript shows it.
  std::vector<std::string> bodies;
  ASSERT_TRUE(WaitFor([&] { return !(bodies = StoredBodies(folder(), kVisitor)).empty(); }, kLineWait))
      << "the line was not stored";
  ASSERT_EQ(bodies.size(), 1u);
  EXPECT_NE(bodies[0].find("[#4895E1]访客3050 ("), std::string::npos) << bodies[0];
  EXPECT_NE(bodies[0].find("[>00C8]你好[@00_微笑.gif]，电话[!]13812345678[>00C8]\n"), std::string::npos) << bodies[0];
  const std::string log = ClientLogText(folder());
  EXPECT_NE(log.find("接收消息：FROM_TYPE=2 FROM=3050"), std::string::npos);

  ASSERT_TRUE(client_->Signal(SIGTERM));
  ASSERT_TRUE(client_->WaitExit(kExitWait).has_value());
  StartClient();
  ASSERT_FALSE(WaitForMainWindow().empty());
  ASSERT_TRUE(
      WaitFor([&] { return ClientLogText(folder()).find("载入今日会话：USER_ID=3050 条数=1") != std::string::npos; },
              kLineWait))
      << "today's conversation did not come back";
  EXPECT_EQ(StoredBodies(folder(), kVisitor).size(), 1u) << "the loaded line was stored again";
}

}  // namespace
}  // namespace kanzo::test
