#include "workspace/main_window_maker.h"

namespace kanzo {

MainWindowMaker DefaultMainWindowMaker() {
  // Until the main window joins, a login leads nowhere visible.
  return MainWindowMaker{};
}

}  // namespace kanzo
