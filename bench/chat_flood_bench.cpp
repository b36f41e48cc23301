// The chat-line path under a flood, from the server to the database, with
// the user-interface thread watched by the stall probe.
//
//   chat_flood_bench [lines] [lines per second]   (default 2000 at 1000/s)
//
// The chat-server simulator runs in this process on its own thread; 20
// visitors write to the logged-in agent, a pacing thread asking for one line
// after another at the given rate, in turn from each visitor. The client's
// dispatcher hands every line to the user-interface thread (a real Qt event
// loop), where one conversation is shown: its lines are appended to a shown
// rich view as transcript lines, the others' are kept as display markup for
// their hidden conversations; every line is queued to the store thread.
//
// The conversation handling stands in for the chat window's until that
// window is measured here itself; the network, the rich view, the store
// thread and the database are the program's own.
//
// Reported: lines per second handled against the rate asked for; the UI
// thread's time per shown and per hidden line; the longest stall and the
// 99th percentile of the probe's tick lateness; how long after the last line
// was handled every line was in talk_message (counted there); idle CPU and
// resident memory afterwards.
#include <stdlib.h>
#include <sys/resource.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench_report.h"
#include "bench_simulator.h"
#include "bench_timing.h"
#include "chat/rich_edit.h"
#include "chat/wire_display.h"
#include "db/db_access.h"
#include "db/db_manager.h"
#include "db/store_talk_message_tread.h"
#include "log/cx_log.h"
#include "net/network.h"
#include "net/session_id.h"
#include "net/window_network_future.h"
#include "platform/qt/qt_ui_loop.h"
#include "platform/qt/ui_stall_probe.h"
#include "platform/window_message.h"
#include "protocol/commands.h"
#include "protocol/login.h"
#include "protocol/msg.h"
#include "protocol/startup_codecs.h"
#include "records/agent_record.h"
#include "records/contact_table.h"
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
constexpr int kLoopPollMs = 5;
constexpr int kSettleMs = 300;
constexpr auto kIdleMeasure = std::chrono::seconds(5);
constexpr int kViewWidth = 560;
constexpr int kViewHeight = 380;
// Aims of the flood at 1,000 lines per second.
constexpr double kAimKeptUp = 0.98;
constexpr double kAimStallMs = 50;
constexpr double kAimStoredSeconds = 2;
constexpr double kAimIdleCpuPercent = 1;

// Runs the Qt event loop until `done` holds or the deadline passes; the loop
// sleeps in between, as the program's does.
bool RunLoopUntil(const std::function<bool()>& done, Clock::time_point deadline) {
  if (done()) return true;
  QEventLoop loop;
  QTimer poll;
  poll.setInterval(kLoopPollMs);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (done() || Clock::now() >= deadline) loop.quit();
  });
  poll.start();
  loop.exec();
  return done();
}

// Runs the Qt event loop for `span` with no timer of its own.
void RunLoopFor(std::chrono::milliseconds span) {
  QEventLoop loop;
  QTimer::singleShot(span, &loop, &QEventLoop::quit);
  loop.exec();
}

std::string TranscriptLine(std::int32_t visitor, const std::string& display) {
  return "\n[#4895E1]访客" + std::to_string(visitor) + " (12:00:00)\n[>00C8]" + display + "\n";
}

// The agent's side of the flood: the login, then every chat line handed to
// the shown view or to its hidden conversation, and to the store thread.
class FloodWindow final : public platform::Window {
 public:
  FloodWindow(StoreTalkMessageTread& store, SharedAgentRecord& agent) : store_(store), agent_(agent) {
    view_.setReadOnly(true);
    view_.resize(kViewWidth, kViewHeight);
    view_.show();
  }

  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override {
    if (message != kNetworkWindowMessage || wParam != kNetworkEventMessage) return 0;
    const std::unique_ptr<Message> received = platform::TakePayload(kNetworkMessage, lParam);
    const Msg* body = received->bodyAs<Msg>();
    if (received->command == kCommandLogin && received->RESULT == 0 && body != nullptr) {
      SetCurrentSessionId(received->SESSION_ID);
      agent_.Update([&](AgentRecord& r) { r.triple = AgentTriple{body->account, body->FROM, body->FROM_TYPE}; });
      loggedIn = true;
    } else if (received->command == kCommandChatMessage && body != nullptr && body->FROM >= kFirstVisitor &&
               body->FROM < kFirstVisitor + kVisitors) {
      TakeLine(body->FROM, body->BODY);
    }
    return 0;
  }

  bool loggedIn = false;
  int lines = 0;
  int shownLines = 0;
  double shownSeconds = 0;
  double hiddenSeconds = 0;
  Clock::time_point lastLine;

 private:
  void TakeLine(std::int32_t visitor, const std::string& wireText) {
    const auto start = Clock::now();
    const std::string display = ConvertWireTextForDisplay(wireText);
    if (visitor == kShownVisitor) {
      view_.AppendMarkup(TranscriptLine(visitor, display));
      ++shownLines;
    } else {
      hidden_[visitor].push_back(TranscriptLine(visitor, display));
    }
    store_.Add(visitor, display, true);
    lastLine = Clock::now();
    (visitor == kShownVisitor ? shownSeconds : hiddenSeconds) += Seconds(lastLine - start);
    ++lines;
  }

  StoreTalkMessageTread& store_;
  SharedAgentRecord& agent_;
  RichEdit view_;
  std::map<std::int32_t, std::vector<std::string>> hidden_;
};

long long StoredLines() {
  DbRows rows;
  if (!DbQuery("SELECT COUNT(*) FROM talk_message", &rows) || rows.empty()) return -1;
  return std::stoll(rows[0][0]);
}

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    long value = 0;
    if (key == "VmRSS:" && status >> value) return value;
    status.ignore(1 << 12, '\n');
  }
  return -1;
}

int Run(int lines, double rate) {
  CxLog::Instance().SetLevel(kLogWarning);
  RegisterStartupCodecs();
  std::string folder = (std::filesystem::temp_directory_path() / "kanzo-chat-flood-XXXXXX").string();
  if (!mkdtemp(folder.data())) {
    std::perror("mkdtemp");
    return 1;
  }
  struct RemoveFolder {
    std::string path;
    ~RemoveFolder() { std::filesystem::remove_all(path); }
  } removeFolder{folder};
  SetDatabasePath(folder + "/" + kDatabaseFileName);
  if (!DBManager::Init()) return 1;

  std::unique_ptr<Simulator> sim = bench::StartSimulator();
  if (!sim) return 1;
  platform::QtUiLoop uiLoop;
  auto probe = std::make_unique<platform::UiStallProbe>(platform::UiStallProbe::kBenchmarkTick,
                                                        platform::UiStallProbe::kProgramLogThreshold);

  ContactTable contacts;
  SharedAgentRecord agent;
  for (int i = 0; i < kVisitors; ++i) {
    auto record = std::make_unique<ContactRecord>();
    record->id = kFirstVisitor + i;
    record->kind = kContactKindVisitor;
    record->name = "访客" + std::to_string(record->id);
    record->area = "上海市";
    contacts.Enter(std::move(record));
  }
  StoreTalkMessageTread store(contacts, agent);
  store.start();
  FloodWindow window(store, agent);
  WindowNetworkFuture future;
  future.registerWindow({kCommandLogin, kCommandRefreshSession, kCommandChatMessage}, window.Id());
  Network network(&future);
  network.connect(kLoopback, static_cast<std::uint16_t>(sim->port()));

  bench::LoginRequest login(kAgentUser);
  SetCurrentSessionId(0);
  const auto deadline = Clock::now() + kDeadline;
  if (network.send(login.message) != 0 || !RunLoopUntil([&] { return window.loggedIn; }, deadline)) {
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
  RunLoopFor(std::chrono::milliseconds(kSettleMs));

  // The pacing thread asks the simulator for the lines at the rate; the
  // simulator writes each to the agent's connection at once.
  std::atomic<int> asked{0};
  std::atomic<bool> pacingFailed{false};
  Clock::time_point lastAsked;  // written by the pacer, read after join
  probe->Reset();
  const auto start = Clock::now();
  std::thread pacer([&] {
    for (int i = 0; i < lines; ++i) {
      std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(
                                                std::chrono::duration<double>(static_cast<double>(i) / rate)));
      const std::int32_t visitor = kFirstVisitor + i % kVisitors;
      if (!sim->Command("say " + std::to_string(visitor) + " 第" + std::to_string(i) +
                        "行：您好，请问这款产品什么时候发货？能开发票吗？")
               .ok) {
        pacingFailed = true;
        return;
      }
      ++asked;
    }
    lastAsked = Clock::now();
  });
  const bool handled =
      RunLoopUntil([&] { return window.lines >= lines || pacingFailed.load(); }, deadline) && !pacingFailed.load();
  pacer.join();
  const double askedSeconds = Seconds(lastAsked - start);
  if (!handled) {
    std::fprintf(stderr, "chat_flood_bench: %d of %d lines handled (%d asked)\n", window.lines, lines, asked.load());
    return 1;
  }
  const double floodSeconds = Seconds(window.lastLine - start);
  const platform::UiStallStats stalls = probe->Stats();
  const std::string stallSummary = probe->Summary();

  // Every line in talk_message, counted there.
  long long stored = 0;
  RunLoopUntil([&] { return (stored = StoredLines()) >= lines; }, Clock::now() + std::chrono::seconds(30));
  const double storedAfter = Seconds(Clock::now() - window.lastLine);

  // Idle: nothing arrives; the process should sleep between timer ticks.
  // The probe ticks at the program's rate for this, not the benchmark's.
  probe = std::make_unique<platform::UiStallProbe>(platform::UiStallProbe::kProgramTick,
                                                   platform::UiStallProbe::kProgramLogThreshold);
  const double cpuBefore = bench::CpuSeconds();
  RunLoopFor(std::chrono::duration_cast<std::chrono::milliseconds>(kIdleMeasure));
  const double idlePercent = 100.0 * (bench::CpuSeconds() - cpuBefore) / Seconds(kIdleMeasure);
  const long residentKb = ResidentKilobytes();

  network.shutdown();
  store.stop();
  sim->Stop();

  const double handledRate = lines / floodSeconds;
  const double askedRate = lines / askedSeconds;
  const double shownUs = window.shownLines ? 1e6 * window.shownSeconds / window.shownLines : 0;
  const int hiddenLines = window.lines - window.shownLines;
  const double hiddenUs = hiddenLines ? 1e6 * window.hiddenSeconds / hiddenLines : 0;
  const double longestMs = static_cast<double>(stalls.Longest().count()) / 1000.0;
  std::printf("chat flood: %d lines from %d visitors asked at %.0f lines/s, one conversation shown\n", lines, kVisitors,
              rate);
  std::printf("  handled on the UI thread: %9.0f lines/s (%.2f s), asked %.0f lines/s\n", handledRate, floodSeconds,
              askedRate);
  std::printf("  UI time per line: shown %.1f us (%d lines), hidden %.1f us (%d lines)\n", shownUs, window.shownLines,
              hiddenUs, hiddenLines);
  std::printf("  UI stalls during the flood: %s\n", stallSummary.c_str());
  std::printf("  stored in talk_message: %lld of %d, all %.2f s after the last line was handled\n", stored, lines,
              storedAfter);
  std::printf("  idle afterwards: CPU %.2f %% over %.0f s, resident %.1f MB\n", idlePercent, Seconds(kIdleMeasure),
              residentKb / 1024.0);

  using bench::Figure;
  // The baseline is the rate the simulator was actually asked for lines,
  // which a loaded machine may hold below the one set.
  bench::ReportFigure(Figure{"chat flood: lines handled (20 visitors)",
                             handledRate,
                             "lines/s",
                             askedRate,
                             {"asked ≥ 980 lines/s, ≥ 0.98 of it handled",
                              askedRate >= kAimKeptUp * kDefaultRate && handledRate >= kAimKeptUp * askedRate}});
  bench::ReportFigure(Figure{"chat flood: UI time per shown line", shownUs, "us", NAN, {}});
  bench::ReportFigure(Figure{"chat flood: UI time per hidden line", hiddenUs, "us", NAN, {}});
  bench::ReportFigure(
      Figure{"chat flood: longest UI stall", longestMs, "ms", NAN, {"< 50 ms", longestMs < kAimStallMs}});
  bench::ReportFigure(Figure{"chat flood: UI tick lateness, 99th percentile",
                             static_cast<double>(stalls.Percentile(0.99).count()),
                             "ms",
                             NAN,
                             {}});
  bench::ReportFigure(Figure{"chat flood: every line stored, after the last",
                             storedAfter,
                             "s",
                             NAN,
                             {"≤ 2 s, none lost", stored == lines && storedAfter <= kAimStoredSeconds}});
  bench::ReportFigure(
      Figure{"after the flood: idle CPU", idlePercent, "%", NAN, {"< 1 %", idlePercent < kAimIdleCpuPercent}});
  bench::ReportFigure(Figure{"after the flood: resident memory", residentKb / 1024.0, "MB", NAN, {}});
  return stored == lines ? 0 : 1;
}

}  // namespace
}  // namespace kanzo

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  int lines = argc > 1 ? std::atoi(argv[1]) : kanzo::kDefaultLines;
  if (lines <= 0 || lines > kanzo::kMaxLines) lines = kanzo::kDefaultLines;
  double rate = argc > 2 ? std::atof(argv[2]) : kanzo::kDefaultRate;
  if (rate <= 0) rate = kanzo::kDefaultRate;
  return kanzo::Run(lines, rate);
}
