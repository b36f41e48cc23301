#pragma once
// How the login window makes and drives the main window: it creates it once,
// after the first successful login, owned by the login window; tells it the
// presence before showing it; and hands it the agents' presence that a
// session refresh brings.
#include <QWidget>
#include <functional>

#include <json/value.h>

#include "windows/window_context.h"

namespace kanzo {

struct MainWindowMaker {
  // Creates the main window, hidden, with `owner` as its parent.
  std::function<QWidget*(QWidget* owner, WindowContext& context)> create;
  std::function<void(QWidget* window, int presence)> showState;
  std::function<void(QWidget* window, const Json::Value& agentStates)> loadAgentStates;
};

// The program's main window.
MainWindowMaker DefaultMainWindowMaker();

}  // namespace kanzo
