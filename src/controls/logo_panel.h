#pragma once
// The avatar panel: a framed, scaled picture under a shadow frame that lights
// up while the pointer is over it. A companion window (the agent card) may be
// given; it appears beside the panel's window while the pointer rests on the
// panel and goes once the pointer has left both.
#include <QPointer>
#include <QWidget>
#include <string>

#include "controls/hover_rule.h"
#include "controls/skin_kit.h"
#include "platform/qt/window_timers.h"
#include "platform/window_message.h"
#include "windows/control_vocabulary.h"

namespace kanzo {

// The panel's timer is kCompanionTimerId (windows/control_vocabulary.h).
inline constexpr int kCompanionTimerMs = 500;

class LogoPanel : public QWidget, public platform::Window {
  Q_OBJECT
 public:
  explicit LogoPanel(QWidget* parent = nullptr);
  ~LogoPanel() override;

  // Loads the picture when the path changed, and redraws.
  void SetPicture(const std::string& path);
  // The window shown beside the panel while hovered (not owned; may be null).
  void SetCompanion(QWidget* companion);

  const std::string& PicturePath() const { return picturePath_; }
  const SkinKit::Image& Picture() const { return picture_; }
  QWidget* Companion() const { return companion_; }
  bool IsHovered() const { return hover_.IsHovered(); }
  platform::WindowTimers& Timers() { return timers_; }
  // Where the companion goes: 10 pixels left of the panel's window with its
  // top at the panel's top, or 10 pixels right of the window when the screen
  // has no room on the left.
  QPoint CompanionPosition() const;

  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override;
  void OnTimer(std::uint32_t timerId) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void CompanionTick();

  platform::WindowTimers timers_;
  HoverRule hover_;
  SkinKit::Texture shadow_;
  SkinKit::Image picture_;
  std::string picturePath_;
  QPointer<QWidget> companion_;
};

}  // namespace kanzo
