#pragma once
// The hidden visitor pane: keeps the online visitors and their states for
// the other lists. Never shown and not on the tab strip; enters itself in
// the router as "OnlineDlg".
#include <QWidget>

#include "platform/window_message.h"
#include "windows/window_context.h"
#include "windows/window_links.h"
#include "workspace/visitor_list.h"

namespace kanzo {

inline constexpr int kOnlineDialogTemplate = 2001;

// The list control of the pane; it draws nothing, the pane is never shown.
class UserListBox final : public QWidget {
  Q_OBJECT
 public:
  UserListBox(QWidget* parent, Records& records, const platform::Clock& clock);
  VisitorList& Visitors() { return visitors_; }

 protected:
  void paintEvent(QPaintEvent*) override {}

 private:
  VisitorList visitors_;
};

class OnlineDlg final : public QWidget, public platform::Window, public OnlinePaneLink {
  Q_OBJECT
 public:
  OnlineDlg(QWidget* parent, WindowContext& context);
  ~OnlineDlg() override;

  // Pane data (kPaneDataMessage): kPaneLoad brings the online visitors (a
  // JSON value lent for the call), after which the conversation pane is
  // asked to list the conversations the agent holds; kPaneNotice brings a
  // Msg copy, freed here.
  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override;
  void AddOrUpdate(const ContactRecord& record) override;

  UserListBox* List() const { return list_; }

 private:
  void RedrawTalkList();

  WindowContext& context_;
  UserListBox* list_;
};

}  // namespace kanzo
