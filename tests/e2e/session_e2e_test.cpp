// The whole client against the simulator: the automatic login and the main
// window's first requests, the session refresh on its timer, a clean end from
// outside, and a forced log-off by a second login of the same account.
#include <sys/wait.h>

#include <algorithm>
#include <csignal>

#include "e2e/session_fixture.h"
#include "platform/process.h"
#include "protocol/commands.h"
#include "simulator/agent_window.h"

namespace kanzo::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

// The login window refreshes the session every 10 s once logged in.
constexpr auto kRefreshWait = seconds(15);
constexpr auto kExitWait = seconds(8);
constexpr auto kFrameWait = seconds(5);
constexpr auto kInstanceWait = seconds(5);
constexpr int kEndGraceMs = 2000;
constexpr const char* kLoggedIn = "1";
constexpr const char* kEndedCleanly = "2";
constexpr const char* kForcedOfflineBody = "4";
constexpr const char* kRestartArgument = "restart";
constexpr const char* kExitLine = "==================系统退出==================";

std::size_t Count(const std::string& text, const std::string& needle) {
  std::size_t n = 0;
  for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) ++n;
  return n;
}

bool ExitedCleanly(const std::optional<int>& status) {
  return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}

TEST_F(ClientSessionTest, LogsInByItselfLoadsTheMainWindowAndRefreshesItsSession) {
  StartClient();
  const std::string conn = WaitForMainWindow();
  ASSERT_FALSE(conn.empty());

  // The stored login went out as it is stored, and was accepted.
  const FrameLine login = Received(kCommandLogin).front();
  EXPECT_NE(login.text.find("username=demo password=kanzo123"), std::string::npos) << login.text;
  const std::vector<FrameLine> loginAnswers = Sent(kCommandLogin);
  ASSERT_EQ(loginAnswers.size(), 1u);
  EXPECT_EQ(loginAnswers[0].Field("RESULT"), "0");
  const std::string firstSession = loginAnswers[0].Field("SESSION_ID");
  ASSERT_FALSE(firstSession.empty());

  // The main window's requests follow the login, in the order it makes them,
  // on the same connection and with the session the login gave.
  ASSERT_TRUE(WaitForReceived(kCommandGetQuickMessage, kFrameWait));
  std::size_t previous = login.index;
  for (const int command :
       {kCommandStartData, kCommandGetOnlineVisitor, kCommandGetQuickMessage, kCommandLoadSessionCount}) {
    const std::vector<FrameLine> requests = Received(command);
    ASSERT_FALSE(requests.empty()) << "command " << command;
    EXPECT_GT(requests.front().index, previous) << "command " << command << " out of order";
    EXPECT_EQ(requests.front().conn, conn) << requests.front().text;
    EXPECT_EQ(requests.front().Field("SESSION_ID"), firstSession) << requests.front().text;
    previous = requests.front().index;
  }

  // Every one of them is answered, the quick lists included (the main window
  // asks for them with its triple alone).
  ASSERT_TRUE(WaitFor([&] { return !Sent(kCommandLoadSessionCount).empty(); }, kFrameWait));
  for (const int command :
       {kCommandStartData, kCommandGetOnlineVisitor, kCommandGetQuickMessage, kCommandLoadSessionCount}) {
    const std::vector<FrameLine> answers = Sent(command);
    ASSERT_EQ(answers.size(), 1u) << "command " << command;
    EXPECT_EQ(answers[0].Field("RESULT"), "0") << answers[0].text;
  }

  // The keep-alive: the refresh carries the login's session and the answer
  // gives a new one.
  ASSERT_TRUE(WaitForReceived(kCommandRefreshSession, kRefreshWait))
      << "no session refresh within " << kRefreshWait.count() << " s";
  const FrameLine refresh = Received(kCommandRefreshSession).front();
  EXPECT_EQ(refresh.conn, conn);
  EXPECT_EQ(refresh.Field("SESSION_ID"), firstSession);
  ASSERT_TRUE(WaitFor([&] { return !Sent(kCommandRefreshSession).empty(); }, kFrameWait));
  const FrameLine refreshed = Sent(kCommandRefreshSession).front();
  EXPECT_EQ(refreshed.Field("RESULT"), "0");
  EXPECT_NE(refreshed.Field("SESSION_ID"), firstSession);

  ASSERT_TRUE(WaitFor([&] { return ClientLogText(folder()).find("刷新SESSION成功") != std::string::npos; }, kFrameWait))
      << "the client did not log the refreshed session";
  const std::string log = ClientLogText(folder());
  EXPECT_NE(log.find("登陆成功 加载用户信息"), std::string::npos);
  EXPECT_EQ(LoginInfoColumn(folder(), kE2eUser, "is_login"), std::optional<std::string>(kLoggedIn));
  EXPECT_TRUE(client_->running());
  EXPECT_FALSE(client_->WaitExit(milliseconds(0)).has_value()) << "the client ended by itself";
}

TEST_F(ClientSessionTest, EndedFromOutsideLogsOutOnceAndStoresTheCleanEnd) {
  StartClient();
  const std::string conn = WaitForMainWindow();
  ASSERT_FALSE(conn.empty());
  ASSERT_EQ(LoginInfoColumn(folder(), kE2eUser, "is_login"), std::optional<std::string>(kLoggedIn));

  ASSERT_TRUE(client_->Signal(SIGTERM));
  const std::optional<int> status = client_->WaitExit(kExitWait);
  ASSERT_TRUE(status.has_value()) << "the client did not end within " << kExitWait.count() << " s of SIGTERM";
  EXPECT_TRUE(ExitedCleanly(status)) << "wait status " << *status << "\n" << client_->Output();

  ASSERT_TRUE(WaitForDisconnect(conn, kFrameWait));
  const std::vector<FrameLine> logouts = LogoutFrames();
  ASSERT_EQ(logouts.size(), 1u) << "exactly one logout expected";
  EXPECT_EQ(logouts[0].conn, conn);
  EXPECT_EQ(logouts[0].Field("FROM"), std::to_string(kE2eUid)) << logouts[0].text;

  EXPECT_EQ(LoginInfoColumn(folder(), kE2eUser, "is_login"), std::optional<std::string>(kEndedCleanly));
  const std::string log = ClientLogText(folder());
  EXPECT_EQ(Count(log, "退出登录"), 1u) << log;
  EXPECT_NE(log.find(kExitLine), std::string::npos);
  EXPECT_TRUE(ClientInstancesIn(folder()).empty()) << "a clean end starts nothing";
}

TEST_F(ClientSessionTest, SecondLoginOfTheAccountEndsTheClientWithoutLogoutAndRestartsIt) {
  StartClient();
  const std::string conn = WaitForMainWindow();
  ASSERT_FALSE(conn.empty());
  const auto rowBefore = LoginInfoRow(folder(), kE2eUser);
  ASSERT_EQ(rowBefore.at("is_login"), kLoggedIn);

  // The same account logs in from another client.
  AgentWindow other(loop_);
  ASSERT_TRUE(other.Connect(sim_->port()));
  const std::unique_ptr<Message> answer = other.LogIn(kE2eUser, kE2ePassword);
  ASSERT_TRUE(answer != nullptr && answer->RESULT == 0) << "second login of " << kE2eUser;

  const std::optional<int> status = client_->WaitExit(kExitWait);
  ASSERT_TRUE(status.has_value()) << "the first client did not end after the forced log-off";
  EXPECT_TRUE(ExitedCleanly(status)) << "wait status " << *status << "\n" << client_->Output();
  ASSERT_TRUE(WaitForDisconnect(conn, kFrameWait));

  // The notice reached the first client's connection only.
  std::vector<FrameLine> notices;
  for (auto& line : Sent(kCommandUpdateKFState))
    if (line.Field("BODY") == kForcedOfflineBody) notices.push_back(line);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].conn, conn);

  // Neither the server nor the stored login hear of an end: the account is
  // still logged in, elsewhere.
  EXPECT_TRUE(LogoutFrames().empty()) << LogoutFrames().front().text;
  EXPECT_EQ(LoginInfoRow(folder(), kE2eUser), rowBefore);
  const std::string log = ClientLogText(folder());
  EXPECT_NE(log.find("账户在其它地方登录，强制下线"), std::string::npos) << log;
  EXPECT_EQ(log.find("退出登录"), std::string::npos) << log;
  EXPECT_EQ(log.find("重新启动失败"), std::string::npos) << log;

  // A new instance was started with "restart" (it shows its notice, which
  // nobody answers here); it is ended by name, bounded.
  std::vector<pid_t> restarted;
  ASSERT_TRUE(WaitFor([&] { return !(restarted = ClientInstancesIn(folder())).empty(); }, kInstanceWait))
      << "no new instance of the client";
  ASSERT_EQ(restarted.size(), 1u);
  EXPECT_EQ(ProcessArguments(restarted[0]), std::vector<std::string>{kRestartArgument});
  for (const pid_t pid : restarted) EXPECT_TRUE(platform::EndProcess(pid, kEndGraceMs)) << pid;
  EXPECT_TRUE(WaitFor([&] { return ClientInstancesIn(folder()).empty(); }, kInstanceWait));
}

}  // namespace
}  // namespace kanzo::test
