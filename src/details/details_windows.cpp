#include "details/details_windows.h"

#include "details/setting_dlg.h"
#include "details/user_info_dlg.h"
#include "windows/client_vocabulary.h"
#include "workspace/window_factories.h"

namespace kanzo {

void InstallDetailsWindowFactories(WindowFactories& factories) {
  factories.Set(kSettingWindowFactoryName, [](QWidget* parent, WindowContext& context) -> QWidget* {
    // A window of its own beside the main window, not a child inside it.
    auto* window = new SettingDlg(parent, context);
    window->setWindowFlag(Qt::Window);
    return window;
  });
  factories.Set(kAgentCardFactoryName, [](QWidget* parent, WindowContext& context) -> QWidget* {
    return new UserInfoDlg(parent, context.records.agent);
  });
}

}  // namespace kanzo
