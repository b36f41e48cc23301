// The updater: a thin start that hands over to the application object.
#include <QApplication>
#include <string>
#include <vector>

#include "platform/narrow_text.h"
#include "platform/qt/qt_message_box.h"
#include "platform/qt/qt_ui_loop.h"
#include "update/update_app.h"

int main(int argc, char** argv) {
  kanzo::platform::InitNarrowEncoding();
  QApplication application(argc, argv);
  kanzo::platform::QtUiLoop uiLoop;
  kanzo::platform::InstallQtMessageBoxHandler();

  std::vector<std::string> args(argv + 1, argv + argc);
  kanzo::CUpdateApp app(std::move(args));
  app.InitInstance();
  return 0;
}
