// The list panes in the real main window, filled by the chat-server
// simulator playing its default scenario on 127.0.0.1; the screenshots go
// to <build>/screenshots/lists/. What the logic decides is tested with the
// logic; here only what the windows show and do with the pointer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMouseEvent>

#include "controls/segment.h"
#include "controls/skin_kit.h"
#include "db/db_access.h"
#include "db/db_manager.h"
#include "net/network_startup.h"
#include "net/session_id.h"
#include "platform/message_box.h"
#include "protocol/startup_codecs.h"
#include "simulator.h"
#include "support/qt_input.h"
#include "support/qt_pump.h"
#include "support/simulator_login_fixture.h"
#include "support/temp_dir.h"
#include "support/window_context_fixture.h"
#include "windows/client_vocabulary.h"
#include "workspace/contact_dlg.h"
#include "workspace/customer_info_dlg.h"
#include "workspace/login_dlg.h"
#include "workspace/main_dlg.h"
#include "workspace/online_dlg.h"
#include "workspace/session_dlg.h"
#include "workspace/session_list_box.h"
#include "workspace/user_tree_ctrl.h"
#include "workspace/window_factories.h"

namespace kanzo {
namespace {

using test::PumpUntil;

constexpr int kWaitMs = 10000;
// The default scenario leaves two offline messages and two guestbook
// entries for the demo agent, and four visitors on the site.
constexpr std::size_t kWaitingEntries = 4;
constexpr std::size_t kVisitorsAtStart = 4;

QString ShotFolder() {
  const QString folder = QString::fromUtf8(KANZO_BINARY_DIR) + "/screenshots/lists/";
  QDir().mkpath(folder);
  return folder;
}

class ListsWindowTest : public test::SimulatorLoginFixture {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(SimulatorLoginFixture::SetUp());
    windows_.context.factories = &factories_;
    InstallListPaneFactories(factories_);
    ASSERT_NO_FATAL_FAILURE(StartSimulator([&](SimOptions& options) {
      options.scenarioFile = std::string(KANZO_SIM_DATA_DIR) + "/default.scenario";
      options.frameLogPath = dir_.File("frames.log");
    }));
    login_ = std::make_unique<LoginDlg>(windows_.context);
    login_->show();
    SubmitLogin(*login_, test::kDemoUser, test::kDemoPassword);
    ASSERT_TRUE(PumpUntil(
        [&] {
          session_ = Pane<SessionDlg>(kSessionPaneName);
          online_ = Pane<OnlineDlg>(kOnlinePaneName);
          contact_ = Pane<ContactDlg>(kContactPaneName);
          return session_ && online_ && contact_ && session_->Sessions().Size() >= kWaitingEntries &&
                 online_->List()->Visitors().Size() >= kVisitorsAtStart && !contact_->Tree().Groups().empty();
        },
        kWaitMs));
    main_ = dynamic_cast<MainDlg*>(login_->MainWindow());
    ASSERT_NE(main_, nullptr);
  }
  void TearDown() override {
    login_.reset();
    SimulatorLoginFixture::TearDown();
  }

  template <typename Window>
  Window* Pane(const char* name) const {
    return dynamic_cast<Window*>(platform::FindWindow(windows_.router.IdOf(name)));
  }

  WindowFactories factories_;
  std::unique_ptr<LoginDlg> login_;
  MainDlg* main_ = nullptr;
  SessionDlg* session_ = nullptr;
  OnlineDlg* online_ = nullptr;
  ContactDlg* contact_ = nullptr;
};

TEST_F(ListsWindowTest, PanesFillFromTheStartDataAndShowTheirRows) {
  // The visitor pane is hidden and off the tab strip; the others are tabs.
  EXPECT_FALSE(online_->isVisible());
  EXPECT_EQ(main_->Pane(kSessionPaneName), session_);
  EXPECT_EQ(main_->Pane(kContactPaneName), contact_);

  const SessionList& sessions = session_->Sessions();
  ASSERT_GE(sessions.FindIndex(3101), 0);
  EXPECT_EQ(sessions.At(static_cast<std::size_t>(sessions.FindIndex(3101)))->unread, 1);
  EXPECT_GE(sessions.FindIndex(2004), 0);  // a colleague's offline message
  EXPECT_GE(sessions.FindIndex(3102), 0);
  EXPECT_GE(sessions.FindIndex(3103), 0);

  // The unread badge stands at the row's lower right: mostly red there.
  SessionListBox* list = session_->List();
  const QImage shown = list->grab().toImage();
  const int badgeRow = sessions.FindIndex(3101) - list->TopIndex();
  // Beside the count's digit, inside the circle (right-35..right-5, bottom-24..bottom-5).
  const QColor badge = shown.pixelColor(list->width() - 11, (badgeRow + 1) * kSessionRowHeight - 14);
  EXPECT_GT(badge.red(), 150) << badge.name().toStdString();
  EXPECT_LT(badge.green(), 120) << badge.name().toStdString();
  ASSERT_TRUE(main_->grab().toImage().save(ShotFolder() + "SessionDlg.png"));

  // The colleague tab: the agent itself is not among its colleagues.
  main_->TabStrip()->Select(1);
  PumpUntil([] { return false; }, 50);
  for (const ColleagueGroup& group : contact_->Tree().Groups())
    for (const ContactRecord* agent : group.agents) EXPECT_NE(agent->id, windows_.records.agent.AgentId());
  EXPECT_FALSE(contact_->TreeCtrl()->Rows().empty());
  ASSERT_TRUE(main_->grab().toImage().save(ShotFolder() + "ContactDlg.png"));
}

TEST_F(ListsWindowTest, AvatarShowsThePopupBesideTheHoveredRowAndDeletionAsksFirst) {
  SessionListBox* list = session_->List();
  const SessionList& sessions = session_->Sessions();
  const int row = static_cast<int>(sessions.Size()) - 1;
  list->resize(list->width(), kSessionRowHeight * 2);  // scrolled: the row is second on screen
  list->SetTopIndex(row - 1);
  const QPoint avatar(20, kSessionRowHeight + 20);
  test::Mouse(list, QEvent::MouseMove, avatar);
  CustomerInfoDlg* popup = list->Popup();
  ASSERT_NE(popup, nullptr);
  EXPECT_TRUE(popup->isVisible());
  EXPECT_EQ(popup->parentWidget(), main_);
  const ContactRecord* hovered = sessions.At(static_cast<std::size_t>(row));
  EXPECT_EQ(popup->FieldText(kCustomerInfoIdControl), QString::number(hovered->id));
  EXPECT_EQ(popup->pos().y(), list->mapToGlobal(QPoint(0, 0)).y() + kSessionRowHeight);
  EXPECT_EQ(popup->findChild<QLabel*>(QString::number(kCustomerInfoPageControl))->textFormat(), Qt::PlainText);
  ASSERT_TRUE(popup->grab().toImage().save(ShotFolder() + "CustomerInfoDlg.png"));

  // Below the last row is nowhere: nothing is selected or deleted.
  test::Mouse(list, QEvent::MouseButtonPress, QPoint(20, kSessionRowHeight * 2 + 5));
  EXPECT_EQ(list->SelectedRow(), kNoRow);

  // A guestbook author's row goes after the question; a talking visitor's stays.
  const int author = sessions.FindIndex(3103);
  boxes_.QueueAnswer(platform::MessageBoxResult::Ok);
  list->DeleteSession(author);
  ASSERT_EQ(boxes_.Count(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "强制删除聊天记录将清除?");
  EXPECT_EQ(sessions.FindIndex(3103), -1);

  auto talking = std::make_unique<ContactRecord>();
  talking->id = 3999;
  talking->kind = kContactKindVisitor;
  talking->state = kVisitorStateTalking;
  windows_.records.contacts.Enter(std::move(talking));
  session_->AddSession(3999);
  list->DeleteSession(sessions.FindIndex(3999));
  ASSERT_EQ(boxes_.Count(), 2u);
  EXPECT_EQ(boxes_.Boxes()[1].text, "交谈中不可删除!");
  EXPECT_GE(sessions.FindIndex(3999), 0);
}

}  // namespace
}  // namespace kanzo
