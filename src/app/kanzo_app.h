#pragma once
// The application object of the agent client: InitInstance runs the whole
// life of the program, from the crash handler to the exit line.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "db/db_operations.h"
#include "records/records.h"
#include "windows/client_vocabulary.h"
#include "windows/window_context.h"
#include "windows/window_router.h"
#include "workspace/window_factories.h"

namespace kanzo {

class CKanzoApp {
 public:
  // Runs the login window modally with the application's context and
  // returns its result.
  using LoginWindowRunner = std::function<int(WindowContext& context)>;

  // `args` are the command-line arguments after the program's own path.
  // `programFolder` holds config.ini, the updater and the pictures ("" means
  // the folder of the running executable); `programPath` is what a restart
  // starts ("" means the running executable).
  explicit CKanzoApp(std::vector<std::string> args, std::string programFolder = "", std::string programPath = "");
  ~CKanzoApp();
  CKanzoApp(const CKanzoApp&) = delete;
  CKanzoApp& operator=(const CKanzoApp&) = delete;

  // Start-up, the login window, and shutdown. Always false: no message loop
  // follows.
  bool InitInstance();

  static std::string GetAddressByHostName(const std::string& host);
  void RegistDLL();
  void OnUpdate();
  void LoginOut();
  void RestartSelf();

  const std::string& ProgramVersion() const { return version_; }
  const std::string& ProgramDescription() const { return description_; }
  const std::string& ProgramFolder() const { return programFolder_; }

  // What the windows work with: the records, the router, the factories, the
  // database and the dispatcher, for the whole run.
  WindowContext& Context() { return context_; }
  WindowFactories& Factories() { return factories_; }

  // The login window joins start-up here.
  void SetLoginWindowRunner(LoginWindowRunner runner) { loginWindowRunner_ = std::move(runner); }

 private:
  int RunLoginWindow();

  LoginWindowRunner loginWindowRunner_;
  std::vector<std::string> args_;
  std::string programFolder_;
  std::string programPath_;
  std::string version_;
  std::string description_;

  // Destroyed in the order the destructor states, not by member order.
  std::unique_ptr<Records> records_;
  StoredDatabase database_;
  WindowRouter router_;
  WindowFactories factories_;
  WindowContext context_;
};

}  // namespace kanzo
