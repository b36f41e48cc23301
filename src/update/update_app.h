#pragma once
// The updater's application object: reads the run parameters, refuses bad
// command lines with a box, and runs the dialog.
#include <memory>
#include <string>
#include <vector>

namespace kanzo {

class CUpdateDlg;

class CUpdateApp {
 public:
  // `args` are the arguments after the program's own path; `programFolder`
  // ("" for the folder of the running executable) holds config.ini, the
  // client's files and update.ini.
  explicit CUpdateApp(std::vector<std::string> args, std::string programFolder = "");
  ~CUpdateApp();
  CUpdateApp(const CUpdateApp&) = delete;
  CUpdateApp& operator=(const CUpdateApp&) = delete;

  // Runs the updater to its end. Always false: no message loop follows.
  bool InitInstance();

  // The dialog of the run, kept after it closed (nullptr when the command
  // line was refused).
  const CUpdateDlg* Dialog() const { return dialog_.get(); }

 private:
  std::vector<std::string> args_;
  std::string programFolder_;
  std::unique_ptr<CUpdateDlg> dialog_;
};

}  // namespace kanzo
