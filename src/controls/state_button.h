#pragma once
// The presence button: the picture of the current login state on the left,
// a drop arrow on the right, a border frame while the pointer is over it.
// It also makes, once per state, the small picture of that state on the
// menu background for the presence menu's items.
#include <QAbstractButton>
#include <QPixmap>
#include <map>

#include "controls/hover_rule.h"
#include "controls/skin_kit.h"
#include "platform/qt/window_timers.h"
#include "platform/window_message.h"

namespace kanzo {

class StateButton : public QAbstractButton, public platform::Window {
  Q_OBJECT
 public:
  explicit StateButton(QWidget* parent = nullptr);
  ~StateButton() override;

  // The state is a frame index into "Images/LoginState".
  void SetState(int state);
  int State() const { return state_; }
  int StateCount() const { return states_.Frames(); }
  // The state's frame on the menu background colour, made on first use and
  // kept; a null picture for a state outside the frames.
  const QPixmap& MenuBitmap(int state);

  bool IsHovered() const { return hover_.IsHovered(); }
  platform::WindowTimers& Timers() { return timers_; }

  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override;
  void OnTimer(std::uint32_t timerId) override;
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  platform::WindowTimers timers_;
  HoverRule hover_;
  SkinKit::Texture border_;
  SkinKit::Texture arrow_;
  SkinKit::Texture states_;
  int state_ = 0;
  std::map<int, QPixmap> menuBitmaps_;
};

}  // namespace kanzo
