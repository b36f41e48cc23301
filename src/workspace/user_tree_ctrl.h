#pragma once
// The colleague tree (UserTreeCtrl): draws the groups and agents of an
// AgentTree, blinks unread colleagues, and opens a conversation on a double
// click. A group collapses only while it is the selected item.
#include <QWidget>
#include <cstdint>
#include <vector>

#include "controls/skin_kit.h"
#include "platform/qt/window_timers.h"
#include "platform/window_message.h"
#include "windows/client_vocabulary.h"
#include "windows/window_context.h"
#include "workspace/agent_tree.h"

namespace kanzo {

inline constexpr int kTreeBlinkMs = 500;
inline constexpr int kTreeHoverPollMs = 100;

class UserTreeCtrl final : public QWidget, public platform::Window {
  Q_OBJECT
 public:
  UserTreeCtrl(AgentTree& tree, WindowContext& context, QWidget* parent);
  ~UserTreeCtrl() override;

  // The tree was loaded again: every group starts expanded.
  void Reload();
  void Refresh();

  // One visible row: a group (agent -1) or an agent of an expanded group.
  struct Row {
    std::size_t group = 0;
    int agent = -1;
  };
  const std::vector<Row>& Rows() const { return rows_; }
  int RowAt(int y) const;
  int SelectedRow() const { return selected_; }
  // A click on a row: selects it; a group expands when collapsed and
  // collapses when it was already the selected item.
  void ClickRow(int row);
  void DoubleClickRow(int row);

  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override;
  void OnTimer(std::uint32_t timerId) override;
  platform::WindowTimers& Timers() { return timers_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void BuildRows();
  int RowTop(int row) const;
  int RowHeight(const Row& row) const;

  AgentTree& tree_;
  WindowContext& context_;
  platform::WindowTimers timers_;
  std::vector<Row> rows_;
  SkinKit::Image groupBackground_;
  SkinKit::Image expandedMark_;
  SkinKit::Image collapsedMark_;
  int selected_ = -1;
  int hovered_ = -1;
  int scroll_ = 0;  // pixels scrolled
};

}  // namespace kanzo
