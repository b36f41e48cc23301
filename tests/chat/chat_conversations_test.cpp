// The chat window's logic against a recording view and neighbours: what is
// sent, shown, stored and told to the other windows.
#include "chat/chat_conversations.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "chat/transcript_lines.h"
#include "platform/clock.h"
#include "protocol/commands.h"
#include "support/server_messages.h"

namespace kanzo {
namespace {

constexpr std::int32_t kMe = 900;
constexpr std::int32_t kAccount = 77;
constexpr std::int32_t kVisitor = 5;
constexpr std::int32_t kOther = 6;
constexpr std::int32_t kColleague = 901;
constexpr std::int64_t kNow = 1710158400;  // 2024-03-11 12:00:00 UTC

class RecordingView final : public ChatView {
 public:
  std::string ReadInputMarkup() override { return input; }
  std::string ReadInputWire() override { return wire.empty() ? input : wire; }
  void ClearInput() override {
    input.clear();
    wire.clear();
  }
  void AppendInput(const std::string& markup) override { input += markup; }
  void FocusInput() override {}
  void SetTitle(const std::string& text) override { title = text; }
  void ClearTranscript() override { transcript.clear(); }
  void AppendTranscript(const std::string& markup) override { transcript += markup; }
  void ShowTranscript(std::vector<std::string> entries) override {
    transcript.clear();
    for (const std::string& entry : entries) transcript += entry;
  }
  void ShowVisitorCard(std::int32_t id) override { card = id; }
  void RepaintTalkList() override {}
  bool IsShownNormal() const override { return shown; }
  void ShowAndRaise() override {
    shown = true;
    ++raised;
  }
  void HideWindow() override { shown = false; }
  void ShowBubble(const std::string& t, const std::string& text, std::int32_t sender, bool changed) override {
    bubbles.push_back({t, text, sender, changed});
  }

  struct Bubble {
    std::string title, text;
    std::int32_t sender;
    bool changed;
  };
  std::string input, wire, title, transcript;
  std::int32_t card = 0;
  bool shown = true;
  int raised = 0;
  std::vector<Bubble> bubbles;
};

class RecordingNeighbours final : public ChatNeighbours {
 public:
  explicit RecordingNeighbours(ContactTable& contacts) : contacts_(contacts) {}
  void ChatLineArrived(const ChatLineNotice& notice) override { lines.push_back(notice.body); }
  bool AddOnlineVisitor(const ContactRecord& record) override {
    if (!onlinePane) return false;
    contacts_.Enter(std::make_unique<ContactRecord>(record));
    ++onlineAdds;
    return true;
  }
  void SessionNotice(const Msg& notice) override { sessionNotices.push_back(notice.BODY); }
  void RefreshSessions() override { ++refreshes; }
  void AddSession(std::int32_t id) override { sessions.push_back(id); }
  void ColleagueUnread() override { ++colleagueUnread; }

  bool onlinePane = true;
  int onlineAdds = 0, refreshes = 0, colleagueUnread = 0;
  std::vector<std::string> lines, sessionNotices;
  std::vector<std::int32_t> sessions;

 private:
  ContactTable& contacts_;
};

struct Sent {
  CommandCode command;
  std::int64_t id;
  Msg msg;
};

struct Stored {
  std::int32_t id;
  std::string text;
  bool incoming;
};

class ChatConversationsTest : public testing::Test {
 protected:
  ChatConversationsTest() {
    clock_.SetSeconds(kNow);
    platform::SetCurrentClock(&clock_);
    agent_.Update([](AgentRecord& r) {
      r.triple = {kAccount, kMe, 1};
      r.realname = "小王";
    });
    AddRecord(kVisitor, kContactKindVisitor, "访客 5");
    AddRecord(kOther, kContactKindVisitor, "访客 6");
    chat_ = std::make_unique<ChatConversations>(
        ChatConversations::Parts{contacts_, names_, agent_, view_, neighbours_,
                                 [this](Message& m) {
                                   const Msg* msg = m.bodyAs<Msg>();
                                   sent_.push_back({m.command, m.MESSAGE_ID, msg ? *msg : Msg{}});
                                   return 0;
                                 },
                                 [this](std::int32_t id, const std::string& text, bool incoming) {
                                   stored_.push_back({id, text, incoming});
                                 },
                                 TodayHistory{}, nullptr});
  }
  ~ChatConversationsTest() override { platform::SetCurrentClock(nullptr); }

  ContactRecord* AddRecord(std::int32_t id, std::int32_t kind, const std::string& name) {
    auto record = std::make_unique<ContactRecord>();
    record->id = id;
    record->kind = kind;
    record->name = name;
    return contacts_.Enter(std::move(record));
  }
  ContactRecord Record(std::int32_t id) {
    ContactRecord copy;
    contacts_.CopyRecord(id, &copy);
    return copy;
  }

  static std::unique_ptr<Message> Line(std::int32_t from, std::int8_t fromType, const std::string& body) {
    return test::Notice(kCommandChatMessage, body, from, fromType, kMe, kMemberKindAgent);
  }
  static std::unique_ptr<Message> Failure(std::int64_t id, std::uint8_t result, const Msg* returned) {
    return test::ServerMessage({.command = kCommandChatMessage, .id = id, .result = result}, returned);
  }
  void Receive(std::int32_t from, std::int8_t type, const std::string& body) {
    chat_->OnChatMessage(*Line(from, type, body));
  }
  std::int64_t SendText(const std::string& text) {
    view_.input = text;
    chat_->Send();
    return sent_.empty() ? 0 : sent_.back().id;
  }

  platform::SettableClock clock_;
  ContactTable contacts_;
  NameTable names_;
  SharedAgentRecord agent_;
  RecordingView view_;
  RecordingNeighbours neighbours_{contacts_};
  std::vector<Sent> sent_;
  std::vector<Stored> stored_;
  std::unique_ptr<ChatConversations> chat_;
};

TEST_F(ChatConversationsTest, EmptyInputSendsNothing) {
  chat_->OpenConversation(kVisitor);
  sent_.clear();
  stored_.clear();
  SendText("");
  EXPECT_TRUE(sent_.empty());
  EXPECT_TRUE(stored_.empty());
  EXPECT_EQ(chat_->Store().Length(kVisitor), 0u);
}

TEST_F(ChatConversationsTest, SendBuildsMessageEntryAndRecord) {
  chat_->OpenConversation(kVisitor);
  sent_.clear();
  view_.wire = "hi[FACE]smile[/FACE]";
  const std::int64_t id = SendText("hi[@smile.gif]");

  ASSERT_EQ(sent_.size(), 1u);
  EXPECT_EQ(sent_[0].command, kCommandChatMessage);
  const Msg& msg = sent_[0].msg;
  EXPECT_EQ(msg.account, kAccount);
  EXPECT_EQ(msg.FROM, kMe);
  EXPECT_EQ(msg.FROM_TYPE, 1);
  EXPECT_EQ(msg.TO, kVisitor);
  EXPECT_EQ(msg.TO_TYPE, kMemberKindVisitor);
  EXPECT_EQ(msg.BODY, "hi[FACE]smile[/FACE]");

  const std::string line = OwnTranscriptLine("小王", kNow, "hi[@smile.gif]");
  EXPECT_EQ(line, "\n[#549954]小王 (" + LocalClockText(kNow) + ")\n[>00C8]hi[@smile.gif]\n");
  EXPECT_EQ(view_.transcript, line);
  EXPECT_EQ(chat_->Store().Texts(kVisitor), std::vector<std::string>{line});
  ASSERT_EQ(stored_.size(), 1u);
  EXPECT_FALSE(stored_[0].incoming);
  EXPECT_TRUE(view_.input.empty());
  EXPECT_EQ(Record(kVisitor).lastMessage, "hi[FACE]smile[/FACE]");
  EXPECT_EQ(Record(kVisitor).lastTalkTime, std::to_string(kNow));
  EXPECT_EQ(Record(kVisitor).unread, 0);
  EXPECT_NE(id, 0);

  view_.shown = false;  // sending from a hidden window counts as unread
  SendText("again");
  EXPECT_EQ(Record(kVisitor).unread, 1);
}

TEST_F(ChatConversationsTest, KindsBeyondTheWireByteGoOutAsTheirLowByte) {
  AddRecord(300, kContactKindOfflineSender, "访客 300");
  chat_->OpenConversation(300);
  SendText("x");
  EXPECT_EQ(static_cast<std::uint8_t>(sent_.back().msg.TO_TYPE), kContactKindOfflineSender);
  EXPECT_EQ(view_.title, "（访客 300）离线消息");
}

TEST_F(ChatConversationsTest, LongMessagesAreSentWholeAndOversizedOnesRefused) {
  chat_->OpenConversation(kVisitor);
  sent_.clear();
  std::string chinese;
  for (int i = 0; i < 1024; ++i) chinese += "好";  // 3,072 bytes before any tag
  const std::string markup = "[#FF0000]" + chinese + "[@/home/a/very/long/picture.png]";
  SendText(markup);
  ASSERT_EQ(sent_.size(), 1u);
  EXPECT_EQ(sent_[0].msg.BODY, markup);
  EXPECT_NE(chat_->Store().Texts(kVisitor).back().find(markup), std::string::npos);

  // Pasted pictures can take the wire text past its string limit.
  std::string pictures;
  while (pictures.size() <= 0x7FFF) pictures += "[@/home/agent/Pictures/screenshot-0001.png]";
  view_.transcript.clear();
  SendText(pictures);
  EXPECT_EQ(sent_.size(), 1u);
  EXPECT_EQ(view_.input, pictures);  // kept for the agent to shorten
  EXPECT_EQ(view_.transcript, NoticeLine(kNoticeSendFailed));
  EXPECT_EQ(chat_->Store().Length(kVisitor), 1u);
}

TEST_F(ChatConversationsTest, UnknownVisitorLineIsNamedListedAndAnnounced) {
  Receive(42, kMemberKindVisitor, "你好[FACE]smile[/FACE]");
  const std::string expected = "\n[#4895E1]访客42 (" + LocalClockText(kNow) + ")\n[>00C8]你好[@smile.gif]\n";
  EXPECT_EQ(chat_->Store().Texts(42), std::vector<std::string>{expected});
  EXPECT_EQ(neighbours_.lines, std::vector<std::string>{"你好[FACE]smile[/FACE]"});
  EXPECT_EQ(neighbours_.onlineAdds, 1);
  EXPECT_EQ(neighbours_.sessionNotices, std::vector<std::string>{"105"});
  const ContactRecord record = Record(42);
  EXPECT_EQ(record.name, "访客 42");
  EXPECT_EQ(record.state, kVisitorStateTalking);
  EXPECT_EQ(record.agentId, kMe);
  EXPECT_EQ(record.lastMessage, "访客:你好[FACE]smile[/FACE]");
  EXPECT_EQ(record.unread, 1);  // not the shown conversation
  EXPECT_EQ(chat_->Talks().FindTalk(42), 0);
  EXPECT_EQ(chat_->Talks().Selected(), TalkList::kNone);  // listed, not selected
  ASSERT_EQ(stored_.size(), 1u);
  EXPECT_TRUE(stored_[0].incoming);

  // Without a visitor list the record is entered all the same.
  neighbours_.onlinePane = false;
  Receive(43, kMemberKindVisitor, "x");
  EXPECT_TRUE(contacts_.Contains(43));
  EXPECT_EQ(chat_->Store().Length(43), 1u);
}

TEST_F(ChatConversationsTest, IncomingTextIsLinkedBeforeFacesAndCleanedOfForeignPictures) {
  names_.Set(kVisitor, "[@/etc/passwd]Ann");
  Receive(kVisitor, kMemberKindVisitor, "你好[FACE]00_微笑[/FACE]，电话13812345678[@/etc/shadow]");
  const std::string line = chat_->Store().Texts(kVisitor).at(0);
  EXPECT_NE(line.find("[#4895E1][]Ann ("), std::string::npos) << line;
  EXPECT_NE(line.find("[>00C8]你好[@00_微笑.gif]，电话[!]13812345678[>00C8][]\n"), std::string::npos) << line;
  EXPECT_EQ(line.find("/etc/"), std::string::npos);
}

TEST_F(ChatConversationsTest, KnownVisitorComesBackAndShownConversationStaysRead) {
  contacts_.Update(kVisitor, [](ContactRecord& r) { r.state = kVisitorStateLeft; });
  chat_->OpenConversation(kVisitor);
  Receive(kVisitor, kMemberKindVisitor, "a");
  EXPECT_EQ(Record(kVisitor).state, kVisitorStateIdle);
  EXPECT_EQ(Record(kVisitor).unread, 0);
  EXPECT_NE(view_.transcript.find("[>00C8]a\n"), std::string::npos);
  EXPECT_TRUE(view_.bubbles.empty());

  contacts_.Update(kVisitor, [](ContactRecord& r) { r.state = kVisitorStateEnded; });
  view_.shown = false;
  Receive(kVisitor, kMemberKindVisitor, "b");
  EXPECT_EQ(Record(kVisitor).state, kVisitorStateEnded);  // only "left" changes
  EXPECT_EQ(Record(kVisitor).unread, 1);
}

TEST_F(ChatConversationsTest, ColleagueFirstUnreadToldOnceAndUnknownColleagueEntered) {
  names_.Set(kColleague, "老李");
  Receive(kColleague, kMemberKindAgent, "one");
  Receive(kColleague, 0, "two");  // type 0 counts as an agent
  EXPECT_EQ(neighbours_.colleagueUnread, 1);
  EXPECT_EQ(Record(kColleague).unread, 2);
  EXPECT_EQ(Record(kColleague).name, "老李");
  EXPECT_EQ(chat_->Store().Length(kColleague), 2u);

  Receive(902, kMemberKindAgent, "hi");
  EXPECT_EQ(Record(902).name, "客服902");
  EXPECT_EQ(Record(902).kind, kContactKindAgent);
  EXPECT_EQ(chat_->Store().Length(902), 1u);
}

TEST_F(ChatConversationsTest, OpeningShowsTheLastEntriesByUnread) {
  struct Case {
    std::int32_t unread;
    std::size_t shown;
  };
  for (const Case c : {Case{0, 20}, Case{20, 20}, Case{35, 35}, Case{70, 60}}) {
    SCOPED_TRACE(c.unread);
    ChatConversations chat(ChatConversations::Parts{contacts_, names_, agent_, view_, neighbours_, nullptr, nullptr,
                                                    TodayHistory{}, nullptr});
    chat.OpenConversation(kOther);
    for (int i = 0; i < 60; ++i) chat.AppendTranscriptEntry(kVisitor, "<" + std::to_string(i) + ">", true, 0);
    contacts_.Update(kVisitor, [&](ContactRecord& r) { r.unread = c.unread; });
    chat.OpenConversation(kVisitor);
    std::string last;
    for (const std::string& entry : chat.Store().LastEntries(kVisitor, c.shown)) last += entry;
    EXPECT_EQ(view_.transcript, last);
    EXPECT_EQ(view_.transcript.find("<" + std::to_string(59 - c.shown) + ">"), std::string::npos);
    EXPECT_EQ(view_.transcript.rfind("<" + std::to_string(60 - c.shown) + ">", 0), 0u);
    EXPECT_EQ(Record(kVisitor).unread, 0);
  }
}

TEST_F(ChatConversationsTest, SendingKeepsFiftyReadEntriesReceivingNeverDrops) {
  chat_->OpenConversation(kVisitor);
  for (int i = 0; i < 51; ++i) chat_->AppendTranscriptEntry(kVisitor, std::to_string(i), true, 0);
  Receive(kVisitor, kMemberKindVisitor, "in");
  EXPECT_EQ(chat_->Store().Length(kVisitor), 52u);
  EXPECT_EQ(chat_->Store().Texts(kVisitor).front(), "0");
  SendText("out");
  EXPECT_EQ(chat_->Store().Length(kVisitor), 52u);
  EXPECT_EQ(chat_->Store().Texts(kVisitor).front(), "1");
}

TEST_F(ChatConversationsTest, IncomingListStopsAtTheCapKeepingUnreadAndPending) {
  chat_->OpenConversation(kVisitor);
  const std::int64_t pending = SendText("first");
  for (std::size_t i = 1; i < TranscriptStore::kMaxEntries; ++i) {
    chat_->AppendTranscriptEntry(kVisitor, "r" + std::to_string(i), true, 0);
  }
  contacts_.Update(kVisitor, [](ContactRecord& r) { r.unread = 10; });
  for (int i = 0; i < 5; ++i) chat_->AppendTranscriptEntry(kVisitor, "n" + std::to_string(i), true, 0);
  EXPECT_EQ(chat_->Store().Length(kVisitor), TranscriptStore::kMaxEntries);
  const std::vector<std::string> texts = chat_->Store().Texts(kVisitor);
  EXPECT_NE(texts.front().find("first"), std::string::npos);  // still waiting for a failure
  EXPECT_EQ(texts[1], "r6");
  EXPECT_EQ(texts.back(), "n4");
  chat_->OnChatMessage(*Failure(pending, 99, nullptr));
  EXPECT_NE(chat_->Store().Texts(kVisitor).front().find(kNoticeSendFailed), std::string::npos);
}

struct FailureCase {
  const char* name;
  std::int32_t kind;
  std::uint8_t result;
  bool returned;
  std::int32_t state, agentId;  // of the visitor before the failure
  std::string notice;
  std::int32_t stateAfter, agentAfter;
};

class SendFailureTest : public ChatConversationsTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(SendFailureTest, NoticeAndStateFollowKindAndResult) {
  const FailureCase& c = GetParam();
  names_.Set(kColleague, "老李");
  AddRecord(903, kContactKindAgent, "老张");
  const std::int32_t to = c.kind == kContactKindAgent ? 903 : kVisitor;
  contacts_.Update(to, [&](ContactRecord& r) {
    r.state = c.state;
    r.agentId = c.agentId;
  });
  chat_->OpenConversation(to);
  const std::int64_t id = SendText("hello");
  Msg returned;
  returned.TO = to;
  returned.BODY = "对方[@/etc/x]忙";
  chat_->OnChatMessage(*Failure(id, c.result, c.returned ? &returned : nullptr));
  chat_->OnChatMessage(*Failure(id, c.result, c.returned ? &returned : nullptr));  // reported once

  const std::string line = NoticeLine(c.notice);
  EXPECT_EQ(view_.transcript.substr(view_.transcript.size() - line.size()), line);
  EXPECT_EQ(view_.transcript.find(line), view_.transcript.size() - line.size());
  EXPECT_EQ(stored_.back().text, line);
  EXPECT_TRUE(stored_.back().incoming);
  EXPECT_EQ(Record(to).state, c.stateAfter);
  EXPECT_EQ(Record(to).agentId, c.agentAfter);
  EXPECT_EQ(chat_->Store().PendingCount(), 0u);
}

const FailureCase kFailureCases[] = {
    {"AgentOffline", kContactKindAgent, 6, true, 2, 0, " 客服已下线，消息将以离线的形式发送\n", 2, 0},
    {"AgentServerText", kContactKindAgent, 7, true, 2, 0, "对方[]忙\n", 2, 0},
    {"AgentOther", kContactKindAgent, 3, true, 2, 0, " 消息发送失败\n", 2, 0},
    {"VisitorOffline", kContactKindVisitor, 6, true, 105, kMe, " 访客已下线，消息发送失败\n", 1, kMe},
    {"VisitorOfflineNoBody", kContactKindVisitor, 6, false, 105, kMe, " 访客已下线，消息发送失败\n", 105, kMe},
    {"VisitorEndedHere", kContactKindVisitor, 8, true, 104, kMe, " 访客与您结束交谈\n", 104, kMe},
    {"VisitorWithColleague", kContactKindVisitor, 8, true, 1, kColleague,
     " 访客与您结束交谈，与[C][#2183D2]老李[C][#999999]客服交谈...\n", 2, kColleague},
    {"VisitorWithUnnamedAgent", kContactKindVisitor, 8, true, 105, 904,
     " 访客与您结束交谈，与[C][#2183D2]客服904[C][#999999]客服交谈...\n", 105, 904},
    {"VisitorLeftHeldHere", kContactKindVisitor, 8, true, 1, kMe,
     " 访客与您结束交谈，与[C][#2183D2]客服900[C][#999999]客服交谈...\n", 2, 0},
    {"VisitorEndedNoBody", kContactKindVisitor, 8, false, 104, kMe,
     " 访客与您结束交谈，与[C][#2183D2]客服900[C][#999999]客服交谈...\n", 104, kMe},
    {"VisitorOther", kContactKindVisitor, 9, true, 2, kMe, " 消息发送失败\n", 2, kMe},
};
INSTANTIATE_TEST_SUITE_P(Results, SendFailureTest, testing::ValuesIn(kFailureCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ChatConversationsTest, FailureOfAnotherConversationIsStoredNotShown) {
  chat_->OpenConversation(kVisitor);
  const std::int64_t id = SendText("hello");
  chat_->OpenConversation(kOther);
  view_.transcript.clear();
  stored_.clear();
  chat_->OnChatMessage(*Failure(id, 99, nullptr));
  EXPECT_TRUE(view_.transcript.empty());
  ASSERT_EQ(stored_.size(), 1u);
  EXPECT_EQ(stored_[0].id, kVisitor);
  EXPECT_NE(chat_->Store().Texts(kVisitor).back().find(kNoticeSendFailed), std::string::npos);

  chat_->OnChatMessage(*Failure(12345, 99, nullptr));  // no such send
  EXPECT_EQ(stored_.size(), 1u);
}

TEST_F(ChatConversationsTest, DraftsFollowTheirConversations) {
  chat_->OpenConversation(kVisitor);
  view_.input = "for five";
  chat_->OpenConversation(kOther);
  EXPECT_TRUE(view_.input.empty());
  EXPECT_EQ(view_.title, "与（访客 6）交谈中");
  view_.input = "for six";
  chat_->OpenConversation(kVisitor);
  EXPECT_EQ(view_.input, "for five");
  SendText("for five");  // sent: must not come back
  chat_->OpenConversation(kOther);
  EXPECT_EQ(view_.input, "for six");
  view_.input.clear();  // deleted: must not come back either
  chat_->OpenConversation(kVisitor);
  EXPECT_TRUE(view_.input.empty());
  chat_->OpenConversation(kOther);
  EXPECT_TRUE(view_.input.empty());
}

TEST_F(ChatConversationsTest, ClosingTheLastConversationHidesAndReopeningShowsIt) {
  chat_->OpenConversation(kVisitor);
  chat_->OpenConversation(kOther);
  SendText("kept");
  const std::string shown = view_.transcript;
  chat_->CloseSelected();  // the last row becomes the selection
  EXPECT_EQ(chat_->SelectedId(), kVisitor);
  EXPECT_TRUE(view_.shown);
  chat_->CloseSelected();
  EXPECT_FALSE(view_.shown);
  EXPECT_EQ(chat_->Talks().Count(), 0);
  chat_->OpenConversation(kOther);
  EXPECT_EQ(view_.transcript, shown);
  EXPECT_EQ(chat_->Talks().SelectedId(), kOther);
}

TEST_F(ChatConversationsTest, VisitorDetailsAreRequestedAndApplied) {
  contacts_.Update(kVisitor, [](ContactRecord& r) { r.state = kVisitorStateLeft; });
  chat_->OpenConversation(kVisitor);
  ASSERT_EQ(sent_.size(), 1u);
  EXPECT_EQ(sent_[0].command, kCommandRefreshMemberInfo);
  EXPECT_EQ(sent_[0].msg.FROM, kVisitor);
  EXPECT_EQ(sent_[0].msg.FROM_TYPE, kMemberKindVisitor);
  EXPECT_EQ(sent_[0].msg.account, kAccount);

  auto answer = [](std::uint8_t result, const char* body) {
    return test::ServerMessage({.command = kCommandRefreshMemberInfo, .result = result}, test::MsgBody(body, kVisitor));
  };
  view_.card = 0;
  chat_->OnMemberInfo(*answer(0, R"({"B7":5,"B3":"上海","B1":"10.0.0.1","B8":901,"B4":7})"));
  ContactRecord record = Record(kVisitor);
  EXPECT_EQ(record.state, kVisitorStateIdle);
  EXPECT_EQ(record.area, "上海");
  EXPECT_EQ(record.ip, "10.0.0.1");
  EXPECT_EQ(record.agentId, 901);
  EXPECT_TRUE(record.source.empty());  // wrong type: left alone
  EXPECT_EQ(view_.card, kVisitor);

  for (const char* useless : {"", "{not json", "[1,2]"}) {
    chat_->OnMemberInfo(*answer(0, useless));
    chat_->OnMemberInfo(*answer(3, R"({"B7":5,"B3":"北京"})"));
  }
  EXPECT_EQ(Record(kVisitor).area, "上海");
}

TEST_F(ChatConversationsTest, TodayHistoryLoadsOnceOldestFirst) {
  int loads = 0;
  TodayHistory history{[&](std::vector<std::unique_ptr<ContactRecord>>* list) {
                         ++loads;
                         for (std::int32_t id : {kVisitor, 50, 51}) {
                           auto r = std::make_unique<ContactRecord>();
                           r->id = id;
                           r->kind = kContactKindVisitor;
                           r->state = kVisitorStateTalking;
                           list->push_back(std::move(r));
                         }
                         return true;
                       },
                       [](std::int32_t id, std::vector<std::string>* bodies) {
                         if (id != 51) *bodies = {"newest", "older", "oldest"};
                         return true;
                       }};
  ChatConversations chat(ChatConversations::Parts{contacts_, names_, agent_, view_, neighbours_, nullptr,
                                                  [this](std::int32_t id, const std::string& t, bool in) {
                                                    stored_.push_back({id, t, in});
                                                  },
                                                  history, nullptr});
  chat.LoadTodayConversations();
  chat.LoadTodayConversations();
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(neighbours_.sessions, (std::vector<std::int32_t>{kVisitor, 50}));
  EXPECT_EQ(chat.Store().Texts(50), (std::vector<std::string>{"oldest", "older", "newest"}));
  EXPECT_EQ(Record(50).state, kVisitorStateLeft);
  EXPECT_EQ(Record(kVisitor).state, kVisitorStateIdle);  // the table's record is kept
  EXPECT_FALSE(contacts_.Contains(51));
  EXPECT_TRUE(stored_.empty());  // nothing is stored again
}

TEST_F(ChatConversationsTest, NewLinesAreAnnouncedBySetting) {
  chat_->OpenConversation(kOther);
  Receive(kVisitor, kMemberKindVisitor, "seen");  // window shown: no announcement
  EXPECT_TRUE(view_.bubbles.empty());

  view_.shown = false;
  Receive(kVisitor, kMemberKindVisitor, "a[FACE]smile[/FACE]");
  Receive(kVisitor, kMemberKindVisitor, "b");
  Receive(kOther, kMemberKindVisitor, "c");
  ASSERT_EQ(view_.bubbles.size(), 3u);
  EXPECT_EQ(view_.bubbles[0].title, "访客(5)");
  EXPECT_EQ(view_.bubbles[0].text, "asmile");
  EXPECT_TRUE(view_.bubbles[0].changed);
  EXPECT_FALSE(view_.bubbles[1].changed);
  EXPECT_TRUE(view_.bubbles[2].changed);

  agent_.Update([](AgentRecord& r) { r.flickState = kFlickStateChatWindow; });
  view_.shown = false;
  Receive(kVisitor, kMemberKindVisitor, "forced");
  EXPECT_EQ(view_.raised, 1);
  EXPECT_EQ(chat_->SelectedId(), kVisitor);
  EXPECT_EQ(Record(kVisitor).unread, 0);
  EXPECT_EQ(view_.bubbles.size(), 3u);
}

TEST_F(ChatConversationsTest, SendKeyChoiceGoesToRecordAndStore) {
  std::vector<std::pair<std::int32_t, std::int32_t>> saved;
  ChatConversations chat(ChatConversations::Parts{contacts_, names_, agent_, view_, neighbours_, nullptr, nullptr,
                                                  TodayHistory{}, [&](std::int32_t uid, std::int32_t type) {
                                                    saved.push_back({uid, type});
                                                    return true;
                                                  }});
  chat.SetSendKeyType(1);
  EXPECT_EQ(agent_.Copy().sendKeyType, 1);
  EXPECT_EQ(saved, (std::vector<std::pair<std::int32_t, std::int32_t>>{{kMe, 1}}));
}

TEST(TalkListTest, ClicksAndClosesFollowTheColumnRules) {
  TalkList list;
  EXPECT_EQ(list.AddTalk(1, true), 0);
  EXPECT_EQ(list.AddTalk(2, false), 1);
  EXPECT_EQ(list.AddTalk(3, false), 2);
  EXPECT_EQ(list.AddTalk(2, false), 1);  // listed once
  EXPECT_EQ(list.Selected(), 0);

  auto open = list.Click(1, TalkList::kAreaRow);
  EXPECT_EQ(open.kind, TalkList::ClickOutcome::Kind::Open);
  EXPECT_EQ(open.recordId, 2);
  // Closing another row keeps the selection on its record.
  EXPECT_EQ(list.Click(0, TalkList::kAreaClose).kind, TalkList::ClickOutcome::Kind::Nothing);
  EXPECT_EQ(list.SelectedId(), 2);
  // Closing the selected row selects the last one.
  auto next = list.Close(list.Selected());
  EXPECT_EQ(next.kind, TalkList::ClickOutcome::Kind::Open);
  EXPECT_EQ(next.recordId, 3);
  EXPECT_EQ(list.Close(0).kind, TalkList::ClickOutcome::Kind::LastClosed);
  EXPECT_EQ(list.Click(0, TalkList::kAreaRow).kind, TalkList::ClickOutcome::Kind::Nothing);
}

TEST(TalkListTest, RowLookByStateAndKind) {
  ContactRecord visitor;
  visitor.id = 7;
  visitor.kind = kContactKindVisitor;
  visitor.area = "广州";
  visitor.agentId = kOther;
  visitor.unread = 3;
  TalkRowLook look = TalkRowLookOf(visitor, kMe);
  EXPECT_STREQ(look.avatar, kTalkAvatarOtherAgent);
  EXPECT_EQ(look.label, "广州 7");
  EXPECT_EQ(look.badge, "3");
  visitor.state = kVisitorStateLeft;
  EXPECT_STREQ(TalkRowLookOf(visitor, kMe).avatar, kTalkAvatarOffline);
  ContactRecord colleague;
  colleague.kind = kContactKindAgent;
  colleague.name = "老李";
  look = TalkRowLookOf(colleague, kMe);
  EXPECT_STREQ(look.avatar, kTalkAvatarDefault);
  EXPECT_EQ(look.label, "老李");
  EXPECT_TRUE(look.badge.empty());
}

}  // namespace
}  // namespace kanzo
