// Throughput and latency of the network path on loopback.
//
// 1. The same stream of chat-message frames is read twice from a local
//    server: once with plain recv() into a buffer (the baseline), once by the
//    dispatcher (frame reader, decoder, delivery to a future). A third run
//    delivers through the window future to a window on a user-interface loop.
// 2. Round trips: one request at a time to a server that echoes each frame.
//
// Every wait is bounded; a run that misses its deadline is reported.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench_frames.h"
#include "bench_report.h"
#include "bench_timing.h"
#include "log/cx_log.h"
#include "net/event_handles.h"
#include "net/frame_format.h"
#include "net/network.h"
#include "net/window_network_future.h"
#include "platform/window_message.h"
#include "protocol/buffer.h"
#include "protocol/msg.h"
#include "protocol/startup_codecs.h"

namespace kanzo {
namespace {

using bench::Best;
using bench::Clock;
using bench::CpuSeconds;
using bench::Percentile;
using bench::Seconds;
using bench::Stopwatch;
using bench::Timing;

constexpr int kFullMessages = 200000;
int Messages() { return bench::ShortRun() ? kFullMessages / bench::kShortRunDivisor : kFullMessages; }
constexpr int kRoundTrips = 5000;
constexpr int kRuns = 3;
constexpr auto kDeadline = std::chrono::seconds(60);
constexpr const char* kLoopback = "127.0.0.1";
constexpr std::int32_t kChatCommand = 11;
// A typical visitor line: a short JSON text in the Msg body.
constexpr const char* kChatBody =
    "{\"content\":\"您好，请问这款产品什么时候发货？[FACE]smile[/FACE]\",\"time\":1700000000,\"visitor\":\"v-20231114\"}";

std::string FrameBytes(std::int64_t id) {
  Msg body;
  body.account = 1001;
  body.FROM = 42;
  body.FROM_TYPE = kMemberKindVisitor;
  body.TO = 7;
  body.TO_TYPE = kMemberKindAgent;
  body.BODY = kChatBody;
  Message message;
  message.MESSAGE_ID = id;
  message.command = kChatCommand;
  message.setBody(&body);
  return bench::FrameOf(message);
}

// A listening socket on 127.0.0.1 whose first connection gets `serve`.
class LocalServer {
 public:
  LocalServer() {
    listener_.reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_.get(), 1);
    socklen_t length = sizeof address;
    ::getsockname(listener_.get(), reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  std::uint16_t port() const { return port_; }
  // Waits (bounded) for the connection.
  UniqueFd Accept() {
    pollfd p{listener_.get(), POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(std::chrono::milliseconds(kDeadline).count())) != 1) return UniqueFd();
    UniqueFd fd(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
    const int on = 1;
    ::setsockopt(fd.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
  }

 private:
  UniqueFd listener_;
  std::uint16_t port_ = 0;
};

bool SendAll(int fd, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

// Baseline: the bytes read with recv() and nothing else done with them.
Timing RawRead(const std::string& stream) {
  LocalServer server;
  std::thread sender([&] {
    UniqueFd peer = server.Accept();
    SendAll(peer.get(), stream);
  });
  UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(server.port());
  inet_pton(AF_INET, kLoopback, &address.sin_addr);
  ::connect(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address);
  std::vector<char> buffer(4096 * 16);
  std::size_t total = 0;
  const auto start = Clock::now();
  const Stopwatch watch;
  while (total < stream.size() && Clock::now() - start < kDeadline) {
    const ssize_t n = ::recv(fd.get(), buffer.data(), buffer.size(), 0);
    if (n <= 0) break;
    total += static_cast<std::size_t>(n);
  }
  const Timing timing = watch.Stop(total == stream.size());
  sender.join();
  return timing;
}

// Counts deliveries and wakes the waiter at the target.
class CountingFuture : public NetworkFuture {
 public:
  CountingFuture() : NetworkFuture(kAllNetworkEvents) {}
  void deliver(NetworkEvent, std::unique_ptr<Message> message) override {
    message.reset();
    std::lock_guard lock(mutex_);
    // Only the awaited count wakes the waiter: the benchmark must not
    // measure its own wake-ups.
    if (++count_ == target_) changed_.notify_all();
  }
  bool WaitFor(int count, Clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    target_ = count;
    return changed_.wait_until(lock, deadline, [&] { return count_ >= count; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int count_ = 0;
  int target_ = 0;
};

Timing Dispatcher(const std::string& stream) {
  LocalServer server;
  CountingFuture future;
  Network network(&future);
  network.connect(kLoopback, server.port());
  UniqueFd peer = server.Accept();
  const auto start = Clock::now();
  const Stopwatch watch;
  std::thread sender([&] { SendAll(peer.get(), stream); });
  const bool done = future.WaitFor(Messages(), start + kDeadline);
  const Timing timing = watch.Stop(done);
  sender.join();
  network.shutdown();
  return timing;
}

class CountingWindow : public platform::Window {
 public:
  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam, platform::LParam lParam) override {
    if (message == kNetworkWindowMessage) {
      platform::TakePayload(kNetworkMessage, lParam);
      ++count;
    }
    return 0;
  }
  int count = 0;
};

Timing WindowDelivery(const std::string& stream) {
  platform::ManualUiLoop loop;
  platform::SetUiLoop(&loop);
  WindowNetworkFuture future;
  CountingWindow window;
  future.registerWindow(kChatCommand, window.Id());
  LocalServer server;
  Network network(&future);
  network.connect(kLoopback, server.port());
  UniqueFd peer = server.Accept();
  const Stopwatch watch;
  std::thread sender([&] { SendAll(peer.get(), stream); });
  const bool done = loop.RunUntil([&] { return window.count >= Messages(); },
                                  static_cast<int>(std::chrono::milliseconds(kDeadline).count()));
  const Timing timing = watch.Stop(done);
  sender.join();
  network.shutdown();
  platform::SetUiLoop(nullptr);
  return timing;
}

// Round trips: send one chat message, wait until its echo is delivered.
std::vector<double> RoundTripMicros() {
  LocalServer server;
  std::atomic<bool> stop{false};
  std::thread echo([&] {
    UniqueFd peer = server.Accept();
    std::vector<char> buffer(65536);
    while (!stop.load()) {
      pollfd p{peer.get(), POLLIN, 0};
      if (::poll(&p, 1, 100) != 1) continue;
      const ssize_t n = ::recv(peer.get(), buffer.data(), buffer.size(), 0);
      if (n <= 0) break;
      SendAll(peer.get(), std::string(buffer.data(), static_cast<std::size_t>(n)));
    }
  });
  CountingFuture future;
  Network network(&future);
  network.connect(kLoopback, server.port());
  Msg body;
  body.BODY = kChatBody;
  std::vector<double> micros;
  const auto deadline = Clock::now() + kDeadline;
  for (int i = 1; i <= kRoundTrips && Clock::now() < deadline; ++i) {
    Message request(true);
    request.command = kChatCommand;
    request.setBody(&body);
    const auto start = Clock::now();
    network.send(request);
    if (!future.WaitFor(i, deadline)) break;
    micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  network.shutdown();
  stop.store(true);
  echo.join();
  return micros;
}

void PrintRate(const char* what, const Timing& t, const Timing& raw, double megabytes) {
  const double wallRate = Messages() / t.wall, cpuRate = Messages() / t.cpu;
  std::printf("%-30s %9.0f msgs/s wall (%6.1f MiB/s, %3.0f%% of raw)  %9.0f msgs per CPU-s (%3.0f%% of raw)\n", what,
              wallRate, megabytes / t.wall, 100.0 * raw.wall / t.wall, cpuRate, 100.0 * raw.cpu / t.cpu);
}

}  // namespace
}  // namespace kanzo

int main(int argc, char** argv) {
  using namespace kanzo;
  // "bench_net dispatcher" runs only the dispatcher, for profiling.
  const bool onlyDispatcher = argc > 1 && std::strcmp(argv[1], "dispatcher") == 0;
  CxLog::Instance().SetLevel(kLogWarning);
  RegisterStartupCodecs();

  std::string stream;
  for (int i = 1; i <= Messages(); ++i) stream += FrameBytes(i);
  const double megabytes = static_cast<double>(stream.size()) / (1024.0 * 1024.0);
  std::printf("stream: %d chat frames, %.1f MiB (%zu bytes per frame)\n", Messages(), megabytes,
              stream.size() / Messages());

  if (onlyDispatcher) {
    const Timing t = Dispatcher(stream);
    std::printf("reader+decoder+future: %.0f msgs/s\n", t.wall > 0 ? Messages() / t.wall : 0.0);
    return t.wall > 0 ? 0 : 1;
  }
  std::vector<Timing> raw, dispatcher, windows;
  for (int run = 0; run < (bench::ShortRun() ? 1 : kRuns); ++run) {
    raw.push_back(RawRead(stream));
    dispatcher.push_back(Dispatcher(stream));
    windows.push_back(WindowDelivery(stream));
  }
  const Timing rawT = Best(raw), dispT = Best(dispatcher), winT = Best(windows);
  if (rawT.wall <= 0 || dispT.wall <= 0 || winT.wall <= 0) {
    std::printf("a run missed its deadline\n");
    return 1;
  }
  PrintRate("raw read (baseline):", rawT, rawT, megabytes);
  PrintRate("reader+decoder+future:", dispT, rawT, megabytes);
  PrintRate("+ window future + UI loop:", winT, rawT, megabytes);

  const std::vector<double> micros = RoundTripMicros();
  std::printf("round trip to an echoing peer (%zu trips): p50 %.1f us  p99 %.1f us\n", micros.size(),
              Percentile(micros, 0.50), Percentile(micros, 0.99));
  bench::ReportFigure(
      {"net: frames through reader+decoder+future", Messages() / dispT.wall, "msgs/s", Messages() / rawT.wall, {}});
  bench::ReportFigure(
      {"net: frames to a window on the UI loop", Messages() / winT.wall, "msgs/s", Messages() / rawT.wall, {}});
  bench::ReportFigure({"net: round trip to an echoing peer, p99", Percentile(micros, 0.99), "us", NAN, {}});
  return 0;
}
