// The chat window as the agent uses it, against the chat-server simulator on
// 127.0.0.1: the real main window and chat window of the program, the real
// dispatcher and the simulator's record of the bytes. A visitor's line rings
// (the sound is recorded, not heard) and raises the bubble; its click opens
// the conversation; an answer typed into the input goes out as one chat
// frame; a refused send is shown once however often the server reports it.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <memory>
#include <string>
#include <vector>

#include "chat/chat_dlg.h"
#include "chat/rich_edit.h"
#include "controls/skin_kit.h"
#include "db/db_manager.h"
#include "db/db_test_support.h"
#include "net/network_startup.h"
#include "net/session_id.h"
#include "platform/message_box.h"
#include "platform/sound.h"
#include "protocol/startup_codecs.h"
#include "simulator.h"
#include "support/qt_input.h"
#include "support/qt_pump.h"
#include "support/simulator_login_fixture.h"
#include "support/window_context_fixture.h"
#include "windows/client_vocabulary.h"
#include "workspace/bubble_notify_dlg.h"
#include "workspace/contact_dlg.h"
#include "workspace/login_dlg.h"
#include "workspace/main_dlg.h"
#include "workspace/stored_logins.h"
#include "workspace/window_factories.h"

namespace kanzo {
namespace {

constexpr std::int64_t kReplyDelayMs = 50;
constexpr std::int32_t kVisitor = 3050;
constexpr int kWaitMs = 8000;
// Long enough for a repeated answer to have been read and handled.
constexpr int kSettleMs = 500;

int Count(const QString& text, const QString& needle) { return static_cast<int>(text.count(needle)); }

class ChatWindowE2eTest : public test::SimulatorLoginFixture {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(SimulatorLoginFixture::SetUp());
    windows_.context.factories = &factories_;
    InstallListPaneFactories(factories_);
    InstallChatWindowFactory(factories_);
    ASSERT_NO_FATAL_FAILURE(StartSimulator([](SimOptions& options) { options.service.replyDelayMs = kReplyDelayMs; }));

    // Logged in by the login window, as the agent does.
    login_ = std::make_unique<LoginDlg>(windows_.context);
    login_->show();
    SubmitLogin(*login_, test::kDemoUser, test::kDemoPassword);
    ASSERT_TRUE(test::PumpUntil([&] { return login_->MainWindow() != nullptr; }, kWaitMs)) << "no main window";
    main_ = dynamic_cast<MainDlg*>(login_->MainWindow());
    ASSERT_NE(main_, nullptr);
    chat_ = dynamic_cast<ChatDlg*>(factories_.ApplicationWindow(kChatWindowName, windows_.context));
    ASSERT_NE(chat_, nullptr);
    // The bubble rather than the forced window, and the sound on, as the
    // settings page stores them.
    if (windows_.records.agent.Copy().flickState != kFlickStateBubble) main_->ChangeSetting(kFlickStateChatWindow);
    if (windows_.records.agent.Copy().soundState != kSoundStateOn) main_->ChangeSetting(kSoundStateOff);
    chat_->ChooseSendKey(kCommandSendByEnter);
  }

  void TearDown() override {
    login_.reset();
    factories_.DestroyApplicationWindows();
    SimulatorLoginFixture::TearDown();
  }

  // Chat frames from the client, as the simulator logged them.
  std::vector<std::string> ChatFramesIn() const {
    std::vector<std::string> frames;
    for (const std::string& line : sim_->frameLog().Matching(" command=11 "))
      if (line.find(" RECV ") != std::string::npos) frames.push_back(line);
    return frames;
  }
  std::vector<std::string> Refusals() const {
    std::vector<std::string> frames;
    for (const std::string& line : sim_->frameLog().Matching(" command=11 RESULT=6 "))
      if (line.find(" SEND ") != std::string::npos) frames.push_back(line);
    return frames;
  }

  void TypeAndSend(const QString& text) {
    chat_->Input()->setFocus();
    test::Type(chat_->Input(), text);
    test::Enter(chat_->Input());
  }

  WindowFactories factories_;
  std::unique_ptr<LoginDlg> login_;
  MainDlg* main_ = nullptr;
  ChatDlg* chat_ = nullptr;
};

TEST_F(ChatWindowE2eTest, VisitorLineRingsRaisesTheBubbleAndTheTypedAnswerGoesOutOnce) {
  platform::SoundRecorder sounds;
  ASSERT_FALSE(chat_->isVisible());
  ASSERT_TRUE(sim_->Command("visitor " + std::to_string(kVisitor) + " agent=demo area=上海市").ok);
  ASSERT_TRUE(sim_->Command("say " + std::to_string(kVisitor) + " 你好，电话13812345678").ok);

  ASSERT_TRUE(test::PumpUntil([&] { return chat_->Bubble() && chat_->Bubble()->isVisible(); }, kWaitMs))
      << "no bubble for the line";
  BubbleNotifyDlg* bubble = chat_->Bubble();
  EXPECT_EQ(bubble->TitleText(), QStringLiteral("访客(3050)"));
  EXPECT_EQ(bubble->BodyText(), QStringLiteral("你好，电话13812345678"));
  EXPECT_EQ(bubble->CountText(), QStringLiteral("（1）"));
  const std::vector<std::string> played = sounds.Played();
  ASSERT_EQ(played.size(), 1u);
  EXPECT_TRUE(played[0].ends_with("talkmessage.wav")) << played[0];

  // The bubble's click opens the conversation with the line in it.
  test::Click(bubble, QPoint(10, 10));
  ASSERT_TRUE(chat_->isVisible());
  EXPECT_EQ(chat_->Conversations().SelectedId(), kVisitor);
  EXPECT_TRUE(chat_->Transcript()->toPlainText().contains(QStringLiteral("电话13812345678")));

  // Typed into the input and sent by Enter: one chat frame with the fields
  // and the text as typed, and the agent's own line in the transcript.
  const QString answer = QStringLiteral("好的，马上为您处理");
  TypeAndSend(answer);
  ASSERT_TRUE(test::PumpUntil([&] { return !ChatFramesIn().empty(); }, kWaitMs)) << "the answer never left";
  test::PumpUntil([] { return false; }, kSettleMs);
  const std::vector<std::string> frames = ChatFramesIn();
  ASSERT_EQ(frames.size(), 1u);
  const std::string fields =
      "body=Msg account=10001 FROM=2001 FROM_TYPE=1 TO=3050 TO_TYPE=2 BODY=" + answer.toStdString();
  EXPECT_TRUE(frames[0].ends_with(fields)) << frames[0];
  EXPECT_TRUE(chat_->Input()->toPlainText().isEmpty());
  EXPECT_EQ(Count(chat_->Transcript()->toPlainText(), answer), 1);
  EXPECT_TRUE(chat_->Transcript()->toPlainText().contains(QStringLiteral("李明 (")));

  // The visitor has gone: the server refuses the next line, then reports
  // the same failure twice more. The notice shows and is stored once.
  ASSERT_TRUE(sim_->Command("leave " + std::to_string(kVisitor)).ok);
  TypeAndSend(QStringLiteral("还在吗"));
  ASSERT_TRUE(test::PumpUntil([&] { return Refusals().size() == 1; }, kWaitMs)) << "the send was not refused";
  ASSERT_TRUE(sim_->Command("notice demo cmd=11 result=6 id=last times=2").ok);
  ASSERT_TRUE(test::PumpUntil([&] { return Refusals().size() == 3; }, kWaitMs));
  test::PumpUntil([] { return false; }, kSettleMs);
  const QString notice = QStringLiteral("访客已下线，消息发送失败");
  EXPECT_EQ(Count(chat_->Transcript()->toPlainText(), notice), 1) << chat_->Transcript()->toPlainText().toStdString();
  EXPECT_TRUE(test::PumpUntil(
      [&] { return test::RawCount(DatabasePath(), "talk_message", "body LIKE '%访客已下线，消息发送失败%'") == 1; },
      kWaitMs));
  test::PumpUntil([] { return false; }, kSettleMs);
  EXPECT_EQ(test::RawCount(DatabasePath(), "talk_message", "body LIKE '%访客已下线，消息发送失败%'"), 1);
}

}  // namespace
}  // namespace kanzo
