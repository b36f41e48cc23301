#pragma once
// One test of the whole client: the chat-server simulator in this process on
// the client's fixed port, the real client program in a program folder of its
// own as a child process, and the simulator's frame history to read what went
// over the wire. Every wait is bounded; whatever the test started is ended in
// TearDown, the restarted instances included.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "e2e/client_process.h"
#include "platform/window_message.h"
#include "simulator.h"
#include "support/demo_accounts.h"
#include "support/temp_dir.h"

namespace kanzo::test {

inline constexpr const char* kE2eUser = kDemoUser;
inline constexpr const char* kE2ePassword = kDemoPassword;
inline constexpr std::int32_t kE2eUid = kDemoUid;

// One line of the frame log, read back.
struct FrameLine {
  std::size_t index = 0;  // position in the history
  std::string text;
  bool received = false;  // RECV (from a client) or SEND
  std::string conn;
  int command = 0;
  // A field of the header or the Msg ("SESSION_ID", "RESULT", "FROM", "BODY");
  // "" when absent. BODY is the rest of the line.
  std::string Field(const std::string& name) const;
};

class ClientSessionTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the client from its program folder; the test fails when it cannot.
  void StartClient(const std::vector<std::string>& args = {});
  // The client's program folder.
  std::string folder() const { return dir_.File("program/"); }

  std::vector<FrameLine> Frames() const;
  std::vector<FrameLine> Received(int command) const;
  std::vector<FrameLine> Sent(int command) const;
  // Waits until at least `count` frames of `command` came from clients.
  bool WaitForReceived(int command, std::chrono::milliseconds timeout, std::size_t count = 1) const;
  // Waits until the simulator has noted the end of connection `conn`: every
  // frame the client sent before it went is in the history then.
  bool WaitForDisconnect(const std::string& conn, std::chrono::milliseconds timeout) const;
  // Presence notices carrying the logout ("1") that reached the simulator.
  std::vector<FrameLine> LogoutFrames() const;

  // Waits for the automatic login and the main window's first requests;
  // returns the login's connection ("" when they did not come).
  std::string WaitForMainWindow();

  TempDir dir_;
  platform::ManualUiLoop loop_;
  std::unique_ptr<Simulator> sim_;
  std::unique_ptr<ClientProcess> client_;
};

}  // namespace kanzo::test
