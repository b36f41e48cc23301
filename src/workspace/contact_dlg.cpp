#include "workspace/contact_dlg.h"

#include "workspace/main_workspace.h"
#include "workspace/online_dlg.h"
#include "workspace/session_dlg.h"
#include "workspace/shared_workspace.h"
#include "workspace/user_tree_ctrl.h"
#include "workspace/window_factories.h"
#include "workspace/window_links.h"

namespace kanzo {

ContactDlg::ContactDlg(QWidget* parent)
    : QWidget(parent), tree_(SharedContactTable(), SharedNameTable()), treeCtrl_(new UserTreeCtrl(tree_, this)) {
  setObjectName(QString::fromUtf8(kContactPaneName));
  platform::RegisterWindowName(kContactPaneName, Id());
}

ContactDlg::~ContactDlg() {
  if (platform::FindWindowIdByName(kContactPaneName) == Id()) platform::UnregisterWindowName(kContactPaneName);
}

void ContactDlg::resizeEvent(QResizeEvent*) { treeCtrl_->setGeometry(rect()); }

platform::MessageResult ContactDlg::OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                                    platform::LParam lParam) {
  if (message == kPaneDataMessage && wParam == kPaneLoad) {
    if (lParam != 0) tree_.LoadContacts(*reinterpret_cast<const Json::Value*>(lParam), CurrentAgentRecord().AgentId());
    treeCtrl_->Reload();
  } else if (message == kPaneDataMessage && wParam == kPaneRefresh) {
    if (auto* chat = dynamic_cast<ChatWindowLink*>(platform::FindWindowByName(kChatWindowName)))
      chat->RepaintTalkList();
    tree_.OnlineFirst();
    tree_.CountOnline();
    treeCtrl_->Refresh();
  } else if (message == kUnreadColleagueMessage && wParam == kUnreadColleagueBlink) {
    platform::SendWindowMessage(treeCtrl_->Id(), kStartBlinkMessage, 0, 0);
  }
  return 0;
}

void InstallListPaneFactories() {
  SetWorkspaceWindowFactory(kOnlinePaneName, [](QWidget* parent) -> QWidget* { return new OnlineDlg(parent); });
  SetWorkspaceWindowFactory(kSessionPaneName, [](QWidget* parent) -> QWidget* { return new SessionDlg(parent); });
  SetWorkspaceWindowFactory(kContactPaneName, [](QWidget* parent) -> QWidget* { return new ContactDlg(parent); });
}

}  // namespace kanzo
