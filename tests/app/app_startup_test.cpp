#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>

#include <QWidget>

#include "app/kanzo_app.h"
#include "db/db_access.h"
#include "db/db_manager.h"
#include "db/store_talk_message_tread.h"
#include "log/cx_log.h"
#include "platform/message_box.h"
#include "support/process_log.h"
#include "support/temp_dir.h"
#include "workspace/about_dlg.h"

namespace kanzo {
namespace {

using test::LogWrittenDuring;

constexpr const char* kStartLine = "==================系统启动==================";
constexpr const char* kExitLine = "==================系统退出==================";

// Start-up installs the crash handler in this process; a fault in a later
// test must still fail it rather than be reported as a clean exit.
class AppStartupTest : public testing::Test {
 protected:
  void SetUp() override { SetDatabasePath(dir_.File("qmb.db")); }
  void TearDown() override {
    for (int sig : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT}) signal(sig, SIG_DFL);
    SetDatabasePath("");
    // The handler makes its folder at start-up; a dump in it means a fault.
    if (std::filesystem::exists(dir_.File("crash"))) EXPECT_TRUE(std::filesystem::is_empty(dir_.File("crash")));
  }
  test::TempDir dir_;
};

TEST_F(AppStartupTest, UnresolvableHostShowsTheErrorBoxAndEndsWithoutExitLine) {
  test::TempDir& dir = dir_;
  test::WriteFile(dir.File("config.ini"), "[Kanzo]\nSERVER_HOST=no-such-host.invalid\nLOG_LEVEL=info\n");
  platform::MessageBoxRecorder boxes;
  const std::string written = LogWrittenDuring([&] {
    CKanzoApp app({}, dir.path());
    EXPECT_FALSE(app.InitInstance());
  });
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "错误");
  EXPECT_EQ(boxes.Boxes()[0].text, "服务器地址解析失败，应用退出");
  EXPECT_EQ(boxes.Boxes()[0].icon, platform::MessageBoxIcon::Error);
  EXPECT_NE(written.find(std::string("Info kanzo_app.cpp(CKanzoApp::InitInstance, ")), std::string::npos) << written;
  EXPECT_NE(written.find(kStartLine), std::string::npos);
  EXPECT_NE(written.find("Error kanzo_app.cpp(CKanzoApp::GetAddressByHostName, "), std::string::npos) << written;
  EXPECT_NE(written.find("解析服务器域名：[no-such-host.invalid] 失败"), std::string::npos);
  EXPECT_EQ(written.find(kExitLine), std::string::npos);
}

TEST_F(AppStartupTest, RestartArgumentShowsTheForcedLogOffNoticeFirst) {
  test::TempDir& dir = dir_;
  test::WriteFile(dir.File("config.ini"), "[Kanzo]\nSERVER_HOST=no-such-host.invalid\n");
  platform::MessageBoxRecorder boxes;
  CKanzoApp app({"xrestartx"}, dir.path());
  app.InitInstance();
  ASSERT_EQ(boxes.Count(), 2u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "提醒");
  EXPECT_EQ(boxes.Boxes()[0].text, "您的账户在其它地方登录，应用被迫下线");
  EXPECT_EQ(boxes.Boxes()[0].icon, platform::MessageBoxIcon::Error);
  EXPECT_EQ(boxes.Boxes()[1].caption, "错误");
}

TEST_F(AppStartupTest, LogLevelFromConfig) {
  test::TempDir& dir = dir_;
  platform::MessageBoxRecorder boxes;
  const std::pair<const char*, std::int32_t> cases[] = {
      {"debug", kLogDebug}, {"ERROR", kLogError}, {"nonsense", kLogError /* unchanged */}, {"INFO", kLogInfo}};
  for (const auto& [word, level] : cases) {
    test::WriteFile(dir.File("config.ini"),
                    std::string("[Kanzo]\nSERVER_HOST=no-such-host.invalid\nLOG_LEVEL=") + word + "\n");
    CKanzoApp app({}, dir.path());
    app.InitInstance();
    EXPECT_EQ(CxLog::Instance().Level(), level) << word;
  }
  CxLog::Instance().SetLevel(kLogInfo);
}

// A stand-in for the program that records the arguments it was started with.
std::string WriteRecordingProgram(const test::TempDir& dir) {
  const std::string program = dir.File("KanzoStandIn");
  test::WriteFile(program, "#!/bin/sh\necho \"$@\" > '" + dir.File("restarted.txt") + "'\n");
  std::filesystem::permissions(program, std::filesystem::perms::owner_all);
  return program;
}

constexpr const char* kAgentUser = "agent7";
constexpr std::int32_t kAgentId = 7;

// What the login window leaves behind when the agent has logged in: the
// agent's record, and with `stored` the login kept in the database.
void LogIn(WindowContext& context, bool stored = true) {
  if (stored) {
    LoginRecord login;
    login.uid = kAgentId;
    login.userName = kAgentUser;
    DBManager::SaveLogin(login);
  }
  context.records.agent.Update([](AgentRecord& r) {
    r.userName = kAgentUser;
    r.triple = {1000, kAgentId, 1};
  });
}

// The forced log-off clears the agent id before the window ends, so the
// program sends no logout.
void ForceLogOff(WindowContext& context) {
  context.records.agent.Update([](AgentRecord& r) { r.triple.agentId = 0; });
}

TEST_F(AppStartupTest, QuitAfterLoginMarksTheAccountAndLogsOut) {
  test::WriteFile(dir_.File("config.ini"), "[Kanzo]\nSERVER_HOST=127.0.0.1\n");
  platform::MessageBoxRecorder boxes;
  const std::string program = WriteRecordingProgram(dir_);
  std::string written;
  {
    CKanzoApp app({}, dir_.path(), program);
    app.SetLoginWindowRunner([](WindowContext& context) {
      LogIn(context);
      return kLoginResultQuit;
    });
    written = LogWrittenDuring([&] { EXPECT_FALSE(app.InitInstance()); });
  }
  EXPECT_EQ(boxes.Count(), 0u);
  DbRows rows;
  ASSERT_TRUE(DBManager::QueryStoredLogins(&rows));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].at(5), kLoginStateLoggedOut);
  EXPECT_NE(written.find("CKanzoApp::LoginOut"), std::string::npos) << written;
  EXPECT_NE(written.find("退出登录"), std::string::npos);
  EXPECT_NE(written.find(kExitLine), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("restarted.txt")));
}

// Stands in for the chat window: it owns a store thread that reads the
// application's records, and stops it (storing what is queued) when it goes.
class StandInChatWindow final : public QWidget, public platform::Window {
 public:
  explicit StandInChatWindow(WindowContext& context) : store_(context.records.contacts, context.records.agent) {
    store_.start();
  }
  platform::MessageResult OnWindowMessage(std::uint32_t, platform::WParam, platform::LParam) override { return 0; }
  StoreTalkMessageTread& Store() { return store_; }

 private:
  StoreTalkMessageTread store_;
};

TEST_F(AppStartupTest, LinesStillQueuedWhenTheProgramEndsAreAllStored) {
  constexpr std::int32_t kVisitor = 5005;
  constexpr int kLines = 400;
  test::WriteFile(dir_.File("config.ini"), "[Kanzo]\nSERVER_HOST=127.0.0.1\n");
  platform::MessageBoxRecorder boxes;
  std::size_t queuedAtEnd = 0;
  {
    CKanzoApp app({}, dir_.path(), WriteRecordingProgram(dir_));
    app.Factories().Set(kChatWindowName,
                        [](QWidget*, WindowContext& context) -> QWidget* { return new StandInChatWindow(context); });
    app.SetLoginWindowRunner([&](WindowContext& context) {
      LogIn(context, false);
      auto visitor = std::make_unique<ContactRecord>();
      visitor->id = kVisitor;
      visitor->kind = kContactKindVisitor;
      context.records.contacts.Enter(std::move(visitor));
      auto* chat = static_cast<StandInChatWindow*>(context.factories->ApplicationWindow(kChatWindowName, context));
      for (int i = 0; i < kLines; ++i) chat->Store().Add(kVisitor, "line " + std::to_string(i), i % 2 == 0);
      queuedAtEnd = chat->Store().QueuedCount();
      ForceLogOff(context);
      return kLoginResultClosed;
    });
    app.InitInstance();
  }
  EXPECT_GT(queuedAtEnd, 0u) << "the lines must still be queued when the run ends";
  DbRows rows;
  ASSERT_TRUE(DbQuery("SELECT COUNT(DISTINCT body) FROM talk_message", &rows));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0], std::to_string(kLines));
}

TEST_F(AppStartupTest, ForcedLogOffRestartsWithoutLogoutOrDatabaseChange) {
  test::WriteFile(dir_.File("config.ini"), "[Kanzo]\nSERVER_HOST=127.0.0.1\n");
  platform::MessageBoxRecorder boxes;
  const std::string program = WriteRecordingProgram(dir_);
  std::string written;
  {
    CKanzoApp app({}, dir_.path(), program);
    app.SetLoginWindowRunner([](WindowContext& context) {
      LogIn(context);
      ForceLogOff(context);
      return kLoginResultForcedOffline;
    });
    written = LogWrittenDuring([&] { app.InitInstance(); });
  }
  ASSERT_TRUE(test::WaitFor([&] { return !test::ReadFile(dir_.File("restarted.txt")).empty(); }));
  EXPECT_EQ(test::ReadFile(dir_.File("restarted.txt")), "restart\n");
  EXPECT_EQ(written.find("退出登录"), std::string::npos);
  DbRows rows;
  ASSERT_TRUE(DBManager::QueryStoredLogins(&rows));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].at(5), kLoginStateLoggedIn);
  EXPECT_NE(written.find(kExitLine), std::string::npos);
}

TEST(AboutBoxTest, AboutBoxLine) {
  EXPECT_EQ(AboutLineText("Kanzo 客服", "1.0.0.1"), "Kanzo 客服 1.0.0.1 Release版");
  AboutDlg about("Kanzo 客服", "1.0.0.1");
  EXPECT_EQ(about.windowTitle(), QString::fromUtf8("关于 Qimbo"));
  EXPECT_EQ(about.LineText(), QString::fromUtf8("Kanzo 客服 1.0.0.1 Release版"));
}

}  // namespace
}  // namespace kanzo
