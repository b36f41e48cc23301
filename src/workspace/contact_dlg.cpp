#include "workspace/contact_dlg.h"

#include "windows/client_vocabulary.h"
#include "windows/window_links.h"
#include "workspace/main_workspace.h"
#include "workspace/online_dlg.h"
#include "workspace/session_dlg.h"
#include "workspace/user_tree_ctrl.h"
#include "workspace/window_factories.h"

namespace kanzo {

ContactDlg::ContactDlg(QWidget* parent, WindowContext& context)
    : QWidget(parent),
      context_(context),
      tree_(context.records.contacts, context.records.names),
      treeCtrl_(new UserTreeCtrl(tree_, context, this)) {
  setObjectName(QString::fromUtf8(kContactPaneName));
  context_.router.Enter(kContactPaneName, *this);
}

ContactDlg::~ContactDlg() { context_.router.Leave(kContactPaneName, *this); }

void ContactDlg::resizeEvent(QResizeEvent*) { treeCtrl_->setGeometry(rect()); }

platform::MessageResult ContactDlg::OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                                    platform::LParam lParam) {
  if (message == kPaneDataMessage && wParam == kPaneLoad) {
    if (const Json::Value* users = platform::BorrowPayload(kPaneJson, lParam))
      tree_.LoadContacts(*users, context_.records.agent.AgentId());
    treeCtrl_->Reload();
  } else if (message == kPaneDataMessage && wParam == kPaneNotice) {
    if (auto* chat = context_.router.Find<ChatWindowLink>(kChatWindowName)) chat->RepaintTalkList();
    tree_.OnlineFirst();
    tree_.CountOnline();
    treeCtrl_->Refresh();
  } else if (message == kUnreadColleagueMessage && wParam == kUnreadColleagueBlink) {
    platform::SendWindowMessage(treeCtrl_->Id(), kStartBlinkMessage, 0, 0);
  }
  return 0;
}

void InstallListPaneFactories(WindowFactories& factories) {
  factories.Set(kOnlinePaneName,
                [](QWidget* parent, WindowContext& context) -> QWidget* { return new OnlineDlg(parent, context); });
  factories.Set(kSessionPaneName,
                [](QWidget* parent, WindowContext& context) -> QWidget* { return new SessionDlg(parent, context); });
  factories.Set(kContactPaneName,
                [](QWidget* parent, WindowContext& context) -> QWidget* { return new ContactDlg(parent, context); });
}

}  // namespace kanzo
