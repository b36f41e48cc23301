// The main window's logic without a window: requests, answers, notices,
// the colleagues' presence list, settings in a real database file.
#include "workspace/main_workspace.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "db/db_manager.h"
#include "db/db_test_support.h"
#include "platform/narrow_text.h"
#include "protocol/message_id.h"
#include "support/server_messages.h"
#include "support/window_context_fixture.h"
#include "workspace/main_texts.h"
#include "workspace/pane_recorder.h"

namespace kanzo {
namespace {

using test::CorePane;
using test::FakeChatWindow;
using test::FakeSettingPage;
using test::Notice;

constexpr std::int32_t kAccount = 77;
constexpr std::int32_t kSelf = 1001;
constexpr std::int32_t kAgentType = 1;
constexpr std::int32_t kColleague = 1002;
constexpr std::int32_t kOtherColleague = 1003;
constexpr std::int32_t kVisitor = 5005;

struct SentRequest {
  std::int64_t id;
  std::int32_t command;
  Msg body;
};

class RecordingView : public MainWorkspaceView {
 public:
  void ShowSessionCount(const std::string& text) override { counts.push_back(text); }
  void ShowState(int presence) override { states.push_back(presence); }
  void ShowAgentDetails() override { ++details; }
  void EndForcedOffline() override { ++forcedOffline; }
  void SettingsChanged() override { ++settingsChanged; }

  std::vector<std::string> counts;
  std::vector<int> states;
  int details = 0;
  int forcedOffline = 0;
  int settingsChanged = 0;
};

std::unique_ptr<ContactRecord> Contact(std::int32_t id, std::int32_t kind, std::int32_t state) {
  auto r = std::make_unique<ContactRecord>();
  r->id = id;
  r->kind = kind;
  r->state = state;
  return r;
}

class MainWorkspaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(DBManager::Init());
    windows.records.agent.Update([](AgentRecord& a) {
      a.userName = "agent";
      a.realname = "张三";
      a.triple = {kAccount, kSelf, kAgentType};
      a.agentKind = 1;
    });
  }
  WindowContext::Sender Recorder() {
    return [this](Message& m) {
      SentRequest r{m.MESSAGE_ID, m.command, {}};
      if (const Msg* body = m.bodyAs<Msg>()) r.body = *body;
      sent.push_back(r);
      return 0;
    };
  }

  test::DbFixtureState db;
  test::TestWindowContext windows;
  RecordingView view;
  std::vector<SentRequest> sent;
  WindowContext& context = WithSender(windows.context, Recorder());
  MainWorkspace workspace{view, context};

  static WindowContext& WithSender(WindowContext& context, WindowContext::Sender sender) {
    context.send = std::move(sender);
    return context;
  }
};

TEST_F(MainWorkspaceTest, RequestsCarryTheAgentTripleExceptTheCountRequest) {
  workspace.LoadSessionCount();
  workspace.GetInitData();
  workspace.GetOnlineVisitor();
  workspace.GetQuickMessage();
  workspace.UpdateKFState(kPresenceAway);
  workspace.UpdateKFState(kPresenceOnline);

  struct Expected {
    std::int32_t command;
    bool triple;
    const char* body;
  };
  const Expected expected[] = {{7, false, ""}, {13, true, ""}, {29, true, ""},
                               {43, true, ""}, {8, true, "3"}, {8, true, "2"}};
  ASSERT_EQ(sent.size(), std::size(expected));
  for (std::size_t i = 0; i < sent.size(); ++i) {
    SCOPED_TRACE(i);
    const SentRequest& r = sent[i];
    EXPECT_EQ(r.command, expected[i].command);
    EXPECT_EQ(r.body.account, expected[i].triple ? kAccount : 0);
    EXPECT_EQ(r.body.FROM, expected[i].triple ? kSelf : 0);
    EXPECT_EQ(r.body.FROM_TYPE, expected[i].triple ? kAgentType : 0);
    EXPECT_EQ(r.body.TO, 0);
    EXPECT_EQ(r.body.TO_TYPE, 0);
    EXPECT_EQ(r.body.BODY, expected[i].body);
    if (i > 0) EXPECT_GT(r.id, sent[i - 1].id) << "every request takes a fresh MESSAGE_ID";
  }
}

TEST_F(MainWorkspaceTest, CountsTextDependsOnTheAgentKindAndBadCountsReadAsZero) {
  struct Case {
    std::int32_t kind;
    const char* body;
    const char* text;
  };
  const Case cases[] = {
      {1, R"({"total_chat":12,"my_chat":3})", "总会话：12 我的会话：3"},
      {0, R"({"total_chat":12,"my_chat":3})", "我的会话：3"},
      {2, R"({"total_chat":12,"my_chat":3})", "我的会话：3"},
      {1, R"({"my_chat":3})", "总会话：0 我的会话：3"},
      {1, R"({"total_chat":"12","my_chat":"3"})", "总会话：0 我的会话：0"},
      {1, R"({"total_chat":1.5,"my_chat":true})", "总会话：0 我的会话：0"},
      {1, "not json", "总会话：0 我的会话：0"},
      {1, "[12,3]", "总会话：0 我的会话：0"},
      {1, "", "总会话：0 我的会话：0"},
      {1, R"({"total_chat":12,"my_chat":3} trailing)", "总会话：0 我的会话：0"},
      {2, R"({"total_chat":99999999999,"my_chat":-4})", "我的会话：-4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    windows.records.agent.Update([&](AgentRecord& a) { a.agentKind = c.kind; });
    view.counts.clear();
    workspace.OnNetworkMessage(Notice(kCommandLoadSessionCount, c.body));
    ASSERT_EQ(view.counts.size(), 1u);
    EXPECT_EQ(view.counts[0], c.text);
  }
  // An answer without a body leaves the line as it is.
  view.counts.clear();
  workspace.OnNetworkMessage(test::ServerMessage({.command = kCommandLoadSessionCount}));
  EXPECT_TRUE(view.counts.empty());
}

TEST_F(MainWorkspaceTest, OwnIdWithFourForcesTheLogOffAndNothingElseDoes) {
  struct Case {
    const char* body;
    bool forced;
  };
  const Case cases[] = {{"5", false}, {"\"4\"", false}, {"4x", false}, {"[4]", false}, {"", false}, {"4", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    workspace.OnNetworkMessage(Notice(kCommandUpdateKFState, c.body, kSelf, kMemberKindAgent));
    EXPECT_EQ(view.forcedOffline, c.forced ? 1 : 0);
    EXPECT_EQ(windows.records.agent.AgentId(), c.forced ? 0 : kSelf);
  }
  EXPECT_TRUE(sent.empty()) << "a forced log-off sends nothing";
  // Once logged off, a notice from id 0 is nobody's own.
  workspace.OnNetworkMessage(Notice(kCommandUpdateKFState, "4", 0, kMemberKindAgent));
  EXPECT_EQ(view.forcedOffline, 1);
}

TEST_F(MainWorkspaceTest, VisitorNoticesGoToBothVisitorPanesAsCopies) {
  CorePane online(windows.router, kOnlinePaneName), session(windows.router, kSessionPaneName),
      contacts(windows.router, kContactPaneName);
  FakeChatWindow chat(windows.router);
  workspace.OnNetworkMessage(
      Notice(kCommandUpdateKFState, "105", kVisitor, kMemberKindVisitor, kSelf, kMemberKindAgent));
  for (CorePane* pane : {&online, &session}) {
    SCOPED_TRACE(pane->name());
    ASSERT_EQ(pane->deliveries.size(), 1u);
    EXPECT_EQ(pane->deliveries[0].kind, kPaneNotice);
    const Msg* copy = pane->deliveries[0].notice.get();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->FROM, kVisitor);
    EXPECT_EQ(copy->FROM_TYPE, kMemberKindVisitor);
    EXPECT_EQ(copy->TO, kSelf);
    EXPECT_EQ(copy->TO_TYPE, kMemberKindAgent);
    EXPECT_EQ(copy->BODY, "105");
  }
  EXPECT_NE(online.deliveries[0].notice.get(), session.deliveries[0].notice.get());
  EXPECT_TRUE(contacts.deliveries.empty());
  EXPECT_EQ(chat.repaints, 1);
}

TEST_F(MainWorkspaceTest, ColleagueNoticeWith101IsSwappedAndForwardedWithoutTouchingTheColleague) {
  windows.records.contacts.Enter(Contact(kColleague, kContactKindAgent, 2));
  CorePane online(windows.router, kOnlinePaneName), session(windows.router, kSessionPaneName),
      contacts(windows.router, kContactPaneName);
  workspace.OnNetworkMessage(
      Notice(kCommandUpdateKFState, "101", kColleague, kMemberKindAgent, kVisitor, kMemberKindVisitor));
  for (CorePane* pane : {&online, &session}) {
    ASSERT_EQ(pane->deliveries.size(), 1u);
    const Msg* copy = pane->deliveries[0].notice.get();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->FROM, kVisitor);
    EXPECT_EQ(copy->FROM_TYPE, kMemberKindVisitor);
    EXPECT_EQ(copy->TO, kColleague);
    EXPECT_EQ(copy->TO_TYPE, kMemberKindAgent);
    EXPECT_EQ(copy->BODY, "101");
  }
  EXPECT_EQ(windows.records.contacts.Find(kColleague)->state, 2);
  EXPECT_TRUE(contacts.deliveries.empty());
}

TEST_F(MainWorkspaceTest, ColleaguePresenceGoesIntoTheContactTable) {
  windows.records.contacts.Enter(Contact(kColleague, kContactKindAgent, 2));
  // A visitor that shares an id with nobody we know.
  windows.records.contacts.Enter(Contact(kVisitor, kContactKindVisitor, 105));
  CorePane contacts(windows.router, kContactPaneName), online(windows.router, kOnlinePaneName);

  workspace.OnNetworkMessage(Notice(kCommandUpdateKFState, "3", kColleague, kMemberKindAgent));
  EXPECT_EQ(windows.records.contacts.Find(kColleague)->state, 3);
  ASSERT_EQ(contacts.deliveries.size(), 1u);
  EXPECT_EQ(contacts.deliveries[0].kind, kPaneNotice);
  EXPECT_TRUE(contacts.deliveries[0].empty);

  // Unknown colleague, a visitor's id given as a colleague, text bodies,
  // other sender kinds: nothing changes.
  workspace.OnNetworkMessage(Notice(kCommandUpdateKFState, "3", kOtherColleague, kMemberKindAgent));
  workspace.OnNetworkMessage(Notice(kCommandUpdateKFState, "3", kVisitor, kMemberKindAgent));
  workspace.OnNetworkMessage(Notice(kCommandUpdateKFState, "\"1\"", kColleague, kMemberKindAgent));
  workspace.OnNetworkMessage(Notice(kCommandUpdateKFState, "{}", kColleague, kMemberKindAgent));
  workspace.OnNetworkMessage(Notice(kCommandUpdateKFState, "1", kColleague, 7));
  workspace.OnNetworkMessage(test::ServerMessage({.command = kCommandUpdateKFState}));
  EXPECT_EQ(windows.records.contacts.Find(kColleague)->state, 3);
  EXPECT_EQ(windows.records.contacts.Find(kVisitor)->state, 105);
  EXPECT_EQ(contacts.deliveries.size(), 1u);
  EXPECT_TRUE(online.deliveries.empty());
  EXPECT_EQ(windows.records.contacts.Find(kOtherColleague), nullptr);
}

TEST_F(MainWorkspaceTest, NoticesForAbsentPanesAreDroppedWithoutLeaks) {
  FakeChatWindow chat(windows.router);
  workspace.OnNetworkMessage(Notice(kCommandUpdateKFState, "1", kVisitor, kMemberKindVisitor, kSelf, 1));
  workspace.OnNetworkMessage(Notice(kCommandUpdateKFState, "101", kColleague, kMemberKindAgent, kVisitor, 2));
  EXPECT_EQ(chat.repaints, 2);
}

TEST_F(MainWorkspaceTest, StartDataFeedsThePanesAndThePresenceList) {
  windows.records.contacts.Enter(Contact(kColleague, kContactKindAgent, 2));
  windows.records.contacts.Enter(Contact(kOtherColleague, kContactKindAgent, 2));
  windows.records.contacts.Enter(Contact(kVisitor, kContactKindVisitor, 105));
  CorePane contacts(windows.router, kContactPaneName), session(windows.router, kSessionPaneName),
      online(windows.router, kOnlinePaneName);

  const std::string body = R"({"users":{"客服组":[{"uid":1002,"name":"李四"}]},)"
                           R"("userstate":"[[1002,3],[1001,3],[1002,2],[9,2],[1],null]",)"
                           R"("guestbook":{"offMsg":[{"A1":1}],"gbook":[]}})";
  EXPECT_FALSE(workspace.HasStartData());
  workspace.OnNetworkMessage(Notice(kCommandStartData, body));
  EXPECT_TRUE(workspace.HasStartData());

  ASSERT_EQ(contacts.deliveries.size(), 2u);
  EXPECT_EQ(contacts.deliveries[0].kind, kPaneLoad);
  EXPECT_EQ(contacts.deliveries[0].json["客服组"][0]["name"].asString(), "李四");
  EXPECT_EQ(contacts.deliveries[1].kind, kPaneNotice);
  // The first entry of an id counts; colleagues not listed are offline.
  EXPECT_EQ(windows.records.contacts.Find(kColleague)->state, 3);
  EXPECT_EQ(windows.records.contacts.Find(kOtherColleague)->state, 1);
  EXPECT_EQ(windows.records.contacts.Find(kVisitor)->state, 105);
  EXPECT_EQ(view.states, std::vector<int>{3});
  // Only a guestbook list with entries goes to the conversation pane.
  ASSERT_EQ(session.deliveries.size(), 1u);
  EXPECT_EQ(session.deliveries[0].kind, kPaneOfflineMessages);
  EXPECT_EQ(session.deliveries[0].json[0]["A1"].asInt(), 1);
  EXPECT_TRUE(online.deliveries.empty());
  EXPECT_EQ(view.details, 1);

  // With the start data in, a renewed login does not ask again.
  workspace.OnLoginRenewed();
  EXPECT_TRUE(sent.empty());
}

TEST_F(MainWorkspaceTest, RenewedLoginAsksForStartDataUntilAnAnswerCame) {
  workspace.OnLoginRenewed();
  workspace.OnLoginRenewed();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].command, kCommandStartData);
  // Even an answer that is not JSON counts as the start data.
  workspace.OnNetworkMessage(Notice(kCommandStartData, "oops"));
  workspace.OnLoginRenewed();
  EXPECT_EQ(sent.size(), 2u);
  EXPECT_EQ(view.details, 1);
}

TEST_F(MainWorkspaceTest, BadStartDataChangesNothing) {
  windows.records.contacts.Enter(Contact(kColleague, kContactKindAgent, 2));
  CorePane contacts(windows.router, kContactPaneName), session(windows.router, kSessionPaneName);
  const char* bodies[] = {
      "not json",
      "",
      "[1,2,3]",
      "42",
      R"({"userstate":[[1002,3]]})",
      R"({"userstate":"{\"1002\":3}"})",
      R"({"userstate":"not json"})",
      R"({"userstate":17})",
      R"({"users":"李四","guestbook":[1,2]})",
      R"({"users":[1,2],"guestbook":"x"})",
      R"({"guestbook":{"offMsg":{"a":1},"gbook":"text"}})",
      R"({"guestbook":{"offMsg":[],"gbook":null}})",
  };
  for (const char* body : bodies) {
    SCOPED_TRACE(body);
    workspace.OnNetworkMessage(Notice(kCommandStartData, body));
  }
  // Nesting past the reader's limit makes it throw; the client must go on.
  const std::string deep(100000, '[');
  workspace.OnNetworkMessage(Notice(kCommandStartData, deep.c_str()));
  workspace.OnNetworkMessage(Notice(kCommandUpdateKFState, deep.c_str()));
  workspace.OnNetworkMessage(test::ServerMessage({.command = kCommandStartData}));
  EXPECT_TRUE(contacts.deliveries.empty());
  EXPECT_TRUE(session.deliveries.empty());
  EXPECT_EQ(windows.records.contacts.Find(kColleague)->state, 2);
  EXPECT_TRUE(view.states.empty());
  EXPECT_EQ(view.details, static_cast<int>(std::size(bodies)) + 2);
}

TEST_F(MainWorkspaceTest, PresenceListEntriesThatAreNotIntegersCountAsZero) {
  windows.records.contacts.Enter(Contact(0, kContactKindAgent, 2));
  windows.records.contacts.Enter(Contact(kColleague, kContactKindAgent, 2));
  workspace.LoadUserState(Json::Value(R"([["1002",3],[0,3],[1002,"2"],[1001,2,"extra"]])"));
  EXPECT_EQ(windows.records.contacts.Find(0)->state, 3) << "the first entry for id 0 came from \"1002\"";
  EXPECT_EQ(windows.records.contacts.Find(kColleague)->state, 0);
  EXPECT_EQ(view.states, std::vector<int>{2});
  // "null" is an empty list: everybody offline, the agent too.
  workspace.LoadUserState(Json::Value("null"));
  EXPECT_EQ(windows.records.contacts.Find(kColleague)->state, 1);
  EXPECT_EQ(view.states.back(), 1);
}

TEST_F(MainWorkspaceTest, OnlineVisitorsAndQuickMessagesGoWhereTheyBelong) {
  CorePane online(windows.router, kOnlinePaneName);
  FakeChatWindow chat(windows.router);
  workspace.OnNetworkMessage(Notice(kCommandGetOnlineVisitor, R"([{"B7":5005}])"));
  workspace.OnNetworkMessage(Notice(kCommandGetOnlineVisitor, "null"));
  workspace.OnNetworkMessage(Notice(kCommandGetOnlineVisitor, R"({"B7":5005})"));
  workspace.OnNetworkMessage(Notice(kCommandGetOnlineVisitor, "[broken"));
  workspace.OnNetworkMessage(test::ServerMessage({.command = kCommandGetOnlineVisitor}));
  ASSERT_EQ(online.deliveries.size(), 2u);
  EXPECT_EQ(online.deliveries[0].json[0]["B7"].asInt(), kVisitor);
  EXPECT_TRUE(online.deliveries[1].json.isNull());

  workspace.OnNetworkMessage(Notice(kCommandGetQuickMessage, R"({"quick":["你好"]})"));
  workspace.OnNetworkMessage(Notice(kCommandGetQuickMessage, R"(["你好"])"));
  workspace.OnNetworkMessage(Notice(kCommandGetQuickMessage, "你好"));
  workspace.OnNetworkMessage(test::ServerMessage({.command = kCommandGetQuickMessage}));
  ASSERT_EQ(chat.quickMessages.size(), 1u);
  EXPECT_EQ(chat.quickMessages[0]["quick"][0].asString(), "你好");

  // Commands this window does not handle are dropped unread.
  workspace.OnNetworkMessage(Notice(kCommandChatMessage, "{}"));
  workspace.OnNetworkMessage(nullptr);
  EXPECT_EQ(online.deliveries.size(), 2u);
}

TEST_F(MainWorkspaceTest, SettingsComeFromTheDatabaseOrStartQuiet) {
  workspace.LoadSettings();
  AgentRecord agent = windows.records.agent.Copy();
  EXPECT_EQ(agent.soundState, kSoundStateOff);
  EXPECT_EQ(agent.flickState, kFlickStateChatWindow);

  ASSERT_TRUE(DBManager::EnsureSetting(kSelf));
  workspace.LoadSettings();
  agent = windows.records.agent.Copy();
  EXPECT_EQ(agent.soundState, kSoundStateOn);
  EXPECT_EQ(agent.flickState, kFlickStateBubble);

  // A stored value that is no setting's value is not taken.
  ASSERT_TRUE(test::RawExec(db.Path(), "UPDATE setting_info SET sound_state=9, flick_state='x' WHERE uid=1001"));
  workspace.LoadSettings();
  agent = windows.records.agent.Copy();
  EXPECT_EQ(agent.soundState, kSoundStateOff);
  EXPECT_EQ(agent.flickState, kFlickStateChatWindow);
}

TEST_F(MainWorkspaceTest, ChangeSettingTogglesRecordAndDatabaseTogether) {
  ASSERT_TRUE(DBManager::EnsureSetting(kSelf));
  workspace.LoadSettings();
  FakeSettingPage page(windows.router);
  const auto stored = [&] {
    return test::RawQuery(db.Path(), "SELECT flick_state, sound_state FROM setting_info WHERE uid=1001").at(0);
  };

  EXPECT_TRUE(workspace.ChangeSetting(kSoundStateOn));
  EXPECT_EQ(windows.records.agent.Copy().soundState, kSoundStateOff);
  EXPECT_EQ(stored(), (std::vector<std::string>{"3", "2"}));
  EXPECT_TRUE(workspace.ChangeSetting(kFlickStateBubble));
  EXPECT_EQ(windows.records.agent.Copy().flickState, kFlickStateChatWindow);
  EXPECT_EQ(stored(), (std::vector<std::string>{"4", "2"}));
  EXPECT_TRUE(workspace.ChangeSetting(kSoundStateOff));
  EXPECT_TRUE(workspace.ChangeSetting(kFlickStateChatWindow));
  EXPECT_EQ(stored(), (std::vector<std::string>{"3", "1"}));
  EXPECT_EQ(view.settingsChanged, 4);
  EXPECT_EQ(page.refreshes, 4);

  EXPECT_FALSE(workspace.ChangeSetting(0));
  EXPECT_FALSE(workspace.ChangeSetting(5));
  EXPECT_EQ(view.settingsChanged, 4);
  EXPECT_EQ(stored(), (std::vector<std::string>{"3", "1"}));
}

TEST_F(MainWorkspaceTest, SoundPlaysOnlyWithSoundOnForLinesWithFlagZero) {
  windows.records.agent.Update([](AgentRecord& a) { a.soundState = kSoundStateOn; });
  EXPECT_TRUE(workspace.ShouldPlaySound(0));
  EXPECT_FALSE(workspace.ShouldPlaySound(1));
  windows.records.agent.Update([](AgentRecord& a) { a.soundState = kSoundStateOff; });
  EXPECT_FALSE(workspace.ShouldPlaySound(0));
}

// The texts and tables that need no window.

TEST(MainTextsTest, TrayTipNamesTheSettingsAndIsCutAtAWholeCharacter) {
  AgentRecord agent;
  agent.userName = "agent";
  agent.realname = "张三";
  agent.soundState = kSoundStateOff;
  agent.flickState = kFlickStateChatWindow;
  EXPECT_EQ(TrayTipText(agent), "Qimbo:agent( 张三 )\n声音:关闭\n会话消息:任务栏不闪动");
  agent.soundState = kSoundStateOn;
  agent.flickState = kFlickStateBubble;
  EXPECT_EQ(TrayTipText(agent), "Qimbo:agent( 张三 )\n声音:开启\n会话消息:任务栏闪动");

  for (std::size_t n = 30; n < 50; ++n) {
    agent.realname.clear();
    for (std::size_t i = 0; i < n; ++i) agent.realname += "张";
    const std::string tip = TrayTipText(agent);
    SCOPED_TRACE(n);
    EXPECT_LE(tip.size(), kTrayTipMaxBytes);
    EXPECT_GE(tip.size(), kTrayTipMaxBytes - 2) << "no more than a character's worth is lost";
    // Whole characters only: the cut never leaves a lead byte without its
    // continuation bytes.
    EXPECT_EQ(std::string(platform::Utf8PrefixWithin(tip, tip.size())), tip);
    EXPECT_EQ(tip.rfind("Qimbo:agent( 张", 0), 0u);
  }
}

TEST(MainTextsTest, PresenceDisplayTable) {
  struct Case {
    int presence;
    int button;
    bool away;
    const char* picture;
    int shown;
  };
  const Case cases[] = {
      {1, 2, false, "Images/big_offline_logo.png", 1},
      {2, 0, false, "Images/big_def_logo.png", 2},
      {3, 4, true, "Images/big_outline_logo.png", 3},
      {0, 0, false, nullptr, 2},
      {7, 0, false, nullptr, 2},
      {-1, 0, false, nullptr, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.presence);
    const PresenceLook look = PresenceLookOf(c.presence);
    EXPECT_EQ(look.buttonState, c.button);
    EXPECT_EQ(look.awayIcon, c.away);
    EXPECT_EQ(look.picture == nullptr, c.picture == nullptr);
    if (c.picture && look.picture) EXPECT_STREQ(look.picture, c.picture);
    EXPECT_EQ(look.shownPresence, c.shown);
  }
}

TEST(MainTextsTest, BackOfficeAddressJoinsBothDigestsAndTheDayNumber) {
  std::vector<std::string> digested;
  const Sha1HexDigest digest = [&](std::string_view bytes) {
    digested.emplace_back(bytes);
    return "<" + std::string(bytes) + ">";
  };
  EXPECT_EQ(BackOfficeAddress("bo.example", "agent", "secret", 1001, "20240311", digest),
            "http://bo.example/kanzo/login/dologin.shtml?random=<agent=20240311><secret=20240311>&id=30241312");
  EXPECT_EQ(digested, (std::vector<std::string>{"agent=20240311", "secret=20240311"}));
  // No date: the day counts as 0. A large id does not overflow.
  EXPECT_EQ(BackOfficeAddress("h", "a", "p", 2147483000, "", digest),
            "http://h/kanzo/login/dologin.shtml?random=<a=><p=>&id=2157483000");
}

TEST(MainTextsTest, LocalDateIsEightDigitsOfTheLocalDay) {
  const std::string date = LocalDateText(test::kNoon20240311);
  // Noon UTC is 11 March everywhere from UTC-11 to UTC+11.
  ASSERT_EQ(date.size(), 8u);
  EXPECT_TRUE(date == "20240311" || date == "20240312" || date == "20240310") << date;
}

TEST(MainTextsTest, SettingToggles) {
  EXPECT_EQ(ToggledSetting(1), 2);
  EXPECT_EQ(ToggledSetting(2), 1);
  EXPECT_EQ(ToggledSetting(3), 4);
  EXPECT_EQ(ToggledSetting(4), 3);
  EXPECT_EQ(ToggledSetting(5), 5);
}

}  // namespace
}  // namespace kanzo
