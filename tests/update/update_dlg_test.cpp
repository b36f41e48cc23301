// The updater's dialog and application object on the offscreen platform,
// against an HTTP server on 127.0.0.1 and a temporary program folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/qt/qt_text.h"
#include "support/child_process.h"
#include "support/qt_pump.h"
#include "support/temp_dir.h"
#include "update/test_http_server.h"
#include "update/update_app.h"
#include "update/update_dlg.h"
#include "update/update_run.h"

namespace kanzo {

// The program these tests update has a name of its own, so that a client
// running on the machine is never taken for the one being updated.
namespace {

using platform::MessageBoxIcon;
using platform::MessageBoxRecorder;
using platform::MessageBoxResult;
using test::ReadFile;
using test::TempDir;
using test::TestHttpAnswer;
using test::TestHttpServer;
using test::WriteFile;
namespace fs = std::filesystem;

constexpr int kWaitMs = 10000;
constexpr int kWatchdogTickMs = 20;
constexpr const char* kNewVersionFile =
    "[KzUpdTest]\nVERSION=2.0\nUPDATE_INTRO1=更快的消息\nFILE1=KzUpdTest\nFILE2=Images/logo.png\n";

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

// Runs the user-interface loop until `done` holds or the time is up.
using ::kanzo::test::PumpUntil;

void Click(CUpdateDlg& dlg, int id) {
  auto* button = dlg.findChild<QPushButton*>(QString::number(id));
  ASSERT_NE(button, nullptr);
  button->click();
}

// Runs a blocking CUpdateApp::InitInstance while `onTick` watches its
// dialog; a dialog still open after the time is up is cancelled.
bool RunAppWatched(CUpdateApp& app, const std::function<void(CUpdateDlg&)>& onTick) {
  bool timedOut = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
  QTimer watchdog;
  QObject::connect(&watchdog, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* dlg = qobject_cast<CUpdateDlg*>(w);
      if (!dlg || dlg->Ended()) continue;
      if (std::chrono::steady_clock::now() > deadline) {
        timedOut = true;
        dlg->OnCancelButton();
      } else {
        onTick(*dlg);
      }
    }
  });
  watchdog.start(kWatchdogTickMs);
  app.InitInstance();
  return !timedOut;
}

class UpdateDlgTest : public ::testing::Test {
 protected:
  std::unique_ptr<CUpdateDlg> MakeDialog(bool silent, const std::string& current = "1.0", int port = 0) {
    UpdateRunParams params{"KzUpdTest", current, "", silent};
    params.versionFileUrl = port ? "http://127.0.0.1:" + std::to_string(port) + "/update.html?random=1"
                                 : server_.Url("/update.html?random=1");
    HttpUrlParts url;
    EXPECT_TRUE(SplitHttpUrl(params.versionFileUrl, &url));
    return std::make_unique<CUpdateDlg>(params, url, dir_.path());
  }
  std::vector<std::string> FileRequests() const {
    std::vector<std::string> out;
    for (const auto& r : server_.Requests())
      if (r.rfind("/update.html", 0) != 0) out.push_back(r);
    return out;
  }

  TempDir dir_;
  TestHttpServer server_;
  MessageBoxRecorder boxes_;
};

TEST_F(UpdateDlgTest, LabelsFollowTheWizardFromStartToFinish) {
  WriteFile(dir_.File("KzUpdTest"), "old client");
  server_.Serve("/update.html", TestHttpAnswer{200, kNewVersionFile});
  server_.Serve("/KzUpdTest", TestHttpAnswer{200, std::string(9000, 'n')});
  server_.Serve("/Images/logo.png", TestHttpAnswer{200, "png"});
  auto dlg = MakeDialog(false);
  ASSERT_TRUE(dlg->OnInitDialog());
  dlg->show();
  EXPECT_EQ(dlg->windowTitle(), Q("更新"));
  EXPECT_TRUE(dlg->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(dlg->NextLabel(), Q("下一步(&N)"));
  EXPECT_EQ(dlg->StatusText(), Q("点击下一步查看可用的更新"));
  EXPECT_EQ(dlg->ProgressLines(), QStringList{Q("应用当前版本：KzUpdTest 1.0")});
  EXPECT_TRUE(server_.Requests().empty());  // nothing is asked before the user does

  Click(*dlg, CUpdateDlg::kIdNext);
  ASSERT_TRUE(PumpUntil([&] { return !dlg->Busy() && dlg->NextLabel() == Q("更新(&U)"); }));
  EXPECT_EQ(dlg->StatusText(), Q("发现新的版本:KzUpdTest 2.0"));
  EXPECT_EQ(dlg->ProgressLines(),
            (QStringList{Q("应用当前版本：KzUpdTest 1.0"), Q("==============V2.0更新摘要=============="),
                         Q("更快的消息"), Q("==========================================")}));
  EXPECT_TRUE(dlg->NextEnabled());

  Click(*dlg, CUpdateDlg::kIdNext);
  EXPECT_FALSE(dlg->NextEnabled());
  EXPECT_FALSE(dlg->CancelEnabled());
  ASSERT_TRUE(PumpUntil([&] { return !dlg->Busy() && dlg->NextLabel() == Q("完成(&O)"); }));
  PumpUntil([&] { return dlg->StatusText() == Q("更新完成！"); }, 1000);
  EXPECT_EQ(dlg->StatusText(), Q("更新完成！"));
  EXPECT_EQ(dlg->ProgressLines().back(), Q("更新后的应用版本：KzUpdTest 2.0"));
  EXPECT_TRUE(dlg->ProgressLines().contains(Q("Images/logo.png 更新成功")));
  EXPECT_EQ(dlg->ProgressPercent(), 100);
  EXPECT_TRUE(dlg->NextEnabled());
  EXPECT_TRUE(dlg->CancelEnabled());
  EXPECT_EQ(ReadFile(dir_.File("KzUpdTest")), std::string(9000, 'n'));
  EXPECT_FALSE(fs::exists(dir_.File("update.ini")));

  Click(*dlg, CUpdateDlg::kIdNext);
  EXPECT_TRUE(dlg->Ended());
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_EQ(boxes_.Count(), 0u);
}

TEST_F(UpdateDlgTest, CheckOutcomesShownInteractively) {
  int deadPort = 0;
  { deadPort = TestHttpServer().port(); }
  struct Case {
    const char* what;
    TestHttpAnswer answer;
    int port;
    const char* status;
    bool nextEnabled;
    std::size_t boxes;
  } cases[] = {
      {"same version", {200, "[KzUpdTest]\nVERSION=1.0\n"}, 0, "您现在使用的版本已经是最新的！", false, 0},
      {"missing", {404, "no"}, 0, "读取服务器资源失败！", true, 0},
      {"redirect", {301, "", {{"Location", "/elsewhere"}}}, 0, "读取服务器资源失败！", true, 0},
      {"nobody listening", {}, deadPort, "连接服务器失败！", true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MessageBoxRecorder boxes;
    server_.Serve("/update.html", c.answer);
    auto dlg = MakeDialog(false, "1.0", c.port);
    ASSERT_TRUE(dlg->OnInitDialog());
    dlg->show();
    Click(*dlg, CUpdateDlg::kIdNext);
    ASSERT_TRUE(PumpUntil([&] { return !dlg->Busy() && dlg->StatusText() == Q(c.status); }));
    EXPECT_EQ(dlg->NextLabel(), Q("下一步(&N)"));
    EXPECT_EQ(dlg->NextEnabled(), c.nextEnabled);
    EXPECT_TRUE(dlg->CancelEnabled());
    ASSERT_EQ(boxes.Count(), c.boxes);
    if (c.boxes) {
      EXPECT_EQ(boxes.Boxes()[0].icon, MessageBoxIcon::Error);
      EXPECT_FALSE(boxes.Boxes()[0].text.empty());
    }
    Click(*dlg, CUpdateDlg::kIdCancel);
    EXPECT_TRUE(dlg->Ended());
  }
}

TEST_F(UpdateDlgTest, AFailedDownloadStillEndsWithFinish) {
  WriteFile(dir_.File("KzUpdTest"), "old client");
  server_.Serve("/update.html", TestHttpAnswer{200, kNewVersionFile});
  server_.Serve("/KzUpdTest", TestHttpAnswer{404, "<html>error page</html>"});
  auto dlg = MakeDialog(false);
  ASSERT_TRUE(dlg->OnInitDialog());
  Click(*dlg, CUpdateDlg::kIdNext);
  ASSERT_TRUE(PumpUntil([&] { return !dlg->Busy() && dlg->NextLabel() == Q("更新(&U)"); }));
  Click(*dlg, CUpdateDlg::kIdNext);
  ASSERT_TRUE(PumpUntil([&] { return !dlg->Busy() && dlg->NextLabel() == Q("完成(&O)"); }));
  EXPECT_EQ(dlg->ProgressLines().back(), Q("KzUpdTest下载失败"));
  EXPECT_EQ(dlg->StatusText(), Q("更新未完成！"));
  EXPECT_EQ(ReadFile(dir_.File("KzUpdTest")), "old client");
  EXPECT_TRUE(dlg->NextEnabled());
}

// The offered version is the server's word: a link or picture in it is shown
// as written, never followed or fetched.
TEST_F(UpdateDlgTest, AnOfferedVersionThatLooksLikeMarkupIsShownAsText) {
  for (const char* version : {"<a href=\"http://evil.example/\">2.0</a>", "<img src=\"/etc/passwd\">2.0"}) {
    SCOPED_TRACE(version);
    server_.Serve("/update.html", TestHttpAnswer{200, std::string("[KzUpdTest]\nVERSION=") + version + "\n"});
    auto dlg = MakeDialog(false);
    ASSERT_TRUE(dlg->OnInitDialog());
    dlg->show();
    Click(*dlg, CUpdateDlg::kIdNext);
    ASSERT_TRUE(PumpUntil([&] { return !dlg->Busy() && dlg->NextLabel() == Q("更新(&U)"); }));
    auto* status = dlg->findChild<QLabel*>(QString::number(CUpdateDlg::kIdStatus));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->textFormat(), Qt::PlainText);
    EXPECT_EQ(status->text(), Q("发现新的版本:KzUpdTest ") + Q(version));
    Click(*dlg, CUpdateDlg::kIdCancel);
  }
}

TEST_F(UpdateDlgTest, ARunningClientIsEndedOnlyOnTheUsersWord) {
  const std::string name = "KzDlgTest" + std::to_string(getpid());
  const std::string program = test::WaitingProgramCopy(dir_.path(), name);
  ASSERT_FALSE(program.empty());
  const pid_t client = platform::StartProcess(program, {"30"});
  ASSERT_GT(client, 0);
  ASSERT_TRUE(test::WaitFor([&] { return FindRunningProgram(name).has_value(); }));
  server_.Serve("/update.html", TestHttpAnswer{200, "[" + name + "]\nVERSION=2.0\n"});

  UpdateRunParams params{name, "1.0", server_.Url("/update.html"), false};
  HttpUrlParts url;
  ASSERT_TRUE(SplitHttpUrl(params.versionFileUrl, &url));
  CUpdateDlg dlg(params, url, dir_.path());
  ASSERT_TRUE(dlg.OnInitDialog());
  Click(dlg, CUpdateDlg::kIdNext);
  ASSERT_TRUE(PumpUntil([&] { return !dlg.Busy() && dlg.NextLabel() == Q("更新(&U)"); }));

  boxes_.QueueAnswer(MessageBoxResult::Cancel);
  Click(dlg, CUpdateDlg::kIdNext);
  ASSERT_EQ(boxes_.Count(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, name + "已在运行！\n请先关闭程序才能进行更新！\n如果选择确定将强行关闭程序！");
  EXPECT_EQ(boxes_.Boxes()[0].buttons, platform::MessageBoxButtons::OkCancel);
  EXPECT_EQ(dlg.NextLabel(), Q("更新(&U)"));
  EXPECT_TRUE(dlg.NextEnabled());
  EXPECT_TRUE(dlg.CancelEnabled());
  EXPECT_TRUE(FindRunningProgram(name).has_value());

  boxes_.QueueAnswer(MessageBoxResult::Ok);
  Click(dlg, CUpdateDlg::kIdNext);
  ASSERT_TRUE(PumpUntil([&] { return !dlg.Busy() && dlg.NextLabel() == Q("完成(&O)"); }));
  EXPECT_FALSE(FindRunningProgram(name).has_value());
  if (FindRunningProgram(name)) platform::EndProcess(client, 0);
}

TEST_F(UpdateDlgTest, OneOrTwoArgumentsShowTheUsageAndAskNothing) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"KzUpdTest"}, std::vector<std::string>{"KzUpdTest", "1.0"}}) {
    MessageBoxRecorder boxes;
    CUpdateApp app(args, dir_.path());
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(app.Dialog(), nullptr);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text.rfind("用法:update.exe 程序名 版本 版本文件URL\n", 0), 0u);
    EXPECT_NE(boxes.Boxes()[0].text.find("update.ini"), std::string::npos);
    EXPECT_EQ(boxes.Boxes()[0].icon, MessageBoxIcon::Error);
  }
  EXPECT_TRUE(server_.Requests().empty());
}

TEST_F(UpdateDlgTest, OnlyPlainHttpIsAccepted) {
  CUpdateApp app({"KzUpdTest", "1.0", "https://127.0.0.1:" + std::to_string(server_.port()) + "/update.html"},
                 dir_.path());
  EXPECT_FALSE(app.InitInstance());
  EXPECT_EQ(app.Dialog(), nullptr);
  ASSERT_EQ(boxes_.Count(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "版本文件URL应一http://开头!");
  EXPECT_EQ(boxes_.Boxes()[0].icon, MessageBoxIcon::Error);
  EXPECT_TRUE(server_.Requests().empty());
}

TEST_F(UpdateDlgTest, SilentRunEndsUnseenWhenNothingIsNew) {
  struct Case {
    const char* what;
    TestHttpAnswer answer;
  } cases[] = {
      {"same version", {200, "[KzUpdTest]\nVERSION=1.0.0.1\n"}},
      {"missing", {404, "no"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    server_.Serve("/update.html", c.answer);
    CUpdateApp app({"KzUpdTest", "1.0.0.1", server_.Url("/update.html?random=3")}, dir_.path());
    EXPECT_TRUE(RunAppWatched(app, [](CUpdateDlg&) {}));
    ASSERT_NE(app.Dialog(), nullptr);
    EXPECT_FALSE(app.Dialog()->WasShown());
    EXPECT_EQ(boxes_.Count(), 0u);
  }
  EXPECT_EQ(server_.Requests(), (std::vector<std::string>{"/update.html?random=3", "/update.html?random=3"}));
}

TEST_F(UpdateDlgTest, SilentRunShowsTheWindowForANewVersion) {
  server_.Serve("/update.html", TestHttpAnswer{200, kNewVersionFile});
  CUpdateApp app({"KzUpdTest", "1.0", server_.Url("/update.html")}, dir_.path());
  bool sawOffer = false;
  EXPECT_TRUE(RunAppWatched(app, [&](CUpdateDlg& dlg) {
    if (dlg.isVisible() && !dlg.Busy() && dlg.NextLabel() == Q("更新(&U)")) {
      sawOffer = dlg.StatusText() == Q("发现新的版本:KzUpdTest 2.0");
      dlg.OnCancelButton();
    }
  }));
  EXPECT_TRUE(sawOffer);
  EXPECT_TRUE(app.Dialog()->WasShown());
  EXPECT_TRUE(FileRequests().empty());
}

}  // namespace
}  // namespace kanzo
