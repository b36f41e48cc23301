#include "workspace/online_dlg.h"

#include <memory>

#include "platform/clock.h"
#include "workspace/main_workspace.h"
#include "workspace/session_dlg.h"
#include "workspace/shared_workspace.h"

namespace kanzo {

UserListBox::UserListBox(QWidget* parent)
    : QWidget(parent), visitors_(SharedContactTable(), SharedNameTable(), platform::CurrentClock()) {
  setObjectName(QStringLiteral("UserListBox"));
}

OnlineDlg::OnlineDlg(QWidget* parent) : QWidget(parent), list_(new UserListBox(this)) {
  setObjectName(QString::fromUtf8(kOnlinePaneName));
  platform::RegisterWindowName(kOnlinePaneName, Id());
}

OnlineDlg::~OnlineDlg() {
  if (platform::FindWindowIdByName(kOnlinePaneName) == Id()) platform::UnregisterWindowName(kOnlinePaneName);
}

platform::MessageResult OnlineDlg::OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                                   platform::LParam lParam) {
  if (message != kPaneDataMessage) return 0;
  if (wParam == kPaneLoad) {
    if (lParam != 0) list_->Visitors().LoadVisitors(*reinterpret_cast<const Json::Value*>(lParam));
    RedrawTalkList();
    const platform::WindowId sessions = platform::FindWindowIdByName(kSessionPaneName);
    if (sessions != platform::kNoWindow)
      platform::SendWindowMessage(sessions, kSessionRefreshMessage, kSessionAddTalking, 0);
  } else if (wParam == kPaneNotice) {
    // The copy is ours whatever it says.
    std::unique_ptr<Msg> notice(reinterpret_cast<Msg*>(lParam));
    if (notice) list_->Visitors().ApplyNotice(*notice);
    RedrawTalkList();
  }
  return 0;
}

void OnlineDlg::AddOrUpdate(const ContactRecord& record) {
  list_->Visitors().AddOrUpdate(record);
  RedrawTalkList();
}

void OnlineDlg::RedrawTalkList() {
  const std::vector<std::int32_t> changed = list_->Visitors().TakeTalkListChanges();
  auto* chat = dynamic_cast<ChatWindowLink*>(platform::FindWindowByName(kChatWindowName));
  if (chat == nullptr) return;
  for (std::int32_t id : changed) {
    if (chat->IsTalkListed(id)) {
      chat->RepaintTalkList();
      return;
    }
  }
}

}  // namespace kanzo
