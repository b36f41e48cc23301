#include "net/socket_client.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <mutex>
#include <string>

#include "log/cx_log.h"
#include "net/frame_bytes.h"
#include "net/frame_format.h"
#include "net/test_peer.h"
#include "platform/process.h"
#include "support/temp_dir.h"

namespace kanzo {
namespace {

using test::FrameOf;
using test::TestPeer;
using test::WaitFor;

constexpr const char* kLoopback = "127.0.0.1";

// Keeps what arrives, for the test thread to look at.
class RecordingClient : public SocketClient {
 public:
  RecordingClient() = default;
  explicit RecordingClient(const Deadlines& deadlines) : SocketClient(deadlines) {}
  ~RecordingClient() override { shutdown(); }

  std::string received() {
    std::lock_guard lock(mutex_);
    return received_;
  }
  int losses() {
    std::lock_guard lock(mutex_);
    return losses_;
  }
  bool stoppedCalled() const { return stopped_.load(); }

 protected:
  void onRead(evbuffer* input) override {
    std::string bytes(evbuffer_get_length(input), '\0');
    evbuffer_remove(input, bytes.data(), bytes.size());
    std::lock_guard lock(mutex_);
    received_ += bytes;
  }
  void onConnectionLost() override {
    std::lock_guard lock(mutex_);
    ++losses_;
  }
  void stopped() override { stopped_.store(true); }

 private:
  std::mutex mutex_;
  std::string received_;
  int losses_ = 0;
  std::atomic<bool> stopped_{false};
};

OutgoingFrame Frame(const std::string& payload) {
  auto frame = std::make_unique<Buffer>();
  const std::string bytes = FrameOf(payload);
  frame->write(bytes.data(), static_cast<std::int32_t>(bytes.size()));
  return frame;
}

TEST(SocketClientTest, FramesWrittenBeforeTheConnectionGoOutInOrder) {
  TestPeer peer;
  ASSERT_TRUE(peer.listening());
  RecordingClient client;
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(client.write(Frame("frame " + std::to_string(i))));
  ASSERT_TRUE(client.connect(kLoopback, peer.port()));
  ASSERT_TRUE(peer.Accept());
  for (int i = 0; i < 20; ++i) {
    std::string payload;
    ASSERT_TRUE(peer.ReadFrame(&payload)) << i;
    EXPECT_EQ(payload, "frame " + std::to_string(i));
  }
  EXPECT_TRUE(WaitFor([&] { return client.state() == SocketClient::kConnected; }));
  // Later writes go straight out.
  ASSERT_TRUE(client.write(Frame("late")));
  std::string payload;
  ASSERT_TRUE(peer.ReadFrame(&payload));
  EXPECT_EQ(payload, "late");
}

TEST(SocketClientTest, HandsReceivedBytesToTheReader) {
  TestPeer peer;
  RecordingClient client;
  ASSERT_TRUE(client.connect(kLoopback, peer.port()));
  ASSERT_TRUE(peer.Accept());
  ASSERT_TRUE(peer.Send("first "));
  ASSERT_TRUE(peer.Send("second"));
  EXPECT_TRUE(WaitFor([&] { return client.received() == "first second"; }));
}

TEST(SocketClientTest, ReconnectsAfterAPauseAndSendsWhatWasQueued) {
  TestPeer peer;
  RecordingClient client;
  ASSERT_TRUE(client.connect(kLoopback, peer.port()));
  ASSERT_TRUE(peer.Accept());
  ASSERT_TRUE(WaitFor([&] { return client.state() == SocketClient::kConnected; }));

  const auto closedAt = std::chrono::steady_clock::now();
  peer.CloseConnection();
  ASSERT_TRUE(WaitFor([&] { return client.losses() == 1; }));
  ASSERT_TRUE(client.write(Frame("queued while down 1")));
  ASSERT_TRUE(client.write(Frame("queued while down 2")));

  ASSERT_TRUE(peer.Accept());
  const auto pause = std::chrono::steady_clock::now() - closedAt;
  EXPECT_GE(pause, std::chrono::milliseconds(SocketClient::kReconnectDelayMs - 100));
  std::string payload;
  ASSERT_TRUE(peer.ReadFrame(&payload));
  EXPECT_EQ(payload, "queued while down 1");
  ASSERT_TRUE(peer.ReadFrame(&payload));
  EXPECT_EQ(payload, "queued while down 2");
}

TEST(SocketClientTest, KeepsTryingWhileTheServerRefuses) {
  std::uint16_t port;
  {
    TestPeer probe;
    port = probe.port();
  }
  RecordingClient client;
  ASSERT_TRUE(client.write(Frame("waited")));
  ASSERT_TRUE(client.connect(kLoopback, port));
  // Several refused attempts pass before the server comes up.
  EXPECT_TRUE(WaitFor([&] { return client.state() == SocketClient::kBroken; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(2 * SocketClient::kReconnectDelayMs + 200));
  TestPeer peer(port);
  ASSERT_TRUE(peer.listening());
  ASSERT_TRUE(peer.Accept(3 * SocketClient::kReconnectDelayMs));
  std::string payload;
  ASSERT_TRUE(peer.ReadFrame(&payload));
  EXPECT_EQ(payload, "waited");
}

TEST(SocketClientTest, AFrameCutByABrokenConnectionGoesOutWholeAfterwards) {
  // A small receive window keeps most of the frame in the client when the
  // peer resets the connection after its first bytes.
  TestPeer peer(0, 4096);
  RecordingClient client;
  ASSERT_TRUE(client.connect(kLoopback, peer.port()));
  ASSERT_TRUE(peer.Accept());
  std::string big(24 * 1024 * 1024, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>('a' + i % 26);
  ASSERT_TRUE(client.write(Frame(big)));
  ASSERT_TRUE(client.write(Frame("after")));
  std::string start;
  ASSERT_TRUE(peer.ReadExactly(1000, &start));
  peer.ResetConnection();

  ASSERT_TRUE(peer.Accept());
  std::string payload;
  ASSERT_TRUE(peer.ReadFrame(&payload, nullptr, 20000));
  EXPECT_TRUE(payload == big) << "resent frame differs, size " << payload.size();
  ASSERT_TRUE(peer.ReadFrame(&payload));
  EXPECT_EQ(payload, "after");
}

TEST(SocketClientTest, ExitEndsTheThreadAndRefusesLaterWrites) {
  TestPeer peer;
  RecordingClient client;
  ASSERT_TRUE(client.connect(kLoopback, peer.port()));
  ASSERT_TRUE(peer.Accept());
  client.shutdown();
  EXPECT_TRUE(client.stoppedCalled());
  EXPECT_FALSE(client.running());
  EXPECT_EQ(client.state(), SocketClient::kClosed);
  EXPECT_FALSE(client.write(Frame("too late")));
  // The peer sees the connection closed.
  std::string byte;
  EXPECT_FALSE(peer.ReadExactly(1, &byte, 2000));
}

TEST(SocketClientTest, ExitDuringTheReconnectPauseIsPrompt) {
  std::uint16_t port;
  {
    TestPeer probe;
    port = probe.port();
  }
  RecordingClient client;
  ASSERT_TRUE(client.connect(kLoopback, port));
  ASSERT_TRUE(WaitFor([&] { return client.state() == SocketClient::kBroken; }));
  client.shutdown();
  EXPECT_FALSE(client.running());
}

SocketClient::Deadlines ShortDeadlines() {
  SocketClient::Deadlines deadlines;
  deadlines.reconnectMs = 50;
  deadlines.silenceMs = 300;
  deadlines.connectMs = 200;
  return deadlines;
}

TEST(SocketClientTest, AServerSilentAfterARequestIsLeftForANewConnection) {
  TestPeer peer;
  RecordingClient client(ShortDeadlines());
  ASSERT_TRUE(client.connect(kLoopback, peer.port()));
  ASSERT_TRUE(peer.Accept());
  ASSERT_TRUE(WaitFor([&] { return client.state() == SocketClient::kConnected; }));
  // Quiet on both sides is no sign of a dead server; nor is a request that
  // is answered.
  ASSERT_TRUE(client.write(Frame("ping 1")));
  std::string payload;
  ASSERT_TRUE(peer.ReadFrame(&payload));
  ASSERT_TRUE(peer.Send(FrameOf("pong 1")));
  ASSERT_TRUE(peer.Silent(3 * ShortDeadlines().silenceMs));
  EXPECT_EQ(client.losses(), 0);
  // A request that nothing answers: the open connection is given up.
  ASSERT_TRUE(client.write(Frame("ping 2")));
  ASSERT_TRUE(peer.ReadFrame(&payload));
  ASSERT_TRUE(peer.Accept());
  EXPECT_EQ(client.losses(), 1);
  ASSERT_TRUE(client.write(Frame("on the new connection")));
  ASSERT_TRUE(peer.ReadFrame(&payload));
  EXPECT_EQ(payload, "on the new connection");
}

TEST(SocketClientTest, AWriteThatMakesNoProgressBreaksTheConnection) {
  // A server that has stopped reading: its receive window fills and stays
  // full, so the client's output stops moving.
  TestPeer peer(0, 4096);
  SocketClient::Deadlines deadlines = ShortDeadlines();
  deadlines.silenceMs = 60000;  // only the stalled write may end this connection
  deadlines.writeMs = 300;
  RecordingClient client(deadlines);
  ASSERT_TRUE(client.connect(kLoopback, peer.port()));
  ASSERT_TRUE(peer.Accept());
  ASSERT_TRUE(WaitFor([&] { return client.state() == SocketClient::kConnected; }));
  // More than the socket buffers on both sides hold.
  ASSERT_TRUE(client.write(Frame(std::string(32 * 1024 * 1024, 'w'))));
  ASSERT_TRUE(peer.Accept());
  EXPECT_EQ(client.losses(), 1);
}

TEST(SocketClientTest, AConnectThatNeverCompletesIsAbandonedAndRetried) {
  TestPeer peer(0, 0, 0);
  ASSERT_TRUE(peer.listening());
  // Fills the listener's queue: the client's handshake goes unanswered.
  RecordingClient filler;
  ASSERT_TRUE(filler.connect(kLoopback, peer.port()));
  ASSERT_TRUE(WaitFor([&] { return filler.state() == SocketClient::kConnected; }));
  RecordingClient client(ShortDeadlines());
  ASSERT_TRUE(client.write(Frame("waited")));
  ASSERT_TRUE(client.connect(kLoopback, peer.port()));
  EXPECT_TRUE(WaitFor([&] { return client.connectAttempts() >= 3; }));
  EXPECT_NE(client.state(), SocketClient::kConnected);
  // Once there is room, a fresh attempt gets through.
  ASSERT_TRUE(peer.Accept());
  filler.shutdown();
  ASSERT_TRUE(peer.Accept());
  std::string payload;
  ASSERT_TRUE(peer.ReadFrame(&payload));
  EXPECT_EQ(payload, "waited");
}

TEST(SocketClientTest, FramesQueuedAtExitGoOutOrAreCounted) {
  TestPeer peer;
  {
    RecordingClient client;
    ASSERT_TRUE(client.connect(kLoopback, peer.port()));
    ASSERT_TRUE(peer.Accept());
    ASSERT_TRUE(WaitFor([&] { return client.state() == SocketClient::kConnected; }));
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(client.write(Frame("last " + std::to_string(i))));
    client.shutdown();
    EXPECT_EQ(client.droppedAtExit(), 0u);
  }
  for (int i = 0; i < 3; ++i) {
    std::string payload;
    ASSERT_TRUE(peer.ReadFrame(&payload)) << i;
    EXPECT_EQ(payload, "last " + std::to_string(i));
  }
  // No server to take them: the exit still ends, and says what was lost.
  std::uint16_t port;
  {
    TestPeer probe;
    port = probe.port();
  }
  RecordingClient refused;
  ASSERT_TRUE(refused.connect(kLoopback, port));
  ASSERT_TRUE(WaitFor([&] { return refused.state() == SocketClient::kBroken; }));
  ASSERT_TRUE(refused.write(Frame("never")));
  refused.shutdown();
  EXPECT_EQ(refused.droppedAtExit(), 1u);
}

// The descriptors of a process (this one or a child), above the standard
// three, that are not close-on-exec.
std::vector<int> InheritableDescriptors(const std::string& process = "self") {
  std::vector<int> found;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/" + process + "/fd")) {
    const int fd = std::stoi(entry.path().filename().string());
    if (fd <= STDERR_FILENO) continue;
    if (process == "self") {
      const int flags = ::fcntl(fd, F_GETFD);
      if (flags < 0 || (flags & FD_CLOEXEC) != 0) continue;  // closed since, or not passed on
    }
    found.push_back(fd);
  }
  return found;
}

TEST(SocketClientTest, AStartedProgramInheritsOnlyTheStandardStreams) {
  // What the test's own parent left open is not the client's.
  const std::vector<int> before = InheritableDescriptors();
  TestPeer peer;
  RecordingClient client;
  ASSERT_TRUE(client.connect(kLoopback, peer.port()));
  ASSERT_TRUE(peer.Accept());
  ASSERT_TRUE(WaitFor([&] { return client.state() == SocketClient::kConnected; }));
  KLOG_ERROR("descriptor test");  // the log is open too
  EXPECT_EQ(InheritableDescriptors(), before);

  // Started as the client starts the updater or itself: even a descriptor a
  // library opened without the flag stays behind.
  UniqueFd careless(::open("/dev/null", O_RDONLY));
  ASSERT_TRUE(careless.valid());
  const pid_t child = platform::StartProcess("/bin/sleep", {"5"});
  ASSERT_GT(child, 0);
  std::vector<int> inherited;
  // Once the child runs sleep its descriptors are its own. Sleep opens its
  // locale files for a moment while it starts, so a descriptor seen once may
  // be one of those; an inherited one stays for as long as sleep runs.
  EXPECT_TRUE(WaitFor([&] {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/" + std::to_string(child) + "/exe", ec);
    if (ec || exe.filename() != "sleep") return false;
    inherited = InheritableDescriptors(std::to_string(child));
    return inherited.empty();
  }));
  EXPECT_EQ(inherited, std::vector<int>{});
  EXPECT_TRUE(platform::EndProcess(child));
}

TEST(SocketClientTest, RejectsAnAddressThatIsNotDottedIPv4) {
  RecordingClient client;
  EXPECT_FALSE(client.connect("chat.example", 58089));
  EXPECT_FALSE(client.running());
}

}  // namespace
}  // namespace kanzo
