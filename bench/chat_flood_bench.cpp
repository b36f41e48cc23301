// The chat-line path under a flood, from the server through the chat window
// to the database, with the user-interface thread watched by the stall
// probe.
//
//   chat_flood_bench [lines] [lines per second]   (default 2000 at 1000/s)
//
// The chat-server simulator runs in this process on its own thread; the
// client's dispatcher, its chat window (made by its factory, as the
// application makes it) and the visitor and conversation panes run here on
// a real Qt event loop. 20 visitors write to the logged-in agent, a pacing
// thread asking for one line after another at the given rate, in turn from
// each visitor; one conversation is shown in the chat window, the others
// are hidden. Every line goes on to the window's store thread. No main
// window is made, so a line plays no sound.
//
// Reported: lines per second the window took against the rate the
// simulator was asked; the longest stall and the 99th percentile of the
// probe's tick lateness; how long after the last line arrived every line
// was in talk_message (counted there); idle CPU and resident memory
// afterwards; then, against that flood rate, how many lines per second the
// window takes into its shown conversation and into hidden ones when they
// are handed to it back to back.
#include <QApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "bench_chat_window.h"
#include "bench_report.h"
#include "bench_simulator.h"
#include "bench_timing.h"
#include "log/cx_log.h"
#include "net/network_startup.h"
#include "net/session_id.h"
#include "net/window_network_future.h"
#include "platform/narrow_text.h"
#include "platform/qt/qt_ui_loop.h"
#include "platform/qt/ui_stall_probe.h"
#include "platform/window_message.h"
#include "protocol/commands.h"
#include "protocol/login.h"
#include "protocol/msg.h"
#include "protocol/startup_codecs.h"
#include "simulator.h"

namespace kanzo {
namespace {

using bench::Clock;
using bench::Seconds;

constexpr int kDefaultLines = 2000;
constexpr int kMaxLines = 200000;
constexpr double kDefaultRate = 1000;
constexpr int kVisitors = 20;
constexpr std::int32_t kFirstVisitor = 5001;
constexpr std::int32_t kShownVisitor = kFirstVisitor;
constexpr const char* kLoopback = "127.0.0.1";
constexpr const char* kAgentUser = bench::kDemoUser;
constexpr auto kDeadline = std::chrono::seconds(120);
constexpr int kSettleMs = 300;
constexpr auto kIdleMeasure = std::chrono::seconds(5);
// Lines handed back to back into the shown and into hidden conversations:
// a share of the flood, painted after every round of one per visitor.
constexpr int kBackToBackShare = 2;
constexpr const char* kLineText = "行：您好，请问这款产品什么时候发货？能开发票吗？";
// Aims of the flood at 1,000 lines per second.
constexpr double kAimKeptUp = 0.98;
constexpr double kAimStallMs = 50;
constexpr double kAimStoredSeconds = 2;
constexpr double kAimIdleCpuPercent = 1;

// Takes the login answer as the login window would: the session and the
// agent's identity.
class LoginWindow final : public platform::Window {
 public:
  explicit LoginWindow(bench::ClientWindows& windows) : windows_(windows) {
    WindowNetworkFuture::instance().registerWindow({kCommandLogin, kCommandRefreshSession}, Id());
  }
  ~LoginWindow() override { WindowNetworkFuture::instance().unregisterWindow(Id()); }

  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override {
    if (message != kNetworkWindowMessage || wParam != kNetworkEventMessage) return 0;
    const std::unique_ptr<Message> received = platform::TakePayload(kNetworkMessage, lParam);
    const Msg* body = received ? received->bodyAs<Msg>() : nullptr;
    if (received && received->command == kCommandLogin && received->RESULT == 0 && body != nullptr) {
      SetCurrentSessionId(received->SESSION_ID);
      windows_.SetAgent(AgentTriple{body->account, body->FROM, body->FROM_TYPE});
      loggedIn = true;
    }
    return 0;
  }

  bool loggedIn = false;

 private:
  bench::ClientWindows& windows_;
};

bool LogIn(LoginWindow& window, Clock::time_point deadline) {
  bench::LoginRequest login(kAgentUser);
  SetCurrentSessionId(0);
  return SendNetworkMessage(login.message) == 0 && bench::RunLoopUntil([&] { return window.loggedIn; }, deadline);
}

std::size_t LinesHeld(bench::ClientWindows& windows) {
  std::size_t held = 0;
  for (int i = 0; i < kVisitors; ++i) held += windows.TranscriptLength(kFirstVisitor + i);
  return held;
}

// Lines per second the chat window takes when `count` lines are handed to
// it back to back, from `visitor(i)`, painted after every round.
double BackToBackRate(bench::ClientWindows& windows, int count, const std::function<std::int32_t(int)>& visitor) {
  const std::string text = platform::Utf8ToNarrow(kLineText);
  const auto start = Clock::now();
  for (int i = 0; i < count; ++i) {
    windows.DeliverVisitorLine(visitor(i), std::to_string(i) + text);
    if ((i + 1) % kVisitors == 0) QCoreApplication::processEvents();
  }
  QCoreApplication::processEvents();
  return count / Seconds(Clock::now() - start);
}

int Run(int lines, double rate) {
  CxLog::Instance().SetLevel(kLogWarning);
  RegisterStartupCodecs();
  bench::TempProgramFolder folder("kanzo-chat-flood");
  if (!folder.ok()) return 1;
  std::unique_ptr<Simulator> sim = bench::StartSimulator();
  if (!sim) return 1;
  platform::QtUiLoop uiLoop;
  auto probe = std::make_unique<platform::UiStallProbe>(platform::UiStallProbe::kBenchmarkTick,
                                                        platform::UiStallProbe::kProgramLogThreshold);

  bench::ClientWindows windows(folder.path());
  LoginWindow loginWindow(windows);
  const auto deadline = Clock::now() + kDeadline;
  if (!StartNetwork(kLoopback, static_cast<std::uint16_t>(sim->port())) || !LogIn(loginWindow, deadline)) {
    std::fprintf(stderr, "chat_flood_bench: the agent did not log in\n");
    return 1;
  }
  for (int i = 0; i < kVisitors; ++i) {
    const std::string command = "visitor " + std::to_string(kFirstVisitor + i) + " agent=" + kAgentUser;
    if (!sim->Command(command).ok) {
      std::fprintf(stderr, "chat_flood_bench: %s failed\n", command.c_str());
      return 1;
    }
  }
  windows.LoadOnlineVisitors(kFirstVisitor, kVisitors, kVisitors);
  windows.Chat().show();
  windows.Chat().OpenConversation(kShownVisitor);
  bench::RunLoopFor(std::chrono::milliseconds(kSettleMs));
  const std::size_t heldBefore = LinesHeld(windows);
  const long long storedBefore = bench::StoredLines();

  // The pacing thread asks the simulator for the lines at the rate; the
  // simulator writes each to the agent's connection at once.
  std::atomic<int> asked{0};
  std::atomic<bool> pacingFailed{false};
  Clock::time_point lastAsked;  // written by the pacer, read after join
  const std::string text = platform::Utf8ToNarrow(kLineText);
  probe->Reset();
  const auto start = Clock::now();
  std::thread pacer([&] {
    for (int i = 0; i < lines; ++i) {
      std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(
                                                std::chrono::duration<double>(static_cast<double>(i) / rate)));
      const std::int32_t visitor = kFirstVisitor + i % kVisitors;
      if (!sim->Command("say " + std::to_string(visitor) + " 第" + std::to_string(i) + kLineText).ok) {
        pacingFailed = true;
        return;
      }
      ++asked;
    }
    lastAsked = Clock::now();
  });
  const auto allHeld = [&] { return LinesHeld(windows) - heldBefore >= static_cast<std::size_t>(lines); };
  const bool handled =
      bench::RunLoopUntil([&] { return allHeld() || pacingFailed.load(); }, deadline) && !pacingFailed.load();
  const auto lastLine = Clock::now();
  pacer.join();
  if (!handled) {
    std::fprintf(stderr, "chat_flood_bench: %zu of %d lines in the chat window (%d asked)\n",
                 LinesHeld(windows) - heldBefore, lines, asked.load());
    return 1;
  }
  const double askedSeconds = Seconds(lastAsked - start);
  const double floodSeconds = Seconds(lastLine - start);
  const platform::UiStallStats stalls = probe->Stats();
  const std::string stallSummary = probe->Summary();

  // Every line in talk_message, counted there.
  long long stored = 0;
  bench::RunLoopUntil([&] { return (stored = bench::StoredLines() - storedBefore) >= lines; },
                      Clock::now() + std::chrono::seconds(30));
  const double storedAfter = Seconds(Clock::now() - lastLine);

  // Idle: nothing arrives; the process should sleep between timer ticks.
  // The probe ticks at the program's rate for this, not the benchmark's.
  probe = std::make_unique<platform::UiStallProbe>(platform::UiStallProbe::kProgramTick,
                                                   platform::UiStallProbe::kProgramLogThreshold);
  const double cpuBefore = bench::CpuSeconds();
  bench::RunLoopFor(std::chrono::duration_cast<std::chrono::milliseconds>(kIdleMeasure));
  const double idlePercent = 100.0 * (bench::CpuSeconds() - cpuBefore) / Seconds(kIdleMeasure);
  const long residentKb = bench::ResidentKilobytes();

  // The window's own pace, lines handed to it back to back.
  const int backToBack = std::max(kVisitors, lines / kBackToBackShare);
  const double shownRate = BackToBackRate(windows, backToBack, [](int) { return kShownVisitor; });
  const double hiddenRate =
      BackToBackRate(windows, backToBack, [](int i) { return kFirstVisitor + 1 + i % (kVisitors - 1); });

  StopNetwork();
  sim->Stop();

  const double handledRate = lines / floodSeconds;
  const double askedRate = lines / askedSeconds;
  const double longestMs = static_cast<double>(stalls.Longest().count()) / 1000.0;
  std::printf("chat flood through the chat window: %d lines from %d visitors asked at %.0f lines/s, one shown\n", lines,
              kVisitors, rate);
  std::printf("  in the chat window: %9.0f lines/s (%.2f s), asked %.0f lines/s\n", handledRate, floodSeconds,
              askedRate);
  std::printf("  UI stalls during the flood: %s\n", stallSummary.c_str());
  std::printf("  stored in talk_message: %lld of %d, all %.2f s after the last line arrived\n", stored, lines,
              storedAfter);
  std::printf("  idle afterwards: CPU %.2f %% over %.0f s, resident %.1f MB\n", idlePercent, Seconds(kIdleMeasure),
              residentKb / 1024.0);
  std::printf("  back to back (%d lines each): shown %.0f lines/s, hidden %.0f lines/s\n", backToBack, shownRate,
              hiddenRate);

  using bench::Figure;
  // The baseline is the rate the simulator was actually asked for lines,
  // which a loaded machine may hold below the one set.
  bench::ReportFigure(Figure{"chat window flood: lines taken (20 visitors)",
                             handledRate,
                             "lines/s",
                             askedRate,
                             {"asked ≥ 980 lines/s, ≥ 0.98 of it taken",
                              askedRate >= kAimKeptUp * kDefaultRate && handledRate >= kAimKeptUp * askedRate}});
  bench::ReportFigure(
      Figure{"chat window flood: longest UI stall", longestMs, "ms", NAN, {"< 50 ms", longestMs < kAimStallMs}});
  bench::ReportFigure(Figure{"chat window flood: UI tick lateness, 99th percentile",
                             static_cast<double>(stalls.Percentile(0.99).count()),
                             "ms",
                             NAN,
                             {}});
  bench::ReportFigure(Figure{"chat window flood: every line stored, after the last",
                             storedAfter,
                             "s",
                             NAN,
                             {"≤ 2 s, none lost", stored == lines && storedAfter <= kAimStoredSeconds}});
  bench::ReportFigure(
      Figure{"after the flood: idle CPU", idlePercent, "%", NAN, {"< 1 %", idlePercent < kAimIdleCpuPercent}});
  bench::ReportFigure(Figure{"after the flood: resident memory", residentKb / 1024.0, "MB", NAN, {}});
  bench::ReportFigure(Figure{"chat window: lines into the shown conversation",
                             shownRate,
                             "lines/s",
                             askedRate,
                             {"≥ 1000 lines/s", shownRate >= kDefaultRate}});
  bench::ReportFigure(Figure{"chat window: lines into hidden conversations",
                             hiddenRate,
                             "lines/s",
                             askedRate,
                             {"≥ 1000 lines/s", hiddenRate >= kDefaultRate}});
  return stored == lines ? 0 : 1;
}

}  // namespace
}  // namespace kanzo

int main(int argc, char** argv) {
  kanzo::platform::InitNarrowEncoding();
  QApplication application(argc, argv);
  const int lines = kanzo::bench::CountArgument(argc, argv, 1, kanzo::kDefaultLines, 1, kanzo::kMaxLines);
  double rate = argc > 2 ? std::atof(argv[2]) : kanzo::kDefaultRate;
  if (rate <= 0) rate = kanzo::kDefaultRate;
  return kanzo::Run(lines, rate);
}
