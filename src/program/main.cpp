// The agent client: a thin start that hands over to the application object.
#include <QApplication>
#include <memory>
#include <string>
#include <vector>

#include "app/crash_handler.h"
#include "app/kanzo_app.h"
#include "chat/chat_dlg.h"
#include "chat/quick_msg_edit_dlg.h"
#include "details/details_windows.h"
#include "platform/narrow_text.h"
#include "platform/program_folder.h"
#include "platform/qt/qt_message_box.h"
#include "platform/qt/qt_sound.h"
#include "platform/qt/qt_ui_loop.h"
#include "platform/qt/ui_stall_probe.h"
#include "platform/window_message.h"
#include "program/end_signals.h"
#include "windows/client_vocabulary.h"
#include "windows/window_links.h"
#include "workspace/contact_dlg.h"
#include "workspace/login_dlg.h"
#include "workspace/signal_count_dlg.h"

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
  kanzo::platform::QtSoundPlayer soundPlayer;
  // Logs at Debug whenever the user-interface thread was held up long
  // enough for the agent to notice.
  kanzo::platform::UiStallProbe stallProbe(kanzo::platform::UiStallProbe::kProgramTick,
                                           kanzo::platform::UiStallProbe::kProgramLogThreshold);

  // The login window is the application's main window; it lives until
  // start-up has logged out or restarted, and goes with the application.
  std::unique_ptr<kanzo::LoginDlg> loginWindow;
  kanzo::CKanzoApp app(std::move(args));
  // Each part that builds windows for others installs its factories here.
  kanzo::InstallSignalCountWindowFactory(app.Factories());
  kanzo::InstallQuickMsgEditWindowFactory(app.Factories());
  kanzo::InstallDetailsWindowFactories(app.Factories());
  kanzo::InstallListPaneFactories(app.Factories());
  kanzo::InstallChatWindowFactory(app.Factories());

  // Ended from outside while logged in: log out as "退出" does. Before the
  // main window exists there is no session to end.
  kanzo::EndSignals endSignals;
  endSignals.Install([&app](int signalNumber) {
    if (auto* mainWindow = app.Context().router.Find<kanzo::MainWindowLink>(kanzo::kMainWindowName)) {
      mainWindow->Quit();
    } else {
      kanzo::EndSignals::EndByDefault(signalNumber);
    }
  });
  app.SetLoginWindowRunner([&loginWindow](kanzo::WindowContext& context) {
    loginWindow = std::make_unique<kanzo::LoginDlg>(context);
    return loginWindow->RunModal();
  });
  app.InitInstance();
  loginWindow.reset();
  return 0;
}
