#pragma once
// A button with an icon texture and a text beside it; it sizes its width to
// its content and shows a border frame while the pointer is over it.
#include <QAbstractButton>
#include <string>

#include "controls/hover_rule.h"
#include "controls/skin_kit.h"
#include "platform/qt/window_timers.h"
#include "platform/window_message.h"

namespace kanzo {

class IconTextButton : public QAbstractButton, public platform::Window {
  Q_OBJECT
 public:
  explicit IconTextButton(QWidget* parent = nullptr);
  ~IconTextButton() override;

  // The icon is replaced when the path changed, the text when it is not
  // empty; the button then redraws and fits its width to the text.
  void SetIconText(const std::string& iconPath, const QString& text);

  bool IsHovered() const { return hover_.IsHovered(); }
  const std::string& IconPath() const { return iconPath_; }
  const SkinKit::Texture& Icon() const { return icon_; }
  // The width that puts the right edge 2 pixels after the text.
  int ContentWidth() const;
  platform::WindowTimers& Timers() { return timers_; }

  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override;
  void OnTimer(std::uint32_t timerId) override;
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void FitWidth();
  QFont TextFont() const;

  platform::WindowTimers timers_;
  HoverRule hover_;
  SkinKit::Texture border_;
  SkinKit::Texture icon_;
  std::string iconPath_;
};

}  // namespace kanzo
