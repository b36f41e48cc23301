// The stock replies, the call-back and the emoticon grid without windows:
// the request bodies byte for byte, the quick-list documents, the editor's
// checks and answers, the call-back's answers, the grid's hit test.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "chat/call_back.h"
#include "chat/face_grid.h"
#include "chat/quick_lists.h"
#include "chat/quick_msg_editor.h"
#include "chat/quick_requests.h"
#include "chat/quick_test_support.h"
#include "platform/message_box.h"
#include "protocol/commands.h"
#include "support/server_messages.h"
#include "support/temp_dir.h"
#include "workspace/json_body.h"

namespace kanzo {
namespace {

using platform::MessageBoxRecorder;
using test::QuickAgent;
using test::RequestRecorder;

std::unique_ptr<Message> Answer(std::int32_t command, std::uint8_t result, const std::string* text) {
  const Msg body = test::MsgBody(text ? *text : std::string());
  return test::ServerMessage({.command = command, .id = 0x123456789LL, .result = result}, text ? &body : nullptr);
}

std::vector<std::string> BoxTexts(const MessageBoxRecorder& boxes) {
  std::vector<std::string> texts;
  for (const auto& box : boxes.Boxes()) texts.push_back(box.caption + "|" + box.text);
  return texts;
}

// ---- request bodies -------------------------------------------------------

TEST(QuickRequestTest, BodiesAreCompactUtf8InKeyOrderWithOneLineEnd) {
  const AgentRecord agent = QuickAgent();
  EXPECT_EQ(AgentCredentialsBody(agent), "{\"password\":\"p\\\"w\",\"uid\":1001,\"username\":\"小王\"}\n");
  EXPECT_EQ(AddCommonMessageBody(agent, "您好，请稍等", true, 7),
            "{\"content\":\"您好，请稍等\",\"ctid\":7,\"password\":\"p\\\"w\",\"sort\":0,\"type\":1,\"uid\":1001,"
            "\"username\":\"小王\"}\n");
  EXPECT_EQ(AddCommonMessageBody(agent, "x", false, std::nullopt),
            "{\"content\":\"x\",\"password\":\"p\\\"w\",\"sort\":0,\"type\":0,\"uid\":1001,\"username\":\"小王\"}\n");
  EXPECT_EQ(CallBackBody(agent, "13812345678"),
            "{\"password\":\"p\\\"w\",\"to\":\"13812345678\",\"username\":\"小王\"}\n");
  Json::Value empty(Json::objectValue);
  EXPECT_EQ(RequestBodyText(empty), "{}\n");
}

TEST(QuickRequestTest, EachRequestNamesTheAgentOnlyWhereItShould) {
  const AgentRecord agent = QuickAgent();
  const Msg lists = QuickListsRequest(agent);
  EXPECT_EQ(lists.account, 77);
  EXPECT_EQ(lists.FROM, 1001);
  EXPECT_EQ(lists.FROM_TYPE, 1);
  const Msg call = CallBackRequest(agent, "13812345678");
  EXPECT_EQ(call.account, 77);
  EXPECT_EQ(call.FROM, 0);
  for (const Msg& plain : {CategoryRequest(agent), AddCommonMessageRequest(agent, "x", true, 3)}) {
    EXPECT_EQ(plain.account, 0);
    EXPECT_EQ(plain.FROM, 0);
    EXPECT_EQ(plain.FROM_TYPE, 0);
    EXPECT_EQ(plain.TO, 0);
  }
}

// ---- quick lists ----------------------------------------------------------

struct QListsProbe {
  QuickListsChange array;
  QuickListsChange text;
};

TEST(QuickListsTest, CategoriesSortedChildrenInOrderQuickStringsOnly) {
  QuickLists lists;
  const QuickListsChange change = lists.SetFromBody(
      R"({"common":{"B":[{"content":"b1","uid":1,"cmid":11,"ctid":2,"type":1},{"content":"b2"}],"A":[],)"
      R"("空":{"not":"array"}},"quick":["q1",5,"q&2",null]})");
  EXPECT_TRUE(change.tree);
  EXPECT_TRUE(change.quick);
  const auto& categories = lists.Categories();
  ASSERT_EQ(categories.size(), 3u);
  EXPECT_EQ(CategoryLabel(categories[0]), "A(0)");
  EXPECT_TRUE(categories[0].messages.empty());
  EXPECT_EQ(CategoryLabel(categories[1]), "B(2)");
  ASSERT_EQ(categories[1].messages.size(), 2u);
  EXPECT_EQ(categories[1].messages[0].content, "b1");
  EXPECT_EQ(categories[1].messages[0].cmid, 11);
  EXPECT_EQ(categories[1].messages[0].type, 1);
  EXPECT_EQ(categories[1].messages[1].content, "b2");
  EXPECT_EQ(CategoryLabel(categories[2]), "空(0)");
  EXPECT_EQ(lists.QuickTexts(), (std::vector<std::string>{"q1", "q&2"}));
}

TEST(QuickListsTest, MissingNullOrMistypedPartsKeepWhatWasThere) {
  QuickLists lists;
  lists.SetFromBody(R"({"common":{"A":[{"content":"a"}]},"quick":["q"]})");
  for (const char* body :
       {R"({"quick":["r"]})", R"({"common":[1],"quick":{}})", R"({"common":null,"quick":null})", "[1,2]", "not json"}) {
    lists.SetFromBody(body);
    ASSERT_EQ(lists.Categories().size(), 1u) << body;
    EXPECT_EQ(lists.Categories()[0].messages[0].content, "a") << body;
    EXPECT_EQ(lists.QuickTexts(), std::vector<std::string>{"r"}) << body;
  }
  const QListsProbe probe{lists.SetFromBody("[1,2]"), lists.SetFromBody("not json")};
  EXPECT_FALSE(probe.array.tree || probe.array.quick || probe.text.tree || probe.text.quick);
}

// ---- the editor ------------------------------------------------------------

class RecordingEditView : public QuickMsgEditView {
 public:
  void ShowCategories(const std::vector<std::string>& n, const std::string& s) override {
    names = n;
    selected = s;
  }
  void ClearContent() override { ++cleared; }
  std::vector<std::string> names;
  std::string selected;
  int cleared = 0;
};

class QuickMsgEditorTest : public testing::Test {
 protected:
  QuickMsgEditorTest() : editor_(view_, sent_.Sender(), QuickAgent, [this] { ++reloads_; }) {}

  void OpenWithCategories(const std::string& body) {
    editor_.Open();
    editor_.OnNetworkMessage(*Answer(kCommandQuickMsgClass, 0, &body));
  }

  RecordingEditView view_;
  RequestRecorder sent_;
  int reloads_ = 0;
  QuickMsgEditor editor_;
  MessageBoxRecorder boxes_;
};

TEST_F(QuickMsgEditorTest, OpeningAsksForCategoriesAndOffersThemSorted) {
  OpenWithCategories(R"({"cm":[{"name":"售后","id":9},{"name":"Beta","id":"x"},3,{"name":"Alpha","id":4}]})");
  ASSERT_EQ(sent_.requests.size(), 1u);
  EXPECT_EQ(sent_.requests[0].command, kCommandQuickMsgClass);
  EXPECT_EQ(sent_.requests[0].body.BODY, AgentCredentialsBody(QuickAgent()));
  EXPECT_EQ(view_.names, (std::vector<std::string>{"Alpha", "Beta", "售后"}));
  EXPECT_EQ(view_.selected, "Alpha");
  EXPECT_EQ(editor_.CategoryId("售后"), 9);
  EXPECT_EQ(editor_.CategoryId("Beta"), std::nullopt);

  // Each opening forgets the last categories.
  editor_.Open();
  EXPECT_TRUE(view_.names.empty());
  EXPECT_EQ(boxes_.Count(), 0u);
}

TEST_F(QuickMsgEditorTest, FailedCategoryAnswerShowsTheServersTextOnlyWithAMsg) {
  editor_.Open();
  editor_.OnNetworkMessage(*Answer(kCommandQuickMsgClass, 1, nullptr));
  const std::string why = "无权限";
  editor_.OnNetworkMessage(*Answer(kCommandQuickMsgClass, 1, &why));
  EXPECT_EQ(BoxTexts(boxes_), std::vector<std::string>{"提示|无权限"});
}

TEST_F(QuickMsgEditorTest, SaveChecksBeforeSendingAndSendsTheChosenCategoryId) {
  editor_.Open();
  EXPECT_FALSE(editor_.Save("", "", true));
  EXPECT_FALSE(editor_.Save("text", "typed", true));  // the box has no entries yet
  OpenWithCategories(R"({"cm":[{"name":"问候","id":12}]})");
  EXPECT_FALSE(editor_.Save("", "问候", true));
  EXPECT_EQ(BoxTexts(boxes_),
            (std::vector<std::string>{"提示|常用语内容不能为空", "提示|分类不能为空", "提示|常用语内容不能为空"}));
  ASSERT_EQ(sent_.requests.size(), 2u);  // the two category requests only

  EXPECT_TRUE(editor_.Save("您好", "问候", false));
  EXPECT_TRUE(editor_.Save("您好", "自己打的", true));
  ASSERT_EQ(sent_.requests.size(), 4u);
  EXPECT_EQ(sent_.requests[2].command, kCommandSaveQuickMsg);
  EXPECT_EQ(sent_.requests[2].body.BODY, AddCommonMessageBody(QuickAgent(), "您好", false, 12));
  EXPECT_EQ(sent_.requests[3].body.BODY, AddCommonMessageBody(QuickAgent(), "您好", true, std::nullopt));
  EXPECT_EQ(sent_.requests[3].body.BODY.find("ctid"), std::string::npos);
}

TEST_F(QuickMsgEditorTest, AddAnswersTellTheAgentAndReloadOnlyOnSuccess) {
  editor_.OnNetworkMessage(*Answer(kCommandSaveQuickMsg, 0, nullptr));
  EXPECT_EQ(view_.cleared, 1);
  EXPECT_EQ(reloads_, 1);
  const std::string why = "内容重复";
  editor_.OnNetworkMessage(*Answer(kCommandSaveQuickMsg, 1, &why));
  editor_.OnNetworkMessage(*Answer(kCommandSaveQuickMsg, 1, nullptr));
  editor_.OnNetworkMessage(*Answer(kCommandGetQuickMessage, 0, nullptr));
  EXPECT_EQ(view_.cleared, 1);
  EXPECT_EQ(reloads_, 1);
  EXPECT_EQ(BoxTexts(boxes_), (std::vector<std::string>{"提示|新增成功", "提示|内容重复", "提示|添加常用语失败"}));
}

// ---- the call-back ---------------------------------------------------------

struct AnswerCase {
  const char* name;
  std::uint8_t result;
  const char* body;  // null: no Msg
  std::string status;
  std::int32_t code;
  std::string box;
};

class CallBackAnswerTest : public testing::TestWithParam<AnswerCase> {};

TEST_P(CallBackAnswerTest, StatusCodeAndBox) {
  const AnswerCase& c = GetParam();
  const std::string body = c.body ? c.body : "";
  const CallBackOutcome outcome = ReadCallBackAnswer(c.result, c.body ? &body : nullptr);
  EXPECT_EQ(outcome.status, c.status);
  EXPECT_EQ(outcome.code, c.code);
  EXPECT_EQ(outcome.box, c.box);
}

const AnswerCase kAnswerCases[] = {
    {"Succeeded", 0, "2", "呼叫成功 状态码2", 2, "呼叫成功，请等待回拨"},
    {"TooOftenByAddress", 0, "5", "网民呼叫次数超出限制(ip) 状态码5", 5, "呼叫频繁，请稍后在试"},
    {"TooOftenByNumber", 0, "6", "网民呼叫次数超出限制(号码) 状态码6", 6, "呼叫频繁，请稍后在试"},
    {"LastTableCode", 0, "14", "出入呼叫限制失败 状态码14", 14, "暂时无法拨通，请稍后再试"},
    {"UnknownCode", 0, "99", "呼叫失败，状态码99", 99, "暂时无法拨通，请稍后再试"},
    {"Failed", 1, "2", "呼叫失败", 0, "暂时无法拨通，请稍后再试"},
    {"NoMsg", 0, nullptr, "呼叫失败 MSG=NULL", 0, "暂时无法拨通，请稍后再试"},
    {"NotANumber", 0, "2abc", "呼叫失败，状态码0", 0, "暂时无法拨通，请稍后再试"},
    {"OutOfRange", 0, "4294967298", "呼叫失败，状态码0", 0, "暂时无法拨通，请稍后再试"},
    {"Empty", 0, "", "呼叫失败，状态码0", 0, "暂时无法拨通，请稍后再试"},
    {"LineEnd", 0, "2\n", "呼叫成功 状态码2", 2, "呼叫成功，请等待回拨"},
};

INSTANTIATE_TEST_SUITE_P(Cases, CallBackAnswerTest, testing::ValuesIn(kAnswerCases),
                         [](const testing::TestParamInfo<AnswerCase>& info) { return std::string(info.param.name); });

TEST(CallBackTest, OnlyANumberTheLinkingWouldMarkIsCalled) {
  for (const char* good : {"13812345678", "15000000000", "19999999999"}) EXPECT_TRUE(IsCallableNumber(good)) << good;
  for (const char* bad :
       {"1381234567", "138123456789", "12812345678", "1381234567x", "[B]13812345", "<b>13812345678</b>", ""}) {
    EXPECT_FALSE(IsCallableNumber(bad)) << bad;
  }
}

TEST(CallBackTest, CallSendsTheRequestOrTellsTheAgentWithoutOne) {
  RequestRecorder sent;
  MessageBoxRecorder boxes;
  PhoneCallBack callBack(sent.Sender(), QuickAgent);
  EXPECT_EQ(callBack.CallPhone("<a href=x>13812345678</a>"), 0);
  EXPECT_TRUE(sent.requests.empty());
  const std::int64_t id = callBack.CallPhone("13812345678");
  ASSERT_EQ(sent.requests.size(), 1u);
  EXPECT_EQ(sent.requests[0].id, id);
  EXPECT_EQ(sent.requests[0].command, kCommandCallPhone);
  EXPECT_EQ(sent.requests[0].body.BODY, CallBackBody(QuickAgent(), "13812345678"));

  const std::string six = "6";
  callBack.OnAnswer(*Answer(kCommandCallPhone, 0, &six));
  EXPECT_EQ(BoxTexts(boxes), (std::vector<std::string>{"提示|暂时无法拨通，请稍后再试", "提示|呼叫频繁，请稍后在试"}));
}

TEST(CallBackTest, LogTextsWriteTheWholeMessageId) {
  constexpr std::int64_t kId = 0x123456789LL;
  EXPECT_EQ(CallingLogText("13812345678", kId), "正在拨打电话13812345678 MESSAGE_ID=4886718345");
  const CallBackOutcome outcome = ReadCallBackAnswer(3, nullptr);
  EXPECT_EQ(CallBackLogText(outcome, 3, kId), "呼叫失败 RESULT=3 MESSAGE_ID=4886718345");
}

// ---- the emoticon grid -----------------------------------------------------

TEST(FaceGridTest, HitTestClampsToTheGridAndIgnoresCellsWithoutAFace) {
  struct Case {
    int x, y, faces, index;
  };
  for (const Case& c :
       {Case{0, 0, 12, 0}, Case{35, 35, 12, 0}, Case{36, 0, 12, 1}, Case{5 * 36, 36, 12, kNoFace}, Case{36, 36, 12, 11},
        Case{360, 0, 50, 9}, Case{0, 180, 50, 40}, Case{360, 180, 50, 49}, Case{360, 0, 12, 9}, Case{360, 180, 60, 49},
        Case{361, 0, 50, kNoFace}, Case{-1, 0, 50, kNoFace}, Case{0, 0, 0, kNoFace}}) {
    EXPECT_EQ(FaceIndexAt(c.x, c.y, c.faces), c.index) << c.x << "," << c.y << " of " << c.faces;
  }
}

TEST(FaceGridTest, HoverAndTooltipFollowTheFacesUnderThePointer) {
  FaceHover hover;
  std::string tip;
  // Cell 15 of a grid of 12 faces: nothing changes, no tooltip.
  EXPECT_FALSE(hover.OnMove(5 * 36 + 3, 36 + 3, 12));
  EXPECT_FALSE(hover.TakeTipChange(tip));

  // The 36th face, whatever it is called.
  EXPECT_TRUE(hover.OnMove(5 * 36 + 3, 3 * 36 + 3, 50));
  EXPECT_EQ(hover.Hovered(), 35);
  EXPECT_TRUE(hover.TakeTipChange(tip));
  EXPECT_EQ(tip, "红色心");
  EXPECT_FALSE(hover.TakeTipChange(tip));
  EXPECT_FALSE(hover.OnMove(5 * 36 + 30, 3 * 36 + 30, 50));
  EXPECT_FALSE(hover.OnTick(5 * 36 + 30, 3 * 36 + 30));
  EXPECT_TRUE(hover.OnTick(0, 0));
  EXPECT_EQ(hover.Hovered(), kNoFace);
  EXPECT_EQ(hover.Previous(), 35);

  EXPECT_EQ(FaceTooltipName(5), "");
  EXPECT_EQ(FaceTooltipName(49), "赞一个");
  EXPECT_EQ(FaceTooltipName(50), "");
}

TEST(FaceGridTest, FolderListingTakesGifsSortedByName) {
  test::TempDir dir;
  for (const char* name : {"b.gif", "a.GIF", "c.png", "10.gif", "2.gif"}) test::WriteFile(dir.File(name), "x");
  EXPECT_EQ(ListFaceFiles(dir.path()),
            (std::vector<std::string>{dir.File("10.gif"), dir.File("2.gif"), dir.File("a.GIF"), dir.File("b.gif")}));
  EXPECT_TRUE(ListFaceFiles(dir.File("missing")).empty());
}

}  // namespace
}  // namespace kanzo
