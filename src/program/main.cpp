// The agent client: a thin start that hands over to the application object.
#include <QApplication>
#include <string>
#include <vector>

#include "app/crash_handler.h"
#include "app/kanzo_app.h"
#include "platform/narrow_text.h"
#include "platform/program_folder.h"
#include "platform/qt/qt_message_box.h"
#include "platform/qt/qt_ui_loop.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);

  // Started by the crash handler of a failed instance: show its box only.
  if (kanzo::IsCrashNoticeCommand(args)) {
    kanzo::platform::InitNarrowEncoding();
    QApplication application(argc, argv);
    kanzo::platform::InstallQtMessageBoxHandler();
    return kanzo::RunCrashNotice(args);
  }

  // Faults while the toolkit starts are reported as well; InitInstance
  // installs the handler again as its first step.
  kanzo::SetCrashNoticeProgram(kanzo::platform::ProgramPath());
  kanzo::InstallCrashHandler(kanzo::platform::ProgramFolder() + kanzo::kCrashFolderName);

  kanzo::platform::InitNarrowEncoding();
  QApplication application(argc, argv);
  kanzo::platform::QtUiLoop uiLoop;
  kanzo::platform::InstallQtMessageBoxHandler();

  kanzo::CKanzoApp app(std::move(args));
  app.InitInstance();
  return 0;
}
