// Logging in, keeping the session, logging out and being logged off.
#include <gtest/gtest.h>

#include "protocol/commands.h"
#include "sim_commands.h"
#include "sim_text.h"
#include "simulator/sim_fixture.h"

namespace kanzo::test {
namespace {

using SessionTest = SimulatorTest;

TEST_F(SessionTest, LoginAnswersTheTripleTheDetailsAndASessionOrAFailureWithText) {
  struct Case {
    const char* user;
    const char* password;
    bool ok;
    const char* text;  // failure text
  };
  const Case cases[] = {
      {kDemoUser, kDemoPassword, true, ""},
      {kDemoUser, "wrong", false, "密码错误"},
      {kDemoUser, "", false, "密码错误"},
      {"nobody", kDemoPassword, false, "用户名不存在"},
  };
  for (const Case& c : cases) {
    auto client = Connect();
    const std::unique_ptr<Message> answer = client->LogIn(c.user, c.password);
    ASSERT_NE(answer, nullptr) << c.user << "/" << c.password;
    const Msg* msg = answer->bodyAs<Msg>();
    ASSERT_NE(msg, nullptr);
    if (!c.ok) {
      EXPECT_NE(answer->RESULT, 0) << c.user << "/" << c.password;
      EXPECT_EQ(msg->BODY, c.text);
      continue;
    }
    EXPECT_EQ(answer->RESULT, 0);
    EXPECT_NE(answer->SESSION_ID, 0);
    EXPECT_EQ(msg->account, kDemoAccount);
    EXPECT_EQ(msg->FROM, kDemoUid);
    EXPECT_EQ(msg->FROM_TYPE, kMemberKindAgent);
    const Json::Value details = BodyJson(*answer);
    ASSERT_TRUE(details.isObject()) << msg->BODY;
    EXPECT_TRUE(details["sex"].isInt());
    EXPECT_TRUE(details["age"].isInt());
    EXPECT_EQ(details["type"].asInt(), 1);
    EXPECT_EQ(details["realname"].asString(), "李明");
    for (const char* key : {"phone", "mobile", "email", "qq", "address", "zipcode", "remark"}) {
      EXPECT_TRUE(details[key].isString()) << key;
    }
  }
}

TEST_F(SessionTest, LoginWithoutALoginBodyIsRefused) {
  auto client = Connect();
  Msg msg;
  msg.BODY = "demo";
  const std::int64_t id = client->SendMsg(kCommandLogin, msg, 0);
  const std::unique_ptr<Message> answer = client->Answer(kCommandLogin, id);
  ASSERT_NE(answer, nullptr);
  EXPECT_NE(answer->RESULT, 0);
}

TEST_F(SessionTest, RefreshAndReloginHandOutNewSessionsAndTheRefreshCarriesPresence) {
  auto client = Connect(kDemoUser);
  const std::int64_t first = client->session;

  Msg refresh;
  refresh.account = client->account;
  refresh.FROM_TYPE = client->type;
  refresh.TO = client->uid;
  const std::int64_t id = client->SendMsg(kCommandRefreshSession, refresh, first);
  const std::unique_ptr<Message> answer = client->Answer(kCommandRefreshSession, id);
  ASSERT_NE(answer, nullptr);
  EXPECT_NE(answer->SESSION_ID, 0);
  EXPECT_NE(answer->SESSION_ID, first);
  EXPECT_EQ(client->session, answer->SESSION_ID) << "the client keeps the refreshed session";
  // The presence list comes as "userstate" does in the start data: a JSON
  // string whose text is the list.
  const Json::Value text = BodyJson(*answer);
  ASSERT_TRUE(text.isString()) << BodyText(*answer);
  Json::Value presence;
  ASSERT_TRUE(ParseJson(text.asString(), &presence));
  ASSERT_TRUE(presence.isArray());
  std::map<int, int> byId;
  for (const Json::Value& pair : presence) {
    ASSERT_TRUE(pair.isArray() && pair.size() == 2);
    byId[pair[0].asInt()] = pair[1].asInt();
  }
  EXPECT_EQ(byId[kDemoUid], kPresenceOnline);
  EXPECT_EQ(byId[2003], kPresenceAway);  // a colleague away in the data file
  EXPECT_EQ(byId[2004], kPresenceOffline);

  // The counts request carries a Msg with every field 0: the connection
  // tells whose counts they are.
  const std::int64_t counts = client->SendMsg(kCommandLoadSessionCount, Msg{}, first);
  const std::unique_ptr<Message> countAnswer = client->Answer(kCommandLoadSessionCount, counts);
  ASSERT_NE(countAnswer, nullptr);
  EXPECT_EQ(countAnswer->RESULT, 0);

  const std::int64_t again = client->SendLogin(kCommandRefreshLogin, kDemoUser, kDemoPassword, 3, answer->SESSION_ID);
  const std::unique_ptr<Message> relogin = client->Answer(kCommandRefreshLogin, again);
  ASSERT_NE(relogin, nullptr);
  EXPECT_EQ(relogin->RESULT, 0);
  EXPECT_NE(relogin->SESSION_ID, answer->SESSION_ID);
  EXPECT_EQ(relogin->bodyAs<Msg>()->FROM, kDemoUid);
}

TEST_F(SessionTest, RefreshOfAnUnknownSessionIsNotAnsweredSoTheClientLogsInAgain) {
  auto client = Connect();
  Msg refresh;
  refresh.TO = kDemoUid;
  const std::int64_t id = client->SendMsg(kCommandRefreshSession, refresh, 12345);
  EXPECT_EQ(client->Answer(kCommandRefreshSession, id, std::chrono::milliseconds(300)), nullptr);
  EXPECT_FALSE(Frames("会话无效，不回答刷新").empty());
  // Other requests without a session are refused with a text.
  const std::int64_t start = client->SendMsg(kCommandStartData, Msg{}, 0);
  const std::unique_ptr<Message> refused = client->Answer(kCommandStartData, start);
  ASSERT_NE(refused, nullptr);
  EXPECT_EQ(refused->RESULT, kResultNotLoggedIn);
}

TEST_F(SessionTest, ASecondLoginOfTheSameAccountLogsTheFirstOff) {
  auto first = Connect(kDemoUser);
  auto second = Connect(kDemoUser);
  const std::unique_ptr<Message> notice =
      first->Notice(kCommandUpdateKFState, [](const Msg& m) { return m.FROM == kDemoUid && m.BODY == "4"; });
  ASSERT_NE(notice, nullptr);
  // What the main window acts on: from its own id, a body that reads as the
  // JSON integer 4.
  Json::Value four;
  ASSERT_TRUE(ParseJson(BodyText(*notice), &four));
  EXPECT_TRUE(four.isInt() && four.asInt() == 4);
  EXPECT_EQ(notice->RESULT, 0);
  // The second login hears nothing of it.
  EXPECT_EQ(second->Notice(
                kCommandUpdateKFState, [](const Msg& m) { return m.FROM == kDemoUid; }, std::chrono::milliseconds(100)),
            nullptr);
  // The first connection is no longer the agent: its requests are refused.
  const std::int64_t id = first->SendAsAgent(kCommandGetOnlineVisitor, "");
  const std::unique_ptr<Message> refused = first->Answer(kCommandGetOnlineVisitor, id);
  ASSERT_NE(refused, nullptr);
  EXPECT_NE(refused->RESULT, 0);
  // The second one is.
  const std::int64_t ok = second->SendAsAgent(kCommandGetOnlineVisitor, "");
  const std::unique_ptr<Message> served = second->Answer(kCommandGetOnlineVisitor, ok);
  ASSERT_NE(served, nullptr);
  EXPECT_EQ(served->RESULT, 0);
}

TEST_F(SessionTest, PresenceAndLogoutReachTheColleagues) {
  auto colleague = Connect(kDemoUser2);
  auto agent = Connect(kDemoUser);
  // The agent coming online is announced.
  ASSERT_NE(colleague->Notice(kCommandUpdateKFState, [](const Msg& m) { return m.FROM == kDemoUid && m.BODY == "2"; }),
            nullptr);
  agent->SendAsAgent(kCommandUpdateKFState, "3");
  const std::unique_ptr<Message> away =
      colleague->Notice(kCommandUpdateKFState, [](const Msg& m) { return m.FROM == kDemoUid && m.BODY == "3"; });
  ASSERT_NE(away, nullptr);
  EXPECT_EQ(away->bodyAs<Msg>()->FROM_TYPE, kMemberKindAgent);
  EXPECT_EQ(away->bodyAs<Msg>()->TO, kDemoUid2);

  agent->SendAsAgent(kCommandUpdateKFState, "1");
  ASSERT_NE(colleague->Notice(kCommandUpdateKFState, [](const Msg& m) { return m.FROM == kDemoUid && m.BODY == "1"; }),
            nullptr);
  EXPECT_FALSE(Frames("退出登录 uid=2001").empty());

  // A presence that is no presence is refused.
  auto third = Connect("zhaolei");
  const std::int64_t id = third->SendAsAgent(kCommandUpdateKFState, "abc");
  const std::unique_ptr<Message> refused = third->Answer(kCommandUpdateKFState, id);
  ASSERT_NE(refused, nullptr);
  EXPECT_NE(refused->RESULT, 0);
}

TEST_F(SessionTest, TheControlKickLogsAnAgentOff) {
  auto agent = Connect(kDemoUser);
  Control("kick demo");
  EXPECT_NE(agent->Notice(kCommandUpdateKFState, [](const Msg& m) { return m.FROM == kDemoUid && m.BODY == "4"; }),
            nullptr);
  EXPECT_FALSE(sim_->Command("kick nobody").ok);
}

}  // namespace
}  // namespace kanzo::test
