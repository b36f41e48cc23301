// The settings window, the visitor card and the agent's card on offscreen
// Qt: what they show (plain text only), the clipboard, the opening of
// addresses, and where their clicks go. The logic behind them has its own
// tests.
#include <gtest/gtest.h>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTabBar>
#include <QUrl>

#include <memory>
#include <string>
#include <vector>

#include "controls/logo_panel.h"
#include "controls/skin_kit.h"
#include "db/db_manager.h"
#include "db/db_test_support.h"
#include "details/setting_dlg.h"
#include "details/user_info_dlg.h"
#include "details/user_info_view.h"
#include "net/network_future.h"
#include "platform/message_box.h"
#include "protocol/commands.h"
#include "protocol/msg.h"
#include "support/qt_input.h"
#include "support/qt_pump.h"
#include "support/server_messages.h"
#include "support/stand_in_window.h"
#include "support/window_context_fixture.h"
#include "windows/client_vocabulary.h"
#include "windows/network_vocabulary.h"
#include "windows/window_links.h"

namespace kanzo {

class UrlCatcher : public QObject {
  Q_OBJECT
 public slots:
  void open(const QUrl& url) { urls.push_back(url); }

 public:
  std::vector<QUrl> urls;
};

namespace {

constexpr std::int32_t kSelf = 1001;

using test::Mouse;

QPoint Centre(const CardRect& r) { return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

QString Utf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// A main window that only counts what the settings tell it.
class CountingMainWindow final : public test::StandInWindow<MainWindowLink> {
 public:
  explicit CountingMainWindow(WindowRouter& router) : StandInWindow(router, kMainWindowName) {}
  void RefreshAgentDetails() override { ++refreshed; }
  void SettingsChanged() override { ++settingsChanged; }
  void Quit() override {}
  int refreshed = 0;
  int settingsChanged = 0;
};

class DetailsWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SkinKit::SetPictureFolder(KANZO_SOURCE_DIR "/assets/program/");
    ASSERT_TRUE(DBManager::Init());
    windows.records.agent.Update([](AgentRecord& a) {
      a.userName = "agent1";
      a.password = "secret";
      a.triple = {77, kSelf, 1};
      a.realname = "张三";
      a.sex = "女";
      a.age = "28";
      a.userGroup = "售前";
      a.email = "a@b.example";
      a.remark = "<b>值班</b>";
    });
    ASSERT_TRUE(DBManager::EnsureSetting(kSelf));
  }

  static ContactRecord Visitor() {
    ContactRecord r;
    r.id = 5005;
    r.name = "访客 5005";
    r.area = "上海";
    r.ip = "10.0.0.7";
    r.pageTitle = "<b>x</b>";
    r.currentPage = "https://shop.example/price";
    r.remark = "第一次来";
    return r;
  }

  test::DbFixtureState db;
  test::TestWindowContext windows;
  platform::MessageBoxRecorder boxes;
};

TEST_F(DetailsWindowsTest, VisitorCardShowsPlainTextAndCopiesTheValues) {
  UserInfoView view;
  view.resize(240, 190);
  const ContactRecord r = Visitor();
  view.SetRecord(&r);
  EXPECT_EQ(view.ShownLine(kCardTitle), QString::fromUtf8("标题：<b>x</b>"));

  const VisitorCardLayout card = view.Layout();
  ASSERT_TRUE(card.titleLink && card.sourceLink) << "the copy picture loads from the program's pictures";
  Mouse(view, QEvent::MouseMove, Centre(card.lines[kCardTitle].rect));
  EXPECT_EQ(view.ToolTipText(), QString::fromUtf8("<b>x</b>"));
  Mouse(view, QEvent::MouseMove, Centre(card.lines[kCardSource].rect));
  EXPECT_EQ(view.cursor().shape(), Qt::PointingHandCursor);

  Mouse(view, QEvent::MouseButtonPress, Centre(card.titleLinkRect));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), Utf8(r.pageTitle));
  Mouse(view, QEvent::MouseButtonPress, Centre(card.sourceLinkRect));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), Utf8(r.currentPage));

  // The picture of the card: the frame alone without a record.
  view.SetFill(0xFAFAFA);
  const QString folder = QStringLiteral(KANZO_BINARY_DIR "/screenshots");
  ASSERT_TRUE(QDir().mkpath(folder));
  EXPECT_TRUE(view.grab().save(folder + "/user_info_view.png"));
  view.SetRecord(nullptr);
  const QImage empty = view.grab().toImage();
  EXPECT_EQ(empty.pixelColor(0, 0), QColor(0xCE, 0xCE, 0xCE));
  EXPECT_EQ(empty.pixelColor(120, 60), QColor(0xFA, 0xFA, 0xFA));
}

TEST_F(DetailsWindowsTest, OnlyAWebSourceIsOpened) {
  UrlCatcher catcher;
  for (const char* scheme : {"http", "https", "file"}) QDesktopServices::setUrlHandler(scheme, &catcher, "open");
  UserInfoView view;
  view.resize(240, 190);
  for (const char* page : {"file:///etc/passwd", "", "https://shop.example/price"}) {
    ContactRecord r = Visitor();
    r.currentPage = page;
    view.SetRecord(&r);
    Mouse(view, QEvent::MouseButtonPress, Centre(view.Layout().lines[kCardSource].rect));
  }
  for (const char* scheme : {"http", "https", "file"}) QDesktopServices::unsetUrlHandler(scheme);
  ASSERT_EQ(catcher.urls.size(), 1u);
  EXPECT_EQ(catcher.urls[0], QUrl("https://shop.example/price"));
}

TEST_F(DetailsWindowsTest, AgentCardShowsTheTenFieldsAsPlainText) {
  UserInfoDlg card(nullptr, windows.records.agent);
  EXPECT_EQ(card.Field(kAgentCardUserIdId)->text(), "1001");
  EXPECT_EQ(card.Field(kAgentCardGroupId)->text(), QString::fromUtf8("售前"));
  EXPECT_EQ(card.Field(kAgentCardRemarkId)->text(), QString::fromUtf8("<b>值班</b>"));
  EXPECT_EQ(card.Field(kAgentCardRemarkId)->textFormat(), Qt::PlainText);
  EXPECT_EQ(card.Avatar()->PicturePath(), kAgentCardAvatarPicture);
  windows.records.agent.Update([](AgentRecord& a) { a.realname = "张三丰"; });
  card.FillFromAgentRecord();
  EXPECT_EQ(card.Field(kAgentCardRealnameId)->text(), QString::fromUtf8("张三丰"));
  const QString folder = QStringLiteral(KANZO_BINARY_DIR "/screenshots");
  ASSERT_TRUE(QDir().mkpath(folder));
  EXPECT_TRUE(card.grab().save(folder + "/user_info_dlg.png"));
}

TEST_F(DetailsWindowsTest, SettingsWindowPagesAndWhatTheyTellTheMainWindow) {
  CountingMainWindow mainWindow(windows.router);
  std::vector<std::int64_t> sent;
  windows.context.send = [&sent](Message& m) {
    sent.push_back(m.MESSAGE_ID);
    return 0;
  };
  SettingDlg window(nullptr, windows.context);
  EXPECT_EQ(window.windowTitle(), QString::fromUtf8("设置"));
  ASSERT_EQ(window.Tabs()->count(), 2);
  EXPECT_EQ(window.Tabs()->tabText(0), QString::fromUtf8("基础设置"));
  EXPECT_EQ(window.Tabs()->tabText(1), QString::fromUtf8("个人信息"));
  window.show();
  ASSERT_TRUE(test::PumpUntil([&] { return window.isVisible(); }));
  EXPECT_TRUE(window.BasicPage()->isVisible());
  EXPECT_FALSE(window.SelfPage()->isVisible());
  EXPECT_EQ(windows.router.Find<SettingBasicLink>(kSettingBasicName), window.BasicPage());

  // Radio clicks: the coupled button is checked on the page too, and only
  // the alert choice is news for the main window.
  window.BasicPage()->Radio(kAutoLoginId)->click();
  EXPECT_TRUE(window.BasicPage()->Radio(kRememberPasswordId)->isChecked());
  window.BasicPage()->Radio(kForgetPasswordId)->click();
  EXPECT_TRUE(window.BasicPage()->Radio(kNoAutoLoginId)->isChecked());
  EXPECT_EQ(mainWindow.settingsChanged, 0);
  window.BasicPage()->Radio(kForceWindowAlertId)->click();
  EXPECT_EQ(mainWindow.settingsChanged, 1);
  const QString folder = QStringLiteral(KANZO_BINARY_DIR "/screenshots");
  ASSERT_TRUE(QDir().mkpath(folder));
  EXPECT_TRUE(window.grab().save(folder + "/setting_basic_dlg.png"));

  window.Tabs()->setCurrentIndex(kSettingSelfTab);
  EXPECT_FALSE(window.BasicPage()->isVisible());
  SettingSelfDlg& self = *window.SelfPage();
  EXPECT_TRUE(self.isVisible());
  EXPECT_EQ(self.Edit(kRealnameEditId)->text(), QString::fromUtf8("张三"));
  EXPECT_TRUE(self.Radio(kFemaleRadioId)->isChecked());
  EXPECT_TRUE(window.grab().save(folder + "/setting_self_dlg.png"));

  self.Edit(kRealnameEditId)->setText(QString::fromUtf8("李四"));
  self.Save();
  ASSERT_EQ(sent.size(), 1u);
  // Typed after the save went out: not what the server saved.
  self.Edit(kRealnameEditId)->setText(QString::fromUtf8("王五"));
  platform::SendPayload(self.Id(), kNetworkMessage, kNetworkEventMessage,
                        test::ServerMessage({.command = kCommandSaveAgentInfo, .id = sent[0]}, Msg()));
  EXPECT_EQ(windows.records.agent.Copy().realname, "李四");
  EXPECT_EQ(mainWindow.refreshed, 1);

  // "取消": Cancel keeps the window; OK closes it.
  boxes.QueueAnswer(platform::MessageBoxResult::Cancel);
  self.Cancel();
  EXPECT_TRUE(window.isVisible());
  self.Cancel();
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(self.Edit(kRealnameEditId)->text(), QString::fromUtf8("李四"));
}

}  // namespace
}  // namespace kanzo

#include "details_windows_test.moc"
