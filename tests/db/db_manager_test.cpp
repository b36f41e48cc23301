#include "db/db_manager.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <string>
#include <vector>

#include "db/db_time.h"
#include "db_test_support.h"
#include "log/cx_log.h"

namespace kanzo {
namespace {

constexpr AgentTriple kAgent{9001, 77, 1};
constexpr AgentTriple kOtherAgent{9001, 78, 1};
constexpr std::int32_t kVisitor = 123456;

ContactRecord Visitor(std::int32_t id) {
  ContactRecord r;
  r.id = id;
  r.kind = kContactKindVisitor;
  r.name = "访客 " + std::to_string(id);
  r.area = "上海";
  r.source = "http://search.example/?q=kanzo";
  r.currentPage = "http://shop.example/item/1";
  r.pageTitle = "商品";
  r.ip = "10.0.0.1";
  r.onlineTime = "2024-03-11 08:00:00";
  r.lastTalkTime = "1710144000";
  return r;
}

TalkLine IncomingLine(std::int32_t visitor, const std::string& body) {
  return TalkLine{visitor, kContactKindVisitor, kAgent.agentId, kAgent.agentType, body};
}

class DBManagerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(DBManager::Init()); }
  std::vector<std::string> TodayLines(std::int32_t visitor, const AgentTriple& agent = kAgent) {
    std::vector<std::string> bodies;
    EXPECT_TRUE(DBManager::QueryCurrentDayTalkMessageById(visitor, agent, &bodies));
    return bodies;
  }
  test::DbFixtureState state;
};

std::string WithoutIfNotExists(std::string sql) {
  const std::string clause = "IF NOT EXISTS ";
  sql.erase(sql.find(clause), clause.size());
  return sql;
}

TEST_F(DBManagerTest, InitCreatesTheSevenTablesExactly) {
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"login_info",
       "CREATE TABLE IF NOT EXISTS login_info(uid int,username varchar(20) UNIQUE, password varchar(20), "
       "keep_password int, auto_login int, state int, login_time int , is_login int)"},
      {"sys_message", "CREATE TABLE IF NOT EXISTS sys_message(id int,type int,body varchar(1000),datetime int)"},
      {"leave_message", "CREATE TABLE IF NOT EXISTS leave_message(id int,uid int,body varchar(2000),datetime int)"},
      {"setting_info",
       "CREATE TABLE IF NOT EXISTS setting_info( uid int, flick_state int default 3,sound_state int default 1)"},
      {"send_msg_type", "CREATE TABLE IF NOT EXISTS send_msg_type( uid int, key varchar(20),type int default 0)"},
      {"user_info",
       "CREATE TABLE IF NOT EXISTS user_info( uid int,type int,name varchar(50),area varchar(50),source "
       "varchar(255),currentPage varchar(255),pageTitle varchar(100),ip varchar(20),phone varchar(20),remark "
       "varchar(100),onlineTime varchar(30),lastTalkTime varchar(30),currTime INTEGER,lgn_account int,lgn_uid "
       "int,lgn_type int)"},
      {"talk_message",
       "CREATE TABLE IF NOT EXISTS talk_message( uid int,type int,fromMember int,fromType int,toMember int,toType "
       "int,body TEXT,currTime INTEGER,lgn_account int,lgn_uid int,lgn_type int)"},
  };
  // SQLite keeps each CREATE text as written, without "IF NOT EXISTS".
  const auto rows =
      test::RawQuery(state.Path(), "SELECT name, sql FROM sqlite_master WHERE type='table' ORDER BY rowid");
  ASSERT_EQ(rows.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(rows[i][0], expected[i].first);
    EXPECT_EQ(rows[i][1], WithoutIfNotExists(expected[i].second));
  }
  // A second start-up changes nothing.
  EXPECT_TRUE(DBManager::Init());
  EXPECT_EQ(test::RawCount(state.Path(), "sqlite_master"), static_cast<std::int64_t>(expected.size()) + 1)
      << "the UNIQUE user name adds one automatic index";
}

TEST_F(DBManagerTest, DayBoundariesAreUtcDays) {
  const std::int64_t today = 1710115200;  // 2024-03-11 00:00:00 UTC
  EXPECT_EQ(StartOfTodayUtc(today), today);
  EXPECT_EQ(StartOfTodayUtc(today + kSecondsPerDay - 1), today);
  EXPECT_EQ(StartOfTodayUtc(today - 1), today - kSecondsPerDay);
  EXPECT_EQ(RetentionLimit(today + 3600), today - 5 * kSecondsPerDay);
  EXPECT_EQ(RetentionLimit(today), today - 5 * kSecondsPerDay);
}

TEST_F(DBManagerTest, StartUpRemovesRowsOlderThanFiveUtcDays) {
  const std::int64_t today = StartOfTodayUtc(test::kNoon20240311);
  const std::int64_t limit = today - 5 * kSecondsPerDay;
  const std::int64_t times[] = {limit - kSecondsPerDay, limit - 1, limit, limit + 1, today - 1, today, today + 60};
  for (const std::int64_t t : times) {
    const std::string v = std::to_string(t);
    ASSERT_TRUE(test::RawExec(state.Path(), "INSERT INTO user_info (uid, currTime) VALUES(" + v + "," + v + ")"));
    ASSERT_TRUE(test::RawExec(state.Path(), "INSERT INTO talk_message (uid, currTime) VALUES(" + v + "," + v + ")"));
  }
  ASSERT_TRUE(DBManager::Init());
  const std::vector<std::vector<std::string>> kept = {{std::to_string(limit)},
                                                      {std::to_string(limit + 1)},
                                                      {std::to_string(today - 1)},
                                                      {std::to_string(today)},
                                                      {std::to_string(today + 60)}};
  EXPECT_EQ(test::RawQuery(state.Path(), "SELECT currTime FROM user_info ORDER BY currTime"), kept);
  EXPECT_EQ(test::RawQuery(state.Path(), "SELECT currTime FROM talk_message ORDER BY currTime"), kept);
}

// Sets TZ for the test's life, so local times can be turned into instants.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* tz) {
    if (const char* old = getenv("TZ")) old_ = old, hadOld_ = true;
    setenv("TZ", tz, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    if (hadOld_)
      setenv("TZ", old_.c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }

 private:
  std::string old_;
  bool hadOld_ = false;
};

std::int64_t LocalInstant(int year, int month, int day, int hour, int minute, int second) {
  struct tm t {};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  t.tm_isdst = 0;
  return static_cast<std::int64_t>(mktime(&t));
}

TEST_F(DBManagerTest, TodayStartsAtUtcMidnightNotLocalMidnight) {
  ScopedTimeZone zone("CST-8");  // UTC+8, no daylight saving
  // 07:59 local on the 11th is 23:59 UTC on the 10th: yesterday's line.
  state.clock.SetSeconds(LocalInstant(2024, 3, 11, 7, 59, 0));
  ASSERT_TRUE(DBManager::InsertTalkMessage(IncomingLine(kVisitor, "yesterday"), kVisitor, 2, kAgent));
  ASSERT_TRUE(DBManager::InsertUserInfo(Visitor(kVisitor), kAgent));
  // 08:00 local on the 11th is the first second of the UTC day.
  state.clock.SetSeconds(LocalInstant(2024, 3, 11, 8, 0, 0));
  ASSERT_EQ(state.clock.NowSeconds() % kSecondsPerDay, 0);
  ASSERT_TRUE(DBManager::InsertTalkMessage(IncomingLine(kVisitor, "first second"), kVisitor, 2, kAgent));

  state.clock.SetSeconds(LocalInstant(2024, 3, 11, 9, 30, 0));
  EXPECT_EQ(TodayLines(kVisitor), (std::vector<std::string>{"first second"}));
  std::vector<std::unique_ptr<ContactRecord>> visitors;
  ASSERT_TRUE(DBManager::QueryCurrentDayUserInfoForList(kAgent, &visitors));
  EXPECT_TRUE(visitors.empty());
}

TEST_F(DBManagerTest, TodayQueryReturnsTheFiftyNewestNewestFirst) {
  for (int i = 0; i < 60; ++i)
    ASSERT_TRUE(DBManager::InsertTalkMessage(IncomingLine(kVisitor, "line " + std::to_string(i)), kVisitor, 2, kAgent));
  ASSERT_TRUE(DBManager::InsertTalkMessage(IncomingLine(kVisitor + 1, "other visitor"), kVisitor + 1, 2, kAgent));
  ASSERT_TRUE(DBManager::InsertTalkMessage(IncomingLine(kVisitor, "other agent"), kVisitor, 2, kOtherAgent));
  const auto lines = TodayLines(kVisitor);
  ASSERT_EQ(lines.size(), 50u);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(lines[i], "line " + std::to_string(59 - i));
}

TEST_F(DBManagerTest, UserInfoInsertWritesAllColumnsAndUpdateOnlyTheDetails) {
  ContactRecord v = Visitor(kVisitor);
  v.phone = "13800000000";
  v.remark = "老客户";
  EXPECT_EQ(DBManager::CountUserInfo(kVisitor, kAgent), 0);
  ASSERT_TRUE(DBManager::InsertUserInfo(v, kAgent));
  EXPECT_EQ(DBManager::CountUserInfo(kVisitor, kAgent), 1);
  EXPECT_EQ(DBManager::CountUserInfo(kVisitor, kOtherAgent), 0);

  ContactRecord changed = v;
  changed.name = "not written";
  changed.lastTalkTime = "not written";
  changed.kind = 144;
  changed.area = "北京";
  changed.pageTitle = "新页面";
  state.clock.SetSeconds(test::kNoon20240311 + 60);
  ASSERT_TRUE(DBManager::UpdateUserInfo(changed, kAgent));
  EXPECT_EQ(DBManager::CountUserInfo(kVisitor, kAgent), 1);

  std::vector<std::unique_ptr<ContactRecord>> list;
  ASSERT_TRUE(DBManager::QueryCurrentDayUserInfoForList(kAgent, &list));
  ASSERT_EQ(list.size(), 1u);
  const ContactRecord& r = *list[0];
  EXPECT_EQ(r.id, kVisitor);
  EXPECT_EQ(r.kind, kContactKindVisitor);
  EXPECT_EQ(r.name, v.name);
  EXPECT_EQ(r.lastTalkTime, v.lastTalkTime);
  EXPECT_EQ(r.area, "北京");
  EXPECT_EQ(r.pageTitle, "新页面");
  EXPECT_EQ(r.source, v.source);
  EXPECT_EQ(r.currentPage, v.currentPage);
  EXPECT_EQ(r.ip, v.ip);
  EXPECT_EQ(r.phone, v.phone);
  EXPECT_EQ(r.remark, v.remark);
  EXPECT_EQ(r.onlineTime, v.onlineTime);
  EXPECT_EQ(r.state, kVisitorStateIdle);
  EXPECT_EQ(r.unread, 0);
  EXPECT_EQ(test::RawQuery(state.Path(), "SELECT currTime, lgn_account, lgn_uid, lgn_type FROM user_info"),
            (std::vector<std::vector<std::string>>{{std::to_string(test::kNoon20240311 + 60), "9001", "77", "1"}}));

  // The numbers go in bound as decimal text; the int columns must still hold
  // them as integers, as the rows of earlier versions do.
  ASSERT_TRUE(DBManager::InsertTalkMessage(IncomingLine(kVisitor, "你好"), kVisitor, kContactKindVisitor, kAgent));
  const std::vector<std::vector<std::string>> integers{{"integer"}};
  EXPECT_EQ(
      test::RawQuery(state.Path(),
                     "SELECT DISTINCT typeof(c) FROM (SELECT uid AS c FROM user_info UNION ALL SELECT type FROM "
                     "user_info UNION ALL SELECT currTime FROM user_info UNION ALL SELECT lgn_uid FROM user_info)"),
      integers);
  EXPECT_EQ(
      test::RawQuery(state.Path(),
                     "SELECT DISTINCT typeof(c) FROM (SELECT uid AS c FROM talk_message UNION ALL SELECT fromMember "
                     "FROM talk_message UNION ALL SELECT toType FROM talk_message UNION ALL SELECT currTime FROM "
                     "talk_message UNION ALL SELECT lgn_account FROM talk_message)"),
      integers);
}

TEST_F(DBManagerTest, SqlCharactersInTextsRoundTrip) {
  const std::string texts[] = {"it's", "'", "'; DROP TABLE talk_message; --", "\"%s\" ?", "a\\'b''c"};
  std::int32_t id = 500;
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    ++id;
    ContactRecord v = Visitor(id);
    v.name = text;
    v.area = text;
    v.source = text;
    v.currentPage = text;
    v.pageTitle = text;
    v.ip = text;
    v.phone = text;
    v.remark = text;
    v.onlineTime = text;
    v.lastTalkTime = text;
    ASSERT_TRUE(DBManager::InsertUserInfo(v, kAgent));
    ASSERT_TRUE(DBManager::UpdateUserInfo(v, kAgent));
    ASSERT_TRUE(DBManager::InsertTalkMessage(IncomingLine(id, text), id, 2, kAgent));
    EXPECT_EQ(TodayLines(id), (std::vector<std::string>{text}));

    LoginRecord login{id, text, text, true, false, kPresenceOnline};
    ASSERT_TRUE(DBManager::SaveLogin(login));
    DbRows rows;
    ASSERT_TRUE(DBManager::QueryLoginByName(text, &rows));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][1], text);
    EXPECT_EQ(rows[0][2], text);
    ASSERT_TRUE(DBManager::UpdateField("login_info", "password", text + text, id));
    rows.clear();
    ASSERT_TRUE(DBManager::QueryByUid("login_info", id, &rows));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][2], text + text);
  }
  std::vector<std::unique_ptr<ContactRecord>> list;
  ASSERT_TRUE(DBManager::QueryCurrentDayUserInfoForList(kAgent, &list));
  ASSERT_EQ(list.size(), std::size(texts));
  for (std::size_t i = 0; i < list.size(); ++i) {
    const ContactRecord& r = *list[i];
    for (const std::string* field : {&r.name, &r.area, &r.source, &r.currentPage, &r.pageTitle, &r.ip, &r.phone,
                                     &r.remark, &r.onlineTime, &r.lastTalkTime})
      EXPECT_EQ(*field, texts[i]);
  }
}

TEST_F(DBManagerTest, SettingsRowIsCreatedOnceWithDefaults) {
  for (int login = 0; login < 3; ++login) ASSERT_TRUE(DBManager::EnsureSetting(kAgent.agentId));
  DbRows rows;
  ASSERT_TRUE(DBManager::QuerySetting(kAgent.agentId, &rows));
  EXPECT_EQ(rows, (DbRows{{"77", "3", "1"}}));
  ASSERT_TRUE(DBManager::UpdateFlickState(kAgent.agentId, kFlickStateChatWindow));
  ASSERT_TRUE(DBManager::UpdateSoundState(kAgent.agentId, kSoundStateOff));
  ASSERT_TRUE(DBManager::EnsureSetting(kAgent.agentId));
  rows.clear();
  ASSERT_TRUE(DBManager::QuerySetting(kAgent.agentId, &rows));
  EXPECT_EQ(rows, (DbRows{{"77", "4", "2"}}));
}

TEST_F(DBManagerTest, LoginIsInsertedOnceThenUpdatedAndMarkedLoggedOut) {
  ASSERT_TRUE(DBManager::SaveLogin(LoginRecord{77, "alice", "secret", true, true, kPresenceAway}));
  state.clock.SetSeconds(test::kNoon20240311 + 10);
  ASSERT_TRUE(DBManager::SaveLogin(LoginRecord{78, "bob", "hidden", false, false, kPresenceOnline}));
  DbRows rows;
  ASSERT_TRUE(DBManager::QueryStoredLogins(&rows));
  EXPECT_EQ(rows, (DbRows{{"bob", "", "0", "0", "2", "1"}, {"alice", "secret", "1", "1", "3", "1"}}));

  // Alice logs in again without keeping her password: same row, now first.
  state.clock.SetSeconds(test::kNoon20240311 + 20);
  ASSERT_TRUE(DBManager::SaveLogin(LoginRecord{77, "alice", "secret", false, false, kPresenceOnline}));
  ASSERT_TRUE(DBManager::MarkLoggedOut("alice"));
  rows.clear();
  ASSERT_TRUE(DBManager::QueryStoredLogins(&rows));
  EXPECT_EQ(rows, (DbRows{{"alice", "", "0", "0", "2", "2"}, {"bob", "", "0", "0", "2", "1"}}));
  EXPECT_EQ(test::RawCount(state.Path(), "login_info"), 2);
}

TEST_F(DBManagerTest, SendKeyChoiceIsInsertedThenUpdated) {
  ASSERT_TRUE(DBManager::SaveSendMsgType(77, "77", 1));
  ASSERT_TRUE(DBManager::SaveSendMsgType(77, "77", 0));
  DbRows rows;
  ASSERT_TRUE(DBManager::QuerySendMsgType(77, &rows));
  EXPECT_EQ(rows, (DbRows{{"77", "77", "0"}}));
}

TEST_F(DBManagerTest, TableAndColumnNamesMustBePlain) {
  DbRows rows;
  EXPECT_FALSE(DBManager::QueryByUid("login_info; DELETE FROM login_info", 1, &rows));
  EXPECT_FALSE(DBManager::UpdateField("login_info", "password = 'x', uid", "y", 1));
  EXPECT_FALSE(DBManager::UpdateField("", "password", "y", 1));
  EXPECT_TRUE(DBManager::UpdateField("setting_info", "flick_state", "4", 1));
}

TEST_F(DBManagerTest, DeleteRemovesOnlyThatVisitorsLinesOfThisAgent) {
  state.clock.SetSeconds(test::kNoon20240311 - 2 * kSecondsPerDay);
  ASSERT_TRUE(DBManager::InsertTalkMessage(IncomingLine(kVisitor, "two days ago"), kVisitor, 2, kAgent));
  state.clock.SetSeconds(test::kNoon20240311);
  ASSERT_TRUE(DBManager::InsertTalkMessage(IncomingLine(kVisitor, "today"), kVisitor, 2, kAgent));
  ASSERT_TRUE(DBManager::InsertTalkMessage(IncomingLine(kVisitor, "colleague's"), kVisitor, 2, kOtherAgent));
  ASSERT_TRUE(DBManager::InsertTalkMessage(IncomingLine(kVisitor + 1, "another"), kVisitor + 1, 2, kAgent));
  ASSERT_TRUE(DBManager::DeleteUserTalkMessageById(kVisitor, kAgent));
  EXPECT_EQ(test::RawQuery(state.Path(), "SELECT body FROM talk_message ORDER BY rowid"),
            (std::vector<std::vector<std::string>>{{"colleague's"}, {"another"}}));
}

TEST_F(DBManagerTest, TalkMessageRowHoldsSenderReceiverAndAgent) {
  const TalkLine outgoing{kAgent.agentId, kAgent.agentType, kVisitor, kContactKindVisitor, "你好"};
  ASSERT_TRUE(DBManager::InsertTalkMessage(outgoing, kVisitor, kContactKindVisitor, kAgent));
  EXPECT_EQ(
      test::RawQuery(state.Path(), "SELECT * FROM talk_message"),
      (std::vector<std::vector<std::string>>{{std::to_string(kVisitor), "2", "77", "1", std::to_string(kVisitor), "2",
                                              "你好", std::to_string(test::kNoon20240311), "9001", "77", "1"}}));
}

TEST_F(DBManagerTest, OutcomeIsLoggedWithSuccessOrFailureWord) {
  constexpr std::int32_t kLoggedVisitor = 918273;
  ASSERT_TRUE(DBManager::InsertTalkMessage(IncomingLine(kLoggedVisitor, "x"), kLoggedVisitor, 2, kAgent));
  test::WriteFile(state.Path(), "not a database");
  EXPECT_FALSE(DBManager::UpdateUserInfo(Visitor(kLoggedVisitor), kAgent));
  CxLog::Instance().Flush();
  const std::string log = test::ReadFile(CxLog::Instance().FilePath());
  EXPECT_NE(log.find("插入[用户ID=918273,用户类型=2]聊天信息成功"), std::string::npos);
  EXPECT_NE(log.find("更新[用户ID=918273]交谈的用户信息失败"), std::string::npos);
  EXPECT_NE(log.find("DBManager::UpdateUserInfo"), std::string::npos);
}

}  // namespace
}  // namespace kanzo
