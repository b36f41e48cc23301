#pragma once
// The application object of the agent client: InitInstance runs the whole
// life of the program, from the crash handler to the exit line.
#include <string>
#include <vector>

namespace kanzo {

class CKanzoApp {
 public:
  // `args` are the command-line arguments after the program's own path.
  // `programFolder` holds config.ini, the updater and the pictures ("" means
  // the folder of the running executable).
  explicit CKanzoApp(std::vector<std::string> args, std::string programFolder = "");
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

 private:
  std::vector<std::string> args_;
  std::string programFolder_;
  std::string version_;
  std::string description_;
};

}  // namespace kanzo
