#pragma once
// An image button: its icon centred, a border frame under it while the
// pointer is over it (frame 0 hover, 1 pressed), and a skinned tooltip with
// the button's text.
#include <QAbstractButton>
#include <string>

#include "controls/hover_rule.h"
#include "controls/skin_kit.h"
#include "controls/skin_tool_tip.h"
#include "platform/qt/window_timers.h"
#include "platform/window_message.h"

namespace kanzo {

class HighLightButton : public QAbstractButton, public platform::Window {
  Q_OBJECT
 public:
  // Kinds of icon: a picture of one frame, or a texture (frame 0 normal,
  // 1 hover).
  static constexpr int kIconPicture = 0;
  static constexpr int kIconTexture = 1;

  explicit HighLightButton(QWidget* parent = nullptr);
  ~HighLightButton() override;

  // A new path replaces the icon and redraws; an empty or unchanged path
  // does nothing.
  void SetIcon(const std::string& path, int kind);
  void SetShowBorder(bool show);

  bool ShowBorder() const { return showBorder_; }
  bool IsHovered() const { return hover_.IsHovered(); }
  bool IsPressed() const { return pressed_; }
  const std::string& IconPath() const { return iconPath_; }
  int IconKind() const { return iconKind_; }
  const SkinKit::Image& IconPicture() const { return picture_; }
  const SkinKit::Texture& IconTexture() const { return texture_; }
  const SkinToolTip& ToolTip() const { return tip_; }
  platform::WindowTimers& Timers() { return timers_; }

  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override;
  void OnTimer(std::uint32_t timerId) override;
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  platform::WindowTimers timers_;
  HoverRule hover_;
  SkinToolTip tip_;
  SkinKit::Texture border_;
  SkinKit::Image picture_;
  SkinKit::Texture texture_;
  std::string iconPath_;
  int iconKind_ = kIconPicture;
  bool pressed_ = false;
  bool showBorder_ = true;
};

}  // namespace kanzo
