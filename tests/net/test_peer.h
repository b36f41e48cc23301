#pragma once
// The chat server's end of the connection, inside a test: a listening
// socket on 127.0.0.1 and the connection it accepted. Every wait is bounded.
#include <cstdint>
#include <string>

#include "net/event_handles.h"

namespace kanzo::test {

class TestPeer {
 public:
  static constexpr int kWaitMs = 5000;

  // Listens on `port` (0 = any free port). `receiveBuffer` > 0 shrinks the
  // accepted connections' receive buffer. With a `backlog` of 0 one
  // unaccepted connection fills the queue, and the handshakes of later
  // ones are never answered.
  explicit TestPeer(std::uint16_t port = 0, int receiveBuffer = 0, int backlog = 4);
  bool listening() const { return listener_.valid(); }
  std::uint16_t port() const { return port_; }

  // Waits for the next connection and makes it the current one.
  bool Accept(int timeoutMs = kWaitMs);
  bool ReadExactly(std::size_t count, std::string* out, int timeoutMs = kWaitMs);
  // Reads one frame; `header` gets the header word.
  bool ReadFrame(std::string* payload, std::uint32_t* header = nullptr, int timeoutMs = kWaitMs);
  bool Send(const std::string& bytes);
  // True when nothing arrives within `timeoutMs`.
  bool Silent(int timeoutMs);
  void CloseConnection();
  // Closes the connection with a reset, dropping what is unread.
  void ResetConnection();
  void StopListening() { listener_.reset(); }

 private:
  UniqueFd listener_;
  UniqueFd connection_;
  std::uint16_t port_ = 0;
};

}  // namespace kanzo::test
