#pragma once
// How the main window makes the windows that other parts of the client
// build: the list panes, the agent card, the chat window, the settings
// window, the connection statistics window and the stock reply editor. Each
// part installs its factory once at start-up; the main window calls it when
// it needs the window and does without it while none is installed.
//
// A factory returns a new window with `parent` as its Qt parent (which owns
// it), or nullptr. Windows that belong in the window registry enter
// themselves there; the main window enters any that did not.
#include <QWidget>
#include <functional>
#include <string>

namespace kanzo {

using WorkspaceWindowFactory = std::function<QWidget*(QWidget* parent)>;

// Names of the factories (registry names where the window has one).
inline constexpr const char* kAgentCardFactoryName = "UserInfoDlg";
inline constexpr const char* kSettingWindowFactoryName = "SettingDlg";
inline constexpr const char* kQuickMsgEditFactoryName = "QuickMsgEditDlg";
// The list panes, the chat window and the statistics window use their
// registry names ("OnlineDlg", "ContactDlg", "SessionDlg", "ChatDlg",
// "SignalCountDlg").

// Installs (or, with an empty function, removes) the factory of `name`.
void SetWorkspaceWindowFactory(const std::string& name, WorkspaceWindowFactory factory);
// The factory of `name`; empty when none is installed.
WorkspaceWindowFactory FindWorkspaceWindowFactory(const std::string& name);

// The connection statistics window ("SignalCountDlg"), made on the first
// press of the signal button.
void SetSignalCountWindowFactory(WorkspaceWindowFactory factory);

}  // namespace kanzo
