#include "controls/high_light_button.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>

namespace kanzo {
namespace {

constexpr const char* kBorderTexture = "Images/Border";
constexpr int kBorderHoverFrame = 0;
constexpr int kBorderPressedFrame = 1;
constexpr int kIconNormalFrame = 0;
constexpr int kIconHoverFrame = 1;
// A pressed icon sinks this far right and down.
constexpr int kPressedShift = 1;
constexpr int kToolTipWidth = 100;
// Room around the icon when the button sizes itself.
constexpr int kIconPadding = 4;

}  // namespace

HighLightButton::HighLightButton(QWidget* parent)
    : QAbstractButton(parent),
      timers_(*this),
      hover_(*this, timers_),
      tip_(*this, kToolTipWidth),
      border_(kBorderTexture, SkinKit::kLoadSharp) {
  setMouseTracking(true);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::NoFocus);
}

HighLightButton::~HighLightButton() = default;

void HighLightButton::SetIcon(const std::string& path, int kind) {
  if (path.empty() || path == iconPath_) return;
  iconPath_ = path;
  iconKind_ = kind;
  if (kind == kIconTexture) {
    texture_ = SkinKit::Texture(path, SkinKit::kLoadSharp);
    picture_ = SkinKit::Image();
  } else {
    picture_ = SkinKit::Image(path, SkinKit::kLoadSharp);
    texture_ = SkinKit::Texture();
  }
  updateGeometry();
  update();
}

void HighLightButton::SetShowBorder(bool show) {
  if (show == showBorder_) return;
  showBorder_ = show;
  update();
}

platform::MessageResult HighLightButton::OnWindowMessage(std::uint32_t, platform::WParam, platform::LParam) {
  return 0;
}

void HighLightButton::OnTimer(std::uint32_t timerId) {
  if (hover_.OnTimer(timerId)) tip_.Hide();
}

QSize HighLightButton::sizeHint() const {
  const QSize icon = iconKind_ == kIconTexture ? QSize(texture_.Width(), texture_.Height())
                                               : QSize(picture_.Width(), picture_.Height());
  return icon + QSize(2 * kIconPadding, 2 * kIconPadding);
}

void HighLightButton::paintEvent(QPaintEvent*) {
  QPainter dc(this);
  SkinKit::Canvas canvas(&dc, 1, rect(), 1);
  canvas.Earse(this, kEraseBackgroundMessage);
  int shift = 0;
  if (hover_.IsHovered()) {
    if (pressed_) shift = kPressedShift;
    if (showBorder_)
      canvas.DrawTexture(rect(), pressed_ ? kBorderPressedFrame : kBorderHoverFrame, border_, SkinKit::kTransparentKey);
  }
  if (iconKind_ == kIconTexture) {
    const QRect icon =
        SkinKit::CentredRect(rect(), QSize(texture_.Width(), texture_.Height())).translated(shift, shift);
    canvas.DrawTexture(icon, hover_.IsHovered() ? kIconHoverFrame : kIconNormalFrame, texture_,
                       SkinKit::kTransparentKey);
  } else {
    const QRect icon =
        SkinKit::CentredRect(rect(), QSize(picture_.Width(), picture_.Height())).translated(shift, shift);
    canvas.DrawImage(icon, picture_, SkinKit::kTransparentKey);
  }
  canvas.Draw(nullptr, nullptr, nullptr);
}

void HighLightButton::mouseMoveEvent(QMouseEvent* event) {
  hover_.OnPointerMove();
  QAbstractButton::mouseMoveEvent(event);
}

void HighLightButton::mousePressEvent(QMouseEvent* event) {
  tip_.Hide();
  pressed_ = true;
  update();
  QAbstractButton::mousePressEvent(event);
}

void HighLightButton::mouseReleaseEvent(QMouseEvent* event) {
  pressed_ = false;
  update();
  QAbstractButton::mouseReleaseEvent(event);
}

void HighLightButton::leaveEvent(QEvent* event) {
  tip_.Hide();
  QAbstractButton::leaveEvent(event);
}

bool HighLightButton::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    tip_.Show(static_cast<QHelpEvent*>(event)->globalPos(), text());
    return true;
  }
  return QAbstractButton::event(event);
}

}  // namespace kanzo
