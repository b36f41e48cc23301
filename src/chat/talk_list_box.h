#pragma once
// The column of open conversations down the chat window's left edge. It
// draws the rows of a TalkList (owned by the chat window's logic) and tells
// its parent window what a click means with window message 2026: first
// parameter the record id of the conversation to show, or 0 and -1 when the
// last conversation was closed.
#include <QWidget>
#include <cstdint>

#include "chat/talk_list.h"
#include "controls/skin_kit.h"
#include "platform/qt/window_timers.h"
#include "platform/window_message.h"
#include "windows/client_vocabulary.h"

namespace kanzo {

class ContactTable;

class TalkListBox final : public QWidget, public platform::Window {
  Q_OBJECT
 public:
  static constexpr int kRowHeight = 40;
  // Hover timers: one id per row and area, so a stale tick is told apart.
  static constexpr std::uint32_t kTimerRowHover = 2024;
  static constexpr std::uint32_t kTimerCloseHover = 3024;
  static constexpr int kHoverCheckMs = 100;

  TalkListBox(TalkList& list, ContactTable& contacts, QWidget* parent = nullptr);
  ~TalkListBox() override;

  // The window told of clicks.
  void SetParentWindow(platform::WindowId window) { parentWindow_ = window; }
  // The agent whose view decides the "other agent" avatar.
  void SetAgentId(std::int32_t agentId) { agentId_ = agentId; }

  // The row at a point and its area (TalkList::kAreaRow or kAreaClose);
  // TalkList::kNone outside the rows.
  int RowAt(const QPoint& point, int* area) const;
  // The close button of a row.
  static QRect CloseRect(int row);
  // Closes the selected row as its close button would.
  void CloseSelected();

  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override;
  void OnTimer(std::uint32_t timerId) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void UpdateHover(const QPoint& point);
  void Tell(const TalkList::ClickOutcome& outcome);

  TalkList& list_;
  ContactTable& contacts_;
  platform::WindowTimers timers_;
  platform::WindowId parentWindow_ = platform::kNoWindow;
  std::int32_t agentId_ = 0;
  std::uint32_t hoverTimer_ = 0;
  SkinKit::Texture closeButton_;
  SkinKit::Image badge_;
};

}  // namespace kanzo
