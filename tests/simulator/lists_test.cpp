// The answers the main window, the chat window, the quick-message editor and
// the settings page read, with every key they read.
#include <gtest/gtest.h>

#include "protocol/commands.h"
#include "sim_commands.h"
#include "sim_text.h"
#include "simulator/sim_fixture.h"

namespace kanzo::test {
namespace {

using ListsTest = SimulatorTest;

std::string Credentials(std::int32_t uid, const std::string& password = kDemoPassword) {
  Json::Value v(Json::objectValue);
  v["uid"] = uid;
  v["username"] = kDemoUser;
  v["password"] = password;
  return CompactJson(v);
}

TEST_F(ListsTest, StartDataHoldsColleaguesPresenceOfflineMessagesAndGuestbook) {
  Control(
      "offmsg 3101 to=demo time=\"2024-05-20 21:13:05\" area=南京 page=http://www.example.com/p source=http://s ip=1.2.3.4 能开发票吗？");
  Control("offmsg 2004 to=demo 退款处理好了");
  Control("gbook 3102 to=demo name=张先生 phone=13912345678 area=深圳 想了解企业版");
  Control("offmsg 3103 to=demo2 这条是给别人的");
  auto agent = Connect(kDemoUser);
  const std::unique_ptr<Message> answer = agent->Answer(kCommandStartData, agent->SendAsAgent(kCommandStartData, ""));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer->RESULT, 0);
  const Json::Value root = BodyJson(*answer);
  ASSERT_TRUE(root.isObject()) << BodyText(*answer);

  const Json::Value& users = root["users"];
  ASSERT_TRUE(users.isObject());
  ASSERT_TRUE(users["售前客服"].isArray());
  ASSERT_TRUE(users["售后客服"].isArray());
  const Json::Value& first = users["售前客服"][0];
  EXPECT_TRUE(first["uid"].isInt());
  EXPECT_TRUE(first["realname"].isString());

  ASSERT_TRUE(root["userstate"].isString());
  Json::Value state;
  ASSERT_TRUE(ParseJson(root["userstate"].asString(), &state));
  ASSERT_TRUE(state.isArray());
  bool sawSelf = false;
  for (const Json::Value& pair : state) {
    ASSERT_TRUE(pair.isArray() && pair.size() >= 2 && pair[0].isInt() && pair[1].isInt());
    if (pair[0].asInt() == kDemoUid) sawSelf = pair[1].asInt() == kPresenceOnline;
  }
  EXPECT_TRUE(sawSelf);

  const Json::Value& guestbook = root["guestbook"];
  ASSERT_TRUE(guestbook.isObject());
  const Json::Value& offMsg = guestbook["offMsg"];
  ASSERT_TRUE(offMsg.isArray());
  ASSERT_EQ(offMsg.size(), 2u);  // not the one for demo2
  for (const char* key : {"B6", "B4", "B5", "B3", "B1", "D3"}) EXPECT_TRUE(offMsg[0][key].isString()) << key;
  EXPECT_EQ(offMsg[0]["B7"].asInt(), 3101);
  EXPECT_EQ(offMsg[0]["B6"].asString(), "2024-05-20 21:13:05");
  EXPECT_EQ(offMsg[1]["B7"].asInt(), 2004);
  EXPECT_EQ(offMsg[1]["B6"].asString().size(), 19u);
  const Json::Value& gbook = guestbook["gbook"];
  ASSERT_TRUE(gbook.isArray());
  ASSERT_EQ(gbook.size(), 1u);
  EXPECT_EQ(gbook[0]["B7"].asInt(), 3102);
  EXPECT_EQ(gbook[0]["D1"].asString(), "张先生");
  EXPECT_EQ(gbook[0]["D2"].asString(), "13912345678");
  EXPECT_EQ(gbook[0]["D3"].asString(), "想了解企业版");
  for (const char* key : {"B6", "B3", "B5", "B4", "B1"}) EXPECT_TRUE(gbook[0][key].isString()) << key;

  // A second start-data answer (the client started again) repeats the
  // guestbook but no offline message; demo2's message still waits.
  const std::unique_ptr<Message> again = agent->Answer(kCommandStartData, agent->SendAsAgent(kCommandStartData, ""));
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(BodyJson(*again)["guestbook"]["offMsg"].size(), 0u);
  EXPECT_EQ(BodyJson(*again)["guestbook"]["gbook"].size(), 1u);
  auto other = Connect("demo2");
  const std::unique_ptr<Message> theirs = other->Answer(kCommandStartData, other->SendAsAgent(kCommandStartData, ""));
  ASSERT_NE(theirs, nullptr);
  EXPECT_EQ(BodyJson(*theirs)["guestbook"]["offMsg"].size(), 1u);
}

TEST_F(ListsTest, OnlineVisitorsCarryTheBKeysAndLeaveTheListWhenGone) {
  Control("visitor 3001 area=上海市 page=http://www.example.com/price.html title=价格 source=http://s ip=10.0.0.1");
  Control("visitor 3002 area=北京市");
  Control("leave 3002");
  auto agent = Connect(kDemoUser);
  const std::unique_ptr<Message> answer =
      agent->Answer(kCommandGetOnlineVisitor, agent->SendAsAgent(kCommandGetOnlineVisitor, ""));
  ASSERT_NE(answer, nullptr);
  const Json::Value list = BodyJson(*answer);
  ASSERT_TRUE(list.isArray());
  ASSERT_EQ(list.size(), 1u);
  const Json::Value& v = list[0];
  EXPECT_EQ(v["B7"].asInt(), 3001);
  EXPECT_EQ(v["B3"].asString(), "上海市");
  EXPECT_EQ(v["B5"].asString(), "http://www.example.com/price.html");
  EXPECT_EQ(v["B11"].asString(), "价格");
  EXPECT_EQ(v["B4"].asString(), "http://s");
  EXPECT_EQ(v["B1"].asString(), "10.0.0.1");
  EXPECT_EQ(v["B6"].asString().size(), 19u);
  EXPECT_TRUE(v["B8"].isInt());
  EXPECT_EQ(v["B10"].asInt(), kVisitorStateIdle);
}

TEST_F(ListsTest, CountsFollowTheConversationsOfTheDay) {
  Control("visitor 3001");
  Control("visitor 3002");
  auto agent = Connect(kDemoUser);
  Control("say 3001 你好");
  Control("invite 3002 demo2");
  Control("accept 3002");
  const std::unique_ptr<Message> answer =
      agent->Answer(kCommandLoadSessionCount, agent->SendMsg(kCommandLoadSessionCount, Msg{}, agent->session));
  ASSERT_NE(answer, nullptr);
  const Json::Value counts = BodyJson(*answer);
  EXPECT_EQ(counts["total_chat"].asInt(), 2);
  EXPECT_EQ(counts["my_chat"].asInt(), 1);
}

TEST_F(ListsTest, QuickListsCategoriesAndAddingACommonMessage) {
  auto agent = Connect(kDemoUser);
  auto quickLists = [&] {
    const std::unique_ptr<Message> a =
        agent->Answer(kCommandGetQuickMessage, agent->SendAsAgent(kCommandGetQuickMessage, Credentials(kDemoUid)));
    EXPECT_NE(a, nullptr);
    return a ? BodyJson(*a) : Json::Value();
  };
  Json::Value lists = quickLists();
  ASSERT_TRUE(lists["common"].isObject());
  ASSERT_TRUE(lists["quick"].isArray());
  const Json::Value& greeting = lists["common"]["问候"];
  ASSERT_TRUE(greeting.isArray());
  ASSERT_FALSE(greeting.empty());
  for (const char* key : {"uid", "cmid", "ctid", "type"}) EXPECT_TRUE(greeting[0][key].isInt()) << key;
  EXPECT_TRUE(greeting[0]["content"].isString());
  const Json::ArrayIndex quickBefore = lists["quick"].size();

  // The main window asks with its triple alone and gets the same lists.
  const std::unique_ptr<Message> byTriple =
      agent->Answer(kCommandGetQuickMessage, agent->SendAsAgent(kCommandGetQuickMessage, ""));
  ASSERT_NE(byTriple, nullptr);
  EXPECT_EQ(byTriple->RESULT, 0) << BodyText(*byTriple);
  EXPECT_EQ(BodyJson(*byTriple), lists);

  Msg none;
  none.BODY = Credentials(kDemoUid);
  const std::unique_ptr<Message> categories =
      agent->Answer(kCommandQuickMsgClass, agent->SendMsg(kCommandQuickMsgClass, none, agent->session));
  ASSERT_NE(categories, nullptr);
  const Json::Value cm = BodyJson(*categories)["cm"];
  ASSERT_TRUE(cm.isArray());
  ASSERT_EQ(cm.size(), 3u);
  EXPECT_TRUE(cm[0]["name"].isString());
  EXPECT_TRUE(cm[0]["id"].isInt());

  struct Case {
    const char* content;
    int ctid;  // 0: left out
    bool ok;
    const char* text;
  };
  const Case cases[] = {
      {"新的常用语", 2, true, "新增成功"},
      {"新的常用语", 2, false, "常用语已存在"},
      {"", 2, false, "常用语内容不能为空"},
      {"没有分类", 0, false, "分类不存在，请选择已有的分类"},
      {"分类不对", 99, false, "分类不存在，请选择已有的分类"},
  };
  for (const Case& c : cases) {
    Json::Value body;
    ParseJson(Credentials(kDemoUid), &body);
    body["content"] = c.content;
    body["type"] = 1;
    body["sort"] = 0;
    if (c.ctid != 0) body["ctid"] = c.ctid;
    Msg add;
    add.BODY = CompactJson(body) + "\n";
    const std::unique_ptr<Message> answer =
        agent->Answer(kCommandSaveQuickMsg, agent->SendMsg(kCommandSaveQuickMsg, add, agent->session));
    ASSERT_NE(answer, nullptr) << c.content;
    EXPECT_EQ(answer->RESULT == 0, c.ok) << c.content;
    EXPECT_EQ(BodyText(*answer), c.text) << c.content;
  }
  lists = quickLists();
  EXPECT_EQ(lists["quick"].size(), quickBefore + 1);
  bool found = false;
  for (const Json::Value& m : lists["common"]["产品介绍"]) found |= m["content"].asString() == "新的常用语";
  EXPECT_TRUE(found);

  // Wrong credentials are refused.
  Msg wrong;
  wrong.BODY = Credentials(kDemoUid, "bad");
  const std::unique_ptr<Message> refused =
      agent->Answer(kCommandQuickMsgClass, agent->SendMsg(kCommandQuickMsgClass, wrong, agent->session));
  ASSERT_NE(refused, nullptr);
  EXPECT_EQ(refused->RESULT, kResultBadCredentials);
}

TEST_F(ListsTest, SavingOwnDetailsChecksThemAndLaterLoginsSeeThem) {
  auto agent = Connect(kDemoUser);
  auto save = [&](const std::string& age, const std::string& sex) {
    Json::Value body;
    ParseJson(Credentials(kDemoUid), &body);
    for (const char* key : {"address", "mobile", "phone", "qq", "remark", "zipcode"}) body[key] = "x";
    body["realname"] = "李明明";
    body["email"] = "a@example.com";
    body["age"] = age;
    body["sex"] = sex;
    Msg msg;
    msg.BODY = CompactJson(body);
    return agent->Answer(kCommandSaveAgentInfo, agent->SendMsg(kCommandSaveAgentInfo, msg, agent->session));
  };
  std::unique_ptr<Message> bad = save("abc", "1");
  ASSERT_NE(bad, nullptr);
  EXPECT_NE(bad->RESULT, 0);
  EXPECT_FALSE(BodyText(*bad).empty());
  std::unique_ptr<Message> good = save("30", "1");
  ASSERT_NE(good, nullptr);
  EXPECT_EQ(good->RESULT, 0);

  auto again = Connect();
  const std::unique_ptr<Message> login = again->LogIn(kDemoUser, kDemoPassword);
  ASSERT_NE(login, nullptr);
  const Json::Value details = BodyJson(*login);
  EXPECT_EQ(details["realname"].asString(), "李明明");
  EXPECT_EQ(details["sex"].asInt(), 1);
  EXPECT_EQ(details["age"].asInt(), 30);
}

TEST_F(ListsTest, VisitorDetailsAnswerWithTheVisitorObject) {
  Control("visitor 3005 area=成都 page=http://www.example.com/case.html title=案例 ip=9.9.9.9");
  auto agent = Connect(kDemoUser);
  Msg ask;
  ask.account = agent->account;
  ask.FROM = 3005;
  ask.FROM_TYPE = kMemberKindVisitor;
  const std::unique_ptr<Message> answer =
      agent->Answer(kCommandRefreshMemberInfo, agent->SendMsg(kCommandRefreshMemberInfo, ask, agent->session));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer->RESULT, 0);
  EXPECT_EQ(answer->bodyAs<Msg>()->FROM, 3005);
  const Json::Value v = BodyJson(*answer);
  EXPECT_EQ(v["B7"].asInt(), 3005);
  EXPECT_EQ(v["B3"].asString(), "成都");
  EXPECT_EQ(v["B11"].asString(), "案例");

  ask.FROM = 9999;
  const std::unique_ptr<Message> unknown =
      agent->Answer(kCommandRefreshMemberInfo, agent->SendMsg(kCommandRefreshMemberInfo, ask, agent->session));
  ASSERT_NE(unknown, nullptr);
  EXPECT_NE(unknown->RESULT, 0);
}

TEST_F(ListsTest, CallBackAnswersStatusCodes) {
  auto agent = Connect(kDemoUser);
  auto call = [&](const std::string& number, const std::string& password = kDemoPassword) {
    Json::Value body(Json::objectValue);
    body["username"] = kDemoUser;
    body["password"] = password;
    body["to"] = number;
    Msg msg;
    msg.account = agent->account;
    msg.BODY = CompactJson(body) + "\n";
    const std::unique_ptr<Message> a =
        agent->Answer(kCommandCallPhone, agent->SendMsg(kCommandCallPhone, msg, agent->session));
    EXPECT_NE(a, nullptr);
    EXPECT_EQ(a ? a->RESULT : 1, 0);
    return a ? BodyText(*a) : std::string();
  };
  struct Case {
    const char* number;
    const char* password;
    const char* status;
  };
  const Case cases[] = {
      {"13812345678", kDemoPassword, "2"},                                       // 呼叫成功
      {"12812345678", kDemoPassword, "4"},                                       // 号码错误
      {"1381234567", kDemoPassword, "4"},  {"13000000000", kDemoPassword, "1"},  // 黑名单
      {"13812345678", "bad", "3"},                                               // 线路账号验证失败
      {"13812345678", kDemoPassword, "2"}, {"13812345678", kDemoPassword, "2"},
      {"13812345678", kDemoPassword, "6"},  // 次数超出限制
  };
  for (const Case& c : cases) EXPECT_EQ(call(c.number, c.password), c.status) << c.number;
  Control("callback 8");
  EXPECT_EQ(call("15912345678"), "8");
  EXPECT_EQ(call("15912345678"), "2");
}

// The pushed lists hold the agent's categories in descending order and a
// number ahead of the quick texts, so that the client's ordering and
// skipping show in the demo.
TEST_F(ListsTest, PushedQuickListsAreOutOfOrderWithANumber) {
  auto agent = Connect(kDemoUser);
  ASSERT_TRUE(sim_->Command("quicklists demo").ok);
  const std::unique_ptr<Message> pushed = agent->Notice(kCommandGetQuickMessage, [](const Msg&) { return true; });
  ASSERT_NE(pushed, nullptr);
  const std::string text = BodyText(*pushed);
  const Json::Value lists = BodyJson(*pushed);
  ASSERT_TRUE(lists["common"].isObject()) << text;
  const std::vector<std::string> names = lists["common"].getMemberNames();
  ASSERT_GE(names.size(), 2u);
  EXPECT_LT(text.find("\"" + names.back() + "\":"), text.find("\"" + names.front() + "\":"));
  ASSERT_TRUE(lists["quick"].isArray());
  EXPECT_TRUE(lists["quick"][0].isInt());
  EXPECT_TRUE(lists["quick"][1].isString());
  EXPECT_FALSE(sim_->Command("quicklists nobody").ok);
}

}  // namespace
}  // namespace kanzo::test
