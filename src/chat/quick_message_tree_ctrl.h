#pragma once
// The chat window's tree of common messages: one row per category
// ("name(count)"), its messages below it while it is expanded. A double
// click on a message hands its text to the owner, which puts it in the
// input; a category collapses only while it is the selected row.
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chat/quick_lists.h"

namespace kanzo {

class QuickMessageTreeCtrl : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kRowHeight = 28;
  static constexpr int kGlyphSize = 11;
  static constexpr int kTextWidth = 150;

  explicit QuickMessageTreeCtrl(QWidget* parent = nullptr);
  ~QuickMessageTreeCtrl() override;

  // Empties the tree and fills it again, every category collapsed.
  void Load(const std::vector<CommonCategory>& categories);

  // Receives the content of a message row that was double-clicked.
  using PickHandler = std::function<void(const std::string& content)>;
  void SetPickHandler(PickHandler handler) { pick_ = std::move(handler); }

  // The rows as shown, top to bottom (for the window tests).
  int VisibleRowCount() const { return static_cast<int>(VisibleRows().size()); }
  std::string RowText(int row) const;
  QRect RowRect(int row) const;
  QRect GlyphRect(int row) const;
  bool IsExpanded(int category) const;
  int SelectedRow() const;
  int HoveredRow() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // A category row has message -1.
  struct RowRef {
    int category = -1;
    int message = -1;
    bool operator==(const RowRef&) const = default;
  };

  std::vector<RowRef> VisibleRows() const;
  int RowAt(const QPoint& pos) const;
  int IndexOf(const RowRef& ref) const;
  void Toggle(int category);
  void CheckHover();
  void ClampScroll();

  struct Pictures;
  std::unique_ptr<Pictures> pictures_;
  std::vector<CommonCategory> categories_;
  std::vector<bool> expanded_;
  RowRef selected_;
  RowRef hovered_;
  int scrollTop_ = 0;
  QTimer hoverTimer_;
  PickHandler pick_;
};

}  // namespace kanzo
