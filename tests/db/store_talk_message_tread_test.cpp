#include "db/store_talk_message_tread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>

#include "db/db_manager.h"
#include "db_test_support.h"

namespace kanzo {
namespace {

constexpr AgentTriple kAgent{9001, 77, 1};
constexpr AgentTriple kRelogged{9002, 88, 2};

class StoreTalkMessageTreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(DBManager::Init());
    agent.Update([](AgentRecord& r) { r.triple = kAgent; });
  }
  ContactRecord* AddVisitor(std::int32_t id, const std::string& area = "上海") {
    auto r = std::make_unique<ContactRecord>();
    r->id = id;
    r->kind = kContactKindVisitor;
    r->name = "访客 " + std::to_string(id);
    r->area = area;
    return contacts.Enter(std::move(r));
  }
  std::int64_t Lines(const std::string& where = "1") { return test::RawCount(state.Path(), "talk_message", where); }

  test::DbFixtureState state;
  ContactTable contacts;
  SharedAgentRecord agent;
};

TEST_F(StoreTalkMessageTreadTest, FirstLineInsertsVisitorAndLaterLinesUpdateIt) {
  AddVisitor(42, "上海");
  StoreTalkMessageTread store(contacts, agent);
  ASSERT_TRUE(store.start());
  EXPECT_FALSE(store.start());
  store.Add(42, "hello from visitor", true);
  ASSERT_TRUE(test::WaitFor([&] { return Lines() == 1; }));
  contacts.Update(42, [](ContactRecord& r) { r.area = "北京"; });
  store.Add(42, "agent's answer", false);
  store.stop();

  EXPECT_EQ(test::RawQuery(state.Path(), "SELECT uid, type, area, lgn_account, lgn_uid, lgn_type FROM user_info"),
            (std::vector<std::vector<std::string>>{{"42", "2", "北京", "9001", "77", "1"}}));
  EXPECT_EQ(test::RawQuery(state.Path(),
                           "SELECT uid, type, fromMember, fromType, toMember, toType, body FROM talk_message "
                           "ORDER BY rowid"),
            (std::vector<std::vector<std::string>>{{"42", "2", "42", "2", "77", "1", "hello from visitor"},
                                                   {"42", "2", "77", "1", "42", "2", "agent's answer"}}));
}

TEST_F(StoreTalkMessageTreadTest, LineOfUnknownVisitorIsNotStored) {
  StoreTalkMessageTread store(contacts, agent);
  ASSERT_TRUE(store.start());
  store.Add(404, "nobody", true);
  store.stop();
  EXPECT_EQ(Lines(), 0);
  EXPECT_EQ(test::RawCount(state.Path(), "user_info"), 0);
}

TEST_F(StoreTalkMessageTreadTest, StopStoresEveryQueuedLineExactlyOnce) {
  constexpr int kLines = 100;
  AddVisitor(7);
  for (const bool started : {false, true}) {
    SCOPED_TRACE(started ? "running thread" : "never started");
    ASSERT_TRUE(test::RawExec(state.Path(), "DELETE FROM talk_message"));
    StoreTalkMessageTread store(contacts, agent);
    if (started) ASSERT_TRUE(store.start());
    for (int i = 0; i < kLines; ++i) store.Add(7, "line " + std::to_string(i), i % 2 == 0);
    store.stop();
    EXPECT_EQ(store.QueuedCount(), 0u);
    EXPECT_EQ(Lines(), kLines);
    EXPECT_EQ(test::RawCount(state.Path(), "(SELECT DISTINCT body FROM talk_message)"), kLines);
  }
}

// More lines than the thread takes off the queue at once, and more than one
// transaction stores in its time: cut into several, none lost or doubled.
TEST_F(StoreTalkMessageTreadTest, LongRunIsStoredExactlyOnceAcrossTransactions) {
  const int lines = static_cast<int>(StoreTalkMessageTread::kMaxRunLines) + 2000;
  AddVisitor(7);
  StoreTalkMessageTread store(contacts, agent);
  for (int i = 0; i < lines; ++i) store.Add(7, "line " + std::to_string(i), true);
  ASSERT_TRUE(store.start());
  store.stop();
  EXPECT_EQ(Lines(), lines);
  EXPECT_EQ(test::RawCount(state.Path(), "(SELECT DISTINCT body FROM talk_message)"), lines);
}

TEST_F(StoreTalkMessageTreadTest, DestructorStoresLinesAddedAfterStop) {
  AddVisitor(7);
  {
    StoreTalkMessageTread store(contacts, agent);
    ASSERT_TRUE(store.start());
    store.stop();
    store.Add(7, "late line", true);
  }
  EXPECT_EQ(Lines("body='late line'"), 1);
}

TEST_F(StoreTalkMessageTreadTest, AddDoesNotWaitForALockedDatabase) {
  AddVisitor(7);
  StoreTalkMessageTread store(contacts, agent);
  ASSERT_TRUE(store.start());
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open(state.Path().c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  store.Add(7, "first", true);
  // Once the store thread has taken the first line it waits on the lock this
  // thread holds, and lines added meanwhile stay queued for its next run; so a
  // line can only be queued here if Add does not touch the database.
  ASSERT_TRUE(test::WaitFor([&] { return store.QueuedCount() == 0; }));
  for (int i = 0; i < 50; ++i) store.Add(7, "queued " + std::to_string(i), true);
  const std::size_t queuedWhileLocked = store.QueuedCount();
  sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(holder);
  store.stop();
  EXPECT_GE(queuedWhileLocked, 50u);
  EXPECT_EQ(Lines(), 51);
}

TEST_F(StoreTalkMessageTreadTest, FailingLineIsRolledBackAloneAndTheRestOfItsRunCommits) {
  AddVisitor(7);
  AddVisitor(8);
  ASSERT_TRUE(test::RawExec(state.Path(),
                            "CREATE TRIGGER refuse BEFORE INSERT ON talk_message WHEN NEW.body='refused' "
                            "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
  StoreTalkMessageTread store(contacts, agent);
  // Queued before the thread starts, the lines are taken as one run.
  store.Add(7, "a", true);
  store.Add(8, "refused", true);
  store.Add(7, "b", false);
  ASSERT_TRUE(store.start());
  store.stop();
  EXPECT_EQ(test::RawQuery(state.Path(), "SELECT uid, body FROM talk_message ORDER BY rowid"),
            (std::vector<std::vector<std::string>>{{"7", "a"}, {"7", "b"}}));
  // The refused line's visitor row went with it.
  EXPECT_EQ(test::RawQuery(state.Path(), "SELECT uid FROM user_info"), (std::vector<std::vector<std::string>>{{"7"}}));
}

TEST_F(StoreTalkMessageTreadTest, BothWritersWaitOutATwoSecondLockOfAnotherConnection) {
  constexpr int kLines = 300;
  constexpr auto kHold = std::chrono::seconds(2);
  AddVisitor(7);
  StoreTalkMessageTread store(contacts, agent);
  ASSERT_TRUE(store.start());
  std::atomic<bool> locked{false};
  std::thread otherProcess([&] {
    sqlite3* db = nullptr;
    sqlite3_open(state.Path().c_str(), &db);
    if (sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK) {
      locked = true;
      std::this_thread::sleep_for(kHold);
      sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    sqlite3_close(db);
  });
  ASSERT_TRUE(test::WaitFor([&] { return locked.load(); }));
  for (int i = 0; i < kLines; ++i) store.Add(7, "line " + std::to_string(i), i % 2 == 0);
  const bool uiSaved = DBManager::SaveLogin(LoginRecord{1, "agent", "pw", true, false, 2});
  store.stop();
  otherProcess.join();
  EXPECT_TRUE(uiSaved);
  EXPECT_EQ(test::RawCount(state.Path(), "login_info"), 1);
  EXPECT_EQ(Lines(), kLines);
  EXPECT_EQ(test::RawCount(state.Path(), "(SELECT DISTINCT body FROM talk_message)"), kLines);
}

// The user-interface thread writes the database, changes the visitor's
// record and the agent record, and another connection holds the write lock
// now and then, all while the store thread writes. No line may be lost and
// every line must carry one agent's numbers, never a mix of two.
TEST_F(StoreTalkMessageTreadTest, StoreThreadAndUserInterfaceWritingAtOnceLoseNothing) {
  constexpr int kLines = 150;
  constexpr int kUiRounds = 40;
  AddVisitor(7, "A");
  StoreTalkMessageTread store(contacts, agent);
  ASSERT_TRUE(store.start());

  std::atomic<bool> storing{true};
  std::thread otherProcess([&] {
    for (int i = 0; i < 20 && storing.load(); ++i) {
      sqlite3* db = nullptr;
      sqlite3_open(state.Path().c_str(), &db);
      sqlite3_busy_timeout(db, kDbBusyTimeoutMs);
      if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
      }
      sqlite3_close(db);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });

  int uiFailures = 0;
  for (int i = 0; i < kLines; ++i) {
    store.Add(7, "line " + std::to_string(i), i % 3 != 0);
    if (i % 20 == 10) {
      agent.Update([](AgentRecord& r) { r.triple = r.triple == kAgent ? kRelogged : kAgent; });
      contacts.Update(7, [i](ContactRecord& r) {
        r.area = "A" + std::to_string(i);
        r.source = "S" + std::to_string(i);
        r.ip = "I" + std::to_string(i);
      });
    }
    if (i < kUiRounds) {
      const std::int32_t uid = 1000 + i;
      if (!DBManager::SaveLogin(LoginRecord{uid, "user" + std::to_string(i), "pw", true, false, 2})) ++uiFailures;
      if (!DBManager::EnsureSetting(uid)) ++uiFailures;
      if (!DBManager::UpdateField("setting_info", "sound_state", "2", uid)) ++uiFailures;
      if (!DBManager::SaveSendMsgType(uid, std::to_string(uid), i % 2)) ++uiFailures;
      std::vector<std::string> today;
      if (!DBManager::QueryCurrentDayTalkMessageById(7, kAgent, &today)) ++uiFailures;
    }
  }
  store.stop();
  storing = false;
  otherProcess.join();

  EXPECT_EQ(uiFailures, 0);
  EXPECT_EQ(Lines(), kLines);
  EXPECT_EQ(test::RawCount(state.Path(), "(SELECT DISTINCT body FROM talk_message)"), kLines);
  EXPECT_EQ(test::RawCount(state.Path(), "login_info"), kUiRounds);
  EXPECT_EQ(test::RawCount(state.Path(), "setting_info", "sound_state=2"), kUiRounds);
  // Each line names one agent consistently in its sender or receiver and in
  // its lgn_ columns.
  const std::string consistent =
      "((lgn_account=9001 AND lgn_uid=77 AND lgn_type=1) OR (lgn_account=9002 AND lgn_uid=88 AND lgn_type=2)) AND "
      "((fromMember=7 AND toMember=lgn_uid AND toType=lgn_type) OR "
      "(toMember=7 AND fromMember=lgn_uid AND fromType=lgn_type))";
  EXPECT_EQ(Lines(consistent), kLines);
  // At most one visitor row per agent, its details from one version of the
  // record.
  EXPECT_EQ(test::RawCount(state.Path(), "(SELECT lgn_uid FROM user_info GROUP BY uid, lgn_uid HAVING COUNT(*) > 1)"),
            0);
  const std::int64_t rows = test::RawCount(state.Path(), "user_info");
  EXPECT_GE(rows, 1);
  EXPECT_EQ(
      test::RawCount(state.Path(), "user_info",
                     "(area='A' AND source='' AND ip='') OR (source LIKE 'S%' AND area = 'A' || substr(source, 2) "
                     "AND ip = 'I' || substr(source, 2))"),
      rows);
}

}  // namespace
}  // namespace kanzo
