// Switching the chat window to a long conversation, beside switching to a
// short one in the same run.
//
//   chat_switch_bench [long lines] [rounds]      (default 2000 lines, 3 rounds)
//
// The chat window is made by its factory, as the application makes it, and
// shown. Each round, while another conversation is shown, a short one (20
// lines) and a long one get their lines, unread, as the dispatcher hands
// them; then the window is switched to each as a click in the conversation
// column switches it. A switch to the long one shows every unread line; a
// second switch to it, its lines read, shows the last ones only. Timed: the
// switch with the window repainted at once; and the longest stall of the
// user-interface thread in the moments after, watched by the stall probe
// (the older lines of a long run go in above the newest ones on the
// following turns of the loop).
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

#include "bench_chat_window.h"
#include "bench_report.h"
#include "chat/rich_edit.h"
#include "log/cx_log.h"
#include "platform/narrow_text.h"
#include "platform/qt/qt_ui_loop.h"
#include "platform/qt/ui_stall_probe.h"

namespace kanzo {
namespace {

using bench::Clock;
using bench::Seconds;

constexpr int kDefaultLongLines = 2000;
constexpr int kMaxLongLines = 100000;
constexpr int kShortLines = 20;
constexpr int kDefaultRounds = 3;
constexpr int kMaxRounds = 50;
constexpr AgentTriple kAgent{1, 900, 1};
constexpr std::int32_t kShown = 800001;
constexpr int kSettleMs = 300;
// Long enough for the older lines of a long run to go in.
constexpr int kAfterSwitchMs = 400;
constexpr const char* kLineText = "行：您好，请问这款产品什么时候发货？能开发票吗？我们公司需要二十台。";
constexpr double kAimMs = 50;

struct Switch {
  double ms = 0;       // the switch and the repaint, at once
  double stallMs = 0;  // the longest stall from the switch on
};

struct Worst {
  Switch worst;
  void Add(const Switch& s) {
    worst.ms = std::max(worst.ms, s.ms);
    worst.stallMs = std::max(worst.stallMs, s.stallMs);
  }
};

Switch SwitchTo(bench::ClientWindows& windows, platform::UiStallProbe& probe, std::int32_t id) {
  Switch result;
  probe.Reset();
  QTimer::singleShot(0, [&] {
    const auto start = Clock::now();
    platform::SendWindowMessage(windows.Chat().Id(), kMsgTalkChosen, static_cast<platform::WParam>(id), 0);
    windows.Chat().repaint();
    result.ms = 1000.0 * Seconds(Clock::now() - start);
  });
  bench::RunLoopFor(std::chrono::milliseconds(kAfterSwitchMs));
  result.stallMs = static_cast<double>(probe.Stats().Longest().count()) / 1000.0;
  return result;
}

int Run(int longLines, int rounds) {
  CxLog::Instance().SetLevel(kLogWarning);
  bench::TempProgramFolder folder("kanzo-chat-switch");
  if (!folder.ok()) return 1;
  platform::QtUiLoop uiLoop;
  bench::ClientWindows windows(folder.path());
  windows.SetAgent(kAgent);
  // The shown one, then a short and a long one for each round.
  windows.LoadOnlineVisitors(kShown, 1 + 2 * rounds, 1 + 2 * rounds);
  windows.Chat().show();
  windows.Chat().OpenConversation(kShown);
  bench::RunLoopFor(std::chrono::milliseconds(kSettleMs));
  platform::UiStallProbe probe(platform::UiStallProbe::kBenchmarkTick, platform::UiStallProbe::kProgramLogThreshold);

  const std::string text = platform::Utf8ToNarrow(kLineText);
  Worst toShort, toLongUnread, toLongRead;
  bool allShown = true;
  for (int r = 0; r < rounds; ++r) {
    const std::int32_t shortOne = kShown + 1 + 2 * r;
    const std::int32_t longOne = shortOne + 1;
    for (int i = 0; i < longLines; ++i) {
      if (i < kShortLines) windows.DeliverVisitorLine(shortOne, std::to_string(i) + text);
      windows.DeliverVisitorLine(longOne, std::to_string(i) + text);
    }
    bench::RunLoopFor(std::chrono::milliseconds(kSettleMs));
    toShort.Add(SwitchTo(windows, probe, shortOne));
    SwitchTo(windows, probe, kShown);
    toLongUnread.Add(SwitchTo(windows, probe, longOne));
    // Every unread line is in the transcript, one paragraph of name and
    // time and one of text each.
    allShown = allShown && windows.Chat().Transcript()->document()->blockCount() >= longLines;
    SwitchTo(windows, probe, kShown);
    toLongRead.Add(SwitchTo(windows, probe, longOne));
    SwitchTo(windows, probe, kShown);
  }

  std::printf("chat window switches, worst of %d rounds (ms, switch and repaint / longest stall after):\n", rounds);
  std::printf("  to %d unread lines: %.1f / %.1f\n", kShortLines, toShort.worst.ms, toShort.worst.stallMs);
  std::printf("  to %d unread lines: %.1f / %.1f%s\n", longLines, toLongUnread.worst.ms, toLongUnread.worst.stallMs,
              allShown ? "" : " (not every line was shown)");
  std::printf("  to %d read lines:   %.1f / %.1f\n", longLines, toLongRead.worst.ms, toLongRead.worst.stallMs);

  const std::string longName = std::to_string(longLines);
  const std::string baseline = " (baseline: " + std::to_string(kShortLines) + " unread)";
  const auto report = [&](const std::string& name, double value, double base) {
    bench::ReportFigure(bench::Figure{name + baseline, value, "ms", base, {"< 50 ms", value < kAimMs}});
  };
  report("switch to " + longName + " unread lines", toLongUnread.worst.ms, toShort.worst.ms);
  report("switch to " + longName + " unread lines: longest stall", toLongUnread.worst.stallMs, toShort.worst.stallMs);
  report("switch to " + longName + " read lines", toLongRead.worst.ms, toShort.worst.ms);
  report("switch to " + longName + " read lines: longest stall", toLongRead.worst.stallMs, toShort.worst.stallMs);
  return allShown ? 0 : 1;
}

}  // namespace
}  // namespace kanzo

int main(int argc, char** argv) {
  kanzo::platform::InitNarrowEncoding();
  QApplication application(argc, argv);
  using kanzo::bench::CountArgument;
  return kanzo::Run(
      CountArgument(argc, argv, 1, kanzo::kDefaultLongLines, kanzo::kShortLines + 1, kanzo::kMaxLongLines),
      CountArgument(argc, argv, 2, kanzo::kDefaultRounds, 1, kanzo::kMaxRounds));
}
