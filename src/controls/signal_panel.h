#pragma once
// The signal-strength icon: one frame of "Images/Signal" per level (0 to 4),
// centred over the parent's background. A click is reported by clicked().
#include <QWidget>

#include "controls/hover_rule.h"
#include "controls/skin_kit.h"
#include "platform/qt/window_timers.h"
#include "platform/window_message.h"

namespace kanzo {

class SignalPanel : public QWidget, public platform::Window {
  Q_OBJECT
 public:
  explicit SignalPanel(QWidget* parent = nullptr);
  ~SignalPanel() override;

  // Stores the level and redraws; false when it was already the level.
  bool SetLevel(int level);
  int Level() const { return level_; }
  int LevelCount() const { return signal_.Frames(); }
  bool IsHovered() const { return hover_.IsHovered(); }
  platform::WindowTimers& Timers() { return timers_; }

  // Window message 2024 is accepted and ignored.
  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override;
  void OnTimer(std::uint32_t timerId) override;
  QSize sizeHint() const override;

 signals:
  void clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  platform::WindowTimers timers_;
  HoverRule hover_;
  SkinKit::Texture signal_;
  int level_ = 0;
};

}  // namespace kanzo
