#pragma once
// The application object of the agent client: InitInstance runs the whole
// life of the program, from the crash handler to the exit line.
#include <functional>
#include <string>
#include <vector>

namespace kanzo {

// What the login window returns when it ends.
inline constexpr int kLoginResultForcedOffline = 1;  // logged in elsewhere
inline constexpr int kLoginResultQuit = 2;           // the agent chose "退出"
inline constexpr int kLoginResultClosed = 0;         // closed without logging in

class CKanzoApp {
 public:
  // Runs the login window modally and returns its result.
  using LoginWindowRunner = std::function<int()>;

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

  // The application object of the running program (nullptr before/after).
  static CKanzoApp* Current();

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
};

}  // namespace kanzo
