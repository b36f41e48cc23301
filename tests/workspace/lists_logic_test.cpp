// The lists' logic alone: visitor loads and notices, the conversation
// list's order and deletion rules (real database file), offline messages
// and guestbook entries, the colleague tree.
#include <gtest/gtest.h>
#include <json/reader.h>

#include <cstdlib>
#include <ctime>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "db/db_manager.h"
#include "db/db_test_support.h"
#include "workspace/agent_tree.h"
#include "workspace/inbox_entries.h"
#include "workspace/list_pictures.h"
#include "workspace/list_texts.h"
#include "workspace/session_list.h"
#include "workspace/visitor_list.h"

namespace kanzo {
namespace {

constexpr std::int32_t kSelf = 2001;
constexpr std::int32_t kColleague = 2002;
const AgentTriple kTriple{10001, kSelf, 1};

Json::Value Parse(const std::string& text) {
  Json::Value value;
  Json::CharReaderBuilder builder;
  std::string errors;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  EXPECT_TRUE(reader->parse(text.data(), text.data() + text.size(), &value, &errors)) << text;
  return value;
}

Msg Notice(std::int32_t from, std::int32_t to, const std::string& body) {
  Msg m;
  m.FROM = from;
  m.FROM_TYPE = 2;
  m.TO = to;
  m.BODY = body;
  return m;
}

std::vector<std::int32_t> Ids(const VisitorList& list) {
  std::vector<std::int32_t> ids;
  for (std::size_t i = 0; i < list.Size(); ++i) ids.push_back(list.At(i)->id);
  return ids;
}

std::vector<std::int32_t> Ids(const SessionList& list) {
  std::vector<std::int32_t> ids;
  for (std::size_t i = 0; i < list.Size(); ++i) ids.push_back(list.At(i)->id);
  return ids;
}

// Local times are read in UTC here, so that the expected seconds are fixed.
class UtcZone : public ::testing::Environment {
 public:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
  }
};
const auto* const kUtc = ::testing::AddGlobalTestEnvironment(new UtcZone);

class ListsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(DBManager::Init());
    names.Set(kSelf, "李明");
    names.Set(kColleague, "王芳");
  }

  test::DbFixtureState db;  // also sets the clock
  ContactTable contacts;
  NameTable names;
  VisitorList visitors{contacts, names, db.clock};
  SessionList sessions{contacts};
  Inbox inbox{sessions, contacts, names};
  AgentTree tree{contacts, names};
};

// ---------------------------------------------------------------- visitors

TEST_F(ListsTest, LoadsAddUpdateAndRemoveRowsIncludingAdjacentOnes) {
  visitors.LoadVisitors(Parse(R"([{"B7":1,"B3":"上海","B5":"http://a/p","B4":"http://s","B1":"1.2.3.4",
      "B6":"2014-12-23 12:00:00","B8":2002,"B10":105,"B11":"价格"},{"B7":2},{"B7":3},{"B7":4}])"));
  EXPECT_EQ(Ids(visitors), (std::vector<std::int32_t>{1, 2, 3, 4}));
  const ContactRecord* first = contacts.Find(1);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->name, "访客 1");
  EXPECT_EQ(first->kind, kContactKindVisitor);
  EXPECT_EQ(first->area, "上海");
  EXPECT_EQ(first->currentPage, "http://a/p");
  EXPECT_EQ(first->source, "http://s");
  EXPECT_EQ(first->ip, "1.2.3.4");
  EXPECT_EQ(first->pageTitle, "价格");
  EXPECT_EQ(first->statusText, "访客与王芳交谈中");
  EXPECT_EQ(first->lastTalkTime, std::to_string(test::kNoon20240311));
  EXPECT_EQ(contacts.Find(2)->state, kVisitorStateIdle);

  // 2 and 3 are gone (adjacent), 1 changed, 5 is new; records stay.
  visitors.LoadVisitors(Parse(R"([{"B7":4},{"B7":1,"B10":104,"B8":2999},{"B7":5}])"));
  EXPECT_EQ(Ids(visitors), (std::vector<std::int32_t>{1, 4, 5}));
  EXPECT_EQ(visitors.FindIndex(5), 2);
  EXPECT_EQ(visitors.FindIndex(2), -1);
  EXPECT_NE(contacts.Find(2), nullptr);
  EXPECT_EQ(first->statusText, "与客服2999交谈结束");
  EXPECT_EQ(first->area, "");  // the new load's fields replace the old

  visitors.LoadVisitors(Json::Value());  // null: nobody is online
  EXPECT_EQ(visitors.Size(), 0u);
}

TEST_F(ListsTest, BadVisitorLoadsChangeNothingAndJunkElementsAreSkipped) {
  visitors.LoadVisitors(Parse(R"([{"B7":7}])"));
  for (const char* bad : {R"({"B7":1})", R"("text")", "12"}) {
    visitors.LoadVisitors(Parse(bad));
    EXPECT_EQ(Ids(visitors), (std::vector<std::int32_t>{7})) << bad;
  }
  // Null elements, and "B7" that is no 32-bit integer, never become id 0.
  visitors.LoadVisitors(Parse(R"([null,{"B7":"8"},{"B7":8.5},{"B7":3.0},{"B7":4294967296},7,{"B7":7,"B3":5}])"));
  EXPECT_EQ(Ids(visitors), (std::vector<std::int32_t>{7}));
  EXPECT_FALSE(contacts.Contains(0));
  EXPECT_EQ(contacts.Find(7)->area, "");  // a text key of another type reads empty
}

TEST_F(ListsTest, StateNoticesSetStatusTextsAndLeavingRemovesTheRow) {
  visitors.LoadVisitors(Parse(R"([{"B7":1}])"));
  visitors.TakeTalkListChanges();
  const ContactRecord* r = contacts.Find(1);
  struct Case {
    std::int32_t agent;
    std::string body;
    std::string status;
  };
  const std::vector<Case> cases = {
      {kColleague, "101", "访客被王芳邀请中"},
      {kColleague, "102", "访客拒绝了王芳邀请"},
      {3003, "105", "访客与客服3003交谈中"},
      {kSelf, "104", "与李明交谈结束"},
      {kSelf, "77", "与李明交谈结束"},  // an unknown state keeps the line
      {kSelf, "2", ""},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(visitors.ApplyNotice(Notice(1, c.agent, c.body))) << c.body;
    EXPECT_EQ(r->statusText, c.status) << c.body;
    EXPECT_EQ(r->agentId, c.agent);
  }
  EXPECT_EQ(visitors.TakeTalkListChanges(), (std::vector<std::int32_t>{1}));  // the idle state

  EXPECT_TRUE(visitors.ApplyNotice(Notice(1, kSelf, "1")));
  EXPECT_EQ(r->statusText, "访客已经离开");
  EXPECT_EQ(visitors.FindIndex(1), -1);
  EXPECT_EQ(visitors.TakeTalkListChanges(), (std::vector<std::int32_t>{1}));

  for (const char* junk : {"", "abc", "[1]", "\"105\"", "1.5"})
    EXPECT_FALSE(visitors.ApplyNotice(Notice(1, kSelf, junk))) << junk;
  EXPECT_EQ(r->state, kVisitorStateLeft);
}

TEST_F(ListsTest, NoticeForAnUnknownVisitorMakesAndListsIt) {
  EXPECT_TRUE(visitors.ApplyNotice(Notice(42, kColleague, "105")));
  const ContactRecord* r = contacts.Find(42);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->name, "访客 42");
  EXPECT_EQ(r->kind, kContactKindVisitor);
  EXPECT_EQ(r->statusText, "访客与王芳交谈中");
  EXPECT_EQ(visitors.FindIndex(42), 0);

  // A visitor object as the body is one element of a load.
  EXPECT_TRUE(visitors.ApplyNotice(Notice(0, kSelf, R"({"B7":43,"B3":"北京","B10":101,"B8":2001})")));
  EXPECT_EQ(contacts.Find(43)->statusText, "访客被李明邀请中");
  EXPECT_EQ(Ids(visitors), (std::vector<std::int32_t>{42, 43}));
}

TEST_F(ListsTest, HugeLoadsAndManyNoticesStayCorrect) {
  Json::Value list(Json::arrayValue);
  for (int id = 1; id <= 10'000; ++id) {
    Json::Value v(Json::objectValue);
    v["B7"] = id;
    list.append(v);
  }
  visitors.LoadVisitors(list);
  ASSERT_EQ(visitors.Size(), 10'000u);
  for (int id = 1; id <= 10'000; id += 2) visitors.UpdateState(id, kSelf, kVisitorStateLeft);
  EXPECT_EQ(visitors.Size(), 5'000u);
  EXPECT_EQ(visitors.FindIndex(10'000), 4'999);
}

// ---------------------------------------------------------------- conversations

ContactRecord* Enter(ContactTable& table, std::int32_t id, std::int32_t kind, std::int32_t state, std::int32_t agent) {
  auto r = std::make_unique<ContactRecord>();
  r->id = id;
  r->kind = kind;
  r->state = state;
  r->agentId = agent;
  return table.Enter(std::move(r));
}

TEST_F(ListsTest, SortPutsMyConversationsFirstThenEveryoneElseEachById) {
  for (auto [id, state, agent] : std::vector<std::tuple<int, int, int>>{{9, 105, kSelf},
                                                                        {3, 1, kSelf},  // left: second group
                                                                        {7, 105, kColleague},
                                                                        {5, 104, kSelf},
                                                                        {1, 2, kColleague},
                                                                        {8, 101, kSelf}})
    EXPECT_TRUE(sessions.AddSession(Enter(contacts, id, kContactKindVisitor, state, agent)));
  EXPECT_FALSE(sessions.AddSession(contacts.Find(9)));  // listed once
  EXPECT_FALSE(sessions.AddSession(nullptr));
  EXPECT_EQ(Ids(sessions), (std::vector<std::int32_t>{9, 3, 7, 5, 1, 8}));  // as added
  sessions.SortSessions(kSelf);
  EXPECT_EQ(Ids(sessions), (std::vector<std::int32_t>{5, 8, 9, 1, 3, 7}));
}

TEST_F(ListsTest, DeletionIsRefusedInConversationAndRemovesStoredLinesOtherwise) {
  sessions.AddSession(Enter(contacts, 11, kContactKindVisitor, kVisitorStateTalking, kSelf));
  sessions.AddSession(Enter(contacts, 12, kContactKindVisitor, kVisitorStateLeft, kSelf));
  sessions.AddSession(Enter(contacts, 13, kContactKindOfflineSender, kVisitorStateIdle, 0));
  sessions.AddSession(Enter(contacts, 14, kContactKindGuestbookAuthor, kVisitorStateIdle, 0));
  for (std::int32_t id : {11, 12, 14})
    ASSERT_TRUE(DBManager::InsertTalkMessage({id, 2, kSelf, 1, "line"}, id, 2, kTriple));
  ASSERT_TRUE(DBManager::InsertTalkMessage({12, 2, 2999, 1, "other agent"}, 12, 2, {10001, 2999, 1}));

  EXPECT_EQ(sessions.CheckDelete(0), SessionList::DeleteCheck::kRefused);
  EXPECT_EQ(sessions.CheckDelete(1), SessionList::DeleteCheck::kAsk);
  EXPECT_EQ(sessions.CheckDelete(2), SessionList::DeleteCheck::kAsk);  // offline sender
  EXPECT_EQ(sessions.CheckDelete(3), SessionList::DeleteCheck::kAsk);  // guestbook author
  EXPECT_EQ(sessions.CheckDelete(4), SessionList::DeleteCheck::kNoRow);
  EXPECT_EQ(sessions.CheckDelete(-1), SessionList::DeleteCheck::kNoRow);

  EXPECT_TRUE(sessions.RemoveSession(1, kTriple));
  EXPECT_EQ(Ids(sessions), (std::vector<std::int32_t>{11, 13, 14}));
  EXPECT_EQ(sessions.FindIndex(12), -1);
  EXPECT_TRUE(contacts.Contains(12));
  EXPECT_EQ(test::RawCount(db.Path(), "talk_message", "uid=12 AND lgn_uid=2001"), 0);
  EXPECT_EQ(test::RawCount(db.Path(), "talk_message", "uid=12"), 1);  // another agent's line stays
  EXPECT_EQ(test::RawCount(db.Path(), "talk_message", "uid=11"), 1);
  EXPECT_TRUE(sessions.AddSession(contacts.Find(12)));  // may come back later
  EXPECT_FALSE(sessions.RemoveSession(9, kTriple));
}

TEST_F(ListsTest, TalkNoticesAndRefreshListOnlyMyConversations) {
  Enter(contacts, 21, kContactKindVisitor, kVisitorStateTalking, kSelf);
  Enter(contacts, 22, kContactKindVisitor, kVisitorStateTalking, kColleague);
  Enter(contacts, 23, kContactKindVisitor, kVisitorStateEnded, kSelf);
  EXPECT_FALSE(sessions.ApplyNotice(Notice(22, kColleague, "105"), kSelf));  // not to me
  EXPECT_FALSE(sessions.ApplyNotice(Notice(99, kSelf, "105"), kSelf));       // unknown visitor
  EXPECT_FALSE(sessions.ApplyNotice(Notice(23, kSelf, "104"), kSelf));
  EXPECT_FALSE(sessions.ApplyNotice(Notice(23, kSelf, "{\"B7\":23}"), kSelf));
  EXPECT_TRUE(sessions.ApplyNotice(Notice(23, kSelf, "105"), kSelf));
  EXPECT_EQ(sessions.AddTalking(kSelf), 1);
  EXPECT_EQ(Ids(sessions), (std::vector<std::int32_t>{23, 21}));
  EXPECT_EQ(sessions.AddTalking(kSelf), 0);
}

TEST(SessionGeometry, RowsBelowTheLastAreNowhereAndThePopupFollowsTheHoveredRow) {
  struct Row {
    int y, top;
    std::size_t count;
    int row;
  };
  for (const Row& c : std::vector<Row>{{0, 0, 3, 0},
                                       {149, 0, 3, 2},
                                       {150, 0, 3, kNoRow},  // below the last row
                                       {10, 0, 0, kNoRow},
                                       {-1, 0, 3, kNoRow},
                                       {60, 5, 7, 6},
                                       {100, 5, 7, kNoRow}})
    EXPECT_EQ(SessionRowAt(c.y, c.top, c.count), c.row) << c.y << "/" << c.top;

  // Room on the left: right edge 15 pixels left of the list.
  PopupPlace left = PlaceDetailPopup(600, 860, 100, 250, 7, 4);
  EXPECT_EQ(left.x, 335);
  EXPECT_EQ(left.y, 250);  // three rows below the top index
  // No room: left edge 15 pixels right of the list.
  PopupPlace right = PlaceDetailPopup(200, 460, 100, 250, 0, 0);
  EXPECT_EQ(right.x, 475);
  EXPECT_EQ(right.y, 100);
}

// ---------------------------------------------------------------- offline messages and guestbook

TEST_F(ListsTest, OfflineMessagesBecomeRowsUnreadCountsAndExactTranscriptEntries) {
  Enter(contacts, kColleague, kContactKindAgent, kAgentStateOffline, 0)->name = "王芳";
  const InboxOutcome out = inbox.TakeOfflineMessages(Parse(R"([
      {"B7":3001,"B6":"2014-12-23 12:00:00","B4":"http://s","B5":"http://p","B3":"上海","B1":"1.1.1.1","D3":"在吗"},
      {"B7":2002,"B6":"bad","D3":"同事留言[@/etc/passwd]"},
      {"B7":3001,"B6":"2014-12-23 12:00:05","D3":"第二条"},
      null, {"B7":"x"}, 5])"));
  ASSERT_EQ(out.entries.size(), 3u);
  EXPECT_EQ(out.entries[0].id, 3001);
  EXPECT_EQ(out.entries[0].markup, "\n[#0000FF]访客 3001\n[>00C8#333333]在吗\n[C][#999999]2014-12-23 12:00:00\n");
  // A visitor-written picture path loads nothing.
  EXPECT_EQ(out.entries[1].markup, "\n[#0000FF]王芳\n[>00C8#333333]同事留言[]\n[C][#999999]bad\n");
  EXPECT_TRUE(out.blinkColleagues);

  const ContactRecord* sender = contacts.Find(3001);
  EXPECT_EQ(sender->kind, kContactKindOfflineSender);
  EXPECT_EQ(sender->unread, 2);
  EXPECT_EQ(sender->lastTalkTime, "1419336005");
  EXPECT_EQ(sender->lastMessage, "离线消息：第二条");
  EXPECT_EQ(sender->area, "上海");
  EXPECT_EQ(sender->currentPage, "http://p");
  EXPECT_EQ(sender->source, "http://s");
  EXPECT_EQ(contacts.Find(kColleague)->lastTalkTime, "0");  // an unreadable time is 0
  EXPECT_EQ(Ids(sessions), (std::vector<std::int32_t>{3001, 2002}));

  // A repeated start-data answer counts nothing twice.
  const InboxOutcome again =
      inbox.TakeOfflineMessages(Parse(R"([{"B7":3001,"B6":"2014-12-23 12:00:00","D3":"在吗"}])"));
  EXPECT_TRUE(again.entries.empty());
  EXPECT_EQ(sender->unread, 2);
  EXPECT_FALSE(inbox.TakeOfflineMessages(Parse(R"([{"B7":2002,"B6":"x","D3":"再来"}])")).blinkColleagues);
}

TEST_F(ListsTest, GuestbookEntriesWriteEachFieldUnderItsOwnLabel) {
  const InboxOutcome out = inbox.TakeGuestbook(Parse(R"([
      {"B7":4001,"D1":"张先生","D2":"13800000000","B6":"2014-12-23 12:00:00","B3":"杭州","B5":"http://p/x",
       "B4":"http://s","B1":"9.9.9.9","D3":"请回电[@../../x.gif]"},
      {"B7":4002,"D1":7,"D3":"匿名"}])"));
  ASSERT_EQ(out.entries.size(), 2u);
  EXPECT_EQ(out.entries[0].markup,
            "\n[#0000FF]访客 4001\n[>00C8#333333]姓名：张先生\n电话：13800000000\n区域：杭州\n来源：http://s\n"
            "当前页：http://p/x\nIP：9.9.9.9\n时间：2014-12-23 12:00:00\n内容：请回电[]\n");
  EXPECT_EQ(
      out.entries[1].markup,
      "\n[#0000FF]访客 4002\n[>00C8#333333]姓名：访客 4002\n电话：\n区域：\n来源：\n当前页：\nIP：\n时间：\n内容：匿名\n");
  EXPECT_FALSE(out.blinkColleagues);
  const ContactRecord* author = contacts.Find(4001);
  EXPECT_EQ(author->kind, kContactKindGuestbookAuthor);
  EXPECT_EQ(author->name, "访客 4001");
  EXPECT_EQ(author->phone, "13800000000");
  EXPECT_EQ(author->lastMessage, "留言：请回电[@../../x.gif]");  // shown as plain text only
  EXPECT_EQ(author->unread, 1);
  EXPECT_EQ(sessions.CheckDelete(sessions.FindIndex(4001)), SessionList::DeleteCheck::kAsk);
  EXPECT_EQ(inbox.TakeGuestbook(Parse(R"({"B7":1})")).taken, 0u);
}

// ---------------------------------------------------------------- times

TEST(ListTimes, VisitTimesParseOnlyWholeValidDates) {
  struct Case {
    const char* text;
    std::int64_t seconds;
  };
  for (const Case& c : std::vector<Case>{{"2014-12-23 12:00:00", 1419336000},
                                         {"1970-01-01 00:00:00", 0},
                                         {"2014-12-23 12:00:0", 0},
                                         {"2014-12-23 12:00:000", 0},
                                         {"abcdefghijklmnopqrs", 0},  // 19 characters, no date
                                         {"2014-13-23 12:00:00", 0},
                                         {"2014-02-30 12:00:00", 0},
                                         {"2014-12-23 24:00:00", 0},
                                         {"2014/12/23 12:00:00", 0},
                                         {"", 0}})
    EXPECT_EQ(VisitTimeSeconds(c.text), c.seconds) << c.text;

  EXPECT_EQ(TalkTimeText("2014-12-23 12:00:00"), "2014-12-23 12:00:00");
  EXPECT_EQ(TalkTimeText("0"), "00:00:00");
  EXPECT_EQ(TalkTimeText("45296"), "12:34:56");
  EXPECT_EQ(TalkTimeText("junk"), "00:00:00");
}

// ---------------------------------------------------------------- row pictures

TEST(ListPictures, AvatarsFollowStateAndAgent) {
  struct Case {
    std::int32_t kind, state, agent;
    const char* session;
    const char* tree;
  };
  for (const Case& c : std::vector<Case>{
           {kContactKindVisitor, kVisitorStateLeft, kSelf, kPictureOfflineLogo, kPictureOfflineLogo},
           {kContactKindVisitor, kVisitorStateTalking, kColleague, kPictureEndTalkLogo, kPictureDefaultLogo},
           {kContactKindVisitor, kVisitorStateIdle, 0, kPictureDefaultLogo, kPictureDefaultLogo},  // nobody's yet
           {kContactKindVisitor, kVisitorStateTalking, kSelf, kPictureDefaultLogo, kPictureDefaultLogo},
           {kContactKindAgent, kAgentStateAway, kColleague, kPictureDefaultLogo, kPictureAwayLogo},
           {kContactKindOfflineSender, 2, 0, kPictureDefaultLogo, kPictureDefaultLogo}}) {
    ContactRecord r;
    r.kind = c.kind;
    r.state = c.state;
    r.agentId = c.agent;
    EXPECT_STREQ(SessionAvatarPicture(r, kSelf), c.session) << c.kind << "/" << c.state;
    EXPECT_STREQ(TreeAvatarPicture(r), c.tree) << c.kind << "/" << c.state;
  }
  ContactRecord r;
  r.currentPage = "http://p";
  EXPECT_EQ(SessionSecondLine(r), "http://p");
  r.statusText = "访客已经离开";
  EXPECT_EQ(SessionSecondLine(r), "访客已经离开");
  r.lastMessage = "留言：x";
  EXPECT_EQ(SessionSecondLine(r), "留言：x");
  EXPECT_EQ(UnreadBadgeText(r), "");
  r.unread = 12;
  EXPECT_EQ(UnreadBadgeText(r), "12");
}

// ---------------------------------------------------------------- colleague tree

TEST_F(ListsTest, TreeGroupsInByteOrderLeavesOutGroupsWithoutOthersAndReloadsCleanly) {
  const Json::Value users = Parse(R"({
      "售后客服":[{"uid":2005,"realname":"刘洋"},{"uid":2004,"realname":"陈静"}],
      "售前客服":[{"uid":2001,"realname":"李明"},{"uid":2003,"realname":"赵磊"},{"uid":2002,"realname":"王芳"},
                 {"uid":0,"realname":"零"},{"uid":"2009"}],
      "only me":[{"uid":2001},{"uid":0}],
      "Zeta":[{"uid":2006,"realname":5}]})");
  tree.LoadContacts(users, kSelf);
  tree.LoadContacts(users, kSelf);  // a second answer adds nothing
  const auto& groups = tree.Groups();
  ASSERT_EQ(groups.size(), 3u);
  // UTF-8 byte order: "Z" (0x5A) < "售前" (E5 94 AE E5 89 8D) < "售后" (E5 94 AE E5 90 8E).
  EXPECT_EQ(groups[0].name, "Zeta");
  EXPECT_EQ(groups[1].name, "售前客服");
  EXPECT_EQ(groups[2].name, "售后客服");
  ASSERT_EQ(groups[1].agents.size(), 2u);
  // Names by byte order too: 王 (E7 8E 8B) before 赵 (E8 B5 B5).
  EXPECT_EQ(groups[1].agents[0]->name, "王芳");
  EXPECT_EQ(groups[1].agents[1]->name, "赵磊");
  EXPECT_EQ(groups[2].agents[0]->name, "刘洋");
  EXPECT_EQ(groups[0].agents[0]->name, "");
  EXPECT_EQ(groups[1].total, 2);
  EXPECT_EQ(groups[1].online, 0);
  EXPECT_EQ(contacts.Find(2003)->kind, kContactKindAgent);
  EXPECT_FALSE(contacts.Contains(2001));
  std::string name;
  ASSERT_TRUE(names.Lookup(2004, &name));
  EXPECT_EQ(name, "陈静");

  tree.LoadContacts(Parse("[1]"), kSelf);  // ignored
  EXPECT_EQ(tree.Groups().size(), 3u);
  tree.LoadContacts(Json::Value(), kSelf);  // null: nobody
  EXPECT_TRUE(tree.Groups().empty());
}

TEST_F(ListsTest, OnlineAgentsComeFirstAndAreCounted) {
  // Names a..f in order; online: b, d, f (state 2 or 3 counts as online).
  Json::Value users(Json::objectValue);
  for (int i = 0; i < 6; ++i) {
    Json::Value agent(Json::objectValue);
    agent["uid"] = 3000 + i;
    agent["realname"] = std::string(1, static_cast<char>('a' + i));
    users["g"].append(agent);
  }
  tree.LoadContacts(users, kSelf);
  contacts.Find(3001)->state = 2;
  contacts.Find(3003)->state = kAgentStateAway;
  contacts.Find(3005)->state = 2;
  tree.OnlineFirst();
  tree.CountOnline();
  std::string order;
  for (const ContactRecord* a : tree.Groups()[0].agents) order += a->name;
  EXPECT_EQ(order.substr(0, 3), "bdf");
  EXPECT_EQ(tree.Groups()[0].online, 3);
  EXPECT_EQ(tree.Groups()[0].total, 6);
}

TEST_F(ListsTest, BlinkingAlternatesTheUnreadAgentOrItsCollapsedGroupAndStops) {
  tree.LoadContacts(Parse(R"({"A":[{"uid":2002,"realname":"王芳"},{"uid":2003,"realname":"赵磊"}],
                              "B":[{"uid":2004,"realname":"陈静"}]})"),
                    kSelf);
  EXPECT_FALSE(tree.BlinkTick());  // nothing unread: the timer stops at once
  tree.SetExpanded(0, true);
  tree.SetExpanded(1, false);
  contacts.Find(2003)->unread = 1;
  contacts.Find(2004)->unread = 2;
  const std::size_t zhao = tree.Groups()[0].agents[0]->id == 2003 ? 0 : 1;
  std::vector<std::string> agentLabels, groupLabels, quietLabels;
  for (int tick = 0; tick < 4; ++tick) {
    ASSERT_TRUE(tree.BlinkTick());
    agentLabels.push_back(tree.AgentLabel(0, zhao));
    quietLabels.push_back(tree.AgentLabel(0, 1 - zhao) + "|" + tree.GroupLabel(0));
    groupLabels.push_back(tree.GroupLabel(1) + "|" + tree.AgentLabel(1, 0));
  }
  EXPECT_EQ(agentLabels, (std::vector<std::string>{"", "赵磊", "", "赵磊"}));
  EXPECT_EQ(quietLabels, (std::vector<std::string>(4, "王芳|A")));
  EXPECT_EQ(groupLabels, (std::vector<std::string>{"|陈静", "B|陈静", "|陈静", "B|陈静"}));

  contacts.Find(2003)->unread = 0;
  contacts.Find(2004)->unread = 0;
  EXPECT_FALSE(tree.BlinkTick());
  EXPECT_EQ(tree.AgentLabel(0, zhao), "赵磊");
  EXPECT_EQ(tree.GroupLabel(1), "B");
}

// ---------------------------------------------------------------- bad input

std::string Deep(std::size_t depth) { return std::string(depth, '[') + std::string(depth, ']'); }

TEST_F(ListsTest, BadVisitorLoadsAndNoticesChangeNothingOrWhatTheListSays) {
  const Json::Value baseline = Parse(R"([{"B7":7,"B3":"上海","B10":105,"B8":2002}])");
  constexpr std::int32_t kLoad = -1;  // a case with this sender is a load
  struct Case {
    std::int32_t from, to;
    std::string body;
    std::vector<std::int32_t> ids;
    std::string status7;  // visitor 7's line afterwards
  };
  const std::string talking = "访客与王芳交谈中";
  const std::string noIds = R"([[{"B7":7}],{"B7":true},{"B7":null},{"B7":[7]},{"B7":{"v":7}},{"B7":7e0},{"B7":0}])";
  const std::string extremes = R"([{"B7":2147483647},{"B7":7,"B10":105,"B8":2002},{"B7":-2147483648}])";
  const std::vector<Case> cases = {
      // Loads that are no list leave it alone; an empty list empties it.
      {kLoad, 0, R"({"B7":1})", {7}, talking},
      {kLoad, 0, R"("text")", {7}, talking},
      {kLoad, 0, "true", {7}, talking},
      {kLoad, 0, "[]", {}, talking},
      // Elements without a usable id are nobody: the list is what remains.
      {kLoad, 0, noIds, {}, talking},
      // Keys of the wrong type read as absent: idle, nobody's agent.
      {kLoad, 0, R"([{"B7":7,"B10":"105","B8":"2002","B11":[1]}])", {7}, ""},
      {kLoad, 0, R"([{"B7":7},{"B7":7,"B10":104,"B8":2002}])", {7}, "与王芳交谈结束"},
      {kLoad, 0, R"([{"B7":7,"B10":1}])", {}, "访客已经离开"},
      {kLoad, 0, extremes, {7, 2147483647, -2147483648}, talking},
      // Notices.
      {0, kSelf, "105", {7}, talking},  // id 0 is "no conversation"
      {7, kSelf, R"({"B7":0})", {7}, talking},
      {7, kSelf, R"({"B7":"7","B10":1})", {7}, talking},
      {7, kSelf, "null", {7}, talking},
      {7, kSelf, "[105]", {7}, talking},
      {7, kSelf, "true", {7}, talking},
      {7, kSelf, "1e2", {7}, talking},
      {7, kSelf, "2147483648", {7}, talking},
      {7, kSelf, Deep(100'000), {7}, talking},
      {7, 555, "101", {7}, "访客被客服555邀请中"},  // unknown agent
      {7, kSelf, "-5", {7}, talking},               // unknown state keeps the line
      {99, kSelf, "1", {7}, talking},               // an unknown visitor that left
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body.substr(0, 80));
    visitors.LoadVisitors(baseline);
    if (c.from == kLoad) {
      visitors.LoadVisitors(Parse(c.body));
    } else {
      visitors.ApplyNotice(Notice(c.from, c.to, c.body));
    }
    EXPECT_EQ(Ids(visitors), c.ids);
    EXPECT_EQ(contacts.Find(7)->statusText, c.status7);
    EXPECT_FALSE(contacts.Contains(kNoContactId));
  }
  EXPECT_EQ(contacts.Find(99)->statusText, "访客已经离开");
  EXPECT_EQ(visitors.AddOrUpdate(ContactRecord{}), nullptr);
  visitors.UpdateState(kNoContactId, kSelf, kVisitorStateTalking);
  EXPECT_FALSE(contacts.Contains(kNoContactId));
}

TEST_F(ListsTest, BadConversationNoticesAndIndicesChangeNothing) {
  Enter(contacts, 21, kContactKindVisitor, kVisitorStateTalking, kSelf);
  Enter(contacts, 22, kContactKindVisitor, kVisitorStateTalking, kColleague);
  Enter(contacts, kNoContactId, kContactKindVisitor, kVisitorStateTalking, kSelf);
  struct Case {
    std::int32_t from, to;
    std::string body;
    std::vector<std::int32_t> ids;  // after the notice, with 21 listed before
  };
  for (const Case& c : std::vector<Case>{{22, kSelf, "105", {21, 22}},
                                         {kNoContactId, kSelf, "105", {21}},
                                         {21, kSelf, "105", {21}},  // listed once
                                         {99, kSelf, "105", {21}},  // unknown visitor
                                         {22, kSelf, "105.0", {21}},
                                         {22, kSelf, R"("105")", {21}},
                                         {22, kSelf, "[105]", {21}},
                                         {22, kSelf, R"({"B7":22,"B10":105})", {21}},
                                         {22, kSelf, "", {21}},
                                         {22, kSelf, "null", {21}},
                                         {22, kSelf, Deep(100'000), {21}},
                                         {22, kColleague, "105", {21}}}) {
    SCOPED_TRACE(c.body.substr(0, 80));
    SessionList list{contacts};
    list.AddSession(contacts.Find(21));
    list.ApplyNotice(Notice(c.from, c.to, c.body), kSelf);
    EXPECT_EQ(Ids(list), c.ids);
  }

  ASSERT_TRUE(DBManager::InsertTalkMessage({21, 2, kSelf, 1, "line"}, 21, 2, kTriple));
  sessions.AddSession(contacts.Find(21));
  for (int index : {-1, 1, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()}) {
    EXPECT_EQ(sessions.CheckDelete(index), SessionList::DeleteCheck::kNoRow) << index;
    EXPECT_FALSE(sessions.RemoveSession(index, kTriple)) << index;
  }
  EXPECT_EQ(Ids(sessions), (std::vector<std::int32_t>{21}));
  EXPECT_EQ(test::RawCount(db.Path(), "talk_message", "uid=21"), 1);

  constexpr int kMax = std::numeric_limits<int>::max();
  constexpr int kMin = std::numeric_limits<int>::min();
  for (auto [y, top] : std::vector<std::pair<int, int>>{{kMax, kMax}, {kMax, 0}, {kMin, 0}, {0, kMin}, {0, 3}})
    EXPECT_EQ(SessionRowAt(y, top, 3), kNoRow) << y << "/" << top;
}

TEST(InboxBadInput, JunkEntriesAreSkippedAndWrongTypedFieldsReadEmpty) {
  struct Case {
    bool guestbook;
    std::string list;
    std::vector<std::int32_t> ids;  // of the entries, in order
    std::string firstMarkup;        // empty: not compared
  };
  const std::string junk = R"([null,1,"a",[],[{"B7":1}],{"B7":"1"},{"B7":1.5},{"B7":0},{"B7":true},{"D3":"x"}])";
  const std::vector<Case> cases = {
      {false, "null", {}, ""},
      {false, R"({"B7":5})", {}, ""},
      {false, R"("x")", {}, ""},
      {true, "7", {}, ""},
      {false, junk, {}, ""},
      {true, junk, {}, ""},
      {false, R"([{"B7":5,"B6":12,"D3":["x"],"B1":{}}])", {5}, "\n[#0000FF]访客 5\n[>00C8#333333]\n[C][#999999]\n"},
      // Conversion characters in what a visitor typed are text.
      {false,
       R"([{"B7":5,"B6":"%s","D3":"%s%n%d%%"}])",
       {5},
       "\n[#0000FF]访客 5\n[>00C8#333333]%s%n%d%%\n[C][#999999]%s\n"},
      {true,
       R"([{"B7":6,"D1":{"n":1},"D2":13800000000,"D3":"%n"}])",
       {6},
       "\n[#0000FF]访客 6\n[>00C8#333333]姓名：访客 6\n电话：\n区域：\n来源：\n当前页：\nIP：\n时间：\n内容：%n\n"},
      // The same entry twice in one answer is taken once.
      {false, R"([{"B7":5,"D3":"a"},{"B7":5,"D3":"a"},{"B7":5,"D3":"b"}])", {5, 5}, ""},
  };
  NameTable names;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list);
    ContactTable table;
    SessionList list{table};
    Inbox inbox{list, table, names};
    const Json::Value value = Parse(c.list);
    const InboxOutcome out = c.guestbook ? inbox.TakeGuestbook(value) : inbox.TakeOfflineMessages(value);
    std::vector<std::int32_t> ids;
    for (const InboxEntry& e : out.entries) ids.push_back(e.id);
    EXPECT_EQ(ids, c.ids);
    EXPECT_EQ(out.taken, c.ids.size());
    EXPECT_EQ(list.Size(), c.ids.empty() ? 0u : 1u);
    EXPECT_FALSE(table.Contains(kNoContactId));
    if (!c.firstMarkup.empty()) EXPECT_EQ(out.entries.at(0).markup, c.firstMarkup);
    if (!c.ids.empty()) EXPECT_EQ(table.Find(c.ids[0])->unread, static_cast<int>(c.ids.size()));
  }
}

TEST(InboxBadInput, AHugeAnswerBecomesOneRowPerSender) {
  constexpr int kSenders = 5;
  constexpr int kMessages = 10'000;
  Json::Value list(Json::arrayValue);
  for (int i = 0; i < kMessages; ++i) {
    Json::Value m(Json::objectValue);
    m["B7"] = 100 + i % kSenders;
    m["D3"] = std::to_string(i);
    list.append(m);
  }
  ContactTable table;
  NameTable names;
  SessionList sessions{table};
  Inbox inbox{sessions, table, names};
  EXPECT_EQ(inbox.TakeOfflineMessages(list).entries.size(), static_cast<std::size_t>(kMessages));
  EXPECT_EQ(sessions.Size(), static_cast<std::size_t>(kSenders));
  EXPECT_EQ(table.Find(100)->unread, kMessages / kSenders);
  EXPECT_TRUE(inbox.TakeOfflineMessages(list).entries.empty());  // the same answer again
  EXPECT_EQ(table.Find(100)->unread, kMessages / kSenders);
}

TEST_F(ListsTest, BadColleagueListsLeaveTheTreeOrEmptyItAsTheLoadSays) {
  const Json::Value baseline = Parse(R"({"A":[{"uid":2002,"realname":"王芳"}]})");
  struct Case {
    std::string users;
    std::string groups;  // "name:uid,uid;..." afterwards
  };
  for (const Case& c : std::vector<Case>{
           // No object: ignored.
           {"[1]", "A:2002"},
           {R"("A")", "A:2002"},
           {"5", "A:2002"},
           {"true", "A:2002"},
           // An object replaces the tree, with only its usable members.
           {"{}", ""},
           {R"({"A":"2002","B":{"uid":2003},"C":null,"D":7})", ""},
           {R"({"A":[null,1,"x",[],{"uid":"2003"},{"uid":2003.5},{"uid":0},{"uid":true},{"realname":"无"}]})", ""},
           {R"({"A":[{"uid":2003,"realname":7}]})", "A:2003"},
           {R"({"A":[{"uid":2003},{"uid":2003}],"B":[{"uid":2003}]})", "A:2003;B:2003"},
           {R"({"":[{"uid":2004}]})", ":2004"},
       }) {
    SCOPED_TRACE(c.users);
    tree.LoadContacts(baseline, kSelf);
    tree.LoadContacts(Parse(c.users), kSelf);
    std::string groups;
    for (const ColleagueGroup& g : tree.Groups()) {
      groups += (groups.empty() ? "" : ";") + g.name + ":";
      for (std::size_t i = 0; i < g.agents.size(); ++i) groups += (i ? "," : "") + std::to_string(g.agents[i]->id);
      EXPECT_EQ(g.total, static_cast<int>(g.agents.size()));
      EXPECT_EQ(g.agentHidden.size(), g.agents.size());
    }
    EXPECT_EQ(groups, c.groups);
    EXPECT_FALSE(contacts.Contains(kNoContactId));
  }
  EXPECT_EQ(contacts.Find(2003)->name, "");

  // A huge group loads, orders and counts.
  Json::Value users(Json::objectValue);
  for (int i = 0; i < 10'000; ++i) {
    Json::Value agent(Json::objectValue);
    agent["uid"] = 10'000 + i;
    agent["realname"] = std::to_string(i);
    users["g"].append(agent);
  }
  tree.LoadContacts(users, kSelf);
  ASSERT_EQ(tree.Groups().size(), 1u);
  EXPECT_EQ(tree.Groups()[0].total, 10'000);
  contacts.Find(19'999)->state = kAgentStateAway;
  tree.OnlineFirst();
  tree.CountOnline();
  EXPECT_EQ(tree.Groups()[0].agents[0]->id, 19'999);
  EXPECT_EQ(tree.Groups()[0].online, 1);
}

}  // namespace
}  // namespace kanzo
