#pragma once
// The client's windows as the application makes them, for the benchmarks of
// the chat window: the application object with the factories the program
// installs, the chat window it owns, and the visitor and conversation panes
// made by their factories under a stand-in for the main window; a fresh
// database in a temporary folder; the Qt loop run as the program runs it;
// chat lines handed to the chat window as the dispatcher hands them. Sounds
// are recorded, not played.
#include <stdlib.h>

#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "app/kanzo_app.h"
#include "bench_timing.h"
#include "bench_visitors.h"
#include "chat/chat_dlg.h"
#include "controls/skin_kit.h"
#include "db/db_access.h"
#include "db/db_manager.h"
#include "platform/sound.h"
#include "platform/window_message.h"
#include "platform/window_payload.h"
#include "protocol/commands.h"
#include "protocol/msg.h"
#include "protocol/wire_values.h"
#include "windows/client_vocabulary.h"
#include "windows/network_vocabulary.h"
#include "workspace/contact_dlg.h"
#include "workspace/json_body.h"
#include "workspace/window_factories.h"

namespace kanzo::bench {

inline constexpr int kLoopPollMs = 5;
// The main window's list column, where the conversation pane is drawn.
inline constexpr int kPaneWidth = 260;
inline constexpr int kPaneHeight = 600;

// Runs the Qt event loop until `done` holds or the deadline passes; the loop
// sleeps in between, as the program's does.
inline bool RunLoopUntil(const std::function<bool()>& done, Clock::time_point deadline) {
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
inline void RunLoopFor(std::chrono::milliseconds span) {
  QEventLoop loop;
  QTimer::singleShot(span, &loop, &QEventLoop::quit);
  loop.exec();
}

inline long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    long value = 0;
    if (key == "VmRSS:" && status >> value) return value;
    status.ignore(1 << 12, '\n');
  }
  return -1;
}

inline long long StoredLines() {
  DbRows rows;
  if (!DbQuery("SELECT COUNT(*) FROM talk_message", &rows) || rows.empty()) return -1;
  return std::stoll(rows[0][0]);
}

// A fresh database in a temporary folder, which is also the program folder;
// removed at the end.
class TempProgramFolder {
 public:
  explicit TempProgramFolder(const char* name)
      : folder_((std::filesystem::temp_directory_path() / (std::string(name) + "-XXXXXX")).string()) {
    if (!mkdtemp(folder_.data())) {
      std::perror("mkdtemp");
      folder_.clear();
      return;
    }
    folder_ += '/';
    SetDatabasePath(folder_ + kDatabaseFileName);
    ok_ = DBManager::Init();
  }
  ~TempProgramFolder() {
    if (!folder_.empty()) std::filesystem::remove_all(folder_);
  }
  TempProgramFolder(const TempProgramFolder&) = delete;
  TempProgramFolder& operator=(const TempProgramFolder&) = delete;

  bool ok() const { return ok_; }
  const std::string& path() const { return folder_; }

 private:
  std::string folder_;
  bool ok_ = false;
};

class ClientWindows {
 public:
  explicit ClientWindows(const std::string& programFolder)
      : app_({}, programFolder, programFolder + "Kanzo"), mainWindow_(std::make_unique<QWidget>()) {
    SkinKit::SetPictureFolder(KANZO_ASSET_FOLDER);
    InstallListPaneFactories(app_.Factories());
    InstallChatWindowFactory(app_.Factories());
    WindowContext& context = app_.Context();
    online_ = app_.Factories().Find(kOnlinePaneName)(mainWindow_.get(), context);
    sessions_ = app_.Factories().Find(kSessionPaneName)(mainWindow_.get(), context);
    sessions_->resize(kPaneWidth, kPaneHeight);
    mainWindow_->resize(kPaneWidth, kPaneHeight);
    mainWindow_->show();
    chat_ = static_cast<ChatDlg*>(app_.Factories().ApplicationWindow(kChatWindowName, context));
  }
  // The panes leave before the application object ends the network and
  // destroys the chat window.
  ~ClientWindows() { mainWindow_.reset(); }
  ClientWindows(const ClientWindows&) = delete;
  ClientWindows& operator=(const ClientWindows&) = delete;

  WindowContext& Context() { return app_.Context(); }
  ChatDlg& Chat() { return *chat_; }
  std::int32_t AgentId() { return Context().records.agent.AgentId(); }

  void SetAgent(const AgentTriple& triple) {
    Context().records.agent.Update([&](AgentRecord& r) { r.triple = triple; });
  }

  // The start data's online visitors to the visitor pane, the first `mine`
  // of them held by this agent, the others by colleagues.
  void LoadOnlineVisitors(std::int32_t first, int count, int mine) {
    const std::int32_t me = AgentId();
    Json::Value visitors;
    ParseJsonBody(OnlineVisitorsBody(first, count, [&](int i) { return i < mine ? me : me + 1 + i % 3; }), &visitors);
    platform::SendPayload(Context().router.IdOf(kOnlinePaneName), kPaneJson, kPaneLoad, visitors);
  }

  // A visitor's chat line, handed to the chat window as the dispatcher
  // hands it.
  void DeliverVisitorLine(std::int32_t visitor, const std::string& text) {
    auto message = std::make_unique<Message>();
    message->command = kCommandChatMessage;
    auto msg = std::make_unique<Msg>();
    msg->FROM_TYPE = kMemberKindVisitor;
    msg->FROM = visitor;
    msg->TO_TYPE = kMemberKindAgent;
    msg->TO = AgentId();
    msg->BODY = text;
    message->adoptBody(std::move(msg));
    platform::SendPayload(chat_->Id(), kNetworkMessage, kNetworkEventMessage, std::move(message));
  }

  // Lines of a visitor the chat window holds (shown or not).
  std::size_t TranscriptLength(std::int32_t visitor) { return chat_->Conversations().Store().Length(visitor); }

 private:
  // A line's sound, when a window plays one, is recorded, never heard.
  platform::SoundRecorder sounds_;
  CKanzoApp app_;
  std::unique_ptr<QWidget> mainWindow_;
  QWidget* online_ = nullptr;
  QWidget* sessions_ = nullptr;
  ChatDlg* chat_ = nullptr;
};

}  // namespace kanzo::bench
