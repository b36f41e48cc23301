#pragma once
// The conversation list (SessionListBox): draws the rows of a SessionList
// and forwards the pointer. Rows are 50 pixels high; the hovered row's
// avatar shows the visitor detail popup, the selected row has a delete
// button, a double click opens the conversation in the chat window.
#include <QWidget>
#include <cstdint>

#include "controls/skin_kit.h"
#include "platform/qt/window_timers.h"
#include "platform/window_message.h"
#include "windows/client_vocabulary.h"
#include "windows/window_context.h"
#include "workspace/session_list.h"

class QScrollBar;

namespace kanzo {

class CustomerInfoDlg;

inline constexpr int kSessionHoverPollMs = 100;

// Where the pointer is on a row.
enum class SessionArea { kNowhere = -1, kRow = 0, kAvatar = 1, kDelete = 2 };

class SessionListBox final : public QWidget, public platform::Window {
  Q_OBJECT
 public:
  SessionListBox(SessionList& sessions, WindowContext& context, QWidget* parent);
  ~SessionListBox() override;

  // The list changed: scroll range and drawing follow.
  void Refresh();
  // Asks before deleting the row `index` (message boxes captioned with the
  // program description) and removes it with its stored lines on OK.
  void DeleteSession(int index);

  int TopIndex() const { return topIndex_; }
  void SetTopIndex(int index);
  int SelectedRow() const { return selected_; }
  void SetSelectedRow(int row);
  int HoveredRow() const { return hovered_; }
  SessionArea HoveredArea() const { return area_; }
  // The popup, once it was made.
  CustomerInfoDlg* Popup() const { return popup_; }

  platform::MessageResult OnWindowMessage(std::uint32_t, platform::WParam, platform::LParam) override { return 0; }
  void OnTimer(std::uint32_t timerId) override;
  platform::WindowTimers& Timers() { return timers_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QRect RowRect(int row) const;
  QRect AvatarRect(int row) const;
  QRect DeleteRect(int row) const;
  SessionArea AreaAt(const QPoint& point, int row) const;
  void DrawRow(SkinKit::Canvas& canvas, int row);
  void ShowPopup(int row);
  int VisibleRows() const;

  SessionList& sessions_;
  WindowContext& context_;
  platform::WindowTimers timers_;
  QScrollBar* scroll_;
  SkinKit::Texture frame_;
  SkinKit::Texture badge_;
  SkinKit::Texture deleteButton_;
  int topIndex_ = 0;
  int selected_ = kNoRow;
  int hovered_ = kNoRow;
  SessionArea area_ = SessionArea::kNowhere;
  // The rows the hover timers watch.
  std::int32_t avatarTimerId_ = 0;
  std::int32_t deleteTimerId_ = 0;
  CustomerInfoDlg* popup_ = nullptr;
};

}  // namespace kanzo
