#pragma once
// A simulator running on its own thread for one test, with any free ports,
// the demo data file, no scenario and short answer delays, and agents that
// connect to it with the client's own dispatcher and window delivery. The
// test thread is the user-interface thread.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/window_message.h"
#include "simulator.h"
#include "simulator/agent_window.h"
#include "support/demo_accounts.h"
#include "support/temp_dir.h"

namespace kanzo::test {

inline constexpr std::int64_t kTestReplyDelayMs = 50;

std::string DemoDataFile();

class SimulatorTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Options before the simulator starts (tests override what they need).
  virtual void Configure(SimOptions& options) { (void)options; }

  // A connected agent; logged in when `user` is given.
  std::unique_ptr<AgentWindow> Connect(const std::string& user = "", const std::string& password = kDemoPassword,
                                       const SocketClient::Deadlines& deadlines = {});
  // Runs a control command and expects it to succeed.
  std::string Control(const std::string& line);
  // Lines of the frame log that hold `needle`.
  std::vector<std::string> Frames(const std::string& needle);

  TempDir dir_;
  // Outlives every agent window of the test.
  platform::ManualUiLoop loop_;
  std::unique_ptr<Simulator> sim_;
};

}  // namespace kanzo::test
