// The login window and the statistics window on offscreen Qt, with the chat
// server's end of the connection inside the test on 127.0.0.1, a real
// database file, a settable clock and recorded message boxes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QTimer>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "app/kanzo_app.h"
#include "controls/skin_kit.h"
#include "db/db_access.h"
#include "db/db_manager.h"
#include "net/frame_bytes.h"
#include "net/network_startup.h"
#include "net/session_id.h"
#include "net/test_peer.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/qt/qt_text.h"
#include "protocol/commands.h"
#include "protocol/login.h"
#include "protocol/msg.h"
#include "protocol/startup_codecs.h"
#include "support/login_window_fixture.h"
#include "support/qt_pump.h"
#include "support/server_messages.h"
#include "support/stand_in_window.h"
#include "support/temp_dir.h"
#include "support/window_context_fixture.h"
#include "workspace/login_dlg.h"
#include "workspace/main_dlg.h"
#include "workspace/signal_count_dlg.h"
#include "workspace/window_factories.h"

namespace kanzo {
namespace {

constexpr std::int64_t kStartSeconds = 1'700'000'000;
constexpr int kWaitMs = 5000;
constexpr int kQuietMs = 300;
constexpr std::int32_t kAgentId = 42;

// Runs the event loop until `done` holds or the time is up.
using ::kanzo::test::PumpUntil;

void Pump(int ms) {
  PumpUntil([] { return false; }, ms);
}

// The main window as a test sees it: it takes the window messages the login
// window sends it and records the presence it was told.
class FakeMainWindow : public QDialog, public test::StandInWindow<> {
 public:
  FakeMainWindow(QWidget* owner, WindowRouter& router) : QDialog(owner), StandInWindow(router, kMainWindowName) {}
  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam, platform::LParam l) override {
    if (message == kSignalLevelMessage) levels.push_back(static_cast<int>(l));
    if (message == kLoginRenewedMessage) ++renewed;
    return 0;
  }
  std::vector<int> levels;
  int renewed = 0;
  int presence = 0;
  int agentStatesCalls = 0;
};

struct MakerLog {
  int created = 0;
  FakeMainWindow* window = nullptr;
};

MainWindowMaker TestMaker(MakerLog* log) {
  MainWindowMaker maker;
  maker.create = [log](QWidget* owner, WindowContext& context) {
    ++log->created;
    log->window = new FakeMainWindow(owner, context.router);
    return log->window;
  };
  maker.showState = [](QWidget* window, int presence) { static_cast<FakeMainWindow*>(window)->presence = presence; };
  maker.loadAgentStates = [](QWidget* window, const Json::Value&) {
    ++static_cast<FakeMainWindow*>(window)->agentStatesCalls;
  };
  return maker;
}

class LoginWindowTest : public test::LoginWindowFixture {
 protected:
  void SetUp() override {
    platform::SetCurrentClock(&clock_);
    clock_.SetSeconds(kStartSeconds);
    ASSERT_NO_FATAL_FAILURE(LoginWindowFixture::SetUp());
    windows_.context.factories = &factories_;
    ASSERT_TRUE(peer_.listening());
    ASSERT_TRUE(StartNetwork("127.0.0.1", peer_.port()));
    ASSERT_TRUE(peer_.Accept());
  }
  void TearDown() override {
    window_.reset();
    LoginWindowFixture::TearDown();
    platform::SetCurrentClock(nullptr);
  }

  LoginDlg& Window() {
    if (!window_) window_ = std::make_unique<LoginDlg>(windows_.context, nullptr, TestMaker(&maker_));
    return *window_;
  }

  // The next request the client sent.
  std::unique_ptr<Message> NextRequest() {
    std::string payload;
    if (!peer_.ReadFrame(&payload, nullptr, kWaitMs)) return nullptr;
    return test::MessageFromBytes(payload);
  }

  // The next request with `command`, passing over the others.
  std::unique_ptr<Message> NextRequestOf(std::int32_t command) {
    constexpr int kMaxFrames = 50;
    for (int i = 0; i < kMaxFrames; ++i) {
      std::unique_ptr<Message> request = NextRequest();
      if (!request || request->command == command) return request;
    }
    return nullptr;
  }

  void Answer(std::int32_t command, std::int64_t id, std::uint8_t result, std::int64_t session, const Msg* body) {
    ASSERT_TRUE(peer_.Send(test::MessageFrame(
        *test::ServerMessage({.command = command, .id = id, .result = result, .session = session}, body))));
  }

  void StoreLogin(const std::string& name, const std::string& password, bool remember, bool autoLogin, int state,
                  const char* isLogin) {
    LoginRecord login;
    login.uid = 1;
    login.userName = name;
    login.password = password;
    login.keepPassword = remember;
    login.autoLogin = autoLogin;
    login.state = state;
    ASSERT_TRUE(DBManager::SaveLogin(login));
    ASSERT_TRUE(DbExecBind("UPDATE login_info SET is_login=? WHERE username=?", {isLogin, name}));
    clock_.AdvanceMillis(1000);  // the next one is newer
  }

  // Types a login into the form and presses the button; the request sent.
  std::unique_ptr<Message> SubmitTyped(const char* name, const char* password) {
    Window().UserNameBox()->setEditText(QString::fromUtf8(name));
    Window().PasswordEdit()->setText(QString::fromUtf8(password));
    Window().SubmitButton()->click();
    return NextRequest();
  }

  // A successful login answer for `request`, and the window hidden after it.
  void AnswerSuccess(const Message& request, std::int64_t session = 700) {
    Msg body;
    body.account = 5000;
    body.FROM = kAgentId;
    body.FROM_TYPE = 1;
    body.BODY = R"({"realname":"韩梅梅","type":1})";
    Answer(kCommandLogin, request.MESSAGE_ID, 0, session, &body);
    ASSERT_TRUE(PumpUntil([&] { return CurrentSessionId() == session; }));
  }

  void LogIn() {
    Window().show();
    std::unique_ptr<Message> request = SubmitTyped("agent", "secret");
    ASSERT_NE(request, nullptr);
    AnswerSuccess(*request);
  }

  bool Busy() {
    return Window().SubmitButton()->text() == QString::fromUtf8("取消") && !Window().UserNameBox()->isEnabled() &&
           !Window().PasswordEdit()->isEnabled() && !Window().RememberPasswordBox()->isEnabled() &&
           !Window().AutoLoginBox()->isEnabled() && !Window().PresenceButton()->isEnabled();
  }
  bool Idle() {
    return Window().SubmitButton()->text() == QString::fromUtf8("登录") && Window().UserNameBox()->isEnabled() &&
           Window().PasswordEdit()->isEnabled() && Window().RememberPasswordBox()->isEnabled() &&
           Window().AutoLoginBox()->isEnabled() && Window().PresenceButton()->isEnabled();
  }

  platform::SettableClock clock_;
  test::TestPeer peer_;
  MakerLog maker_;
  WindowFactories factories_;
  std::unique_ptr<LoginDlg> window_;
};

TEST_F(LoginWindowTest, AutomaticLoginOnceWithACleanLastExitOnly) {
  StoreLogin("older", "x", true, false, 2, "2");
  StoreLogin("auto", "pw", true, true, 3, "2");
  SetAutomaticLoginAllowed(true);
  Window().show();
  std::unique_ptr<Message> request = NextRequest();
  ASSERT_NE(request, nullptr);
  EXPECT_EQ(request->command, kCommandLogin);
  const Login* login = request->bodyAs<Login>();
  ASSERT_NE(login, nullptr);
  EXPECT_EQ(login->username, "auto");
  EXPECT_EQ(login->password, "pw");
  EXPECT_EQ(login->state, kPresenceAway);
  EXPECT_TRUE(Busy());
  EXPECT_FALSE(AutomaticLoginAllowed());

  // A second window of the same run does not log in by itself.
  window_.reset();
  Window().show();
  EXPECT_TRUE(peer_.Silent(kQuietMs));
  EXPECT_TRUE(Idle());
}

TEST_F(LoginWindowTest, NoAutomaticLoginAfterARunThatDidNotEndCleanly) {
  StoreLogin("auto", "pw", true, true, 2, "1");
  SetAutomaticLoginAllowed(true);
  Window().show();
  EXPECT_TRUE(peer_.Silent(kQuietMs));
  EXPECT_TRUE(Idle());
  EXPECT_TRUE(AutomaticLoginAllowed());
  // The form still shows the stored account.
  EXPECT_EQ(Window().UserNameBox()->currentText(), "auto");
  EXPECT_EQ(Window().PasswordEdit()->text(), "pw");
  EXPECT_TRUE(Window().AutoLoginBox()->isChecked());
}

TEST_F(LoginWindowTest, StoredLoginsFillTheFormAndTypedNamesMatchExactly) {
  StoreLogin("bob", "", false, false, 2, "2");
  StoreLogin("alice", "pw-a", true, false, 3, "2");
  Window().show();
  QComboBox* names = Window().UserNameBox();
  ASSERT_EQ(names->count(), 2);
  EXPECT_EQ(names->itemText(0), "alice");  // newest first
  EXPECT_EQ(Window().PasswordEdit()->text(), "pw-a");
  EXPECT_TRUE(Window().RememberPasswordBox()->isChecked());
  EXPECT_EQ(Window().PresenceButton()->State(), kPresenceButtonAway);

  // Choosing bob from the list.
  names->setCurrentIndex(1);
  emit names->activated(1);
  EXPECT_EQ(Window().PasswordEdit()->text(), "");
  EXPECT_FALSE(Window().RememberPasswordBox()->isChecked());
  EXPECT_EQ(Window().PresenceButton()->State(), kPresenceButtonOnline);

  // Typing: a partial name fills nothing, the whole name fills its row.
  QLineEdit* edit = names->lineEdit();
  edit->clear();
  for (const char* typed : {"a", "al", "ali", "alic"}) {
    edit->setText(typed);
    emit edit->textEdited(edit->text());
    EXPECT_EQ(Window().PasswordEdit()->text(), "") << typed;
    EXPECT_EQ(edit->text(), typed);
  }
  edit->setText("alice");
  emit edit->textEdited(edit->text());
  EXPECT_EQ(Window().PasswordEdit()->text(), "pw-a");
  EXPECT_EQ(Window().PresenceButton()->State(), kPresenceButtonAway);
  EXPECT_EQ(Window().PasswordEdit()->cursorPosition(), 4);
}

TEST_F(LoginWindowTest, ShowingTheWindowAgainKeepsWhatWasTyped) {
  StoreLogin("alice", "pw-a", true, false, 3, "2");
  Window().show();
  QLineEdit* edit = Window().UserNameBox()->lineEdit();
  edit->setText("carol");
  emit edit->textEdited(edit->text());
  Window().PasswordEdit()->setText("typed");
  // Restoring from minimised sends the window a show event again.
  Window().showMinimized();
  Window().showNormal();
  Window().hide();
  Window().show();
  EXPECT_EQ(edit->text(), "carol");
  EXPECT_EQ(Window().PasswordEdit()->text(), "typed");
}

TEST_F(LoginWindowTest, CheckBoxCouplings) {
  Window().show();
  QCheckBox* remember = Window().RememberPasswordBox();
  QCheckBox* autoLogin = Window().AutoLoginBox();
  ASSERT_FALSE(remember->isChecked());
  autoLogin->click();  // checking auto login checks remember
  EXPECT_TRUE(autoLogin->isChecked());
  EXPECT_TRUE(remember->isChecked());
  autoLogin->click();  // unchecking it leaves remember alone
  EXPECT_FALSE(autoLogin->isChecked());
  EXPECT_TRUE(remember->isChecked());
  autoLogin->click();
  remember->click();  // unchecking remember unchecks auto login
  EXPECT_FALSE(remember->isChecked());
  EXPECT_FALSE(autoLogin->isChecked());
  remember->click();  // checking remember leaves auto login alone
  EXPECT_TRUE(remember->isChecked());
  EXPECT_FALSE(autoLogin->isChecked());
}

TEST_F(LoginWindowTest, PresenceMenuSetsThePictureAndTheLoginState) {
  Window().show();
  Window().PresenceButton()->click();
  ASSERT_TRUE(PumpUntil([&] { return Window().PresenceMenu()->isVisible(); }));
  const QList<QAction*> actions = Window().PresenceMenu()->actions();
  ASSERT_EQ(actions.size(), 2);
  EXPECT_EQ(actions[0]->text(), "在线");
  EXPECT_EQ(actions[0]->data().toInt(), kPresenceMenuOnline);
  EXPECT_EQ(actions[1]->text(), "离开");
  EXPECT_EQ(actions[1]->data().toInt(), kPresenceMenuAway);
  actions[1]->trigger();
  Window().PresenceMenu()->hide();
  EXPECT_EQ(Window().PresenceButton()->State(), kPresenceButtonAway);
  std::unique_ptr<Message> request = SubmitTyped("agent", "secret");
  ASSERT_NE(request, nullptr);
  EXPECT_EQ(request->bodyAs<Login>()->state, kPresenceAway);
}

TEST_F(LoginWindowTest, MissingNameOrPasswordShowsABoxAndSendsNothing) {
  Window().show();
  Window().SubmitButton()->click();
  Window().UserNameBox()->setEditText("agent");
  Window().SubmitButton()->click();
  ASSERT_EQ(boxes_.Count(), 2u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "请输入用户名");
  EXPECT_EQ(boxes_.Boxes()[1].text, "请输入密码");
  EXPECT_TRUE(peer_.Silent(kQuietMs));
  EXPECT_TRUE(Idle());
}

TEST_F(LoginWindowTest, EnterInTheNameFieldLogsIn) {
  Window().show();
  Window().UserNameBox()->setEditText("agent");
  Window().PasswordEdit()->setText("secret");
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(Window().UserNameBox()->lineEdit(), &press);
  std::unique_ptr<Message> request = NextRequest();
  ASSERT_NE(request, nullptr);
  EXPECT_EQ(request->bodyAs<Login>()->username, "agent");
  EXPECT_TRUE(Busy());
}

TEST_F(LoginWindowTest, CancelWhilePendingThenTheLateSuccessCompletesTheLogin) {
  Window().show();
  std::unique_ptr<Message> request = SubmitTyped("agent", "secret");
  ASSERT_NE(request, nullptr);
  EXPECT_TRUE(Busy());
  Window().SubmitButton()->click();  // "取消"
  EXPECT_TRUE(Idle());
  EXPECT_TRUE(peer_.Silent(kQuietMs));  // nothing is withdrawn

  AnswerSuccess(*request);
  EXPECT_FALSE(Window().isVisible());
  ASSERT_EQ(maker_.created, 1);
  ASSERT_NE(Window().MainWindow(), nullptr);
  EXPECT_TRUE(Window().MainWindow()->isVisible());
  EXPECT_EQ(Window().MainWindow()->parentWidget(), &Window());
  EXPECT_EQ(maker_.window->presence, kPresenceOnline);
  EXPECT_TRUE(Window().Timers().IsRunning(kKeepAliveTimerId));
  EXPECT_EQ(windows_.records.agent.AgentId(), kAgentId);
  DbRows rows;
  ASSERT_TRUE(DBManager::QueryStoredLogins(&rows));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0], "agent");
  EXPECT_EQ(rows[0][5], "1");
}

TEST_F(LoginWindowTest, FailedLoginsShowTheTextOrLoginFailedAndReturnToIdle) {
  Window().show();
  Msg withText;
  withText.BODY = "用户名或密码错误";
  const struct {
    std::uint8_t result;
    const Msg* body;
    const char* box;
  } cases[] = {{1, &withText, "用户名或密码错误"}, {1, nullptr, "登录失败"}, {0, nullptr, "登录失败"}};
  for (const auto& c : cases) {
    std::unique_ptr<Message> request = SubmitTyped("agent", "secret");
    ASSERT_NE(request, nullptr);
    const std::size_t before = boxes_.Count();
    Answer(kCommandLogin, request->MESSAGE_ID, c.result, 0, c.body);
    ASSERT_TRUE(PumpUntil([&] { return boxes_.Count() > before; })) << c.box;
    EXPECT_EQ(boxes_.Boxes().back().text, c.box);
    EXPECT_TRUE(Idle());
    EXPECT_TRUE(Window().isVisible());
  }
  EXPECT_EQ(maker_.created, 0);
  EXPECT_EQ(windows_.records.agent.AgentId(), 0);
  DbRows rows;
  ASSERT_TRUE(DBManager::QueryStoredLogins(&rows));
  EXPECT_TRUE(rows.empty());
}

TEST_F(LoginWindowTest, KeepAliveSwitchesToReloginAfterSixtySecondsAndBack) {
  LogIn();
  FakeMainWindow* main = maker_.window;
  ASSERT_NE(main, nullptr);

  Window().Timers().Fire(kKeepAliveTimerId);
  std::unique_ptr<Message> refresh = NextRequest();
  ASSERT_NE(refresh, nullptr);
  EXPECT_EQ(refresh->command, kCommandRefreshSession);
  EXPECT_EQ(refresh->SESSION_ID, 700);
  ASSERT_NE(refresh->bodyAs<Msg>(), nullptr);
  EXPECT_EQ(refresh->bodyAs<Msg>()->TO, kAgentId);
  Msg states;
  states.BODY = R"("[[42,2]]")";
  Answer(kCommandRefreshSession, refresh->MESSAGE_ID, 0, 701, &states);
  ASSERT_TRUE(
      PumpUntil([&] { return CurrentSessionId() == 701 && !main->levels.empty() && main->levels.back() == 4; }));
  EXPECT_EQ(main->agentStatesCalls, 1);

  clock_.AdvanceMillis((kSessionLostAfterSeconds + 1) * 1000);
  Window().Timers().Fire(kKeepAliveTimerId);
  std::unique_ptr<Message> relogin = NextRequest();
  ASSERT_NE(relogin, nullptr);
  EXPECT_EQ(relogin->command, kCommandRefreshLogin);
  EXPECT_EQ(relogin->bodyAs<Login>()->username, "agent");
  EXPECT_EQ(relogin->bodyAs<Login>()->password, "secret");
  EXPECT_FALSE(Window().Timers().IsRunning(kKeepAliveTimerId));
  EXPECT_TRUE(Window().Timers().IsRunning(kReloginTimerId));

  Window().Timers().Fire(kReloginTimerId);
  std::unique_ptr<Message> again = NextRequest();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->command, kCommandRefreshLogin);

  Answer(kCommandRefreshLogin, again->MESSAGE_ID, 0, 702, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return main->renewed == 1; }));
  EXPECT_EQ(CurrentSessionId(), 702);
  EXPECT_TRUE(Window().Timers().IsRunning(kKeepAliveTimerId));
  EXPECT_FALSE(Window().Timers().IsRunning(kReloginTimerId));
  EXPECT_EQ(main->levels.back(), 3);  // 2 of 3

  Window().Timers().Fire(kKeepAliveTimerId);
  std::unique_ptr<Message> back = NextRequest();
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->command, kCommandRefreshSession);
}

TEST_F(LoginWindowTest, StatisticsWindowFollowsTheRecordsUpToAHundredRows) {
  LogIn();
  Window().Timers().Fire(kKeepAliveTimerId);
  std::unique_ptr<Message> first = NextRequest();
  ASSERT_NE(first, nullptr);

  SignalCountDlg* statistics = SignalCountDlg::Open(maker_.window, windows_.context);
  ASSERT_NE(statistics, nullptr);
  EXPECT_TRUE(statistics->isVisible());
  EXPECT_EQ(statistics->size(), QSize(640, 480));
  EXPECT_EQ(statistics->windowTitle(), "信号统计");
  QTableWidget* list = statistics->List();
  ASSERT_EQ(list->rowCount(), 1);
  EXPECT_EQ(list->item(0, 1)->text(), "刷新SESSION");
  EXPECT_EQ(list->item(0, 4)->text(), "否");

  Answer(kCommandRefreshSession, first->MESSAGE_ID, 0, 701, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return list->item(0, 4)->text() == "是"; }));
  EXPECT_FALSE(list->item(0, 3)->text().isEmpty());
  EXPECT_EQ(statistics->ReceivedCounter()->text(), "接收次数：1");

  for (int i = 0; i < 100; ++i) Window().Timers().Fire(kKeepAliveTimerId);
  ASSERT_EQ(list->rowCount(), 100);
  for (int row = 0; row < 100; ++row) ASSERT_EQ(list->item(row, 0)->text(), QString::number(row + 1));
  EXPECT_EQ(statistics->SentCounter()->text(), "发送次数：100");
  EXPECT_EQ(statistics->ReceivedCounter()->text(), "接收次数：0");
  EXPECT_EQ(statistics->RowOf(Window().Session().Records().InOrder().front()), 0);

  // Closing and opening again shows the same records.
  statistics->close();
  SignalCountDlg* reopened = SignalCountDlg::Open(maker_.window, windows_.context);
  EXPECT_EQ(reopened, statistics);
  ASSERT_EQ(reopened->List()->rowCount(), 100);
  EXPECT_EQ(reopened->RowOf(Window().Session().Records().InOrder().back()), 99);
  EXPECT_EQ(reopened->List()->item(99, 0)->text(), "100");
}

TEST_F(LoginWindowTest, EscapeEndsTheRunAsCancelAndTheMainWindowEndsItWithItsResult) {
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [&] { Window().EndWithResult(99); });
  guard.start(kWaitMs);
  QTimer::singleShot(0, [&] {
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&Window(), &escape);
  });
  EXPECT_EQ(Window().RunModal(), 0);

  // After a login the window is hidden but the run goes on until the main
  // window ends it.
  window_.reset();
  guard.start(kWaitMs);
  bool hiddenAfterLogin = false;
  QTimer::singleShot(0, [&] {
    LogIn();
    hiddenAfterLogin = !Window().isVisible();
    QTimer::singleShot(20, [&] { Window().EndWithResult(kLoginResultQuit); });
  });
  EXPECT_EQ(Window().RunModal(), kLoginResultQuit);
  EXPECT_TRUE(hiddenAfterLogin);
  EXPECT_EQ(maker_.created, 1);
}

TEST_F(LoginWindowTest, TheProgramsMainWindowIsOpenedOnceWithThePresenceAndShowsTheLevel) {
  InstallSignalCountWindowFactory(factories_);
  window_ = std::make_unique<LoginDlg>(windows_.context);
  window_->show();
  window_->PresenceMenu()->actions()[1]->trigger();  // "离开"
  std::unique_ptr<Message> request = SubmitTyped("agent", "secret");
  ASSERT_NE(request, nullptr);
  AnswerSuccess(*request);

  auto* main = qobject_cast<MainDlg*>(window_->MainWindow());
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(main->isVisible());
  EXPECT_FALSE(window_->isVisible());
  EXPECT_EQ(main->ShownPresence(), kPresenceAway);
  EXPECT_EQ(windows_.router.Find<MainWindowLink>(kMainWindowName), static_cast<MainWindowLink*>(main));

  window_->Timers().Fire(kKeepAliveTimerId);
  std::unique_ptr<Message> refresh = NextRequestOf(kCommandRefreshSession);
  ASSERT_NE(refresh, nullptr);
  Answer(kCommandRefreshSession, refresh->MESSAGE_ID, 0, 701, nullptr);
  EXPECT_TRUE(PumpUntil([&] { return main->SignalLevel() == 4; }));

  // The signal button opens the statistics window with the record.
  main->OnCommand(kMainSignalButtonId);
  auto* statistics = windows_.router.Find<SignalCountDlg>(kSignalCountName);
  ASSERT_NE(statistics, nullptr);
  EXPECT_TRUE(statistics->isVisible());
  ASSERT_EQ(statistics->List()->rowCount(), 1);
  EXPECT_EQ(statistics->List()->item(0, 4)->text(), "是");

  // A login answer nobody asked for changes nothing.
  Msg body;
  body.account = 5000;
  body.FROM = kAgentId + 1;
  body.FROM_TYPE = 1;
  body.BODY = "{}";
  Answer(kCommandLogin, 0, 0, 703, &body);
  Pump(kQuietMs);
  EXPECT_EQ(CurrentSessionId(), 701);
  EXPECT_EQ(windows_.records.agent.AgentId(), kAgentId);
  EXPECT_EQ(window_->MainWindow(), main);
  EXPECT_EQ(boxes_.Count(), 0u);
}

}  // namespace
}  // namespace kanzo
