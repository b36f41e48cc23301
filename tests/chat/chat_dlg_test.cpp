// What only the chat window and the bubble show: the window's frame and
// controls, keys in the real input, the conversation column's clicks, the
// send-key menu, and the bubble's texts and place. The logic behind them
// has its own tests.
#include "chat/chat_dlg.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>

#include <QTimer>

#include "chat/face_dialog.h"
#include "chat/face_grid.h"
#include "chat/quick_message_tree_ctrl.h"
#include "chat/quick_msg_edit_dlg.h"
#include "chat/quick_requests.h"
#include "chat/rich_edit.h"
#include "chat/talk_list_box.h"
#include "controls/skin_kit.h"
#include "db/db_access.h"
#include "db/db_manager.h"
#include "details/basic_settings.h"
#include "details/user_info_view.h"
#include "net/frame_bytes.h"
#include "net/network_future.h"
#include "net/network_startup.h"
#include "net/test_peer.h"
#include "platform/message_box.h"
#include "protocol/buffer.h"
#include "protocol/commands.h"
#include "protocol/startup_codecs.h"
#include "support/qt_input.h"
#include "support/qt_pump.h"
#include "support/server_messages.h"
#include "support/temp_dir.h"
#include "support/window_context_fixture.h"
#include "windows/client_vocabulary.h"
#include "workspace/bubble_notify_dlg.h"
#include "workspace/json_body.h"

namespace kanzo {
namespace {

constexpr std::int32_t kMe = 900;

using test::Click;
using test::Enter;
using test::Key;
using test::Mouse;
using test::Type;

Json::Value Document(const std::string& text) {
  Json::Value root;
  EXPECT_TRUE(ParseJsonBody(text, &root)) << text;
  return root;
}

class ChatDlgTest : public testing::Test {
 protected:
  ChatDlgTest() {
    SkinKit::SetPictureFolder(KANZO_SOURCE_DIR "/assets/program/");
    SetDatabasePath(dir.File(kDatabaseFileName));
    windows.records.agent.Update([](AgentRecord& r) {
      r.triple = {1, kMe, 1};
      r.realname = "小王";
      r.sendKeyType = static_cast<int>(SendKeyMode::Enter);
    });
    for (std::int32_t id : {5, 6}) {
      auto record = std::make_unique<ContactRecord>();
      record->id = id;
      record->kind = kContactKindVisitor;
      record->name = "访客 " + std::to_string(id);
      record->area = "上海";
      windows.records.contacts.Enter(std::move(record));
    }
    // Requests go to whatever dispatcher the test starts.
    windows.SendThroughDispatcher();
    window = std::make_unique<ChatDlg>(nullptr, windows.context);
  }
  ~ChatDlgTest() override {
    SkinKit::SetPictureFolder("");
    window.reset();
    SetDatabasePath("");
  }

  void Deliver(std::unique_ptr<Message> message) {
    platform::SendPayload(window->Id(), kNetworkMessage, kNetworkEventMessage, std::move(message));
  }

  void ClickRow(int row, QPoint offset = QPoint(80, 20)) {
    TalkListBox* column = window->TalkColumn();
    const QPoint at(offset.x(), row * TalkListBox::kRowHeight + offset.y());
    QMouseEvent move(QEvent::MouseMove, at, column->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(column, &move);
    Click(column, at);
  }

  test::TempDir dir;
  test::TestWindowContext windows;
  std::unique_ptr<ChatDlg> window;
};

TEST_F(ChatDlgTest, FrameAndControls) {
  EXPECT_EQ(window->windowTitle(), QStringLiteral("聊天窗口"));
  EXPECT_EQ(window->size(), QSize(745, 542));
  EXPECT_EQ(window->minimumSize(), QSize(740, 510));
  EXPECT_FALSE(window->isVisible());
  for (int id : {kChatFaceButtonId, kChatFontButtonId, kChatQuickButtonId, kChatCloseButtonId, kChatSendButtonId,
                 kChatSendKeyButtonId, kChatRefreshButtonId, kChatAddButtonId}) {
    ASSERT_NE(window->Control(id), nullptr) << id;
    EXPECT_FALSE(window->Control(id)->isHidden()) << id;
  }
  EXPECT_TRUE(window->Control(kChatHistoryButtonId)->isHidden());
  EXPECT_TRUE(window->Transcript()->isReadOnly());

  // Stretching keeps the column, the buttons and the right-hand column at
  // their edges.
  window->show();
  window->resize(1000, 700);
  ASSERT_TRUE(test::PumpUntil([&] { return window->TalkColumn()->height() == 700; }));
  const QRect send = window->Control(kChatSendButtonId)->geometry();
  EXPECT_EQ(window->TalkColumn()->height(), 700);
  EXPECT_EQ(window->Transcript()->width(), 1000 - 150 - 200);
  EXPECT_EQ(send.bottom(), 700 - 34 + 26 - 1);
  EXPECT_EQ(window->QuickTreeArea()->geometry().right(), 999);
  EXPECT_EQ(window->QuickTreeArea()->geometry().bottom(), 699);
}

TEST_F(ChatDlgTest, EscapeAndCloseOnlyHide) {
  window->OpenConversation(5);
  ASSERT_TRUE(window->isVisible());
  Key(window.get(), Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
  window->OpenConversation(5);
  window->close();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->Conversations().SelectedId(), 5);
}

TEST_F(ChatDlgTest, TypedLineIsSentByTheChosenKey) {
  window->OpenConversation(5);
  EXPECT_EQ(window->TitleText(), QStringLiteral("与（访客 5）交谈中"));
  window->Input()->setFocus();
  Type(window->Input(), QStringLiteral("hello"));
  Enter(window->Input());
  EXPECT_TRUE(window->Input()->toPlainText().isEmpty());
  EXPECT_TRUE(window->Transcript()->toPlainText().contains(QStringLiteral("小王 (")));
  EXPECT_TRUE(window->Transcript()->toPlainText().contains(QStringLiteral("hello")));
  EXPECT_EQ(window->Conversations().Store().Length(5), 1u);

  // Ctrl+Enter chosen from the menu: Enter breaks the line instead.
  std::unique_ptr<QMenu> menu = window->BuildSendKeyMenu();
  ASSERT_EQ(menu->actions().size(), 2);
  EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("按Enter键发送消息"));
  EXPECT_TRUE(menu->actions()[0]->isChecked());
  EXPECT_EQ(menu->actions()[1]->text(), QStringLiteral("按Ctrl+Enter组合键发送消息"));
  window->ChooseSendKey(kCommandSendByCtrlEnter);
  EXPECT_TRUE(window->BuildSendKeyMenu()->actions()[1]->isChecked());
  Type(window->Input(), QStringLiteral("two"));
  Enter(window->Input());
  EXPECT_EQ(window->Conversations().Store().Length(5), 1u);
  Enter(window->Input(), Qt::ControlModifier);
  EXPECT_EQ(window->Conversations().Store().Length(5), 2u);
}

TEST_F(ChatDlgTest, ColumnClicksSwitchAndCloseConversations) {
  window->OpenConversation(5);
  window->OpenConversation(6);
  ClickRow(0);
  EXPECT_EQ(window->Conversations().SelectedId(), 5);
  EXPECT_EQ(window->TitleText(), QStringLiteral("与（访客 5）交谈中"));
  // The close button of the first row, then of the last.
  ClickRow(0, TalkListBox::CloseRect(0).center());
  EXPECT_EQ(window->Conversations().SelectedId(), 6);
  EXPECT_TRUE(window->isVisible());
  ClickRow(0, TalkListBox::CloseRect(0).center());
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(window->IsTalkListed(6));
}

TEST_F(ChatDlgTest, BubbleShowsCountsAndOpensTheConversation) {
  std::int32_t opened = 0;
  BubbleNotifyDlg bubble(windows.records.contacts, [&](std::int32_t id) { opened = id; });
  struct Case {
    std::int32_t unread;
    const char* text;
  };
  for (const Case c : {Case{0, ""}, Case{1, "（1）"}, Case{99, "（99）"}, Case{100, "（99+）"}}) {
    windows.records.contacts.Update(5, [&](ContactRecord& r) { r.unread = c.unread; });
    bubble.Show(5, false, "访客(5)", "hi");
    EXPECT_EQ(bubble.CountText(), QString::fromUtf8(c.text));
  }
  bubble.Show(77, true, "访客(77)", "from nobody known");  // the old count must not stay
  EXPECT_TRUE(bubble.CountText().isEmpty());
  EXPECT_EQ(bubble.TitleText(), QStringLiteral("访客(77)"));
  EXPECT_TRUE(bubble.isVisible());

  const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_EQ(bubble.RestingGeometry().right(), work.right() - 20);
  EXPECT_EQ(bubble.RestingGeometry().bottom(), work.bottom() - 20);
  EXPECT_TRUE(test::PumpUntil([&] { return bubble.pos() == bubble.RestingGeometry().topLeft(); }));

  Click(&bubble, QPoint(10, 10));
  EXPECT_EQ(opened, 0);  // unknown: the click only hides
  bubble.Show(5, true, "访客(5)", "hi");
  Click(&bubble, QPoint(10, 10));
  EXPECT_EQ(opened, 5);
  EXPECT_TRUE(test::PumpUntil([&] { return !bubble.isVisible(); }));
}

TEST_F(ChatDlgTest, HiddenWindowRaisesTheBubbleForALine) {
  window->Conversations().OnChatMessage(
      *test::Notice(kCommandChatMessage, "你好[FACE]微笑[/FACE]", 5, kMemberKindVisitor, kMe));
  ASSERT_NE(window->Bubble(), nullptr);
  EXPECT_EQ(window->Bubble()->TitleText(), QStringLiteral("访客(5)"));
  EXPECT_EQ(window->Bubble()->BodyText(), QStringLiteral("你好微笑"));
  EXPECT_EQ(window->Bubble()->CountText(), QStringLiteral("（1）"));
  EXPECT_TRUE(window->IsTalkListed(5));
}

TEST_F(ChatDlgTest, FacePickerSitsOnTheFaceButtonAndPutsThePickedFaceInTheInput) {
  window->OpenConversation(5);
  QWidget* faceButton = window->Control(kChatFaceButtonId);
  static_cast<QAbstractButton*>(faceButton)->click();
  CFaceDialog* picker = window->FacePicker();
  ASSERT_NE(picker, nullptr);
  ASSERT_TRUE(picker->isVisible());
  ASSERT_GT(picker->FaceCount(), 0);
  const QPoint buttonTop = faceButton->mapToGlobal(QPoint(0, 0));
  EXPECT_EQ(picker->geometry().left(), buttonTop.x());
  EXPECT_EQ(picker->geometry().bottom() + 1, buttonTop.y());

  window->Input()->ReplaceWithPlainText("hi");
  const QPoint firstFace(kFaceCellSize / 2, kFaceCellSize / 2);
  Mouse(picker, QEvent::MouseMove, firstFace);
  Mouse(picker, QEvent::MouseButtonPress, firstFace);
  Mouse(picker, QEvent::MouseButtonRelease, firstFace);
  EXPECT_FALSE(picker->isVisible());
  const std::string wire = window->Input()->ReadWireText();
  EXPECT_EQ(wire.rfind("hi[FACE]", 0), 0u) << wire;

  // Made once; a press anywhere else (the agent clicks into the window)
  // hides it, as does Escape.
  static_cast<QAbstractButton*>(faceButton)->click();
  EXPECT_EQ(window->FacePicker(), picker);
  ASSERT_TRUE(picker->isVisible());
  Mouse(picker, QEvent::MouseButtonPress, QPoint(-20, kFacePickerHeight + 40));
  EXPECT_FALSE(picker->isVisible());
  picker->ShowAbove(faceButton);
  Key(picker, Qt::Key_Escape);
  EXPECT_FALSE(picker->isVisible());
  // Another window taking the activation hides it too.
  picker->ShowAbove(faceButton);
  QWidget other;
  other.show();
  QApplication::setActiveWindow(&other);
  EXPECT_TRUE(test::PumpUntil([&] { return !picker->isVisible(); }, 500));
  EXPECT_EQ(window->Input()->ReadWireText(), wire);
}

TEST_F(ChatDlgTest, StockRepliesFillTheTreeAndTheMenuAndReplaceTheDraft) {
  window->show();
  window->LoadQuickMessage(Document(
      R"({"common":{"问候":[{"content":"您好！[@/etc/x.gif]","cmid":1}],"价格":[]},"quick":["好的",3,"R&D 稍后回复"]})"));
  QuickMessageTreeCtrl* tree = window->QuickTree();
  EXPECT_EQ(tree->parentWidget(), window->QuickTreeArea());
  EXPECT_EQ(tree->geometry(), window->QuickTreeArea()->rect());
  ASSERT_EQ(tree->VisibleRowCount(), 2);
  EXPECT_EQ(tree->RowText(0), "价格(0)");
  EXPECT_EQ(tree->RowText(1), "问候(1)");

  // A double click on a message replaces the draft with its text, which
  // stays text.
  window->Input()->ReplaceWithPlainText("draft");
  Mouse(tree, QEvent::MouseButtonPress, tree->GlyphRect(1).center());
  ASSERT_EQ(tree->VisibleRowCount(), 3);
  Mouse(tree, QEvent::MouseButtonPress, tree->RowRect(2).center());
  Mouse(tree, QEvent::MouseButtonDblClick, tree->RowRect(2).center());
  EXPECT_EQ(window->Input()->toPlainText(), QStringLiteral("您好！[@/etc/x.gif]"));

  // The menu opens just below its button, lists the texts as written, and
  // the chosen one replaces the input.
  QWidget* quickButton = window->Control(kChatQuickButtonId);
  QPoint menuAt;
  QStringList entries;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    menuAt = menu->pos();
    for (QAction* action : menu->actions()) entries << action->text();
    menu->setActiveAction(menu->actions().at(1));
    Key(menu, Qt::Key_Return);
  });
  static_cast<QAbstractButton*>(quickButton)->click();
  EXPECT_EQ(menuAt, quickButton->mapToGlobal(QPoint(0, quickButton->height())));
  EXPECT_EQ(entries, (QStringList{QStringLiteral("好的"), QStringLiteral("R&&D 稍后回复")}));
  EXPECT_EQ(window->Input()->toPlainText(), QStringLiteral("R&D 稍后回复"));
  window->ChooseQuickMessage(kFirstQuickMenuCommand + 2);  // no third text: nothing changes
  EXPECT_EQ(window->Input()->toPlainText(), QStringLiteral("R&D 稍后回复"));

  // The add button opens the one editor, application-modal.
  static_cast<QAbstractButton*>(window->Control(kChatAddButtonId))->click();
  QuickMsgEditDlg* editor = QuickMsgEditDlg::Shared(nullptr, windows.context);
  EXPECT_TRUE(editor->isVisible());
  EXPECT_EQ(editor->windowModality(), Qt::ApplicationModal);
  editor->hide();

  // A later document with only "quick" leaves the tree as it was.
  window->LoadQuickMessage(Document(R"({"quick":["x"]})"));
  EXPECT_EQ(tree->VisibleRowCount(), 3);
  ASSERT_EQ(window->BuildQuickMenu()->actions().size(), 1);
}

TEST_F(ChatDlgTest, ForcedPopupSettingShowsTheWindowForTheNextLine) {
  ASSERT_TRUE(DBManager::Init());
  ASSERT_TRUE(DBManager::EnsureSetting(kMe));
  BasicSettings settings(windows.records.agent);
  settings.Load();
  ASSERT_TRUE(settings.Click(kForceWindowAlertId).handled);
  ASSERT_FALSE(window->isVisible());
  Deliver(test::Notice(kCommandChatMessage, "在吗", 5, kMemberKindVisitor, kMe));
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->Conversations().SelectedId(), 5);
  EXPECT_TRUE(window->Bubble() == nullptr || !window->Bubble()->isVisible());
}

TEST_F(ChatDlgTest, VisitorCardFollowsTheConversationAndItsDetails) {
  UserInfoView* card = window->VisitorCard();
  EXPECT_EQ(card->parentWidget(), window->VisitorCardArea());
  // Only the frame, around the window's fill, until a conversation opens.
  EXPECT_FALSE(card->HasRecord());
  const QImage empty = card->grab().toImage();
  EXPECT_EQ(empty.pixelColor(0, 0), QColor(0xCE, 0xCE, 0xCE));
  EXPECT_EQ(empty.pixelColor(empty.width() / 2, 12), QColor(0xFA, 0xFA, 0xFA));

  window->OpenConversation(5);
  EXPECT_EQ(card->geometry(), window->VisitorCardArea()->rect());
  ASSERT_TRUE(card->HasRecord());
  EXPECT_TRUE(card->ShownLine(kCardName).contains(QStringLiteral("访客 5")));
  window->OpenConversation(6);
  EXPECT_TRUE(card->ShownLine(kCardName).contains(QStringLiteral("访客 6")));

  // The details answer of the shown visitor redraws the card.
  Deliver(test::Answer(kCommandRefreshMemberInfo, 0, R"({"B7":6,"B3":"杭州","B11":"<b>价格</b>"})"));
  EXPECT_TRUE(card->ShownLine(kCardArea).contains(QStringLiteral("杭州")));
  EXPECT_TRUE(card->ShownLine(kCardTitle).contains(QStringLiteral("<b>价格")));
}

// The requests of the window's buttons and links, read from the wire.
class ChatDlgWireTest : public ChatDlgTest {
 protected:
  void SetUp() override {
    RegisterStartupCodecs();
    windows.records.agent.Update([](AgentRecord& r) {
      r.userName = "xiaowang";
      r.password = "pw";
    });
    ASSERT_TRUE(peer.listening());
    ASSERT_TRUE(StartNetwork("127.0.0.1", peer.port()));
    ASSERT_TRUE(peer.Accept());
  }
  void TearDown() override { StopNetwork(); }

  std::unique_ptr<Message> NextRequest() {
    std::string payload;
    if (!peer.ReadFrame(&payload)) return nullptr;
    Buffer buffer;
    buffer.write(payload.data(), static_cast<std::int32_t>(payload.size()));
    return readMessage(buffer);
  }

  test::TestPeer peer;
};

TEST_F(ChatDlgWireTest, RefreshAsksForTheListsWithTheAgentsCredentials) {
  static_cast<QAbstractButton*>(window->Control(kChatRefreshButtonId))->click();
  const std::unique_ptr<Message> request = NextRequest();
  ASSERT_NE(request, nullptr);
  EXPECT_EQ(request->command, kCommandGetQuickMessage);
  const Msg* body = request->bodyAs<Msg>();
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(body->BODY, "{\"password\":\"pw\",\"uid\":900,\"username\":\"xiaowang\"}\n");
  EXPECT_EQ(body->account, 1);
  EXPECT_EQ(body->FROM, kMe);
}

TEST_F(ChatDlgWireTest, ConfirmedLinkCallsBackAndTheAnswerIsShown) {
  platform::MessageBoxRecorder boxes;
  const std::string other = "13812345678";
  platform::SendPayload(window->Id(), kCallPhone, kCallPhoneRequest + 1, other);
  const std::string number = "13912345678";
  platform::SendPayload(window->Id(), kCallPhone, kCallPhoneRequest, number);
  const std::unique_ptr<Message> request = NextRequest();
  ASSERT_NE(request, nullptr);
  EXPECT_EQ(request->command, kCommandCallPhone);
  ASSERT_NE(request->bodyAs<Msg>(), nullptr);
  EXPECT_EQ(request->bodyAs<Msg>()->BODY, "{\"password\":\"pw\",\"to\":\"13912345678\",\"username\":\"xiaowang\"}\n");
  EXPECT_TRUE(peer.Silent(200));  // the other first parameter asked for nothing
  EXPECT_EQ(boxes.Count(), 0u);

  Deliver(test::Answer(kCommandCallPhone, 0, "2"));
  Deliver(test::Answer(kCommandCallPhone, 0, "6"));
  Deliver(test::Answer(kCommandCallPhone, 1, "2"));
  ASSERT_EQ(boxes.Count(), 3u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "提示");
  EXPECT_EQ(boxes.Boxes()[0].text, "呼叫成功，请等待回拨");
  EXPECT_EQ(boxes.Boxes()[1].text, "呼叫频繁，请稍后在试");
  EXPECT_EQ(boxes.Boxes()[2].text, "暂时无法拨通，请稍后再试");
}

}  // namespace
}  // namespace kanzo
