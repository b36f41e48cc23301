#include "workspace/session_dlg.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>

#include "log/cx_log.h"
#include "platform/qt/qt_text.h"
#include "platform/window_message.h"
#include "windows/client_vocabulary.h"
#include "workspace/main_workspace.h"
#include "workspace/session_list_box.h"

namespace kanzo {
namespace {

constexpr const char* kSortItem = "排序";

}  // namespace

SessionDlg::SessionDlg(QWidget* parent, WindowContext& context)
    : QWidget(parent),
      context_(context),
      sessions_(context.records.contacts),
      inbox_(sessions_, context.records.contacts, context.records.names),
      list_(new SessionListBox(sessions_, context, this)) {
  setObjectName(QString::fromUtf8(kSessionPaneName));
  context_.router.Enter(kSessionPaneName, *this, static_cast<SessionPaneLink*>(this));
}

SessionDlg::~SessionDlg() { context_.router.Leave(kSessionPaneName, *this); }

void SessionDlg::resizeEvent(QResizeEvent*) { list_->setGeometry(rect()); }

platform::MessageResult SessionDlg::OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                                    platform::LParam lParam) {
  const std::int32_t self = context_.records.agent.AgentId();
  if (message == kPaneDataMessage) {
    if (wParam == kPaneNotice) {
      // The copy is ours whatever it says.
      const std::unique_ptr<Msg> notice = platform::TakePayload(kPaneNoticeMsg, lParam);
      if (notice) sessions_.ApplyNotice(*notice, self);
    } else if (wParam == kPaneOfflineMessages && lParam != 0) {
      PassOn(inbox_.TakeOfflineMessages(*platform::BorrowPayload(kPaneJson, lParam)));
    } else if (wParam == kPaneGuestbook && lParam != 0) {
      PassOn(inbox_.TakeGuestbook(*platform::BorrowPayload(kPaneJson, lParam)));
    }
    list_->Refresh();
    return 0;
  }
  if (message == kSessionRefreshMessage) {
    if (wParam == kSessionAddTalking) sessions_.AddTalking(self);
    list_->Refresh();
  }
  return 0;
}

void SessionDlg::PassOn(const InboxOutcome& outcome) {
  KLOG_INFO("加载 留言和离线消息：%zu 条", outcome.taken);
  if (outcome.blinkColleagues) {
    const platform::WindowId colleagues = context_.router.IdOf(kContactPaneName);
    if (colleagues != platform::kNoWindow)
      platform::SendWindowMessage(colleagues, kUnreadColleagueMessage, kUnreadColleagueBlink, 0);
  }
  // Without a chat window nobody takes the entries; the rows and counts
  // stand all the same.
  auto* chat = context_.router.Find<ChatWindowLink>(kChatWindowName);
  if (chat == nullptr) return;
  for (const InboxEntry& entry : outcome.entries) chat->AppendTranscriptEntry(entry.id, entry.markup, true, 0);
}

void SessionDlg::AddSession(std::int32_t id) {
  platform::CheckUiThread("SessionDlg::AddSession");
  sessions_.AddSession(context_.records.contacts.Find(id));
  list_->Refresh();
}

void SessionDlg::OnCommand(int id) {
  if (id != kCommandSortSessions) return;
  sessions_.SortSessions(context_.records.agent.AgentId());
  list_->SetSelectedRow(kNoRow);
  list_->Refresh();
}

std::unique_ptr<QMenu> SessionDlg::BuildMenu() {
  auto menu = std::make_unique<QMenu>();
  QAction* sort = menu->addAction(QString::fromUtf8(kSortItem));
  sort->setData(kCommandSortSessions);
  return menu;
}

void SessionDlg::contextMenuEvent(QContextMenuEvent* event) {
  std::unique_ptr<QMenu> menu = BuildMenu();
  if (QAction* chosen = menu->exec(event->globalPos())) OnCommand(chosen->data().toInt());
}

}  // namespace kanzo
