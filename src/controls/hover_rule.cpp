#include "controls/hover_rule.h"

#include <QCursor>

namespace kanzo {

bool PointerInside(const QWidget& widget) {
  return widget.isVisible() && widget.rect().contains(widget.mapFromGlobal(QCursor::pos()));
}

bool HoverRule::OnPointerMove() {
  if (hovered_) return false;
  hovered_ = true;
  control_.update();
  timers_.SetTimer(kHoverTimerId, kHoverTimerMs);
  return true;
}

bool HoverRule::OnTimer(std::uint32_t timerId) {
  if (timerId != kHoverTimerId) return false;
  if (PointerInside()) return false;
  timers_.KillTimer(kHoverTimerId);
  if (!hovered_) return false;
  hovered_ = false;
  control_.update();
  return true;
}

bool HoverRule::PointerInside() const { return kanzo::PointerInside(control_); }

}  // namespace kanzo
