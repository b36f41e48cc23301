#include "details/details_windows.h"

#include "details/setting_dlg.h"
#include "details/user_info_dlg.h"
#include "workspace/window_factories.h"

namespace kanzo {

void InstallDetailsWindowFactories() {
  SetWorkspaceWindowFactory(kSettingWindowFactoryName, [](QWidget* parent) -> QWidget* {
    // A window of its own beside the main window, not a child inside it.
    auto* window = new SettingDlg(parent);
    window->setWindowFlag(Qt::Window);
    return window;
  });
  SetWorkspaceWindowFactory(kAgentCardFactoryName, [](QWidget* parent) -> QWidget* { return new UserInfoDlg(parent); });
}

}  // namespace kanzo
