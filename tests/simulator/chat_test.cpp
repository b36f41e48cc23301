// Visitors and colleagues: notices, chat lines, answers from the script and
// the send failures the chat window tells apart.
#include <gtest/gtest.h>

#include "protocol/commands.h"
#include "sim_commands.h"
#include "sim_text.h"
#include "simulator/sim_fixture.h"

namespace kanzo::test {
namespace {

using ChatTest = SimulatorTest;

Msg ChatTo(const AgentWindow& agent, std::int32_t to, std::int8_t toType, const std::string& text) {
  Msg msg;
  msg.account = agent.account;
  msg.FROM = agent.uid;
  msg.FROM_TYPE = agent.type;
  msg.TO = to;
  msg.TO_TYPE = toType;
  msg.BODY = text;
  return msg;
}

bool StateNotice(const Msg& m, std::int32_t visitor, const std::string& state) {
  return m.FROM == visitor && m.FROM_TYPE == kMemberKindVisitor && m.BODY == state;
}

TEST_F(ChatTest, VisitorArrivalAndStatesReachTheAgentsAsNotices) {
  auto agent = Connect(kDemoUser);
  Control("visitor 3001 area=上海市 title=首页");
  const std::unique_ptr<Message> arrival = agent->Notice(kCommandUpdateKFState, [](const Msg& m) {
    return m.FROM == 3001 && m.FROM_TYPE == kMemberKindVisitor && !m.BODY.empty() && m.BODY[0] == '{';
  });
  ASSERT_NE(arrival, nullptr);
  EXPECT_EQ(BodyJson(*arrival)["B3"].asString(), "上海市");
  EXPECT_EQ(arrival->bodyAs<Msg>()->TO, kDemoUid);

  Control("invite 3001 demo");
  ASSERT_NE(agent->Notice(kCommandUpdateKFState, [](const Msg& m) { return StateNotice(m, 3001, "101"); }), nullptr);
  Control("accept 3001");
  const std::unique_ptr<Message> talking =
      agent->Notice(kCommandUpdateKFState, [](const Msg& m) { return StateNotice(m, 3001, "105"); });
  ASSERT_NE(talking, nullptr);
  EXPECT_EQ(talking->bodyAs<Msg>()->TO, kDemoUid);
  Control("end 3001");
  ASSERT_NE(agent->Notice(kCommandUpdateKFState, [](const Msg& m) { return StateNotice(m, 3001, "104"); }), nullptr);
  Control("leave 3001");
  ASSERT_NE(agent->Notice(kCommandUpdateKFState, [](const Msg& m) { return StateNotice(m, 3001, "1"); }), nullptr);

  // A colleague's invitation comes as that colleague's notice about the visitor.
  Control("visitor 3002");
  Control("invite 3002 demo2");
  const std::unique_ptr<Message> invited =
      agent->Notice(kCommandUpdateKFState, [](const Msg& m) { return m.FROM == kDemoUid2 && m.BODY == "101"; });
  ASSERT_NE(invited, nullptr);
  EXPECT_EQ(invited->bodyAs<Msg>()->FROM_TYPE, kMemberKindAgent);
  EXPECT_EQ(invited->bodyAs<Msg>()->TO, 3002);
  EXPECT_EQ(invited->bodyAs<Msg>()->TO_TYPE, kMemberKindVisitor);
}

TEST_F(ChatTest, AChatLineToAVisitorStartsTheTalkAndIsAnsweredFromTheScript) {
  Control("visitor 3001");
  Control("reply 3001 标准版和专业版差在哪里？");
  auto agent = Connect(kDemoUser);
  agent->SendMsg(kCommandChatMessage, ChatTo(*agent, 3001, kMemberKindVisitor, "您好，请问有什么可以帮您？"),
                 agent->session);
  ASSERT_NE(agent->Notice(kCommandUpdateKFState, [](const Msg& m) { return StateNotice(m, 3001, "105"); }), nullptr);
  const std::unique_ptr<Message> reply =
      agent->Notice(kCommandChatMessage, [](const Msg& m) { return m.FROM == 3001; });
  ASSERT_NE(reply, nullptr);
  EXPECT_EQ(reply->RESULT, 0);
  const Msg* msg = reply->bodyAs<Msg>();
  EXPECT_EQ(msg->FROM_TYPE, kMemberKindVisitor);
  EXPECT_EQ(msg->TO, kDemoUid);
  EXPECT_EQ(msg->BODY, "标准版和专业版差在哪里？");
  // A successful send is not answered: an answer would read as a line from
  // the agent itself.
  EXPECT_EQ(agent->Notice(
                kCommandChatMessage, [](const Msg& m) { return m.FROM == kDemoUid; }, std::chrono::milliseconds(200)),
            nullptr);
}

TEST_F(ChatTest, AVisitorWritingFirstIsGivenToAnOnlineAgent) {
  Control("visitor 3003");
  auto agent = Connect(kDemoUser);
  Control("say 3003 我的手机号是13812345678，方便的话请回个电话。");
  ASSERT_NE(agent->Notice(kCommandUpdateKFState, [](const Msg& m) { return StateNotice(m, 3003, "105"); }), nullptr);
  const std::unique_ptr<Message> line = agent->Notice(kCommandChatMessage, [](const Msg& m) { return m.FROM == 3003; });
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(BodyText(*line), "我的手机号是13812345678，方便的话请回个电话。");
}

TEST_F(ChatTest, SendFailuresCarryTheResultsTheChatWindowTellsApart) {
  Control("visitor 3001");
  Control("visitor 3002");
  Control("leave 3002");
  Control("visitor 3003");
  Control("invite 3003 demo2");
  Control("accept 3003");
  Control("visitor 3004");
  auto agent = Connect(kDemoUser);
  struct Case {
    std::int32_t to;
    std::int8_t toType;
    std::uint8_t result;  // 0: no answer expected
  };
  // Talk with 3004 first, then let it end.
  agent->SendMsg(kCommandChatMessage, ChatTo(*agent, 3004, kMemberKindVisitor, "在吗"), agent->session);
  ASSERT_NE(agent->Notice(kCommandUpdateKFState, [](const Msg& m) { return StateNotice(m, 3004, "105"); }), nullptr);
  Control("end 3004");
  const Case cases[] = {
      {3002, kMemberKindVisitor, kResultPeerOffline},  // the visitor left
      {9999, kMemberKindVisitor, kResultPeerOffline},  // never there
      {3003, kMemberKindVisitor, kResultTalkEnded},    // talking with a colleague
      {3004, kMemberKindVisitor, kResultTalkEnded},    // the talk ended
      {2004, kMemberKindAgent, kResultPeerOffline},    // colleague offline: kept as offline message
      {2003, kMemberKindAgent, 0},                     // away colleague without client: answers later
  };
  for (const Case& c : cases) {
    const std::int64_t id = agent->SendMsg(kCommandChatMessage, ChatTo(*agent, c.to, c.toType, "测试"), agent->session);
    const std::unique_ptr<Message> answer =
        agent->Answer(kCommandChatMessage, id, std::chrono::milliseconds(c.result == 0 ? 200 : 5000));
    if (c.result == 0) {
      EXPECT_EQ(answer, nullptr) << c.to;
      continue;
    }
    ASSERT_NE(answer, nullptr) << c.to;
    EXPECT_EQ(answer->RESULT, c.result) << c.to;
    ASSERT_NE(answer->bodyAs<Msg>(), nullptr);
    EXPECT_EQ(answer->bodyAs<Msg>()->TO, c.to);
  }
  // The colleague script answers the away colleague's line.
  EXPECT_NE(agent->Notice(kCommandChatMessage, [](const Msg& m) { return m.FROM == 2003 && !m.BODY.empty(); }),
            nullptr);
  // The offline colleague finds the line in its start data.
  auto colleague = Connect("chenjing");
  const std::unique_ptr<Message> start =
      colleague->Answer(kCommandStartData, colleague->SendAsAgent(kCommandStartData, ""));
  ASSERT_NE(start, nullptr);
  const Json::Value offMsg = BodyJson(*start)["guestbook"]["offMsg"];
  ASSERT_EQ(offMsg.size(), 1u);
  EXPECT_EQ(offMsg[0]["B7"].asInt(), kDemoUid);
  EXPECT_EQ(offMsg[0]["D3"].asString(), "测试");
}

TEST_F(ChatTest, TwoLoggedInColleaguesChatAndAnAwayOneIsNoted) {
  auto a = Connect(kDemoUser);
  auto b = Connect(kDemoUser2);
  a->SendMsg(kCommandChatMessage, ChatTo(*a, kDemoUid2, kMemberKindAgent, "三点开会"), a->session);
  const std::unique_ptr<Message> atB = b->Notice(kCommandChatMessage, [](const Msg& m) { return m.FROM == kDemoUid; });
  ASSERT_NE(atB, nullptr);
  EXPECT_EQ(atB->RESULT, 0);
  EXPECT_EQ(atB->bodyAs<Msg>()->BODY, "三点开会");
  EXPECT_EQ(atB->bodyAs<Msg>()->FROM_TYPE, kMemberKindAgent);
  EXPECT_EQ(atB->SESSION_ID, b->session);

  b->SendMsg(kCommandChatMessage, ChatTo(*b, kDemoUid, kMemberKindAgent, "好的"), b->session);
  ASSERT_NE(a->Notice(kCommandChatMessage, [](const Msg& m) { return m.FROM == kDemoUid2 && m.BODY == "好的"; }),
            nullptr);

  b->SendAsAgent(kCommandUpdateKFState, "3");
  ASSERT_NE(a->Notice(kCommandUpdateKFState, [](const Msg& m) { return m.FROM == kDemoUid2 && m.BODY == "3"; }),
            nullptr);
  const std::int64_t id = a->SendMsg(kCommandChatMessage, ChatTo(*a, kDemoUid2, kMemberKindAgent, "在吗"), a->session);
  const std::unique_ptr<Message> noted = a->Answer(kCommandChatMessage, id);
  ASSERT_NE(noted, nullptr);
  EXPECT_EQ(noted->RESULT, kResultServerNotice);
  EXPECT_NE(BodyText(*noted).find("王芳"), std::string::npos);
  EXPECT_NE(b->Notice(kCommandChatMessage, [](const Msg& m) { return m.BODY == "在吗"; }), nullptr);
}

TEST_F(ChatTest, AColleagueWithoutClientWritesFromTheControl) {
  auto agent = Connect(kDemoUser);
  Control("colleague liuyang to=demo 那个客户的回拨请帮忙登记一下。");
  const std::unique_ptr<Message> line = agent->Notice(kCommandChatMessage, [](const Msg& m) { return m.FROM == 2005; });
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->bodyAs<Msg>()->FROM_TYPE, kMemberKindAgent);
  EXPECT_EQ(BodyText(*line), "那个客户的回拨请帮忙登记一下。");
  Control("presence liuyang 3");
  EXPECT_NE(agent->Notice(kCommandUpdateKFState, [](const Msg& m) { return m.FROM == 2005 && m.BODY == "3"; }),
            nullptr);
}

}  // namespace
}  // namespace kanzo::test
