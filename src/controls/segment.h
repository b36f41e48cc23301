#pragma once
// The tab strip: items (a label and a window) of equal width along the top,
// the selected item's window below them. Choosing an item tells the strip's
// parent window with message 1134 and the item's index.
#include <QPointer>
#include <QString>
#include <QWidget>
#include <vector>

#include "controls/hover_rule.h"
#include "controls/skin_kit.h"
#include "platform/qt/window_timers.h"
#include "platform/window_message.h"
#include "windows/control_vocabulary.h"

namespace kanzo {

// The strip tells its owner of a chosen tab with kSegmentSelectMessage
// (windows/control_vocabulary.h).

class Segment : public QWidget, public platform::Window {
  Q_OBJECT
 public:
  explicit Segment(QWidget* parent = nullptr);
  ~Segment() override;

  // Takes the place of a placeholder control: the same parent and rectangle;
  // the placeholder is disabled and hidden. False without a placeholder.
  bool Create(QWidget* placeholder);
  // Moves `window` into the strip and appends it; the first item is selected
  // at once.
  void AddItem(const QString& label, QWidget* window);
  // Selects an item: the previous window is disabled and hidden, the new one
  // enabled, shown and redrawn, and the parent is told (1134). False for an
  // index outside the items or the item already selected.
  bool Select(int index);

  int Count() const { return static_cast<int>(items_.size()); }
  int Selected() const { return selected_; }
  QString Label(int index) const;
  QWidget* ItemWindow(int index) const;
  // The item under a point of the strip, -1 for none.
  int ItemAt(const QPoint& pos) const;
  QRect ItemRect(int index) const;
  // The strip's height: that of "Segment/button".
  int StripHeight() const { return button_.Height(); }
  // Where the selected window lies: the control below the strip.
  QRect PageRect() const;
  bool IsHovered() const { return hover_.IsHovered(); }
  platform::WindowTimers& Timers() { return timers_; }

  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override;
  void OnTimer(std::uint32_t timerId) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct Item {
    QString label;
    QPointer<QWidget> window;
  };
  void LayOutPage();
  void NotifyParent(int index);

  platform::WindowTimers timers_;
  HoverRule hover_;
  SkinKit::Texture first_;
  SkinKit::Texture button_;
  SkinKit::Texture last_;
  std::vector<Item> items_;
  int selected_ = -1;
};

}  // namespace kanzo
