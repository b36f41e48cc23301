#pragma once
// The hover rule every skinned control follows: the first pointer movement
// over the control sets hover and starts timer 2025; each tick clears the
// hover once the pointer is outside the control's client rectangle, and
// stops the timer.
#include <QWidget>
#include <cstdint>

#include "platform/qt/window_timers.h"
#include "windows/control_vocabulary.h"

namespace kanzo {

// The hover rule's timer is kHoverTimerId (windows/control_vocabulary.h).
inline constexpr int kHoverTimerMs = 100;

class HoverRule {
 public:
  HoverRule(QWidget& control, platform::WindowTimers& timers) : control_(control), timers_(timers) {}

  bool IsHovered() const { return hovered_; }
  // The pointer moved over the control. True when this started the hover
  // (the control then redraws).
  bool OnPointerMove();
  // A timer tick. True when it was the hover timer and the hover ended.
  bool OnTimer(std::uint32_t timerId);
  // Whether the pointer is inside the control's client rectangle now.
  bool PointerInside() const;

 private:
  QWidget& control_;
  platform::WindowTimers& timers_;
  bool hovered_ = false;
};

// Whether the pointer is inside `widget`'s client rectangle (false when the
// widget is hidden).
bool PointerInside(const QWidget& widget);

}  // namespace kanzo
