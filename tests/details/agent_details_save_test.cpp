// The save of the agent's personal details: the request's body, the answer
// matched to what was sent, the boxes and the current agent record.
#include "details/agent_details_save.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "protocol/commands.h"
#include "protocol/msg.h"
#include "records/records.h"
#include "support/server_messages.h"

namespace kanzo {
namespace {

constexpr std::int32_t kSelf = 1001;

struct Sent {
  std::int64_t id;
  std::int32_t command;
  std::string body;
};

class AgentDetailsSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    records.agent.Update([](AgentRecord& r) {
      r.triple = {77, kSelf, 1};
      r.userName = "agent1";
      r.password = "pw\"1";
      r.zipcode = "100000";
      r.realname = "王小明";
      r.sex = kSexMale;
      r.age = "30";
    });
    records.names.Set(kSelf, "王小明");
  }
  void TearDown() override {
    records.agent.Reset();
    records.names.Clear();
  }

  AgentDetailsSave MakeSave() {
    return AgentDetailsSave(records, [this](Message& m) {
      const Msg* msg = m.bodyAs<Msg>();
      sent.push_back({m.MESSAGE_ID, m.command, msg ? msg->BODY : std::string()});
      return 0;
    });
  }

  static std::unique_ptr<Message> Answer(std::int64_t id, std::uint8_t result, const char* text) {
    const Msg body = test::MsgBody(text ? text : "");
    return test::ServerMessage({.command = kCommandSaveAgentInfo, .id = id, .result = result}, text ? &body : nullptr);
  }

  std::vector<Sent> sent;
  Records records;
  platform::MessageBoxRecorder boxes;
};

TEST_F(AgentDetailsSaveTest, FemaleIsSentAsOneAndTheRecordHoldsWhatWasSent) {
  AgentDetailsSave save = MakeSave();
  AgentDetailsForm form = AgentDetailsFormFrom(records.agent.Copy());
  EXPECT_TRUE(form.male);
  form.male = false;
  form.realname = "王小红";
  form.email = "a@b.example";
  ASSERT_TRUE(save.Save(form));
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].command, kCommandSaveAgentInfo);
  EXPECT_EQ(sent[0].body,
            "{\"address\":\"\",\"age\":\"30\",\"email\":\"a@b.example\",\"mobile\":\"\",\"password\":\"pw\\\"1\","
            "\"phone\":\"\",\"qq\":\"\",\"realname\":\"王小红\",\"remark\":\"\",\"sex\":\"1\",\"uid\":1001,"
            "\"username\":\"agent1\",\"zipcode\":\"100000\"}");

  // The main window is told before the box, with the record already saved.
  std::string shownSex;
  save.SetOnSaved([&] { shownSex = boxes.Count() == 0 ? records.agent.Copy().sex : "after the box"; });
  EXPECT_EQ(save.OnNetworkMessage(Answer(sent[0].id, 0, "")), AgentDetailsAnswer::kSaved);
  EXPECT_EQ(shownSex, kSexFemale);
  const AgentRecord agent = records.agent.Copy();
  EXPECT_EQ(agent.sex, kSexFemale);
  EXPECT_EQ(agent.realname, "王小红");
  EXPECT_EQ(agent.email, "a@b.example");
  std::string name;
  ASSERT_TRUE(records.names.Lookup(kSelf, &name));
  EXPECT_EQ(name, "王小红");
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, kDetailsBoxCaption);
  EXPECT_EQ(boxes.Boxes()[0].text, kDetailsSavedText);
}

TEST_F(AgentDetailsSaveTest, EachAnswerAppliesTheFieldsOfItsOwnRequest) {
  AgentDetailsSave save = MakeSave();
  AgentDetailsForm first = AgentDetailsFormFrom(records.agent.Copy());
  first.qq = "111";
  AgentDetailsForm second = first;
  second.qq = "222";
  ASSERT_TRUE(save.Save(first));
  ASSERT_TRUE(save.Save(second));
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(save.OnNetworkMessage(Answer(sent[0].id, 0, "")), AgentDetailsAnswer::kSaved);
  EXPECT_EQ(records.agent.Copy().qq, "111");
  EXPECT_EQ(save.OnNetworkMessage(Answer(sent[1].id, 1, "busy")), AgentDetailsAnswer::kFailed);
  EXPECT_EQ(records.agent.Copy().qq, "111");
  EXPECT_EQ(save.Pending(), 0u);
}

TEST_F(AgentDetailsSaveTest, AFailedSaveChangesNothingAndSaysWhy) {
  struct Case {
    const char* body;  // null: the answer carries no body
    const char* box;
  };
  for (const Case& c : {Case{"用户名不存在", "用户名不存在"}, Case{nullptr, kDetailsFailedText}}) {
    SCOPED_TRACE(c.box);
    platform::MessageBoxRecorder local;
    AgentDetailsSave save = MakeSave();
    AgentDetailsForm form = AgentDetailsFormFrom(records.agent.Copy());
    form.realname = "别人";
    form.male = false;
    ASSERT_TRUE(save.Save(form));
    const AgentRecord before = records.agent.Copy();
    EXPECT_EQ(save.OnNetworkMessage(Answer(sent.back().id, 1, c.body)), AgentDetailsAnswer::kFailed);
    const AgentRecord after = records.agent.Copy();
    EXPECT_EQ(after.realname, before.realname);
    EXPECT_EQ(after.sex, before.sex);
    std::string name;
    ASSERT_TRUE(records.names.Lookup(kSelf, &name));
    EXPECT_EQ(name, "王小明");
    ASSERT_EQ(local.Count(), 1u);
    EXPECT_EQ(local.Boxes()[0].caption, kDetailsBoxCaption);
    EXPECT_EQ(local.Boxes()[0].text, c.box);
  }
}

TEST_F(AgentDetailsSaveTest, OtherAnswersAndUnsentSavesAreLeftAlone) {
  AgentDetailsSave save = MakeSave();
  auto other = Answer(5, 0, "");
  other->command = kCommandChatMessage;
  EXPECT_EQ(save.OnNetworkMessage(std::move(other)), AgentDetailsAnswer::kIgnored);
  // A success nobody asked for has no fields to take.
  EXPECT_EQ(save.OnNetworkMessage(Answer(5, 0, "")), AgentDetailsAnswer::kIgnored);
  EXPECT_EQ(save.OnNetworkMessage(nullptr), AgentDetailsAnswer::kIgnored);
  EXPECT_EQ(boxes.Count(), 0u);
  EXPECT_EQ(records.agent.Copy().realname, "王小明");
}

TEST_F(AgentDetailsSaveTest, CancelAsksFirst) {
  boxes.QueueAnswer(platform::MessageBoxResult::Cancel);
  EXPECT_FALSE(ConfirmCancelSettings());
  EXPECT_TRUE(ConfirmCancelSettings());
  ASSERT_EQ(boxes.Count(), 2u);
  EXPECT_EQ(boxes.Boxes()[0].text, kConfirmCancelText);
  EXPECT_EQ(boxes.Boxes()[0].buttons, platform::MessageBoxButtons::OkCancel);
}

}  // namespace
}  // namespace kanzo
