// Encoding and decoding a typical chat message (a Msg carrying a 200-byte
// JSON text) through a Buffer, against copying the same bytes with memcpy
// in the same run.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench_report.h"
#include "protocol/buffer.h"
#include "protocol/commands.h"
#include "protocol/message.h"
#include "protocol/msg.h"
#include "protocol/startup_codecs.h"

namespace kanzo {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kJsonBytes = 200;
constexpr std::int64_t kMaxIterations = 5'000'000;
constexpr std::chrono::milliseconds kRunTime{1500};
constexpr int kRounds = 3;

// Keeps the optimiser from dropping work whose result is otherwise unused.
void Consume(const void* p) { asm volatile("" : : "g"(p) : "memory"); }

std::string ChatJson() {
  std::string json =
      R"({"content":"您好，请问这款产品有现货吗？什么时候可以发货？","time":"2024-05-01 10:00:00","font":"宋体","size":10,"color":"000000","visitor":"v)";
  while (json.size() + 2 < kJsonBytes) json += 'x';
  json += "\"}";
  return json;
}

struct Rate {
  double perSecond;
  std::int64_t iterations;
};

template <typename Step>
Rate Measure(Step step) {
  std::int64_t n = 0;
  const auto start = Clock::now();
  auto now = start;
  const auto runTime = bench::ShortRun() ? kRunTime / bench::kShortRunDivisor : kRunTime;
  while (n < kMaxIterations && now - start < runTime) {
    for (int i = 0; i < 1000; ++i) step();
    n += 1000;
    now = Clock::now();
  }
  const double seconds = std::chrono::duration<double>(now - start).count();
  return {static_cast<double>(n) / seconds, n};
}

int Run() {
  if (!RegisterStartupCodecs()) {
    std::fprintf(stderr, "codec registration failed\n");
    return 1;
  }
  Msg msg;
  msg.account = 1001;
  msg.FROM = 52;
  msg.FROM_TYPE = kMemberKindAgent;
  msg.TO = 900123;
  msg.TO_TYPE = kMemberKindVisitor;
  msg.BODY = ChatJson();
  Message request(true);
  request.command = kCommandChatMessage;
  request.SESSION_ID = 0x1234567890LL;
  request.setBody(&msg);

  Buffer buffer;
  writeMessage(buffer, request);
  const std::size_t messageBytes = buffer.length();
  std::vector<char> wire(messageBytes);
  buffer.read(wire.data(), static_cast<std::int32_t>(wire.size()));
  std::vector<char> copy(messageBytes);

  bool decodedOk = true;
  auto codecStep = [&] {
    writeMessage(buffer, request);
    std::unique_ptr<Message> received = readMessage(buffer);
    const Msg* body = received->bodyAs<Msg>();
    decodedOk = decodedOk && body != nullptr && body->BODY.size() == msg.BODY.size();
    Consume(received.get());
  };
  auto copyStep = [&] {
    std::memcpy(copy.data(), wire.data(), messageBytes);
    Consume(copy.data());
  };
  // The same bytes in and out of the Buffer untouched: what moving them
  // costs before any field is encoded or decoded.
  auto rawBufferStep = [&] {
    buffer.write(wire.data(), static_cast<std::int32_t>(messageBytes));
    buffer.read(copy.data(), static_cast<std::int32_t>(messageBytes));
    Consume(copy.data());
  };

  std::printf("message: Msg with %zu-byte JSON BODY, %zu bytes on the wire\n", msg.BODY.size(), messageBytes);
  const int rounds = bench::ShortRun() ? 1 : kRounds;
  for (int round = 1; round <= rounds; ++round) {
    const Rate codec = Measure(codecStep);
    const Rate baseline = Measure(copyStep);
    const Rate raw = Measure(rawBufferStep);
    std::printf(
        "round %d: encode+decode %.0f msg/s (%.1f MB/s) | memcpy baseline %.0f copies/s (%.1f MB/s), "
        "ratio %.4f | raw Buffer in+out %.0f/s, ratio %.3f\n",
        round, codec.perSecond, codec.perSecond * messageBytes / 1e6, baseline.perSecond,
        baseline.perSecond * messageBytes / 1e6, codec.perSecond / baseline.perSecond, raw.perSecond,
        codec.perSecond / raw.perSecond);
    if (round == rounds)
      bench::ReportFigure({"chat message encode+decode", codec.perSecond, "msg/s", baseline.perSecond, {}});
  }
  if (!decodedOk || !buffer.ok() || buffer.length() != 0) {
    std::fprintf(stderr, "decoded messages did not match what was encoded\n");
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace kanzo

int main() { return kanzo::Run(); }
