#pragma once
// How windows make the windows that other parts of the client build: the
// list panes, the agent card, the chat window, the settings window, the
// connection statistics window and the stock reply editor. Each part
// installs its factory once at start-up in the application's
// WindowFactories (reached through WindowContext::factories); a window
// calls the factory when it needs the window and does without it while none
// is installed.
//
// A factory returns a new window with `parent` as its Qt parent (which owns
// it), or nullptr, and passes the context on to the window it makes.
// Windows that belong in the router enter themselves there.
//
// The chat window is the application's: made once by ApplicationWindow,
// owned here and destroyed by DestroyApplicationWindows, which the
// application object calls after the network thread has ended and before
// the records go.
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "windows/window_context.h"

namespace kanzo {

class WindowFactories {
 public:
  using Factory = std::function<QWidget*(QWidget* parent, WindowContext& context)>;

  WindowFactories() = default;
  ~WindowFactories();
  WindowFactories(const WindowFactories&) = delete;
  WindowFactories& operator=(const WindowFactories&) = delete;

  // Installs (or, with an empty function, removes) the factory of `name`.
  void Set(const std::string& name, Factory factory);
  // The factory of `name`; empty when none is installed.
  Factory Find(const std::string& name) const;

  // The application-owned window of `name` (hidden when new): made by its
  // factory on the first call, without a parent; nullptr without a factory.
  QWidget* ApplicationWindow(const std::string& name, WindowContext& context);
  // Destroys the application-owned windows, newest first.
  void DestroyApplicationWindows();

 private:
  std::map<std::string, Factory> factories_;
  std::vector<std::pair<std::string, std::unique_ptr<QWidget>>> applicationWindows_;
};

// The connection statistics window ("SignalCountDlg"), made on the first
// press of the signal button.
void InstallSignalCountWindowFactory(WindowFactories& factories);

}  // namespace kanzo
