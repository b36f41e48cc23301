// Resident memory of the client's windows holding a busy agent's day: the
// chat window with many conversations of many lines, the visitor and
// conversation panes with thousands of online visitors, beside the same
// process with the same windows empty.
//
//   chat_memory_bench [conversations] [lines each] [online visitors]
//                     (default 100 conversations of 50 lines, 2000 visitors)
//
// The windows are made by their factories, as the application makes them;
// the visitors come to the visitor pane as the start data brings them, and
// the lines to the chat window as the dispatcher hands them, each stored by
// the window's store thread. One conversation is shown, the others hidden.
#include <QApplication>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

#include "bench_chat_window.h"
#include "bench_report.h"
#include "log/cx_log.h"
#include "platform/narrow_text.h"
#include "platform/qt/qt_ui_loop.h"

namespace kanzo {
namespace {

using bench::Clock;

constexpr int kDefaultConversations = 100;
constexpr int kDefaultLinesEach = 50;
constexpr int kDefaultVisitors = 2000;
constexpr int kMaxCount = 100000;
constexpr AgentTriple kAgent{1, 900, 1};
constexpr std::int32_t kFirstVisitor = 700001;
constexpr int kSettleMs = 500;
constexpr auto kStoreDeadline = std::chrono::seconds(60);
constexpr const char* kLineText = "行：您好，请问这款产品什么时候发货？能开发票吗？我们公司需要二十台。";
constexpr double kAimMegabytes = 80;

int Run(int conversations, int linesEach, int visitors) {
  CxLog::Instance().SetLevel(kLogWarning);
  bench::TempProgramFolder folder("kanzo-chat-memory");
  if (!folder.ok()) return 1;
  platform::QtUiLoop uiLoop;
  bench::ClientWindows windows(folder.path());
  windows.SetAgent(kAgent);
  windows.Chat().show();
  bench::RunLoopFor(std::chrono::milliseconds(kSettleMs));
  const long emptyKb = bench::ResidentKilobytes();

  if (visitors < conversations) visitors = conversations;
  windows.LoadOnlineVisitors(kFirstVisitor, visitors, conversations);
  windows.Chat().OpenConversation(kFirstVisitor);
  const std::string text = platform::Utf8ToNarrow(kLineText);
  // The lines arrive interleaved, as a busy day's do.
  for (int n = 0; n < linesEach; ++n) {
    for (int c = 0; c < conversations; ++c) windows.DeliverVisitorLine(kFirstVisitor + c, std::to_string(n) + text);
    QCoreApplication::processEvents();
  }
  const long long lines = static_cast<long long>(conversations) * linesEach;
  long long stored = 0;
  bench::RunLoopUntil([&] { return (stored = bench::StoredLines()) >= lines; }, Clock::now() + kStoreDeadline);
  bench::RunLoopFor(std::chrono::milliseconds(kSettleMs));
  const long loadedKb = bench::ResidentKilobytes();

  const double emptyMb = emptyKb / 1024.0;
  const double loadedMb = loadedKb / 1024.0;
  std::printf("chat window memory: %d conversations of %d lines (%lld stored), %d online visitors\n", conversations,
              linesEach, stored, visitors);
  std::printf("  resident: %.1f MB with the windows empty, %.1f MB loaded (+%.1f MB)\n", emptyMb, loadedMb,
              loadedMb - emptyMb);
  const bool fullSet =
      conversations >= kDefaultConversations && linesEach >= kDefaultLinesEach && visitors >= kDefaultVisitors;
  bench::ReportFigure(bench::Figure{"resident: " + std::to_string(conversations) + " conversations × " +
                                        std::to_string(linesEach) + " lines, " + std::to_string(visitors) +
                                        " visitors (baseline: empty)",
                                    loadedMb,
                                    "MB",
                                    emptyMb,
                                    {fullSet ? "< 80 MB" : "", loadedMb < kAimMegabytes}});
  return stored == lines ? 0 : 1;
}

}  // namespace
}  // namespace kanzo

int main(int argc, char** argv) {
  kanzo::platform::InitNarrowEncoding();
  QApplication application(argc, argv);
  using kanzo::bench::CountArgument;
  return kanzo::Run(CountArgument(argc, argv, 1, kanzo::kDefaultConversations, 1, kanzo::kMaxCount),
                    CountArgument(argc, argv, 2, kanzo::kDefaultLinesEach, 1, kanzo::kMaxCount),
                    CountArgument(argc, argv, 3, kanzo::kDefaultVisitors, 1, kanzo::kMaxCount));
}
