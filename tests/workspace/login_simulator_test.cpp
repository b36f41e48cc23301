// The login window against the chat-server simulator, running in the test
// process on 127.0.0.1: a real login with the demo account, a wrong
// password, and a keep-alive answered by the server.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <memory>
#include <thread>

#include "controls/skin_kit.h"
#include "db/db_access.h"
#include "db/db_manager.h"
#include "net/network_startup.h"
#include "net/session_id.h"
#include "platform/message_box.h"
#include "protocol/startup_codecs.h"
#include "simulator.h"
#include "support/qt_pump.h"
#include "support/simulator_login_fixture.h"
#include "support/temp_dir.h"
#include "support/window_context_fixture.h"
#include "workspace/login_dlg.h"

namespace kanzo {
namespace {

using test::kDemoPassword;
using test::kDemoUid;
using test::kDemoUser;
constexpr int kWaitMs = 5000;

using ::kanzo::test::PumpUntil;

// A main window that only counts what the login window tells it.
MainWindowMaker PlainMainWindow() {
  MainWindowMaker maker;
  maker.create = [](QWidget* owner, WindowContext&) -> QWidget* { return new QDialog(owner); };
  return maker;
}

class LoginSimulatorTest : public test::SimulatorLoginFixture {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(SimulatorLoginFixture::SetUp());
    ASSERT_NO_FATAL_FAILURE(
        StartSimulator([&](SimOptions& options) { options.frameLogPath = dir_.File("frames.log"); }));
    window_ = std::make_unique<LoginDlg>(windows_.context, nullptr, PlainMainWindow());
    window_->show();
  }
  void TearDown() override {
    window_.reset();
    SimulatorLoginFixture::TearDown();
  }

  void Submit(const char* user, const char* password) { SubmitLogin(*window_, user, password); }

  std::unique_ptr<LoginDlg> window_;
};

TEST_F(LoginSimulatorTest, DemoAgentLogsInAndKeepsTheSession) {
  Submit(kDemoUser, kDemoPassword);
  ASSERT_TRUE(PumpUntil([&] { return windows_.records.agent.AgentId() == kDemoUid; }));
  EXPECT_FALSE(window_->isVisible());
  ASSERT_NE(window_->MainWindow(), nullptr);
  EXPECT_TRUE(window_->MainWindow()->isVisible());
  const std::int64_t session = CurrentSessionId();
  EXPECT_NE(session, 0);
  EXPECT_FALSE(windows_.records.agent.Copy().realname.empty());
  DbRows rows;
  ASSERT_TRUE(DBManager::QueryStoredLogins(&rows));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0], kDemoUser);

  window_->Timers().Fire(kKeepAliveTimerId);
  ASSERT_TRUE(PumpUntil([&] { return window_->Session().Records().AnsweredCount() == 1; }));
  EXPECT_EQ(window_->Session().Records().Level(), 4);

  window_->RefreshLogin();
  ASSERT_TRUE(PumpUntil([&] { return window_->Session().Records().AnsweredCount() == 2; }));
  EXPECT_EQ(boxes_.Count(), 0u);
}

TEST_F(LoginSimulatorTest, WrongPasswordShowsTheServersText) {
  Submit(kDemoUser, "wrong");
  ASSERT_TRUE(PumpUntil([&] { return boxes_.Count() == 1; }));
  EXPECT_EQ(boxes_.Boxes()[0].text, "密码错误");
  EXPECT_TRUE(window_->isVisible());
  EXPECT_EQ(window_->SubmitButton()->text(), "登录");
  EXPECT_EQ(windows_.records.agent.AgentId(), 0);
}

}  // namespace
}  // namespace kanzo
