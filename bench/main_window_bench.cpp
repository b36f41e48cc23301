// The main window's start: handling a start-data answer with many
// colleagues beside a bare parse of the same JSON text, and making the
// window (offscreen) beside a plain dialog of the same size. Prints the
// rates, the ratios and the process's resident memory afterwards.
//   main_window_bench [colleagues] [rounds]
#include <unistd.h>
#include <QApplication>
#include <QDialog>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "bench_report.h"
#include "controls/skin_kit.h"
#include "db/db_access.h"
#include "db/db_manager.h"
#include "platform/narrow_text.h"
#include "platform/qt/qt_ui_loop.h"
#include "windows/window_context.h"
#include "workspace/json_body.h"
#include "workspace/main_dlg.h"
#include "workspace/main_workspace.h"

namespace {

using namespace kanzo;
using Clock = std::chrono::steady_clock;

constexpr int kDefaultColleagues = 500;
constexpr int kDefaultRounds = 200;
constexpr int kWindowRounds = 20;
constexpr std::int32_t kFirstColleague = 2000;
constexpr std::int32_t kSelf = 1001;

class QuietView : public MainWorkspaceView {
 public:
  void ShowSessionCount(const std::string&) override {}
  void ShowState(int) override {}
  void ShowAgentDetails() override {}
  void EndForcedOffline() override {}
  void SettingsChanged() override {}
};

std::string StartDataBody(int colleagues) {
  std::string users = "{\"客服组\":[";
  std::string states = "[";
  for (int i = 0; i < colleagues; ++i) {
    const int id = kFirstColleague + i;
    if (i) {
      users += ",";
      states += ",";
    }
    users += "{\"uid\":" + std::to_string(id) + ",\"name\":\"客服" + std::to_string(id) + "\"}";
    states += "[" + std::to_string(id) + "," + std::to_string(2 + i % 2) + "]";
  }
  users += "]}";
  states += "]";
  // "userstate" is a JSON text inside the document.
  std::string quoted;
  for (char c : states) quoted += c == '"' ? std::string("\\\"") : std::string(1, c);
  return "{\"users\":" + users + ",\"userstate\":\"" + quoted + "\",\"guestbook\":{\"offMsg\":[],\"gbook\":[]}}";
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  platform::InitNarrowEncoding();
  QApplication app(argc, argv);
  platform::QtUiLoop loop;
  const int colleagues = argc > 1 ? std::atoi(argv[1]) : kDefaultColleagues;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : kDefaultRounds;

  const std::string folder = "/tmp/kanzo_main_window_bench_" + std::to_string(getpid());
  std::system(("mkdir -p " + folder).c_str());
  SetDatabasePath(folder + "/qmb.db");
  DBManager::Init();
  SkinKit::SetPictureFolder(KANZO_ASSET_FOLDER);
  Records records;
  WindowRouter router;
  StoredDatabase database;
  const platform::SystemClock clock;
  WindowContext context{[](Message&) { return 0; }, clock, records, router, database};
  records.agent.Update([](AgentRecord& a) {
    a.realname = "张三";
    a.triple = {7, kSelf, 1};
  });
  for (int i = 0; i < colleagues; ++i) {
    auto r = std::make_unique<ContactRecord>();
    r->id = kFirstColleague + i;
    r->kind = kContactKindAgent;
    records.contacts.Enter(std::move(r));
  }
  const std::string body = StartDataBody(colleagues);

  // Baseline: parsing the document and its inner presence list.
  auto start = Clock::now();
  for (int i = 0; i < rounds; ++i) {
    Json::Value root, inner;
    ParseJsonBody(body, &root);
    ParseJsonBody(JsonMember(root, "userstate").asString(), &inner);
  }
  const double parse = Seconds(Clock::now() - start) / rounds;

  QuietView view;
  MainWorkspace workspace(view, context);
  start = Clock::now();
  for (int i = 0; i < rounds; ++i) {
    auto message = std::make_unique<Message>();
    message->command = kCommandStartData;
    auto msg = std::make_unique<Msg>();
    msg->BODY = body;
    message->adoptBody(std::move(msg));
    workspace.OnNetworkMessage(std::move(message));
  }
  const double handle = Seconds(Clock::now() - start) / rounds;
  std::printf("start data with %d colleagues (%zu bytes): handled in %.3f ms, bare parse %.3f ms, ratio %.2f\n",
              colleagues, body.size(), handle * 1e3, parse * 1e3, handle / parse);

  // Making the window against a plain dialog of its size.
  start = Clock::now();
  for (int i = 0; i < kWindowRounds; ++i) {
    QDialog plain;
    plain.resize(276, 668);
    plain.show();
    QCoreApplication::processEvents();
  }
  const double plainDialog = Seconds(Clock::now() - start) / kWindowRounds;
  start = Clock::now();
  for (int i = 0; i < kWindowRounds; ++i) {
    QDialog owner;
    auto* main = new MainDlg(&owner, context);
    main->ShowState(kPresenceOnline);
    main->show();
    QCoreApplication::processEvents();
  }
  const double mainWindow = Seconds(Clock::now() - start) / kWindowRounds;
  std::printf("main window made and shown in %.2f ms, plain dialog %.2f ms, ratio %.2f\n", mainWindow * 1e3,
              plainDialog * 1e3, mainWindow / plainDialog);
  std::printf("resident memory afterwards: %ld KB\n", ResidentKilobytes());
  kanzo::bench::ReportFigure({"main window: start data handled", handle * 1e3, "ms", parse * 1e3, {}});
  kanzo::bench::ReportFigure({"main window: made and shown", mainWindow * 1e3, "ms", plainDialog * 1e3, {}});

  std::system(("rm -rf " + folder).c_str());
  return 0;
}
