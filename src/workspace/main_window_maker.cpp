#include "workspace/main_window_maker.h"

#include "workspace/main_dlg.h"
#include "workspace/main_workspace.h"

namespace kanzo {

MainWindowMaker DefaultMainWindowMaker() {
  MainWindowMaker maker;
  maker.create = [](QWidget* owner, WindowContext& context) -> QWidget* { return new MainDlg(owner, context); };
  maker.showState = [](QWidget* window, int presence) {
    if (auto* main = qobject_cast<MainDlg*>(window)) main->ShowState(presence);
  };
  maker.loadAgentStates = [](QWidget* window, const Json::Value& agentStates) {
    if (auto* main = qobject_cast<MainDlg*>(window)) main->Workspace().LoadUserState(agentStates);
  };
  return maker;
}

}  // namespace kanzo
