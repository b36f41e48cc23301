#include "workspace/session_dlg.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>

#include "log/cx_log.h"
#include "platform/qt/qt_text.h"
#include "workspace/main_workspace.h"
#include "workspace/session_list_box.h"
#include "workspace/shared_workspace.h"

namespace kanzo {
namespace {

constexpr const char* kSortItem = "排序";

ChatWindowLink* ChatWindow() { return dynamic_cast<ChatWindowLink*>(platform::FindWindowByName(kChatWindowName)); }

}  // namespace

SessionDlg::SessionDlg(QWidget* parent)
    : QWidget(parent),
      sessions_(SharedContactTable()),
      inbox_(sessions_, SharedContactTable(), SharedNameTable()),
      list_(new SessionListBox(sessions_, this)) {
  setObjectName(QString::fromUtf8(kSessionPaneName));
  platform::RegisterWindowName(kSessionPaneName, Id());
}

SessionDlg::~SessionDlg() {
  if (platform::FindWindowIdByName(kSessionPaneName) == Id()) platform::UnregisterWindowName(kSessionPaneName);
}

void SessionDlg::resizeEvent(QResizeEvent*) { list_->setGeometry(rect()); }

platform::MessageResult SessionDlg::OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                                    platform::LParam lParam) {
  const std::int32_t self = CurrentAgentRecord().AgentId();
  if (message == kPaneDataMessage) {
    if (wParam == kPaneNotice) {
      // The copy is ours whatever it says.
      std::unique_ptr<Msg> notice(reinterpret_cast<Msg*>(lParam));
      if (notice) sessions_.ApplyNotice(*notice, self);
    } else if (wParam == kPaneOfflineMessages && lParam != 0) {
      PassOn(inbox_.TakeOfflineMessages(*reinterpret_cast<const Json::Value*>(lParam)));
    } else if (wParam == kPaneGuestbook && lParam != 0) {
      PassOn(inbox_.TakeGuestbook(*reinterpret_cast<const Json::Value*>(lParam)));
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
    const platform::WindowId colleagues = platform::FindWindowIdByName(kContactPaneName);
    if (colleagues != platform::kNoWindow)
      platform::SendWindowMessage(colleagues, kUnreadColleagueMessage, kUnreadColleagueBlink, 0);
  }
  // Without a chat window nobody takes the entries; the rows and counts
  // stand all the same.
  ChatWindowLink* chat = ChatWindow();
  if (chat == nullptr) return;
  for (const InboxEntry& entry : outcome.entries) chat->AppendTranscriptEntry(entry.id, entry.markup, true, 0);
}

void SessionDlg::AddSession(std::int32_t id) {
  sessions_.AddSession(SharedContactTable().Find(id));
  list_->Refresh();
}

void SessionDlg::OnCommand(int id) {
  if (id != kCommandSortSessions) return;
  sessions_.SortSessions(CurrentAgentRecord().AgentId());
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
