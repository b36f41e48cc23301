#include "net/test_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <chrono>

#include "net/frame_format.h"

namespace kanzo::test {
namespace {

bool WaitReadable(int fd, int timeoutMs) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, timeoutMs) == 1;
}

int RemainingMs(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

TestPeer::TestPeer(std::uint16_t port, int receiveBuffer, int backlog) {
  UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const int on = 1;
  ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  if (receiveBuffer > 0) ::setsockopt(fd.get(), SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return;
  if (::listen(fd.get(), backlog) != 0) return;
  socklen_t length = sizeof address;
  ::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  listener_ = std::move(fd);
}

bool TestPeer::Accept(int timeoutMs) {
  if (!listener_.valid() || !WaitReadable(listener_.get(), timeoutMs)) return false;
  connection_.reset(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
  return connection_.valid();
}

bool TestPeer::ReadExactly(std::size_t count, std::string* out, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  out->assign(count, '\0');
  std::size_t have = 0;
  while (have < count) {
    if (!WaitReadable(connection_.get(), RemainingMs(deadline))) return false;
    const ssize_t got = ::recv(connection_.get(), out->data() + have, count - have, 0);
    if (got <= 0) return false;
    have += static_cast<std::size_t>(got);
  }
  return true;
}

bool TestPeer::ReadFrame(std::string* payload, std::uint32_t* header, int timeoutMs) {
  std::string head;
  if (!ReadExactly(kFrameHeaderBytes, &head, timeoutMs)) return false;
  const auto* bytes = reinterpret_cast<const unsigned char*>(head.data());
  if (header) *header = ReadBigEndian32(bytes);
  return ReadExactly(ReadBigEndian32(bytes + kFrameWordBytes), payload, timeoutMs);
}

bool TestPeer::Send(const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(connection_.get(), bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

bool TestPeer::Silent(int timeoutMs) { return !WaitReadable(connection_.get(), timeoutMs); }

void TestPeer::CloseConnection() { connection_.reset(); }

void TestPeer::ResetConnection() {
  const linger abort{1, 0};
  ::setsockopt(connection_.get(), SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
  connection_.reset();
}

}  // namespace kanzo::test
