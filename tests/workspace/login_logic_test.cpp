// The login window's logic without a window: stored logins, the login
// answer's details, the keep-alive records and the session keeping, against
// a real database file, a settable clock and recorded message boxes.
#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "db/db_access.h"
#include "db/db_manager.h"
#include "net/session_id.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/window_message.h"
#include "protocol/commands.h"
#include "protocol/login.h"
#include "protocol/msg.h"
#include "support/server_messages.h"
#include "support/stand_in_window.h"
#include "support/temp_dir.h"
#include "support/window_context_fixture.h"
#include "workspace/keep_alive_records.h"
#include "workspace/login_answer.h"
#include "workspace/login_session.h"
#include "workspace/stored_logins.h"

namespace kanzo {
namespace {

constexpr std::int64_t kStartSeconds = 1'700'000'000;

// ---------------------------------------------------------------- levels

TEST(SignalLevelTest, RoundsAnsweredShareToFourSteps) {
  const struct {
    std::size_t answered, total;
    int level;
  } cases[] = {{0, 0, 0}, {0, 5, 0}, {5, 5, 4},     {7, 8, 4},    {5, 8, 3},   {1, 8, 1},
               {1, 3, 1}, {2, 3, 3}, {100, 100, 4}, {12, 100, 0}, {13, 100, 1}};
  for (const auto& c : cases) EXPECT_EQ(SignalLevel(c.answered, c.total), c.level) << c.answered << "/" << c.total;
}

TEST(RequestRecordsTest, KeepsTheHundredNewestAndHandsOutTheOldest) {
  RequestRecords records;
  for (std::int64_t id = 1; id <= 100; ++id) {
    RequestRecords::Added added = records.Add(id, kKeepAliveRefreshSession, id * 1000);
    ASSERT_NE(added.record, nullptr);
    EXPECT_EQ(added.removed, nullptr);
  }
  ASSERT_NE(records.Answer(1, kKeepAliveRefreshSession, 5), nullptr);
  EXPECT_EQ(records.Level(), 0);  // 1 of 100
  RequestRecords::Added added = records.Add(101, kKeepAliveRelogin, 101000);
  ASSERT_NE(added.removed, nullptr);
  EXPECT_EQ(added.removed->MESSAGE_ID, 1);
  EXPECT_TRUE(added.removed->Answered());
  EXPECT_EQ(records.Size(), 100u);
  EXPECT_EQ(records.AnsweredCount(), 0u);
  EXPECT_EQ(records.InOrder().front()->MESSAGE_ID, 2);
  EXPECT_EQ(records.InOrder().back()->MESSAGE_ID, 101);
  // The same id is not entered twice.
  EXPECT_EQ(records.Add(50, kKeepAliveRefreshSession, 0).record, nullptr);
}

TEST(RequestRecordsTest, AnswerMustMatchTheKind) {
  RequestRecords records;
  records.Add(7, kKeepAliveRelogin, 1000);
  EXPECT_EQ(records.Answer(7, kKeepAliveRefreshSession, 2000), nullptr);
  EXPECT_EQ(records.Answer(8, kKeepAliveRelogin, 2000), nullptr);
  KeepAliveRecord* answered = records.Answer(7, kKeepAliveRelogin, 2500);
  ASSERT_NE(answered, nullptr);
  EXPECT_EQ(*answered->receivedMillis, 2500);
  EXPECT_EQ(records.Level(), 4);
}

TEST(SignalRowTest, TextsOfAnsweredAndOpenRecords) {
  KeepAliveRecord record;
  record.type = kKeepAliveRefreshSession;
  record.sentMillis = kStartSeconds * 1000 + 7;
  SignalRowTexts open = SignalRow(record, 3);
  EXPECT_EQ(open.number, "3");
  EXPECT_EQ(open.type, "刷新SESSION");
  EXPECT_EQ(open.sent.size(), std::string("12:34:56 007").size());
  EXPECT_EQ(open.sent.substr(open.sent.size() - 4), " 007");
  EXPECT_EQ(open.received, "");
  EXPECT_EQ(open.answered, "否");
  record.type = kKeepAliveRelogin;
  record.receivedMillis = kStartSeconds * 1000 + 999;
  SignalRowTexts done = SignalRow(record, 1);
  EXPECT_EQ(done.type, "重新登录");
  EXPECT_EQ(done.received.substr(done.received.size() - 4), " 999");
  EXPECT_EQ(done.answered, "是");
  EXPECT_EQ(SentCounterText(100), "发送次数：100");
  EXPECT_EQ(ReceivedCounterText(0), "接收次数：0");
}

// ---------------------------------------------------------- stored logins

TEST(StoredLoginsTest, FieldsMatchingAndAutomaticLogin) {
  StoredLogins logins;
  logins.Assign({{"alice", "pw-a", "1", "1", "3", "2"},
                 {"bob", "", "0", "0", "2", "1"},
                 {"short", "row"},  // not shaped by the query: skipped
                 {"carol", "kept-but-not-remembered", "0", "1", "9", ""}});
  ASSERT_EQ(logins.Count(), 3);

  StoredLoginFields alice = logins.FieldsFor(0);
  EXPECT_EQ(alice.index, 0);
  EXPECT_EQ(alice.password, "pw-a");
  EXPECT_TRUE(alice.rememberPassword);
  EXPECT_TRUE(alice.autoLogin);
  EXPECT_EQ(alice.presence, kPresenceAway);

  StoredLoginFields carol = logins.FieldsFor(2);
  EXPECT_EQ(carol.password, "");  // keep_password 0 shows no password
  EXPECT_EQ(carol.presence, kPresenceOnline);

  for (int none : {-1, 3, 99}) {
    StoredLoginFields empty = logins.FieldsFor(none);
    EXPECT_EQ(empty.index, -1);
    EXPECT_EQ(empty.password, "");
    EXPECT_FALSE(empty.rememberPassword);
    EXPECT_FALSE(empty.autoLogin);
    EXPECT_EQ(empty.presence, kPresenceOnline);
  }

  EXPECT_EQ(logins.Match("bob"), 1);
  EXPECT_EQ(logins.Match("Bob"), -1);
  EXPECT_EQ(logins.Match("bo"), -1);
  EXPECT_EQ(logins.Match(""), -1);

  EXPECT_TRUE(logins.WantsAutomaticLogin());  // alice: auto_login 1, is_login 2
  logins.Assign({{"alice", "pw-a", "1", "1", "2", "1"}});
  EXPECT_FALSE(logins.WantsAutomaticLogin());  // the last run did not end cleanly
  logins.Assign({{"alice", "pw-a", "1", "0", "2", "2"}});
  EXPECT_FALSE(logins.WantsAutomaticLogin());
  logins.Assign({});
  EXPECT_FALSE(logins.WantsAutomaticLogin());
}

// ------------------------------------------------------- the login's JSON

TEST(AgentDetailsTest, KeysOfTheRightTypeAndDefaultsForTheRest) {
  LoginAgentDetails d;
  ASSERT_TRUE(ReadAgentDetails(
      R"({"sex":1,"age":31,"realname":"王芳","phone":"010-1","mobile":"139","email":"a@b.c","qq":"123",)"
      R"("address":"北京","zipcode":"100000","remark":"夜班","type":1})",
      &d));
  EXPECT_EQ(d.sex, "女");
  EXPECT_EQ(d.age, "31");
  EXPECT_EQ(d.realname, "王芳");
  EXPECT_EQ(d.phone, "010-1");
  EXPECT_EQ(d.mobile, "139");
  EXPECT_EQ(d.email, "a@b.c");
  EXPECT_EQ(d.qq, "123");
  EXPECT_EQ(d.address, "北京");
  EXPECT_EQ(d.zipcode, "100000");
  EXPECT_EQ(d.remark, "夜班");
  EXPECT_EQ(d.kind, 1);

  // Wrong types: numbers as strings, strings as numbers.
  ASSERT_TRUE(ReadAgentDetails(R"({"sex":"1","age":"31","realname":5,"qq":123,"type":"1"})", &d));
  EXPECT_EQ(d.sex, "男");
  EXPECT_EQ(d.age, "0");
  EXPECT_EQ(d.realname, "");
  EXPECT_EQ(d.qq, "");
  EXPECT_EQ(d.kind, 0);

  // A number too large for an int is not an integer here.
  ASSERT_TRUE(ReadAgentDetails(R"({"age":99999999999,"sex":0})", &d));
  EXPECT_EQ(d.age, "0");
  EXPECT_EQ(d.sex, "男");

  // Documents that are not objects have no keys.
  for (const char* notObject : {"[1,2,3]", "5", "\"text\"", "null"}) {
    ASSERT_TRUE(ReadAgentDetails(notObject, &d)) << notObject;
    EXPECT_EQ(d.sex, "男") << notObject;
    EXPECT_EQ(d.age, "0") << notObject;
    EXPECT_EQ(d.realname, "") << notObject;
  }
}

TEST(AgentDetailsTest, TextThatIsNotJsonLeavesEverythingEmpty) {
  const std::string deep(100000, '[');
  for (const std::string& body :
       {std::string(""), std::string("{"), std::string("登录成功"), deep, std::string("{\"realname\":\"x\"")}) {
    LoginAgentDetails d;
    d.realname = "stale";
    EXPECT_FALSE(ReadAgentDetails(body, &d)) << body.substr(0, 20);
    EXPECT_EQ(d.realname, "");
    EXPECT_EQ(d.sex, "");
    EXPECT_EQ(d.age, "");
  }
  Json::Value value;
  EXPECT_FALSE(ParseJsonText(deep, &value));
  EXPECT_TRUE(value.isNull());
}

// -------------------------------------------------------- session keeping

// Stands in for the window: records what is sent and which timers run.
class RecordingHost : public LoginSessionHost {
 public:
  struct Sent {
    std::int64_t id;
    std::int32_t command;
    Login login;
    Msg msg;
  };
  int Send(Message& message) {
    message.SESSION_ID = CurrentSessionId();
    Sent sent{message.MESSAGE_ID, message.command, {}, {}};
    if (const Login* login = message.bodyAs<Login>()) sent.login = *login;
    if (const Msg* msg = message.bodyAs<Msg>()) sent.msg = *msg;
    sent_.push_back(sent);
    return 0;
  }
  void SetTimer(std::uint32_t id, int periodMs) override { timers[id] = periodMs; }
  void KillTimer(std::uint32_t id) override { timers.erase(id); }
  bool Running(std::uint32_t id) const { return timers.count(id) != 0; }

  std::vector<Sent> sent_;
  std::map<std::uint32_t, int> timers;
};

// A window in the router that records its messages.
class RecordingWindow : public test::StandInWindow<> {
 public:
  RecordingWindow(WindowRouter& router, const char* name) : StandInWindow(router, name) {}
  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam w, platform::LParam l) override {
    if (message == kKeepAliveRecordMessage && w == kKeepAliveRecordRemoved)
      removedIds.push_back(platform::TakePayload(kKeepAliveRecordGone, l)->MESSAGE_ID);
    received.push_back({message, w, l});
    return 0;
  }
  std::vector<std::tuple<std::uint32_t, platform::WParam, platform::LParam>> received;
  std::vector<std::int64_t> removedIds;
  std::vector<platform::LParam> Of(std::uint32_t message, platform::WParam w) const {
    std::vector<platform::LParam> out;
    for (const auto& [m, wp, lp] : received)
      if (m == message && wp == w) out.push_back(lp);
    return out;
  }
};

std::unique_ptr<Message> Answer(std::int32_t command, std::int64_t id, std::uint8_t result, std::int64_t session,
                                const Msg* body) {
  return test::ServerMessage({.command = command, .id = id, .result = result, .session = session}, body);
}

Msg LoginAnswerBody(std::int32_t agentId, const std::string& json) {
  Msg body;
  body.account = 5000;
  body.FROM = agentId;
  body.FROM_TYPE = -2;  // sign-extended into the record
  body.BODY = json;
  return body;
}

class LoginSessionTest : public testing::Test {
 protected:
  void SetUp() override {
    SetDatabasePath(dir_.File("qmb.db"));
    ASSERT_TRUE(DBManager::Init());
    platform::SetCurrentClock(&clock_);
    clock_.SetSeconds(kStartSeconds);
    platform::SetUiLoop(&loop_);
    windows_.context.send = [this](Message& message) { return host_.Send(message); };
    SetCurrentSessionId(0);
  }
  void TearDown() override {
    platform::SetUiLoop(nullptr);
    platform::SetCurrentClock(nullptr);
    SetDatabasePath("");
    SetCurrentSessionId(0);
  }

  LoginForm Form(const std::string& name, const std::string& password, bool remember = true, bool autoLogin = false) {
    LoginForm form;
    form.userName = name;
    form.password = password;
    form.rememberPassword = remember;
    form.autoLogin = autoLogin;
    return form;
  }

  // Logs in as agent 42 and starts the keep-alive.
  void LogIn() {
    ASSERT_EQ(session_.Submit(Form("agent", "secret")), SubmitResult::kSent);
    const Msg body = LoginAnswerBody(42, R"({"realname":"李雷","type":1})");
    ASSERT_EQ(session_.OnNetworkMessage(Answer(kCommandLogin, host_.sent_.back().id, 0, 900, &body)).kind,
              AnswerOutcome::Kind::kLoggedIn);
    session_.StartKeepAlive();
    host_.sent_.clear();
  }

  std::vector<platform::LParam> Levels() {
    loop_.RunPending();
    return mainWindow_.Of(kSignalLevelMessage, 0);
  }

  test::TempDir dir_;
  platform::SettableClock clock_;
  platform::ManualUiLoop loop_;
  platform::MessageBoxRecorder boxes_;
  RecordingHost host_;
  test::TestWindowContext windows_;
  RecordingWindow mainWindow_{windows_.router, kMainWindowName};
  LoginSession session_{host_, windows_.context};
};

TEST_F(LoginSessionTest, SubmitAsksForNameAndPasswordThenSendsAndCancels) {
  EXPECT_EQ(session_.Submit(Form("", "x")), SubmitResult::kMissingUserName);
  EXPECT_EQ(session_.Submit(Form("agent", "")), SubmitResult::kMissingPassword);
  ASSERT_EQ(boxes_.Count(), 2u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "请输入用户名");
  EXPECT_EQ(boxes_.Boxes()[1].text, "请输入密码");
  EXPECT_TRUE(host_.sent_.empty());

  session_.SetPresence(kPresenceAway);
  EXPECT_EQ(session_.Submit(Form("agent", "secret")), SubmitResult::kSent);
  EXPECT_TRUE(session_.Waiting());
  ASSERT_EQ(host_.sent_.size(), 1u);
  EXPECT_EQ(host_.sent_[0].command, kCommandLogin);
  EXPECT_EQ(host_.sent_[0].login.username, "agent");
  EXPECT_EQ(host_.sent_[0].login.password, "secret");
  EXPECT_EQ(host_.sent_[0].login.state, kPresenceAway);

  EXPECT_EQ(session_.Submit(Form("agent", "secret")), SubmitResult::kCancelled);
  EXPECT_FALSE(session_.Waiting());
  EXPECT_EQ(host_.sent_.size(), 1u);  // a cancel sends nothing
}

TEST_F(LoginSessionTest, SuccessFillsTheRecordTheTablesAndTheSession) {
  ASSERT_TRUE(DBManager::SaveSendMsgType(42, "ctrl", 1));
  ASSERT_EQ(session_.Submit(Form("agent", "secret", true, true)), SubmitResult::kSent);
  const Msg body = LoginAnswerBody(42, R"({"sex":1,"age":28,"realname":"李雷","type":1,"remark":"r"})");
  const AnswerOutcome outcome = session_.OnNetworkMessage(Answer(kCommandLogin, host_.sent_[0].id, 0, 777, &body));
  EXPECT_EQ(outcome.kind, AnswerOutcome::Kind::kLoggedIn);
  EXPECT_TRUE(session_.LoggedIn());
  EXPECT_EQ(boxes_.Count(), 0u);

  const AgentRecord r = windows_.records.agent.Copy();
  EXPECT_EQ(r.userName, "agent");
  EXPECT_EQ(r.password, "secret");
  EXPECT_EQ(r.presence, kPresenceOnline);
  EXPECT_EQ(r.triple, (AgentTriple{5000, 42, -2}));
  EXPECT_EQ(r.lastSessionTime, kStartSeconds);
  EXPECT_EQ(r.sendKeyType, 1);
  EXPECT_EQ(r.sex, "女");
  EXPECT_EQ(r.age, "28");
  EXPECT_EQ(r.realname, "李雷");
  EXPECT_EQ(r.remark, "r");
  EXPECT_EQ(r.agentKind, 1);
  std::string name;
  ASSERT_TRUE(windows_.records.names.Lookup(42, &name));
  EXPECT_EQ(name, "李雷");
  EXPECT_EQ(CurrentSessionId(), 777);

  DbRows rows;
  ASSERT_TRUE(
      DbQuery("SELECT uid, username, password, keep_password, auto_login, state, login_time, is_login "
              "FROM login_info",
              &rows));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], (DbRow{"42", "agent", "secret", "1", "1", "2", std::to_string(kStartSeconds), "1"}));
  rows.clear();
  ASSERT_TRUE(DBManager::QuerySetting(42, &rows));
  EXPECT_EQ(rows.size(), 1u);

  // Logging in again under the same name updates the row and keeps the
  // one settings row.
  clock_.SetSeconds(kStartSeconds + 5);
  ASSERT_EQ(session_.Submit(Form("agent", "other", false, false)), SubmitResult::kCancelled);
  ASSERT_EQ(session_.Submit(Form("agent", "other", false, false)), SubmitResult::kSent);
  session_.OnNetworkMessage(Answer(kCommandLogin, host_.sent_.back().id, 0, 778, &body));
  rows.clear();
  ASSERT_TRUE(DbQuery("SELECT password, keep_password, auto_login, login_time FROM login_info", &rows));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], (DbRow{"", "0", "0", std::to_string(kStartSeconds + 5)}));
  rows.clear();
  ASSERT_TRUE(DBManager::QuerySetting(42, &rows));
  EXPECT_EQ(rows.size(), 1u);
}

TEST_F(LoginSessionTest, LateSuccessAfterCancelStoresWhatWasSent) {
  session_.SetPresence(kPresenceAway);
  ASSERT_EQ(session_.Submit(Form("first", "pw1")), SubmitResult::kSent);
  const std::int64_t firstId = host_.sent_[0].id;
  ASSERT_EQ(session_.Submit(Form("first", "pw1")), SubmitResult::kCancelled);
  session_.SetPresence(kPresenceOnline);  // the agent changes the form meanwhile
  const Msg body = LoginAnswerBody(7, "{}");
  EXPECT_EQ(session_.OnNetworkMessage(Answer(kCommandLogin, firstId, 0, 1, &body)).kind,
            AnswerOutcome::Kind::kLoggedIn);
  const AgentRecord r = windows_.records.agent.Copy();
  EXPECT_EQ(r.userName, "first");
  EXPECT_EQ(r.password, "pw1");
  EXPECT_EQ(r.presence, kPresenceAway);
  EXPECT_EQ(session_.Presence(), kPresenceAway);
}

TEST_F(LoginSessionTest, FailuresShowTheServerTextOrLoginFailedAndStoreNothing) {
  Msg withText;
  withText.BODY = "密码错误";
  // A failure without words still gets a box that says what happened.
  Msg noWords;
  noWords.BODY = " \r\n";
  const Msg empty;
  const struct {
    std::uint8_t result;
    const Msg* body;
    const char* box;
  } cases[] = {{1, &withText, "密码错误"},
               {3, nullptr, "登录失败"},
               {0, nullptr, "登录失败"},
               {1, &empty, "登录失败"},
               {2, &noWords, "登录失败"}};
  for (const auto& c : cases) {
    ASSERT_EQ(session_.Submit(Form("agent", "secret")), SubmitResult::kSent);
    const std::size_t before = boxes_.Count();
    const AnswerOutcome outcome =
        session_.OnNetworkMessage(Answer(kCommandLogin, host_.sent_.back().id, c.result, 55, c.body));
    EXPECT_EQ(outcome.kind, AnswerOutcome::Kind::kLoginFailed) << c.box;
    ASSERT_EQ(boxes_.Count(), before + 1);
    EXPECT_EQ(boxes_.Boxes().back().text, c.box);
    EXPECT_FALSE(session_.Waiting());
    EXPECT_FALSE(session_.LoggedIn());
  }
  EXPECT_EQ(windows_.records.agent.AgentId(), 0);
  EXPECT_EQ(CurrentSessionId(), 0);
  DbRows rows;
  ASSERT_TRUE(DBManager::QueryStoredLogins(&rows));
  EXPECT_TRUE(rows.empty());
}

TEST_F(LoginSessionTest, ALoginBodyThatIsNotJsonStillLogsInWithEmptyDetails) {
  windows_.records.agent.Update([](AgentRecord& r) { r.realname = "previous"; });
  ASSERT_EQ(session_.Submit(Form("agent", "secret")), SubmitResult::kSent);
  const Msg body = LoginAnswerBody(9, "not json at all");
  EXPECT_EQ(session_.OnNetworkMessage(Answer(kCommandLogin, host_.sent_[0].id, 0, 3, &body)).kind,
            AnswerOutcome::Kind::kLoggedIn);
  EXPECT_EQ(windows_.records.agent.Copy().realname, "");
  EXPECT_EQ(windows_.records.agent.AgentId(), 9);
  std::string name;
  EXPECT_FALSE(windows_.records.names.Lookup(9, &name));
}

TEST_F(LoginSessionTest, ALoginAnswerNobodyAskedForChangesNothing) {
  const Msg body = LoginAnswerBody(8, "{}");
  EXPECT_EQ(session_.OnNetworkMessage(Answer(kCommandLogin, 77, 0, 3, &body)).kind, AnswerOutcome::Kind::kIgnored);
  EXPECT_EQ(boxes_.Count(), 0u);
  EXPECT_EQ(windows_.records.agent.AgentId(), 0);
  EXPECT_EQ(CurrentSessionId(), 0);
}

TEST_F(LoginSessionTest, AStaleFailureAfterTheLoginShowsNoBox) {
  LogIn();
  const std::size_t before = boxes_.Count();
  EXPECT_EQ(session_.OnNetworkMessage(Answer(kCommandLogin, 12345, 1, 0, nullptr)).kind, AnswerOutcome::Kind::kIgnored);
  EXPECT_EQ(boxes_.Count(), before);
  EXPECT_EQ(CurrentSessionId(), 900);
}

TEST_F(LoginSessionTest, RefreshEveryTickThenReloginAfterSixtySecondsAndBack) {
  LogIn();
  EXPECT_EQ(host_.timers[kKeepAliveTimerId], kKeepAlivePeriodMs);
  // Before the first keep-alive the login's answer is the signal.
  EXPECT_EQ(Levels(), std::vector<platform::LParam>{kMaxSignalLevel});

  // Exactly 60 s after the last answer is still in time.
  clock_.SetSeconds(kStartSeconds + kSessionLostAfterSeconds);
  session_.OnTimer(kKeepAliveTimerId);
  ASSERT_EQ(host_.sent_.size(), 1u);
  const RecordingHost::Sent refresh = host_.sent_[0];
  EXPECT_EQ(refresh.command, kCommandRefreshSession);
  EXPECT_EQ(refresh.msg.account, 5000);
  EXPECT_EQ(refresh.msg.FROM, 0);
  EXPECT_EQ(refresh.msg.FROM_TYPE, -2);
  EXPECT_EQ(refresh.msg.TO, 42);
  EXPECT_EQ(refresh.msg.TO_TYPE, 0);
  EXPECT_EQ(refresh.msg.BODY, "");
  EXPECT_EQ(Levels().back(), 0);

  // Its answer renews the session and lifts the level.
  clock_.SetSeconds(kStartSeconds + 65);
  Msg states;
  states.BODY = R"([[42,2],[43,3]])";
  const AnswerOutcome refreshed =
      session_.OnNetworkMessage(Answer(kCommandRefreshSession, refresh.id, 9, 901, &states));
  EXPECT_EQ(refreshed.kind, AnswerOutcome::Kind::kSessionRefreshed);
  ASSERT_TRUE(refreshed.hasAgentStates);
  EXPECT_EQ(refreshed.agentStates[1][1].asInt(), 3);
  EXPECT_EQ(CurrentSessionId(), 901);  // RESULT is not looked at
  EXPECT_EQ(windows_.records.agent.Copy().lastSessionTime, kStartSeconds + 65);
  EXPECT_EQ(Levels().back(), 4);

  // 61 s without an answer: re-login instead of a refresh.
  clock_.SetSeconds(kStartSeconds + 65 + kSessionLostAfterSeconds + 1);
  host_.sent_.clear();
  session_.OnTimer(kKeepAliveTimerId);
  ASSERT_EQ(host_.sent_.size(), 1u);
  EXPECT_EQ(host_.sent_[0].command, kCommandRefreshLogin);
  EXPECT_EQ(host_.sent_[0].login.username, "agent");
  EXPECT_EQ(host_.sent_[0].login.password, "secret");
  EXPECT_EQ(host_.sent_[0].login.state, kPresenceOnline);
  EXPECT_FALSE(host_.Running(kKeepAliveTimerId));
  EXPECT_EQ(host_.timers[kReloginTimerId], kKeepAlivePeriodMs);
  EXPECT_EQ(Levels().back(), 2);  // 1 of 2

  // Re-logins every tick of 1001 until one is answered.
  session_.OnTimer(kReloginTimerId);
  ASSERT_EQ(host_.sent_.size(), 2u);
  EXPECT_EQ(host_.sent_[1].command, kCommandRefreshLogin);
  // A refresh answer does not answer a re-login record.
  session_.OnNetworkMessage(Answer(kCommandRefreshSession, host_.sent_[1].id, 0, 901, nullptr));
  EXPECT_FALSE(session_.Records().Find(host_.sent_[1].id)->Answered());

  const AnswerOutcome relogged =
      session_.OnNetworkMessage(Answer(kCommandRefreshLogin, host_.sent_[1].id, 0, 902, nullptr));
  EXPECT_EQ(relogged.kind, AnswerOutcome::Kind::kRelogged);
  EXPECT_EQ(CurrentSessionId(), 902);
  EXPECT_FALSE(host_.Running(kReloginTimerId));
  EXPECT_TRUE(host_.Running(kKeepAliveTimerId));
  EXPECT_TRUE(session_.Records().Find(host_.sent_[1].id)->Answered());
  loop_.RunPending();
  EXPECT_EQ(mainWindow_.Of(kLoginRenewedMessage, 0).size(), 1u);

  // Back to refreshing.
  host_.sent_.clear();
  session_.OnTimer(kKeepAliveTimerId);
  ASSERT_EQ(host_.sent_.size(), 1u);
  EXPECT_EQ(host_.sent_[0].command, kCommandRefreshSession);
}

TEST_F(LoginSessionTest, TheHundredAndFirstRecordLeavesThroughTheStatisticsWindow) {
  LogIn();
  {
    RecordingWindow statistics(windows_.router, kSignalCountName);
    session_.OnTimer(kKeepAliveTimerId);
    // The first record is answered; it is the one that goes.
    session_.OnNetworkMessage(Answer(kCommandRefreshSession, host_.sent_[0].id, 0, 900, nullptr));
    for (int i = 1; i < 101; ++i) session_.OnTimer(kKeepAliveTimerId);
    ASSERT_EQ(host_.sent_.size(), 101u);
    EXPECT_EQ(statistics.Of(kKeepAliveRecordMessage, kKeepAliveRecordAdded).size(), 101u);
    EXPECT_EQ(statistics.Of(kKeepAliveRecordMessage, kKeepAliveRecordAnswered).size(), 1u);
    EXPECT_EQ(statistics.removedIds, (std::vector<std::int64_t>{host_.sent_[0].id}));
    EXPECT_EQ(session_.Records().Size(), 100u);
    // The level is over the 100 newest: none answered.
    EXPECT_EQ(Levels().back(), 0);
  }
  // Without the statistics window the session frees what it drops.
  session_.OnTimer(kKeepAliveTimerId);
  EXPECT_EQ(session_.Records().Size(), 100u);
  EXPECT_EQ(session_.Records().InOrder().front()->MESSAGE_ID, host_.sent_[2].id);
}

TEST_F(LoginSessionTest, LevelIsNotToldWithoutAMainWindowAndAnswersWithoutRecordsAreHarmless) {
  windows_.router.Leave(kMainWindowName, mainWindow_);
  LogIn();
  session_.OnNetworkMessage(Answer(kCommandRefreshSession, 999999, 0, 5, nullptr));
  session_.OnNetworkMessage(Answer(kCommandRefreshLogin, 999998, 0, 6, nullptr));
  loop_.RunPending();
  EXPECT_TRUE(mainWindow_.received.empty());
  EXPECT_EQ(CurrentSessionId(), 6);
  // Other commands are not the login window's.
  EXPECT_EQ(session_.OnNetworkMessage(Answer(kCommandChatMessage, 1, 0, 7, nullptr)).kind,
            AnswerOutcome::Kind::kIgnored);
  EXPECT_EQ(session_.OnNetworkMessage(nullptr).kind, AnswerOutcome::Kind::kIgnored);
  EXPECT_EQ(CurrentSessionId(), 6);
}

TEST(PresenceTest, MenuCommandsAndButtonStates) {
  class NoHost : public LoginSessionHost {
    void SetTimer(std::uint32_t, int) override {}
    void KillTimer(std::uint32_t) override {}
  } host;
  test::TestWindowContext windows;
  LoginSession session(host, windows.context);
  EXPECT_EQ(session.Presence(), kPresenceOnline);
  EXPECT_TRUE(session.OnPresenceCommand(kPresenceMenuAway));
  EXPECT_EQ(session.Presence(), kPresenceAway);
  EXPECT_EQ(PresenceButtonState(session.Presence()), kPresenceButtonAway);
  EXPECT_FALSE(session.OnPresenceCommand(2027));
  EXPECT_EQ(session.Presence(), kPresenceAway);
  EXPECT_TRUE(session.OnPresenceCommand(kPresenceMenuOnline));
  EXPECT_EQ(PresenceButtonState(session.Presence()), kPresenceButtonOnline);
  EXPECT_EQ(LoginRequestRecords(), &session.Records());
}

}  // namespace
}  // namespace kanzo
