#pragma once
// The hidden visitor pane: keeps the online visitors and their states for
// the other lists. Never shown and not on the tab strip; enters itself in
// the window registry as "OnlineDlg".
#include <QWidget>

#include "platform/window_message.h"
#include "workspace/visitor_list.h"
#include "workspace/window_links.h"

namespace kanzo {

inline constexpr int kOnlineDialogTemplate = 2001;

// The list control of the pane; it draws nothing, the pane is never shown.
class UserListBox final : public QWidget {
  Q_OBJECT
 public:
  explicit UserListBox(QWidget* parent);
  VisitorList& Visitors() { return visitors_; }

 protected:
  void paintEvent(QPaintEvent*) override {}

 private:
  VisitorList visitors_;
};

class OnlineDlg final : public QWidget, public platform::Window, public OnlinePaneLink {
  Q_OBJECT
 public:
  explicit OnlineDlg(QWidget* parent);
  ~OnlineDlg() override;

  // 2024: kind 1 the online visitors (a JSON value lent for the call), then
  // 2034(2) to the conversation pane; kind 2 a Msg copy, freed here.
  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override;
  void AddOrUpdate(const ContactRecord& record) override;

  UserListBox* List() const { return list_; }

 private:
  void RedrawTalkList();

  UserListBox* list_;
};

}  // namespace kanzo
