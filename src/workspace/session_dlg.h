#pragma once
// The conversation pane (tab "会话"): the agent's conversations with
// visitors and colleagues, the offline messages and guestbook entries that
// waited for the login. Enters itself in the window registry as
// "SessionDlg" and leaves it when destroyed.
#include <QWidget>
#include <memory>

#include "platform/window_message.h"
#include "windows/client_vocabulary.h"
#include "windows/window_context.h"
#include "windows/window_links.h"
#include "workspace/inbox_entries.h"
#include "workspace/session_list.h"

class QMenu;

namespace kanzo {

class SessionListBox;

inline constexpr int kSessionDialogTemplate = 2002;
// The right-button menu's one entry, "排序".
inline constexpr int kCommandSortSessions = 32790;

class SessionDlg final : public QWidget, public platform::Window, public SessionPaneLink {
  Q_OBJECT
 public:
  SessionDlg(QWidget* parent, WindowContext& context);
  ~SessionDlg() override;

  // 2024 kinds 2 (a Msg copy, freed here), 3 and 4 (JSON arrays lent for
  // the call); 2034 with 1 or 2.
  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override;
  void AddSession(std::int32_t id) override;
  void OnCommand(int id);
  // The right-button menu as it would pop up (the caller owns it).
  std::unique_ptr<QMenu> BuildMenu();

  SessionList& Sessions() { return sessions_; }
  SessionListBox* List() const { return list_; }

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void PassOn(const InboxOutcome& outcome);

  WindowContext& context_;
  SessionList sessions_;
  Inbox inbox_;
  SessionListBox* list_;
};

}  // namespace kanzo
