#include "controls/state_button.h"

#include <QApplication>
#include <QPainter>

namespace kanzo {
namespace {

constexpr const char* kBorderTexture = "Images/InfoBorder";
constexpr const char* kArrowTexture = "Images/DropArrow";
constexpr const char* kStateTexture = "Images/LoginState";
constexpr int kBorderHoverFrame = 0;
constexpr int kArrowNormalFrame = 0;
constexpr int kArrowHoverFrame = 1;
constexpr const char* kMenuClass = "QMenu";
// Room around the pictures when the button sizes itself.
constexpr int kPadding = 4;

}  // namespace

StateButton::StateButton(QWidget* parent)
    : QAbstractButton(parent),
      timers_(*this),
      hover_(*this, timers_),
      border_(kBorderTexture, SkinKit::kLoadSharp),
      arrow_(kArrowTexture, SkinKit::kLoadSharp),
      states_(kStateTexture, SkinKit::kLoadSharp) {
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
}

StateButton::~StateButton() = default;

void StateButton::SetState(int state) {
  if (state == state_) return;
  state_ = state;
  update();
}

const QPixmap& StateButton::MenuBitmap(int state) {
  static const QPixmap kNone;
  const QRect frame = states_.FrameRect(state);
  if (frame.isEmpty()) return kNone;
  auto it = menuBitmaps_.find(state);
  if (it != menuBitmaps_.end()) return it->second;
  QPixmap bitmap(frame.size());
  bitmap.fill(QApplication::palette(kMenuClass).color(QPalette::Window));
  QPainter dc(&bitmap);
  SkinKit::Canvas canvas(&dc, 1, QRect(QPoint(0, 0), frame.size()), 1);
  canvas.DrawTexture(QRect(QPoint(0, 0), frame.size()), state, states_, SkinKit::kTransparentKey);
  canvas.Draw(nullptr, nullptr, nullptr);
  dc.end();
  return menuBitmaps_.emplace(state, bitmap).first->second;
}

platform::MessageResult StateButton::OnWindowMessage(std::uint32_t, platform::WParam, platform::LParam) { return 0; }

void StateButton::OnTimer(std::uint32_t timerId) { hover_.OnTimer(timerId); }

QSize StateButton::sizeHint() const {
  const int half = std::max(states_.Width(), arrow_.Width()) + 2 * kPadding;
  return QSize(2 * half, std::max(states_.Height(), arrow_.Height()) + 2 * kPadding);
}

void StateButton::paintEvent(QPaintEvent*) {
  if (states_.FrameRect(state_).isEmpty()) return;
  QPainter dc(this);
  SkinKit::Canvas canvas(&dc, 1, rect(), 1);
  canvas.Earse(this, kEraseBackgroundMessage);
  if (hover_.IsHovered()) canvas.DrawTexture(rect(), kBorderHoverFrame, border_, SkinKit::kTransparentKey);
  const QRect left(0, 0, width() / 2, height());
  const QRect right(width() / 2, 0, width() - width() / 2, height());
  canvas.DrawTexture(SkinKit::CentredRect(left, QSize(states_.Width(), states_.Height())), state_, states_,
                     SkinKit::kTransparentKey);
  canvas.DrawTexture(SkinKit::CentredRect(right, QSize(arrow_.Width(), arrow_.Height())),
                     hover_.IsHovered() ? kArrowHoverFrame : kArrowNormalFrame, arrow_, SkinKit::kTransparentKey);
  canvas.Draw(nullptr, nullptr, nullptr);
}

void StateButton::mouseMoveEvent(QMouseEvent* event) {
  hover_.OnPointerMove();
  QAbstractButton::mouseMoveEvent(event);
}

}  // namespace kanzo
