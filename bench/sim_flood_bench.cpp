// The client's dispatcher against the chat-server simulator on loopback.
//
// 1. Flood: the simulator, running in this process on a thread of its own,
//    writes N chat lines to a logged-in agent as fast as the socket takes
//    them. The same stream is read by a plain socket with recv() and nothing
//    else (the baseline), and by the client's dispatcher: frame reader,
//    decoder, window future, user-interface loop and a window that takes
//    each message. Two kinds of line: short ones in plain frames, and long
//    ones above the compression threshold, so that every frame is inflated.
// 2. Round trips: session refreshes (code 5), one at a time, through the
//    dispatcher to the window, beside the same request on a plain socket.
//
// Every wait is bounded; a run that misses its deadline is reported.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "bench_frames.h"
#include "bench_report.h"
#include "bench_simulator.h"
#include "bench_timing.h"
#include "log/cx_log.h"
#include "net/event_handles.h"
#include "net/frame_format.h"
#include "net/network.h"
#include "net/session_id.h"
#include "net/window_network_future.h"
#include "platform/window_message.h"
#include "protocol/buffer.h"
#include "protocol/commands.h"
#include "protocol/login.h"
#include "protocol/msg.h"
#include "protocol/startup_codecs.h"
#include "simulator.h"

namespace kanzo {
namespace {

using bench::Best;
using bench::Clock;
using bench::CpuSeconds;
using bench::FrameOf;
using bench::Percentile;
using bench::Seconds;
using bench::Stopwatch;
using bench::Timing;

constexpr int kShortLines = 100000;
constexpr int kLongLines = 20000;
constexpr int kRuns = 3;
constexpr int kRoundTrips = 2000;
constexpr int kWarmUpTrips = 100;
constexpr auto kDeadline = std::chrono::seconds(60);
constexpr int kPollMs = 5;
constexpr int kSettleMs = 50;
constexpr std::size_t kReceiveBytes = 64 * 1024;
// How much the plain reader takes between looks for the flood's end note.
constexpr std::size_t kNoteLookBytes = 1024 * 1024;
constexpr const char* kLoopback = "127.0.0.1";
// The dispatcher's agent and the plain socket's agent: two accounts, so
// that neither logs the other off.
constexpr const char* kClientUser = bench::kDemoUser;
constexpr const char* kRawUser = bench::kDemoUser2;
constexpr std::int32_t kFloodSender = 3999;
constexpr const char* kFloodEndNote = "洪水模式结束：";
constexpr const char* kShortText = "您好，请问这款产品什么时候发货？";
// One sentence of a long visitor line; repeated past the compression
// threshold (512 bytes by default).
constexpr const char* kLongSentence = "我们公司有三十个客服，想了解企业版的价格、部署方式和数据保存期限，";
constexpr int kLongRepeats = 8;

int MillisLeft(Clock::time_point deadline) {
  return static_cast<int>(std::max<std::int64_t>(
      0, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count()));
}

std::string LoginFrame(const char* user, std::int64_t* id) {
  const bench::LoginRequest login(user);
  *id = login.message.MESSAGE_ID;
  return FrameOf(login.message);
}

// The keep-alive as the login window sends it.
Msg RefreshBody(const Msg& loginAnswer) {
  Msg body;
  body.account = loginAnswer.account;
  body.FROM_TYPE = loginAnswer.FROM_TYPE;
  body.TO = loginAnswer.FROM;
  return body;
}

// The byte count of the flood's end note, once there are more such notes
// than `notesBefore`; -1 until then.
std::int64_t FloodBytes(Simulator& sim, std::size_t notesBefore) {
  const std::vector<std::string> notes = sim.frameLog().Matching(kFloodEndNote);
  if (notes.size() <= notesBefore) return -1;
  // "洪水模式结束：N 条，B 字节，..."
  const std::string& note = notes.back();
  const std::size_t comma = note.find("条，");
  if (comma == std::string::npos) return -1;
  return std::strtoll(note.c_str() + comma + std::string("条，").size(), nullptr, 10);
}

std::size_t FloodNotes(Simulator& sim) { return sim.frameLog().Matching(kFloodEndNote).size(); }

std::string FloodCommand(const char* user, int lines, const std::string& text) {
  return "flood " + std::string(user) + " " + std::to_string(lines) + " from=" + std::to_string(kFloodSender) + " " +
         text;
}

// ---------------------------------------------------------------- plain socket

class RawAgent {
 public:
  bool Connect(int port) {
    fd_.reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET, kLoopback, &address.sin_addr);
    if (::connect(fd_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return false;
    const int on = 1;
    ::setsockopt(fd_.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return true;
  }
  int fd() const { return fd_.get(); }

  bool SendAll(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
      const ssize_t n = ::send(fd_.get(), bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) return false;
      sent += static_cast<std::size_t>(n);
    }
    return true;
  }

  bool ReadExactly(void* into, std::size_t count, Clock::time_point deadline) {
    auto* bytes = static_cast<char*>(into);
    std::size_t got = 0;
    while (got < count) {
      pollfd p{fd_.get(), POLLIN, 0};
      if (::poll(&p, 1, MillisLeft(deadline)) != 1) return false;
      const ssize_t n = ::recv(fd_.get(), bytes + got, count - got, 0);
      if (n <= 0) return false;
      got += static_cast<std::size_t>(n);
    }
    return true;
  }

  // The next whole message (plain frames only: answers are short).
  std::unique_ptr<Message> ReadMessage(Clock::time_point deadline) {
    unsigned char header[kFrameHeaderBytes];
    if (!ReadExactly(header, sizeof header, deadline)) return nullptr;
    const std::uint32_t word = ReadBigEndian32(header);
    const auto length = static_cast<std::int32_t>(ReadBigEndian32(header + kFrameWordBytes));
    if ((word & kFrameCompressedFlag) != 0 || length < 0 || length > kMaxFrameLength) return nullptr;
    std::string payload(static_cast<std::size_t>(length), '\0');
    if (!ReadExactly(payload.data(), payload.size(), deadline)) return nullptr;
    Buffer buffer;
    buffer.write(payload.data(), length);
    return readMessage(buffer);
  }

  // The answer to request `id` of `command`; other messages are skipped.
  std::unique_ptr<Message> ReadAnswer(std::int32_t command, std::int64_t id, Clock::time_point deadline) {
    for (;;) {
      std::unique_ptr<Message> message = ReadMessage(deadline);
      if (!message) return nullptr;
      if (message->command == command && message->MESSAGE_ID == id) return message;
    }
  }

  // Reads and forgets whatever arrives within `ms`.
  void Drain(int ms) {
    char buffer[kReceiveBytes];
    pollfd p{fd_.get(), POLLIN, 0};
    while (::poll(&p, 1, ms) == 1 && ::recv(fd_.get(), buffer, sizeof buffer, 0) > 0) {
    }
  }

 private:
  UniqueFd fd_;
};

bool RawLogIn(RawAgent& raw, int port, Msg* answerBody) {
  if (!raw.Connect(port)) return false;
  std::int64_t id = 0;
  if (!raw.SendAll(LoginFrame(kRawUser, &id))) return false;
  const std::unique_ptr<Message> answer = raw.ReadAnswer(kCommandLogin, id, Clock::now() + kDeadline);
  if (!answer || answer->RESULT != 0 || answer->bodyAs<Msg>() == nullptr) return false;
  *answerBody = *answer->bodyAs<Msg>();
  raw.Drain(kSettleMs);
  return true;
}

// Baseline: the flood's bytes taken with recv() and nothing done with them.
// The stream ends where the simulator's end note says.
Timing RawFlood(Simulator& sim, int lines, const std::string& text, std::int64_t* bytesRead) {
  RawAgent raw;
  Msg login;
  if (!RawLogIn(raw, sim.port(), &login)) return Timing{};
  const std::size_t notesBefore = FloodNotes(sim);
  std::vector<char> buffer(kReceiveBytes);
  std::int64_t total = 0, expected = -1;
  std::size_t sinceLook = 0;
  const auto deadline = Clock::now() + kDeadline;
  const Stopwatch watch;
  if (!sim.Command(FloodCommand(kRawUser, lines, text)).ok) return Timing{};
  while ((expected < 0 || total < expected) && Clock::now() < deadline) {
    pollfd p{raw.fd(), POLLIN, 0};
    const bool readable = ::poll(&p, 1, kPollMs) == 1;
    if (readable) {
      const ssize_t n = ::recv(raw.fd(), buffer.data(), buffer.size(), 0);
      if (n <= 0) break;
      total += n;
      sinceLook += static_cast<std::size_t>(n);
    }
    if (expected < 0 && (!readable || sinceLook >= kNoteLookBytes)) {
      expected = FloodBytes(sim, notesBefore);
      sinceLook = 0;
    }
  }
  *bytesRead = total;
  return watch.Stop(expected >= 0 && total == expected);
}

// ---------------------------------------------------------------- the client's dispatcher

// The window the codes are registered for: keeps the session as the login
// window does and counts the flood's lines as they are handed over.
class BenchWindow final : public platform::Window {
 public:
  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override {
    if (message != kNetworkWindowMessage || wParam != kNetworkEventMessage) return 0;
    const std::unique_ptr<Message> received = platform::TakePayload(kNetworkMessage, lParam);
    switch (received->command) {
      case kCommandChatMessage:
        if (++lines == expectedLines && received->bodyAs<Msg>() != nullptr) lastLine = received->bodyAs<Msg>()->BODY;
        break;
      case kCommandLogin:
        if (received->RESULT == 0 && received->bodyAs<Msg>() != nullptr) {
          SetCurrentSessionId(received->SESSION_ID);
          login = *received->bodyAs<Msg>();
          loggedIn = true;
        }
        break;
      case kCommandRefreshSession:
        SetCurrentSessionId(received->SESSION_ID);
        lastRefresh = received->MESSAGE_ID;
        break;
      default: break;
    }
    return 0;
  }

  int lines = 0;
  int expectedLines = 0;
  std::string lastLine;
  bool loggedIn = false;
  Msg login;
  std::int64_t lastRefresh = 0;
};

class Client {
 public:
  Client(platform::ManualUiLoop& loop, int port) : loop_(loop) {
    future_.registerWindow({kCommandLogin, kCommandRefreshSession, kCommandChatMessage, kCommandUpdateKFState},
                           window_.Id());
    network_.connect(kLoopback, static_cast<std::uint16_t>(port));
  }
  ~Client() { network_.shutdown(); }

  bool LogIn() {
    bench::LoginRequest login(kClientUser);
    SetCurrentSessionId(0);
    if (network_.send(login.message) != 0) return false;
    return loop_.RunUntil([&] { return window_.loggedIn; }, MillisLeft(Clock::now() + kDeadline));
  }

  Timing Flood(Simulator& sim, int lines, const std::string& text) {
    window_.lines = 0;
    window_.expectedLines = lines;
    window_.lastLine.clear();
    const Stopwatch watch;
    if (!sim.Command(FloodCommand(kClientUser, lines, text)).ok) return Timing{};
    const bool done = loop_.RunUntil([&] { return window_.lines >= lines; }, MillisLeft(Clock::now() + kDeadline));
    const Timing timing = watch.Stop(done);
    const std::string last = text + " #" + std::to_string(lines);
    if (done && window_.lastLine != last) {
      std::fprintf(stderr, "the last line read \"%s\", not \"%s\"\n", window_.lastLine.c_str(), last.c_str());
      return Timing{};
    }
    return timing;
  }

  // Microseconds from send() to the answer in the window's hands.
  double RefreshMicros() {
    Msg body = RefreshBody(window_.login);
    Message request(true);
    request.command = kCommandRefreshSession;
    request.setBody(&body);
    const auto start = Clock::now();
    if (network_.send(request) != 0) return -1;
    const std::int64_t id = request.MESSAGE_ID;
    if (!loop_.RunUntil([&] { return window_.lastRefresh == id; }, MillisLeft(start + kDeadline))) return -1;
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
  }

 private:
  platform::ManualUiLoop& loop_;
  BenchWindow window_;
  WindowNetworkFuture future_;
  Network network_{&future_};
};

Timing ClientFlood(Simulator& sim, platform::ManualUiLoop& loop, int lines, const std::string& text) {
  Client client(loop, sim.port());
  if (!client.LogIn()) return Timing{};
  return client.Flood(sim, lines, text);
}

// ---------------------------------------------------------------- round trips

std::vector<double> ClientRoundTrips(Simulator& sim, platform::ManualUiLoop& loop) {
  Client client(loop, sim.port());
  std::vector<double> micros;
  if (!client.LogIn()) return micros;
  for (int i = 0; i < kWarmUpTrips + kRoundTrips; ++i) {
    const double us = client.RefreshMicros();
    if (us < 0) break;
    if (i >= kWarmUpTrips) micros.push_back(us);
  }
  return micros;
}

std::vector<double> RawRoundTrips(Simulator& sim) {
  RawAgent raw;
  Msg login;
  std::vector<double> micros;
  if (!RawLogIn(raw, sim.port(), &login)) return micros;
  Msg body = RefreshBody(login);
  for (int i = 0; i < kWarmUpTrips + kRoundTrips; ++i) {
    Message request(true);
    request.command = kCommandRefreshSession;
    request.setBody(&body);
    const auto start = Clock::now();
    if (!raw.SendAll(FrameOf(request))) break;
    if (!raw.ReadAnswer(kCommandRefreshSession, request.MESSAGE_ID, start + kDeadline)) break;
    if (i >= kWarmUpTrips) micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  return micros;
}

bool Report(const char* kind, int lines, std::int64_t bytes, const Timing& raw, const Timing& client) {
  if (raw.wall <= 0 || client.wall <= 0) {
    std::printf("%s: a run missed its deadline\n", kind);
    return false;
  }
  const double megabytes = static_cast<double>(bytes) / (1024.0 * 1024.0);
  std::printf("%s: %d lines, %.1f MiB on the wire (%lld bytes per frame)\n", kind, lines, megabytes,
              static_cast<long long>(bytes / lines));
  std::printf("  raw recv (baseline):        %9.0f lines/s wall (%6.1f MiB/s)  %9.0f lines per CPU-s\n",
              lines / raw.wall, megabytes / raw.wall, lines / raw.cpu);
  std::printf("  dispatcher -> window:       %9.0f lines/s wall (%6.1f MiB/s)  %9.0f lines per CPU-s\n",
              lines / client.wall, megabytes / client.wall, lines / client.cpu);
  std::printf("  ratio dispatcher/raw:       %9.2f wall, %.2f CPU\n", raw.wall / client.wall, raw.cpu / client.cpu);
  bench::ReportFigure(
      {std::string("flood to dispatcher: ") + kind, lines / client.wall, "lines/s", lines / raw.wall, {}});
  return true;
}

struct FloodKind {
  const char* name;
  int lines;
  std::string text;
};

}  // namespace
}  // namespace kanzo

int main() {
  using namespace kanzo;
  CxLog::Instance().SetLevel(kLogWarning);
  RegisterStartupCodecs();
  std::unique_ptr<Simulator> sim = bench::StartSimulator();
  if (!sim) return 1;
  platform::ManualUiLoop loop;
  platform::SetUiLoop(&loop);

  std::string longText;
  for (int i = 0; i < kLongRepeats; ++i) longText += kLongSentence;
  const FloodKind kinds[] = {
      {"short lines, plain frames", kShortLines, kShortText},
      {"long lines, compressed frames", kLongLines, longText},
  };
  bool ok = true;
  for (const FloodKind& kind : kinds) {
    std::vector<Timing> raw, client;
    std::int64_t bytes = 0;
    const int lines = bench::ShortRun() ? kind.lines / bench::kShortRunDivisor : kind.lines;
    for (int run = 0; run < (bench::ShortRun() ? 1 : kRuns); ++run) {
      raw.push_back(RawFlood(*sim, lines, kind.text, &bytes));
      client.push_back(ClientFlood(*sim, loop, lines, kind.text));
    }
    ok = Report(kind.name, lines, bytes, Best(raw), Best(client)) && ok;
  }

  const std::vector<double> rawTrips = RawRoundTrips(*sim);
  const std::vector<double> clientTrips = ClientRoundTrips(*sim, loop);
  if (rawTrips.size() != static_cast<std::size_t>(kRoundTrips) ||
      clientTrips.size() != static_cast<std::size_t>(kRoundTrips)) {
    std::printf("round trips: a run missed its deadline\n");
    ok = false;
  } else {
    const double rawP50 = Percentile(rawTrips, 0.50), rawP99 = Percentile(rawTrips, 0.99);
    const double p50 = Percentile(clientTrips, 0.50), p99 = Percentile(clientTrips, 0.99);
    std::printf("session refresh round trip (%d trips after %d to warm up):\n", kRoundTrips, kWarmUpTrips);
    std::printf("  raw socket (baseline):      p50 %7.1f us  p99 %7.1f us\n", rawP50, rawP99);
    std::printf("  dispatcher -> window:       p50 %7.1f us  p99 %7.1f us\n", p50, p99);
    std::printf("  ratio dispatcher/raw:       p50 %.2f  p99 %.2f\n", p50 / rawP50, p99 / rawP99);
    bench::ReportFigure({"session refresh round trip, p99", p99, "us", rawP99, {}});
  }

  platform::SetUiLoop(nullptr);
  sim->Stop();
  return ok ? 0 : 1;
}
