// The visitor card's lines, links and clicks, the opening rule for visitor
// addresses, the cutting of long texts, and the agent card's fields.
#include <gtest/gtest.h>
#include <json/value.h>

#include <string>
#include <vector>

#include "details/agent_card.h"
#include "details/visitor_card.h"
#include "workspace/agent_group.h"
#include "workspace/json_body.h"

namespace kanzo {
namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 190;

ContactRecord Visitor() {
  ContactRecord r;
  r.id = 5005;
  r.name = "访客 5005";
  r.area = "上海";
  r.ip = "10.0.0.7";
  r.pageTitle = "价格 - 示例商城";
  r.currentPage = "https://shop.example/price?x=1";
  r.remark = "老客户";
  return r;
}

// Centre of a rectangle.
int Mx(const CardRect& r) { return (r.left + r.right) / 2; }
int My(const CardRect& r) { return (r.top + r.bottom) / 2; }

TEST(VisitorCardTest, LinesAndLinksSitWhereTheCardDrawsThem) {
  const ContactRecord r = Visitor();
  const VisitorCardLayout card = LayoutVisitorCard(&r, kWidth, kHeight, true);
  ASSERT_TRUE(card.hasRecord);
  const std::vector<std::string> texts = {"姓名：访客 5005",
                                          "地区：上海",
                                          "地址：10.0.0.7",
                                          "标题：价格 - 示例商城",
                                          "来源：https://shop.example/price?x=1",
                                          "简介：老客户"};
  for (int i = 0; i < kCardLineCount; ++i) {
    EXPECT_EQ(card.lines[i].text, texts[i]);
    EXPECT_EQ(card.lines[i].rect.top, 10 + 25 * i);
    EXPECT_EQ(card.lines[i].rect.left, 10);
  }
  EXPECT_EQ(card.lines[kCardName].rect.right, kWidth - 10);
  EXPECT_EQ(card.lines[kCardTitle].rect.right, kWidth - 10 - 29);
  EXPECT_EQ(card.lines[kCardSource].rect.right, kWidth - 10 - 29);
  EXPECT_EQ(card.lines[kCardRemark].rect.bottom, kHeight - 10);
  EXPECT_TRUE(card.lines[kCardRemark].wraps);
  EXPECT_EQ(card.titleLinkRect, (CardRect{kWidth - 34, 85, kWidth - 10, 110}));
  EXPECT_EQ(card.sourceLinkRect, (CardRect{kWidth - 34, 110, kWidth - 10, 135}));
}

TEST(VisitorCardTest, PointerAndClicksOverEachSpot) {
  const ContactRecord r = Visitor();
  const VisitorCardLayout card = LayoutVisitorCard(&r, kWidth, kHeight, true);
  struct Case {
    const char* what;
    int x, y;
    bool hand;
    std::string tip;
    CardClick::Action action;
    std::string text;
  };
  const CardRect& title = card.lines[kCardTitle].rect;
  const CardRect& source = card.lines[kCardSource].rect;
  const std::vector<Case> cases = {
      {"copy title", Mx(card.titleLinkRect), My(card.titleLinkRect), true, "", CardClick::Action::kCopy, r.pageTitle},
      {"copy source", Mx(card.sourceLinkRect), My(card.sourceLinkRect), true, "", CardClick::Action::kCopy,
       r.currentPage},
      {"title line", Mx(title), My(title), false, r.pageTitle, CardClick::Action::kNone, ""},
      {"source line", Mx(source), My(source), true, r.currentPage, CardClick::Action::kOpen, r.currentPage},
      {"name line", 20, 20, false, "", CardClick::Action::kNone, ""},
      {"outside", kWidth + 5, My(source), false, "", CardClick::Action::kNone, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(CardShowsHand(card, c.x, c.y), c.hand);
    EXPECT_EQ(CardTooltipAt(card, c.x, c.y), c.tip);
    const CardClick click = CardClickAt(card, c.x, c.y);
    EXPECT_EQ(click.action, c.action);
    EXPECT_EQ(click.text, c.text);
  }
}

TEST(VisitorCardTest, MissingValuesAndPicturesLeaveNoLinks) {
  ContactRecord r = Visitor();
  r.pageTitle.clear();
  r.currentPage.clear();
  const VisitorCardLayout card = LayoutVisitorCard(&r, kWidth, kHeight, true);
  EXPECT_EQ(card.lines[kCardTitle].text, "标题：");
  EXPECT_FALSE(card.titleLink);
  EXPECT_FALSE(card.sourceLink);
  // Where the links would be, a click does nothing: no copy, no page.
  const int linkX = kWidth - 20;
  for (const CardRect& line : {card.lines[kCardTitle].rect, card.lines[kCardSource].rect}) {
    EXPECT_EQ(CardClickAt(card, linkX, My(line)).action, CardClick::Action::kNone);
    EXPECT_EQ(CardClickAt(card, Mx(line), My(line)).action, CardClick::Action::kNone);
    EXPECT_FALSE(CardShowsHand(card, Mx(line), My(line)));
  }

  const ContactRecord full = Visitor();
  const VisitorCardLayout noPicture = LayoutVisitorCard(&full, kWidth, kHeight, false);
  EXPECT_FALSE(noPicture.titleLink);
  EXPECT_FALSE(noPicture.sourceLink);

  const VisitorCardLayout none = LayoutVisitorCard(nullptr, kWidth, kHeight, true);
  EXPECT_FALSE(none.hasRecord);
  EXPECT_EQ(CardSpotAt(none, Mx(card.lines[kCardSource].rect), My(card.lines[kCardSource].rect)), CardSpot::kNone);
}

TEST(VisitorCardTest, OnlyWebAddressesAreOpened) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"http://shop.example/", true},
      {"HTTPS://shop.example/a?b=c#d", true},
      {"https://shop.example/中文", true},
      {"file:///etc/passwd", false},
      {"javascript:alert(1)", false},
      {"mailto:a@b.example", false},
      {"ftp://shop.example/", false},
      {"shop.example/page", false},
      {"http://", false},
      {"http:///etc/passwd", false},
      {" http://shop.example/", false},
      {"http://shop.example/ --option", false},
      {"http://shop.example/\n", false},
      {"", false},
  };
  for (const auto& [address, openable] : cases) EXPECT_EQ(IsOpenableAddress(address), openable) << address;

  ContactRecord r = Visitor();
  r.currentPage = "file:///etc/passwd";
  const VisitorCardLayout card = LayoutVisitorCard(&r, kWidth, kHeight, true);
  const CardRect& source = card.lines[kCardSource].rect;
  EXPECT_EQ(CardClickAt(card, Mx(source), My(source)).action, CardClick::Action::kNone);
  // Copying it still works.
  EXPECT_EQ(CardClickAt(card, Mx(card.sourceLinkRect), My(card.sourceLinkRect)).text, r.currentPage);
}

// Ten pixels per character, whatever its byte length.
int CharWidth(std::string_view s) {
  int n = 0;
  for (char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n * 10;
}

TEST(VisitorCardTest, LongTextsAreCutAtWholeCharacters) {
  const std::vector<std::tuple<std::string, int, std::string>> cases = {
      {"abcdef", 60, "abcdef"},    {"abcdef", 59, "ab..."},  {"价格示例商城", 55, "价格..."},
      {"价格示例商城", 30, "..."}, {"价格示例商城", 29, ""}, {"", 0, ""},
  };
  for (const auto& [text, width, cut] : cases) EXPECT_EQ(ElideEnd(text, width, CharWidth), cut) << text << width;
}

TEST(AgentCardTest, TenFieldsFromTheRecord) {
  AgentRecord agent;
  agent.userName = "agent1";
  agent.triple.agentId = 1001;
  agent.realname = "王小明";
  agent.sex = "男";
  agent.age = "30";
  agent.userGroup = "售前";
  agent.address = "北京";
  agent.phone = "010-1234";
  agent.email = "a@b.example";
  agent.remark = "值班";
  const AgentCardFields fields = AgentCardFieldsOf(agent);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"用户名:", "agent1"},    {"用户ID:", "1001"}, {"姓名:", "王小明"}, {"性别:", "男"},
      {"年龄:", "30"},          {"用户组:", "售前"}, {"所在地:", "北京"}, {"联系方式:", "010-1234"},
      {"邮箱:", "a@b.example"}, {"备注:", "值班"},
  };
  for (std::size_t i = 0; i < fields.size(); ++i) {
    EXPECT_EQ(fields[i].label, expected[i].first);
    EXPECT_EQ(fields[i].value, expected[i].second);
  }
}

TEST(AgentCardTest, TheGroupIsTheOneThatHoldsTheAgent) {
  Json::Value users;
  ASSERT_TRUE(ParseJsonBody(R"({"售前":[{"uid":1002,"realname":"甲"}],"售后":[{"uid":"1001"},{"uid":1001}],)"
                            R"("坏":5})",
                            &users));
  EXPECT_EQ(AgentGroupOf(users, 1001), "售后");
  EXPECT_EQ(AgentGroupOf(users, 1002), "售前");
  EXPECT_EQ(AgentGroupOf(users, 1003), "");
  EXPECT_EQ(AgentGroupOf(users, 0), "");
  EXPECT_EQ(AgentGroupOf(Json::Value("x"), 1001), "");
}

}  // namespace
}  // namespace kanzo
