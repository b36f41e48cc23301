#include "simulator/sim_fixture.h"

#include "net/session_id.h"
#include "protocol/startup_codecs.h"

namespace kanzo::test {

std::string DemoDataFile() { return std::string(KANZO_SIM_DATA_DIR) + "/demo-accounts.json"; }

void SimulatorTest::SetUp() {
  ASSERT_TRUE(RegisterStartupCodecs());
  platform::SetUiLoop(&loop_);
  SimOptions options = EmbeddedSimOptions(DemoDataFile());
  options.controlPort = 0;  // the tests drive it through its control port
  options.frameLogPath = dir_.File("frames.log");
  options.service.replyDelayMs = kTestReplyDelayMs;
  Configure(options);
  sim_ = std::make_unique<Simulator>(options);
  std::string error;
  ASSERT_TRUE(sim_->StartThread(&error)) << error;
}

void SimulatorTest::TearDown() {
  if (sim_) sim_->Stop();
  sim_.reset();
  platform::SetUiLoop(nullptr);
  SetCurrentSessionId(0);
}

std::unique_ptr<AgentWindow> SimulatorTest::Connect(const std::string& user, const std::string& password,
                                                    const SocketClient::Deadlines& deadlines) {
  auto client = std::make_unique<AgentWindow>(loop_, deadlines);
  EXPECT_TRUE(client->Connect(sim_->port()));
  if (!user.empty()) {
    const std::unique_ptr<Message> answer = client->LogIn(user, password);
    EXPECT_TRUE(answer != nullptr && answer->RESULT == 0) << "login of " << user;
  }
  return client;
}

std::string SimulatorTest::Control(const std::string& line) {
  const ControlAnswer answer = sim_->Command(line);
  EXPECT_TRUE(answer.ok) << line << ": " << answer.text;
  return answer.text;
}

std::vector<std::string> SimulatorTest::Frames(const std::string& needle) { return sim_->frameLog().Matching(needle); }

}  // namespace kanzo::test
