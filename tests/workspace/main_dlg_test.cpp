// The main window on offscreen Qt, talking to a chat-server peer on
// 127.0.0.1 through the real dispatcher, with a real database file.
#include "workspace/main_dlg.h"
#include "support/qt_pump.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QUrl>
#include <memory>
#include <string>
#include <vector>

#include "app/kanzo_app.h"
#include "controls/segment.h"
#include "controls/skin_kit.h"
#include "db/db_manager.h"
#include "db/db_test_support.h"
#include "net/frame_bytes.h"
#include "net/network_startup.h"
#include "net/test_peer.h"
#include "net/window_network_future.h"
#include "platform/qt/qt_text.h"
#include "protocol/startup_codecs.h"
#include "support/server_messages.h"
#include "support/window_context_fixture.h"
#include "windows/window_links.h"
#include "workspace/main_texts.h"
#include "workspace/main_workspace.h"
#include "workspace/pane_recorder.h"

namespace kanzo {
namespace {

constexpr std::int32_t kAccount = 77;
constexpr std::int32_t kSelf = 1001;
constexpr std::int32_t kAgentType = 1;
constexpr std::int32_t kColleague = 1002;
constexpr std::int32_t kVisitor = 5005;
constexpr int kQuietMs = 300;

// A list pane as the later parts make it: a widget in the window registry.
class QtPane final : public QWidget, public test::StandInWindow<>, public test::PaneRecorder {
 public:
  QtPane(const std::string& name, QWidget* parent, WindowRouter& router)
      : QWidget(parent), StandInWindow(router, name) {}
  platform::MessageResult OnWindowMessage(std::uint32_t m, platform::WParam w, platform::LParam l) override {
    return Record(m, w, l);
  }
};

// A statistics window that does not enter the router itself.
class QtSignalWindow final : public QWidget, public platform::Window {
 public:
  explicit QtSignalWindow(QWidget* parent) : QWidget(parent, Qt::Window) { ++made; }
  platform::MessageResult OnWindowMessage(std::uint32_t, platform::WParam, platform::LParam) override { return 0; }
  static inline int made = 0;
};

// The agent's card beside the avatar.
class QtAgentCard final : public QWidget, public AgentCardLink {
 public:
  QtAgentCard(QWidget* parent, const Records& records) : QWidget(parent, Qt::Tool), records_(records) {}
  void FillFromAgentRecord() override {
    realname = records_.agent.Copy().realname;
    ++fills;
  }
  std::string realname;
  int fills = 0;

 private:
  const Records& records_;
};

// Takes the addresses the desktop would open.
class UrlRecorder : public QObject {
  Q_OBJECT
 public slots:
  void open(const QUrl& url) { urls.push_back(url); }

 public:
  std::vector<QUrl> urls;
};

using ::kanzo::test::Notice;
using ::kanzo::test::PumpUntil;

class MainDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterStartupCodecs();
    SkinKit::SetPictureFolder(KANZO_SOURCE_DIR "/assets/program/");
    ASSERT_TRUE(DBManager::Init());
    windows.SendThroughDispatcher();
    windows.context.factories = &factories;
    windows.records.agent.Update([](AgentRecord& a) {
      a.userName = "agent";
      a.password = "secret";
      a.realname = "张三";
      a.triple = {kAccount, kSelf, kAgentType};
      a.agentKind = 1;
    });
    ASSERT_TRUE(peer.listening());
    ASSERT_TRUE(StartNetwork("127.0.0.1", peer.port()));
    ASSERT_TRUE(peer.Accept());
  }

  void TearDown() override {
    owner.reset();
    StopNetwork();
  }

  // The main window as the login window makes it.
  MainDlg& Open() {
    owner = std::make_unique<QDialog>();
    main = new MainDlg(owner.get(), windows.context);
    main->ShowState(kPresenceOnline);
    return *main;
  }

  // The next request on the wire.
  std::unique_ptr<Message> NextRequest() {
    std::string payload;
    if (!peer.ReadFrame(&payload)) return nullptr;
    return test::MessageFromBytes(payload);
  }
  std::vector<std::int32_t> StartRequests() {
    std::vector<std::int32_t> commands;
    for (int i = 0; i < 4; ++i) {
      auto m = NextRequest();
      commands.push_back(m ? m->command : -1);
    }
    return commands;
  }

  void Deliver(std::unique_ptr<Message> message) {
    platform::SendPayload(main->Id(), kNetworkMessage, kNetworkEventMessage, std::move(message));
  }

  QAction* Item(QMenu& menu, int command) {
    for (QAction* a : menu.actions())
      if (a->data().toInt() == command) return a;
    return nullptr;
  }

  test::DbFixtureState db;
  test::TestWindowContext windows;
  WindowFactories factories;
  test::TestPeer peer;
  std::unique_ptr<QDialog> owner;
  MainDlg* main = nullptr;
};

TEST_F(MainDlgTest, OpeningRegistersAsksForTheStartDataAndLaysOutTheWindow) {
  MainDlg& w = Open();
  EXPECT_EQ(windows.router.IdOf(kMainWindowName), w.Id());
  for (CommandCode code : {kCommandStartData, kCommandUpdateKFState, kCommandGetOnlineVisitor, kCommandGetQuickMessage,
                           kCommandLoadSessionCount})
    EXPECT_EQ(WindowNetworkFuture::instance().routeOf(code), w.Id()) << code;

  // The requests of the opening, in their order, with the agent's triple.
  std::vector<std::int32_t> commands;
  for (int i = 0; i < 4; ++i) {
    auto m = NextRequest();
    ASSERT_NE(m, nullptr);
    commands.push_back(m->command);
    const Msg* body = m->bodyAs<Msg>();
    ASSERT_NE(body, nullptr);
    const bool triple = m->command != kCommandLoadSessionCount;
    EXPECT_EQ(body->account, triple ? kAccount : 0);
    EXPECT_EQ(body->FROM, triple ? kSelf : 0);
  }
  EXPECT_EQ(commands, (std::vector<std::int32_t>{13, 29, 43, 7}));
  EXPECT_TRUE(peer.Silent(kQuietMs));

  for (std::uint32_t timer : {kTimerOnlineVisitor, kTimerQuickMessage, kTimerSessionCount})
    EXPECT_TRUE(w.Timers().IsRunning(timer)) << timer;

  EXPECT_EQ(w.windowTitle(), QString::fromUtf8("Qimbo"));
  EXPECT_EQ(w.NameText(), QString::fromUtf8("张三"));
  EXPECT_EQ(w.size(), QSize(276, 668));
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(w.pos(), QPoint(screen.width() - w.width() - 20, 100));

  // Two tabs over the list area; "会话" shown, the colleagues hidden, the
  // visitor pane never shown.
  Segment* tabs = w.TabStrip();
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->geometry(), w.Control(kMainListAreaId)->geometry());
  ASSERT_EQ(tabs->Count(), 2);
  EXPECT_EQ(tabs->Label(0), QString::fromUtf8("会话"));
  EXPECT_EQ(tabs->Label(1), QString::fromUtf8("通讯录"));
  EXPECT_EQ(tabs->Selected(), 0);
  EXPECT_EQ(tabs->ItemWindow(0), w.Pane(kSessionPaneName));
  EXPECT_EQ(tabs->ItemWindow(1), w.Pane(kContactPaneName));
  EXPECT_FALSE(w.Pane(kContactPaneName)->isVisibleTo(&w));
  EXPECT_FALSE(w.Pane(kOnlinePaneName)->isVisibleTo(&w));
  const QRect page = tabs->rect().adjusted(2, 21, -4, -2);
  EXPECT_EQ(w.Pane(kSessionPaneName)->geometry(), page);
  tabs->Select(1);
  EXPECT_EQ(w.Pane(kContactPaneName)->geometry(), page);
  EXPECT_TRUE(w.Pane(kContactPaneName)->isVisibleTo(&w));

  // "添加员工" is there but never offered.
  EXPECT_FALSE(w.Control(kMainAddEmployeeButtonId)->isVisibleTo(&w));
  EXPECT_FALSE(w.Control(kMainAddEmployeeButtonId)->isEnabled());

  // Without a setting_info row: sound off, the chat window forced up.
  EXPECT_EQ(w.TrayTip(), QString::fromUtf8("Qimbo:agent( 张三 )\n声音:关闭\n会话消息:任务栏不闪动"));
  EXPECT_FALSE(w.HasTrayIcon()) << "the offscreen platform has no notification area";
}

TEST_F(MainDlgTest, LoggedInElsewhereEndsTheLoginWindowWithoutLogoutOrDatabaseChange) {
  LoginRecord login;
  login.uid = kSelf;
  login.userName = "agent";
  login.state = kPresenceOnline;
  ASSERT_TRUE(DBManager::SaveLogin(login));
  const auto before = test::RawQuery(db.Path(), "SELECT * FROM login_info");
  ASSERT_EQ(before.size(), 1u);

  MainDlg& w = Open();
  StartRequests();
  owner->setResult(-1);
  Deliver(Notice(kCommandUpdateKFState, "4", kSelf, kMemberKindAgent));

  EXPECT_EQ(owner->result(), kLoginResultForcedOffline);
  EXPECT_FALSE(windows.records.agent.IsLoggedIn()) << "start-up then sends no logout and leaves login_info alone";
  EXPECT_EQ(test::RawQuery(db.Path(), "SELECT * FROM login_info"), before);
  EXPECT_FALSE(w.Timers().IsRunning(kTimerSessionCount));
  EXPECT_TRUE(peer.Silent(kQuietMs)) << "nothing at all goes out";
}

TEST_F(MainDlgTest, ColleagueNoticeWith101ReachesTheVisitorPanesSwapped) {
  std::vector<QtPane*> panes;
  for (const char* name : {kOnlinePaneName, kContactPaneName, kSessionPaneName}) {
    factories.Set(name, [name, &panes](QWidget* parent, WindowContext& context) {
      auto* pane = new QtPane(name, parent, context.router);
      panes.push_back(pane);
      return pane;
    });
  }
  auto colleague = std::make_unique<ContactRecord>();
  colleague->id = kColleague;
  colleague->kind = kContactKindAgent;
  colleague->state = 2;
  windows.records.contacts.Enter(std::move(colleague));

  MainDlg& w = Open();
  ASSERT_EQ(panes.size(), 3u);
  EXPECT_EQ(w.Pane(kOnlinePaneName), panes[0]);
  Deliver(Notice(kCommandUpdateKFState, "101", kColleague, kMemberKindAgent, kVisitor, kMemberKindVisitor));

  for (QtPane* pane : {panes[0], panes[2]}) {
    SCOPED_TRACE(pane->name());
    ASSERT_EQ(pane->deliveries.size(), 1u);
    const Msg* copy = pane->deliveries[0].notice.get();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->FROM, kVisitor);
    EXPECT_EQ(copy->FROM_TYPE, kMemberKindVisitor);
    EXPECT_EQ(copy->TO, kColleague);
    EXPECT_EQ(copy->TO_TYPE, kMemberKindAgent);
  }
  EXPECT_TRUE(panes[1]->deliveries.empty());
  EXPECT_EQ(windows.records.contacts.Find(kColleague)->state, 2);
}

TEST_F(MainDlgTest, PresenceMenuTellsTheServerAndTheTrayMenuDoesNot) {
  MainDlg& w = Open();
  StartRequests();

  std::unique_ptr<QMenu> presence = w.BuildPresenceMenu();
  ASSERT_EQ(presence->actions().size(), 2);
  EXPECT_EQ(presence->actions()[0]->text(), QString::fromUtf8("在线"));
  EXPECT_EQ(presence->actions()[1]->text(), QString::fromUtf8("离开"));
  EXPECT_FALSE(presence->actions()[1]->icon().isNull());
  Item(*presence, kPresenceMenuAway)->trigger();

  auto sent = NextRequest();
  ASSERT_NE(sent, nullptr);
  EXPECT_EQ(sent->command, kCommandUpdateKFState);
  ASSERT_NE(sent->bodyAs<Msg>(), nullptr);
  EXPECT_EQ(sent->bodyAs<Msg>()->BODY, "3");
  EXPECT_EQ(sent->bodyAs<Msg>()->FROM, kSelf);
  EXPECT_EQ(w.ShownPresence(), kPresenceAway);
  EXPECT_EQ(w.StateButtonState(), 4);
  EXPECT_EQ(w.AgentPicture(), "Images/big_outline_logo.png");
  EXPECT_TRUE(w.TrayShowsAway());

  std::unique_ptr<QMenu> tray = w.BuildTrayMenu();
  std::vector<QString> texts;
  for (QAction* a : tray->actions()) texts.push_back(a->isSeparator() ? QString("-") : a->text());
  EXPECT_EQ(texts, (std::vector<QString>{QString::fromUtf8("在线"), QString::fromUtf8("离开"), "-",
                                         QString::fromUtf8("关闭所有声音"), "-", QString::fromUtf8("打开主面板"), "-",
                                         QString::fromUtf8("退出")}));
  EXPECT_FALSE(Item(*tray, kCommandTrayOnline)->isChecked());
  EXPECT_TRUE(Item(*tray, kCommandTrayAway)->isChecked());
  EXPECT_TRUE(Item(*tray, kCommandTraySoundOff)->isChecked());

  Item(*tray, kCommandTrayOnline)->trigger();
  EXPECT_EQ(w.ShownPresence(), kPresenceOnline);
  EXPECT_EQ(w.StateButtonState(), 0);
  EXPECT_EQ(w.AgentPicture(), "Images/big_def_logo.png");
  EXPECT_FALSE(w.TrayShowsAway());
  w.OnCommand(kCommandTrayAway);
  EXPECT_EQ(w.ShownPresence(), kPresenceAway);
  EXPECT_TRUE(peer.Silent(kQuietMs)) << "the tray menu does not tell the server";

  // A value the table does not know shows online without a new picture.
  w.ShowState(9);
  EXPECT_EQ(w.ShownPresence(), kPresenceOnline);
  EXPECT_EQ(w.StateButtonState(), 0);
  EXPECT_EQ(w.AgentPicture(), "Images/big_outline_logo.png");
  w.ShowState(kPresenceOffline);
  EXPECT_EQ(w.StateButtonState(), 2);
  EXPECT_EQ(w.AgentPicture(), "Images/big_offline_logo.png");
}

TEST_F(MainDlgTest, CountsFromTheServerAreShownByAgentKind) {
  MainDlg& w = Open();
  StartRequests();
  const auto serverSends = [&](const std::string& body) {
    Msg msg;
    msg.BODY = body;
    Message answer;
    answer.command = kCommandLoadSessionCount;
    answer.setBody(&msg);
    ASSERT_TRUE(peer.Send(test::MessageFrame(answer)));
  };

  serverSends(R"({"total_chat":12,"my_chat":3})");
  EXPECT_TRUE(PumpUntil([&] { return w.CountsText() == QString::fromUtf8("总会话：12 我的会话：3"); }))
      << w.CountsText().toStdString();

  windows.records.agent.Update([](AgentRecord& a) { a.agentKind = 2; });
  serverSends(R"({"total_chat":12,"my_chat":4})");
  EXPECT_TRUE(PumpUntil([&] { return w.CountsText() == QString::fromUtf8("我的会话：4"); }))
      << w.CountsText().toStdString();

  serverSends(R"({"total_chat":"12","my_chat":"5"})");
  EXPECT_TRUE(PumpUntil([&] { return w.CountsText() == QString::fromUtf8("我的会话：0"); }))
      << w.CountsText().toStdString();
}

TEST_F(MainDlgTest, SoundAndAlertTogglesAreWrittenToTheDatabase) {
  ASSERT_TRUE(DBManager::EnsureSetting(kSelf));
  MainDlg& w = Open();
  StartRequests();
  const auto stored = [&] {
    return test::RawQuery(db.Path(), "SELECT flick_state, sound_state FROM setting_info WHERE uid=1001").at(0);
  };
  EXPECT_EQ(w.TrayTip(), QString::fromUtf8("Qimbo:agent( 张三 )\n声音:开启\n会话消息:任务栏闪动"));

  std::unique_ptr<QMenu> tray = w.BuildTrayMenu();
  EXPECT_FALSE(Item(*tray, kCommandTraySoundOff)->isChecked());
  Item(*tray, kCommandTraySoundOff)->trigger();
  EXPECT_EQ(stored(), (std::vector<std::string>{"3", "2"}));
  EXPECT_EQ(windows.records.agent.Copy().soundState, kSoundStateOff);
  EXPECT_EQ(w.TrayTip(), QString::fromUtf8("Qimbo:agent( 张三 )\n声音:关闭\n会话消息:任务栏闪动"));

  w.ChangeSetting(kFlickStateBubble);
  EXPECT_EQ(stored(), (std::vector<std::string>{"4", "2"}));
  EXPECT_EQ(w.TrayTip(), QString::fromUtf8("Qimbo:agent( 张三 )\n声音:关闭\n会话消息:任务栏不闪动"));

  w.OnCommand(kCommandTraySoundOff);
  EXPECT_EQ(stored(), (std::vector<std::string>{"4", "1"}));
  EXPECT_TRUE(peer.Silent(kQuietMs)) << "settings are local";
}

TEST_F(MainDlgTest, ChatLinesPlayTheSoundOnlyWhenItIsOn) {
  MainDlg& w = Open();
  StartRequests();
  const auto line = [&](platform::WParam flag) {
    platform::SendPayload(w.Id(), kChatLine, flag,
                          std::make_unique<ChatLineNotice>(ChatLineNotice{0, kMemberKindVisitor, kVisitor, "你好"}));
  };
  line(0);  // sound_state 2 from the missing settings row
  EXPECT_EQ(w.SoundsPlayed(), 0);
  w.ChangeSetting(kSoundStateOff);
  line(0);
  EXPECT_EQ(w.SoundsPlayed(), 1);
  line(1);
  EXPECT_EQ(w.SoundsPlayed(), 1);
  platform::SendWindowMessage(w.Id(), kChatLineMessage, 0, 0);
  EXPECT_EQ(w.SoundsPlayed(), 2);
}

TEST_F(MainDlgTest, BadBodiesChangeNothingAndNeverCrash) {
  auto colleague = std::make_unique<ContactRecord>();
  colleague->id = kColleague;
  colleague->kind = kContactKindAgent;
  colleague->state = 2;
  windows.records.contacts.Enter(std::move(colleague));
  MainDlg& w = Open();
  StartRequests();
  const QString counts = w.CountsText();

  for (CommandCode code : {kCommandStartData, kCommandGetOnlineVisitor, kCommandGetQuickMessage, kCommandUpdateKFState,
                           kCommandLoadSessionCount, kCommandChatMessage}) {
    Deliver(test::ServerMessage({.command = code}));
  }
  EXPECT_EQ(w.CountsText(), counts);
  for (const char* body : {"not json", R"({"userstate":[[1002,3]]})", R"({"users":"x","userstate":"[[1002,"})",
                           R"({"guestbook":[[]]})", "\xff\xfe"}) {
    Deliver(Notice(kCommandStartData, body));
    Deliver(Notice(kCommandUpdateKFState, body, kColleague, kMemberKindAgent));
    Deliver(Notice(kCommandUpdateKFState, body, kSelf, kMemberKindAgent));
  }
  Deliver(Notice(kCommandLoadSessionCount, R"({"total_chat":"1","my_chat":"2"})"));
  EXPECT_EQ(w.CountsText(), QString::fromUtf8("总会话：0 我的会话：0"));
  EXPECT_EQ(windows.records.contacts.Find(kColleague)->state, 2);
  EXPECT_EQ(w.ShownPresence(), kPresenceOnline);
  EXPECT_TRUE(windows.records.agent.IsLoggedIn());
  // Other window messages with other first parameters are ignored.
  platform::SendWindowMessage(w.Id(), kNetworkWindowMessage, 3, 0);
  platform::SendWindowMessage(w.Id(), kTrayIconMessage, 99, kTrayDoubleClick);
  EXPECT_TRUE(peer.Silent(kQuietMs));
}

TEST_F(MainDlgTest, QuitEndsTheLoginWindowWithResultTwo) {
  MainDlg& w = Open();
  StartRequests();
  owner->setResult(-1);
  std::unique_ptr<QMenu> tray = w.BuildTrayMenu();
  Item(*tray, kCommandTrayQuit)->trigger();
  EXPECT_EQ(owner->result(), kLoginResultQuit);
  EXPECT_TRUE(windows.records.agent.IsLoggedIn()) << "the logout is the application's, after the window ended";
  EXPECT_FALSE(w.Timers().IsRunning(kTimerOnlineVisitor));
}

TEST_F(MainDlgTest, TimersRepeatTheirRequestsAndRenewedLoginAsksOnlyWithoutStartData) {
  MainDlg& w = Open();
  StartRequests();
  w.Timers().Fire(kTimerSessionCount);
  w.Timers().Fire(kTimerOnlineVisitor);
  w.Timers().Fire(kTimerQuickMessage);
  EXPECT_TRUE(w.Timers().IsRunning(kTimerQuickMessage));
  platform::SendWindowMessage(w.Id(), kLoginRenewedMessage, 0, 0);
  std::vector<std::int32_t> commands;
  for (int i = 0; i < 4; ++i) {
    auto m = NextRequest();
    commands.push_back(m ? m->command : -1);
  }
  EXPECT_EQ(commands, (std::vector<std::int32_t>{7, 29, 43, 13}));

  Deliver(Notice(kCommandStartData, "{}"));
  platform::SendWindowMessage(w.Id(), kLoginRenewedMessage, 0, 0);
  EXPECT_TRUE(peer.Silent(kQuietMs));
}

TEST_F(MainDlgTest, SignalLevelAndTheStatisticsWindow) {
  MainDlg& w = Open();
  platform::SendWindowMessage(w.Id(), kSignalLevelMessage, 0, 3);
  EXPECT_EQ(w.SignalLevel(), 3);

  // Without a factory the button does nothing.
  w.OnCommand(kMainSignalButtonId);
  EXPECT_FALSE(windows.router.Has(kSignalCountName));

  QtSignalWindow::made = 0;
  factories.Set(kSignalCountName, [](QWidget* parent, WindowContext&) { return new QtSignalWindow(parent); });
  w.OnCommand(kMainSignalButtonId);
  w.OnCommand(kMainSignalButtonId);
  EXPECT_EQ(QtSignalWindow::made, 1) << "made on the first press only";
  auto* window = dynamic_cast<QtSignalWindow*>(platform::FindWindow(windows.router.IdOf(kSignalCountName)));
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->parentWidget(), owner.get()) << "owned by the login window";
}

TEST_F(MainDlgTest, StartDataFillsTheAgentCardAndTodaysConversationsLoadOncePerRun) {
  QtAgentCard* card = nullptr;
  factories.Set(kAgentCardFactoryName, [&card](QWidget* parent, WindowContext& context) {
    card = new QtAgentCard(parent, context.records);
    return card;
  });
  test::FakeChatWindow chat(windows.router);
  int settingWindows = 0;
  factories.Set(kSettingWindowFactoryName, [&settingWindows](QWidget* parent, WindowContext&) {
    ++settingWindows;
    return new QWidget(parent, Qt::Window);
  });

  MainDlg& w = Open();
  ASSERT_NE(card, nullptr);
  EXPECT_EQ(card->parentWidget(), owner.get());
  EXPECT_EQ(chat.todayLoads, 1);
  windows.records.agent.Update([](AgentRecord& a) { a.realname = "张三丰"; });
  Deliver(Notice(kCommandStartData, R"({"users":{}})"));
  EXPECT_EQ(card->fills, 1);
  EXPECT_EQ(card->realname, "张三丰");
  EXPECT_EQ(w.NameText(), QString::fromUtf8("张三丰"));

  w.OnCommand(kMainSettingButtonId);
  w.OnCommand(kMainSettingButtonId);
  EXPECT_EQ(settingWindows, 1);

  // A second main window in the same run does not load them again.
  auto secondOwner = std::make_unique<QDialog>();
  new MainDlg(secondOwner.get(), windows.context);
  EXPECT_EQ(chat.todayLoads, 1);
  secondOwner.reset();
}

TEST_F(MainDlgTest, SavedDetailsReachTheNameAndTheTrayTipAndTheGroupComesFromTheStartData) {
  MainDlg& w = Open();
  Deliver(Notice(kCommandStartData, R"({"users":{"售后":[{"uid":1002}],"售前":[{"uid":1001}]}})"));
  EXPECT_EQ(windows.records.agent.Copy().userGroup, "售前");
  windows.records.agent.Update([](AgentRecord& a) { a.realname = "李四"; });
  static_cast<MainWindowLink&>(w).RefreshAgentDetails();
  EXPECT_EQ(w.NameText(), QString::fromUtf8("李四"));
  EXPECT_TRUE(w.TrayTip().contains(QString::fromUtf8("李四"))) << w.TrayTip().toStdString();
}

TEST_F(MainDlgTest, BackOfficeAddressCarriesTheDigestsOfTheCredentials) {
  MainDlg& w = Open();
  UrlRecorder recorder;
  QDesktopServices::setUrlHandler("http", &recorder, "open");
  // Noon UTC on 11 March is that day in every zone within eleven hours.
  const std::string day = LocalDateText(platform::CurrentClock().NowSeconds());
  windows.records.agent.Update([](AgentRecord& a) {
    a.userName = "abc";
    a.password = "abc";
  });
  w.OnCommand(kMainBackOfficeButtonId);
  QDesktopServices::unsetUrlHandler("http");

  ASSERT_EQ(recorder.urls.size(), 1u);
  const QUrl url = recorder.urls[0];
  EXPECT_EQ(url.path(), "/kanzo/login/dologin.shtml");
  const QString query = url.query();
  const QString random = query.section('&', 0, 0).section('=', 1);
  ASSERT_EQ(random.size(), 80);
  EXPECT_EQ(random, random.toUpper());
  EXPECT_EQ(random.left(40), random.right(40)) << "the same text digests the same";
  if (day == "20240311") {
    // SHA-1 of "abc=20240311".
    const QString expected = QCryptographicHash::hash("abc=20240311", QCryptographicHash::Sha1).toHex().toUpper();
    EXPECT_EQ(random.left(40), expected);
    EXPECT_EQ(query.section('&', 1), QString("id=%1").arg(20240311 + kSelf + 10000000));
  }
}

TEST_F(MainDlgTest, WithoutATrayClosingOrMinimisingKeepsTheWindowReachable) {
  MainDlg& w = Open();
  w.show();
  ASSERT_TRUE(PumpUntil([&] { return w.isVisible(); }));
  w.close();
  QCoreApplication::processEvents();
  EXPECT_TRUE(w.isVisible()) << "no tray icon would bring a hidden window back";
  w.OnCommand(kCommandTrayOpenPanel);
  platform::SendWindowMessage(w.Id(), kTrayIconMessage, kTrayIconId, kTrayDoubleClick);
  EXPECT_TRUE(w.isVisible());
  EXPECT_FALSE(w.isMinimized());
  std::unique_ptr<QMenu> system = w.BuildSystemMenu();
  ASSERT_EQ(system->actions().size(), 1);
  EXPECT_EQ(system->actions()[0]->text(), QString::fromUtf8("关于 Qimbo(&A)"));
}

TEST_F(MainDlgTest, Screenshot) {
  MainDlg& w = Open();
  Deliver(Notice(kCommandLoadSessionCount, R"({"total_chat":12,"my_chat":3})"));
  platform::SendWindowMessage(w.Id(), kSignalLevelMessage, 0, 4);
  w.show();
  ASSERT_TRUE(PumpUntil([&] { return w.isVisible(); }));
  QCoreApplication::processEvents();
  const QString folder = QStringLiteral(KANZO_BINARY_DIR "/screenshots");
  ASSERT_TRUE(QDir().mkpath(folder));
  EXPECT_EQ(w.Pane(kSessionPaneName)->geometry(), w.TabStrip()->rect().adjusted(2, 21, -4, -2));
  const QImage online = w.grab().toImage();
  EXPECT_EQ(online.size(), QSize(276, 668));
  EXPECT_TRUE(online.save(folder + "/main_dlg.png"));
  // The ground is the window's colour.
  EXPECT_EQ(online.pixelColor(online.width() - 2, online.height() / 2).rgb() & 0xFFFFFF, 0xFAFAFAu);
  w.ShowState(kPresenceAway);
  QCoreApplication::processEvents();
  EXPECT_TRUE(w.grab().toImage().save(folder + "/main_dlg_away.png"));
}

}  // namespace
}  // namespace kanzo

#include "main_dlg_test.moc"
