// What only the chat window and the bubble show: the window's frame and
// controls, keys in the real input, the conversation column's clicks, the
// send-key menu, and the bubble's texts and place. The logic behind them
// has its own tests.
#include "chat/chat_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>

#include "chat/rich_edit.h"
#include "chat/talk_list_box.h"
#include "db/db_access.h"
#include "protocol/commands.h"
#include "support/qt_input.h"
#include "support/qt_pump.h"
#include "support/temp_dir.h"
#include "workspace/bubble_notify_dlg.h"
#include "workspace/shared_workspace.h"

namespace kanzo {
namespace {

constexpr std::int32_t kMe = 900;

using test::Click;
using test::Enter;
using test::Key;
using test::Type;

class ChatDlgTest : public testing::Test {
 protected:
  ChatDlgTest() {
    SetDatabasePath(dir.File(kDatabaseFileName));
    CurrentAgentRecord().Update([](AgentRecord& r) {
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
      SharedContactTable().Enter(std::move(record));
    }
    window = std::make_unique<ChatDlg>();
  }
  ~ChatDlgTest() override {
    window.reset();
    ReleaseSharedWorkspace();
    SetDatabasePath("");
  }

  void ClickRow(int row, QPoint offset = QPoint(80, 20)) {
    TalkListBox* column = window->TalkColumn();
    const QPoint at(offset.x(), row * TalkListBox::kRowHeight + offset.y());
    QMouseEvent move(QEvent::MouseMove, at, column->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(column, &move);
    Click(column, at);
  }

  test::TempDir dir;
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
  BubbleNotifyDlg bubble(SharedContactTable(), [&](std::int32_t id) { opened = id; });
  struct Case {
    std::int32_t unread;
    const char* text;
  };
  for (const Case c : {Case{0, ""}, Case{1, "（1）"}, Case{99, "（99）"}, Case{100, "（99+）"}}) {
    SharedContactTable().Update(5, [&](ContactRecord& r) { r.unread = c.unread; });
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
  auto message = std::make_unique<Message>();
  message->command = kCommandChatMessage;
  auto msg = std::make_unique<Msg>();
  msg->FROM = 5;
  msg->FROM_TYPE = kMemberKindVisitor;
  msg->TO = kMe;
  msg->BODY = "你好[FACE]微笑[/FACE]";
  message->adoptBody(std::move(msg));
  window->Conversations().OnChatMessage(*message);
  ASSERT_NE(window->Bubble(), nullptr);
  EXPECT_EQ(window->Bubble()->TitleText(), QStringLiteral("访客(5)"));
  EXPECT_EQ(window->Bubble()->BodyText(), QStringLiteral("你好微笑"));
  EXPECT_EQ(window->Bubble()->CountText(), QStringLiteral("（1）"));
  EXPECT_TRUE(window->IsTalkListed(5));
}

}  // namespace
}  // namespace kanzo
