// The lists under load: loading 2,000 online visitors and then applying
// 1,000 state notices, beside a bare parse of the same JSON text in the same
// run; drawing the conversation list holding 500 rows, beside drawing a
// plain widget of the same size. The aim is that no single step keeps the
// user-interface thread for more than 50 ms.
//   lists_bench [visitors] [notices] [rows] [rounds]
#include <unistd.h>

#include <QApplication>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "bench_report.h"
#include "bench_timing.h"
#include "bench_visitors.h"
#include "controls/skin_kit.h"
#include "db/db_operations.h"
#include "platform/clock.h"
#include "platform/narrow_text.h"
#include "records/records.h"
#include "windows/window_context.h"
#include "windows/window_router.h"
#include "workspace/json_body.h"
#include "workspace/session_list.h"
#include "workspace/session_list_box.h"
#include "workspace/visitor_list.h"

namespace {

using namespace kanzo;
using bench::Seconds;

constexpr int kDefaultVisitors = 2000;
constexpr int kDefaultNotices = 1000;
constexpr int kDefaultRows = 500;
constexpr int kDefaultRounds = 20;
constexpr std::int32_t kFirstVisitor = 100000;
constexpr std::int32_t kSelf = 2001;
constexpr int kListWidth = 260;
constexpr int kListHeight = 600;
constexpr double kStepBudgetMs = 50.0;
const int kStates[] = {101, 105, 104, 102, 2};

double Ms(double seconds) { return seconds * 1000.0; }

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  platform::InitNarrowEncoding();
  QApplication app(argc, argv);
  const int visitors = argc > 1 ? std::atoi(argv[1]) : kDefaultVisitors;
  const int notices = argc > 2 ? std::atoi(argv[2]) : kDefaultNotices;
  const int rows = argc > 3 ? std::atoi(argv[3]) : kDefaultRows;
  const int rounds = std::max(1, argc > 4 ? std::atoi(argv[4]) : kDefaultRounds);
  SkinKit::SetPictureFolder(KANZO_ASSET_FOLDER);
  Records records;
  WindowRouter router;
  StoredDatabase db;
  WindowContext context{[](Message&) { return -1; }, platform::CurrentClock(), records, router, db};
  records.agent.Update([](AgentRecord& a) { a.triple = {7, kSelf, 1}; });
  const std::string body = bench::OnlineVisitorsBody(kFirstVisitor, visitors,
                                                     [](int i) { return static_cast<std::int32_t>(kSelf + i % 3); });

  // Baseline: the bare parse of the same text.
  double parseWorst = 0;
  bench::Stopwatch parseWatch;
  for (int r = 0; r < rounds; ++r) {
    bench::Stopwatch one;
    Json::Value list;
    ParseJsonBody(body, &list);
    parseWorst = std::max(parseWorst, one.Stop(true).wall);
  }
  const bench::Timing parseTiming = parseWatch.Stop(true);
  const double parse = parseTiming.wall / rounds;
  const double parseCpu = parseTiming.cpu / rounds;

  // The visitor pane's work: parse and load into a fresh table, then the
  // notices one by one, as the main window hands them over.
  double loadTotal = 0, loadWorst = 0, noticeTotal = 0, noticeWorst = 0, loadCpu = 0, noticeCpu = 0;
  for (int r = 0; r < rounds; ++r) {
    ContactTable contacts;
    NameTable names;
    VisitorList list(contacts, names, platform::CurrentClock());
    bench::Stopwatch load;
    Json::Value parsed;
    ParseJsonBody(body, &parsed);
    list.LoadVisitors(parsed);
    const bench::Timing loadTiming = load.Stop(true);
    const double loaded = loadTiming.wall;
    loadCpu += loadTiming.cpu;
    loadTotal += loaded;
    loadWorst = std::max(loadWorst, loaded);
    bench::Stopwatch all;
    for (int n = 0; n < notices; ++n) {
      Msg notice;
      notice.FROM = kFirstVisitor + (n * 7919) % std::max(1, visitors);
      notice.TO = kSelf;
      notice.BODY = std::to_string(kStates[n % 5]);
      bench::Stopwatch one;
      list.ApplyNotice(notice);
      noticeWorst = std::max(noticeWorst, one.Stop(true).wall);
    }
    const bench::Timing allTiming = all.Stop(true);
    noticeTotal += allTiming.wall;
    noticeCpu += allTiming.cpu;
  }

  // Drawing the conversation list with `rows` rows, beside a plain widget.
  ContactTable& table = records.contacts;
  SessionList sessions(table);
  for (int i = 0; i < rows; ++i) {
    auto r = std::make_unique<ContactRecord>();
    r->id = kFirstVisitor + i;
    r->kind = kContactKindVisitor;
    r->name = platform::Utf8ToNarrow("访客 ") + std::to_string(r->id);
    r->state = i % 4 == 0 ? kVisitorStateLeft : kVisitorStateTalking;
    r->agentId = kSelf + i % 2;
    r->lastTalkTime = std::to_string(1716274931 + i);
    r->lastMessage = platform::Utf8ToNarrow("你好，请问专业版多少钱一年？");
    r->unread = i % 3;
    sessions.AddSession(table.Enter(std::move(r)));
  }
  SessionListBox box(sessions, context, nullptr);
  box.resize(kListWidth, kListHeight);
  box.SetSelectedRow(1);
  QWidget plain;
  plain.resize(kListWidth, kListHeight);
  box.grab();  // pictures load once
  double drawTotal = 0, drawWorst = 0, plainTotal = 0, drawCpu = 0;
  for (int r = 0; r < rounds; ++r) {
    box.SetTopIndex((r * 37) % std::max(1, rows));
    bench::Stopwatch one;
    box.grab();
    const bench::Timing drawTiming = one.Stop(true);
    const double drawn = drawTiming.wall;
    drawCpu += drawTiming.cpu;
    drawTotal += drawn;
    drawWorst = std::max(drawWorst, drawn);
    bench::Stopwatch bare;
    plain.grab();
    plainTotal += bare.Stop(true).wall;
  }

  const double load = loadTotal / rounds;
  const double notice = noticeTotal / rounds;
  const double draw = drawTotal / rounds;
  const double plainDraw = plainTotal / rounds;
  std::printf("visitors %d, notices %d, rows %d, rounds %d\n", visitors, notices, rows, rounds);
  std::printf("(wall time; CPU time of the process in brackets, which other programs do not inflate)\n");
  std::printf("bare parse          %8.2f ms [%.2f] (worst %.2f)\n", Ms(parse), Ms(parseCpu), Ms(parseWorst));
  std::printf("parse and load      %8.2f ms [%.2f] (worst %.2f)  ratio %.2f to the bare parse (CPU %.2f)\n", Ms(load),
              Ms(loadCpu / rounds), Ms(loadWorst), load / parse, loadCpu / rounds / parseCpu);
  std::printf("%d notices        %8.2f ms [%.2f] (worst single %.3f)  %.1f us each\n", notices, Ms(notice),
              Ms(noticeCpu / rounds), Ms(noticeWorst), notice * 1e6 / std::max(1, notices));
  std::printf("draw %d-row list   %8.2f ms [%.2f] (worst %.2f)  ratio %.2f to a plain widget (%.2f ms)\n", rows,
              Ms(draw), Ms(drawCpu / rounds), Ms(drawWorst), draw / plainDraw, Ms(plainDraw));
  const bool within =
      Ms(loadWorst) <= kStepBudgetMs && Ms(noticeWorst) <= kStepBudgetMs && Ms(drawWorst) <= kStepBudgetMs;
  std::printf("every single step within %.0f ms: %s\n", kStepBudgetMs, within ? "yes" : "no");
  const auto report = [](const std::string& name, double worst, double base) {
    bench::ReportFigure(bench::Figure{name, Ms(worst), "ms", Ms(base), {"< 50 ms", Ms(worst) <= kStepBudgetMs}});
  };
  report(std::to_string(visitors) + " visitors parsed and loaded, worst (baseline: bare parse)", loadWorst, parseWorst);
  report(std::to_string(visitors) + " visitors: worst single notice (baseline: bare parse)", noticeWorst, parseWorst);
  report(std::to_string(rows) + "-row conversation list drawn, worst (baseline: plain widget)", drawWorst, plainDraw);
  return 0;
}
