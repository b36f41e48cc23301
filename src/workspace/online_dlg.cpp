#include "workspace/online_dlg.h"

#include <memory>

#include "platform/clock.h"
#include "platform/window_message.h"
#include "windows/client_vocabulary.h"
#include "workspace/main_workspace.h"
#include "workspace/session_dlg.h"

namespace kanzo {

UserListBox::UserListBox(QWidget* parent, Records& records, const platform::Clock& clock)
    : QWidget(parent), visitors_(records.contacts, records.names, clock) {
  setObjectName(QStringLiteral("UserListBox"));
}

OnlineDlg::OnlineDlg(QWidget* parent, WindowContext& context)
    : QWidget(parent), context_(context), list_(new UserListBox(this, context.records, context.clock)) {
  setObjectName(QString::fromUtf8(kOnlinePaneName));
  context_.router.Enter(kOnlinePaneName, *this, static_cast<OnlinePaneLink*>(this));
}

OnlineDlg::~OnlineDlg() { context_.router.Leave(kOnlinePaneName, *this); }

platform::MessageResult OnlineDlg::OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                                   platform::LParam lParam) {
  if (message != kPaneDataMessage) return 0;
  if (wParam == kPaneLoad) {
    if (const Json::Value* visitors = platform::BorrowPayload(kPaneJson, lParam))
      list_->Visitors().LoadVisitors(*visitors);
    RedrawTalkList();
    const platform::WindowId sessions = context_.router.IdOf(kSessionPaneName);
    if (sessions != platform::kNoWindow)
      platform::SendWindowMessage(sessions, kSessionRefreshMessage, kSessionAddTalking, 0);
  } else if (wParam == kPaneNotice) {
    // The copy is ours whatever it says.
    const std::unique_ptr<Msg> notice = platform::TakePayload(kPaneNoticeMsg, lParam);
    if (notice) list_->Visitors().ApplyNotice(*notice);
    RedrawTalkList();
  }
  return 0;
}

void OnlineDlg::AddOrUpdate(const ContactRecord& record) {
  platform::CheckUiThread("OnlineDlg::AddOrUpdate");
  list_->Visitors().AddOrUpdate(record);
  RedrawTalkList();
}

void OnlineDlg::RedrawTalkList() {
  const std::vector<std::int32_t> changed = list_->Visitors().TakeTalkListChanges();
  auto* chat = context_.router.Find<ChatWindowLink>(kChatWindowName);
  if (chat == nullptr) return;
  for (std::int32_t id : changed) {
    if (chat->IsTalkListed(id)) {
      chat->RepaintTalkList();
      return;
    }
  }
}

}  // namespace kanzo
