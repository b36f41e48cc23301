#pragma once
// The colleague pane (tab "通讯录"): the company's other agents by group.
// Enters itself in the router as "ContactDlg".
#include <QWidget>

#include "platform/window_message.h"
#include "windows/window_context.h"
#include "workspace/agent_tree.h"

namespace kanzo {

class UserTreeCtrl;
class WindowFactories;

inline constexpr int kContactDialogTemplate = 2000;

class ContactDlg final : public QWidget, public platform::Window {
  Q_OBJECT
 public:
  ContactDlg(QWidget* parent, WindowContext& context);
  ~ContactDlg() override;

  // Pane data (kPaneDataMessage): kPaneLoad brings "users" (a JSON value
  // lent for the call), kPaneNotice says the agents' states changed. An
  // unread colleague (kUnreadColleagueMessage) starts the tree blinking.
  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override;

  AgentTree& Tree() { return tree_; }
  UserTreeCtrl* TreeCtrl() const { return treeCtrl_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  WindowContext& context_;
  AgentTree tree_;
  UserTreeCtrl* treeCtrl_;
};

// Lets the main window make the three list panes (start-up calls this once).
void InstallListPaneFactories(WindowFactories& factories);

}  // namespace kanzo
