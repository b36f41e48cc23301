#include "controls/logo_panel.h"

#include <QCursor>
#include <QPainter>
#include <QScreen>

namespace kanzo {
namespace {

constexpr const char* kShadowTexture = "Images/Shadow";
constexpr int kShadowNormalFrame = 0;
constexpr int kShadowHoverFrame = 1;
constexpr SkinKit::Colour kBorderColour = 0xCECECE;
constexpr SkinKit::Colour kFillColour = 0xFFFFFF;
constexpr int kBorderWidth = 1;
constexpr int kPictureInset = 2;        // the picture lies this far inside the panel
constexpr int kCompanionDistance = 10;  // between the window and the companion

}  // namespace

LogoPanel::LogoPanel(QWidget* parent)
    : QWidget(parent), timers_(*this), hover_(*this, timers_), shadow_(kShadowTexture, SkinKit::kLoadSharp) {
  setMouseTracking(true);
  setCursor(Qt::PointingHandCursor);
}

LogoPanel::~LogoPanel() = default;

void LogoPanel::SetPicture(const std::string& path) {
  if (path == picturePath_) return;
  picturePath_ = path;
  picture_ = SkinKit::Image(path, SkinKit::kLoadSmooth);
  update();
}

void LogoPanel::SetCompanion(QWidget* companion) { companion_ = companion; }

platform::MessageResult LogoPanel::OnWindowMessage(std::uint32_t, platform::WParam, platform::LParam) { return 0; }

QPoint LogoPanel::CompanionPosition() const {
  if (!companion_) return {};
  const QRect owner = window()->frameGeometry();
  const QSize size = companion_->frameGeometry().size();
  const QScreen* screen = window()->screen();
  const QRect desk = screen ? screen->availableGeometry() : QRect();
  const int top = mapToGlobal(QPoint(0, 0)).y();
  const int left = owner.left() - kCompanionDistance - size.width();
  if (!screen || left >= desk.left()) return QPoint(left, top);
  return QPoint(owner.left() + owner.width() + kCompanionDistance, top);
}

void LogoPanel::OnTimer(std::uint32_t timerId) {
  if (timerId == kCompanionTimerId) {
    CompanionTick();
    return;
  }
  hover_.OnTimer(timerId);
}

void LogoPanel::CompanionTick() {
  if (!companion_) {
    timers_.KillTimer(kCompanionTimerId);
    return;
  }
  if (hover_.PointerInside()) {
    if (!companion_->isVisible()) {
      companion_->move(CompanionPosition());
      companion_->show();
      // The window frame is known only once shown; it moves the left placement.
      const QPoint placed = CompanionPosition();
      if (companion_->pos() != placed) companion_->move(placed);
    }
    return;
  }
  if (companion_->isVisible() && companion_->frameGeometry().contains(QCursor::pos())) return;
  companion_->hide();
  timers_.KillTimer(kCompanionTimerId);
}

void LogoPanel::paintEvent(QPaintEvent*) {
  QPainter dc(this);
  SkinKit::Canvas canvas(&dc, 1, rect(), 1);
  canvas.FillRect(rect(), kBorderColour);
  canvas.FillRect(rect().adjusted(kBorderWidth, kBorderWidth, -kBorderWidth, -kBorderWidth), kFillColour);
  canvas.DrawTexture(rect(), hover_.IsHovered() ? kShadowHoverFrame : kShadowNormalFrame, shadow_,
                     SkinKit::kTransparentKey);
  canvas.DrawImage(rect().adjusted(kPictureInset, kPictureInset, -kPictureInset, -kPictureInset), picture_,
                   SkinKit::kTransparentKey);
  canvas.Draw(nullptr, nullptr, nullptr);
}

void LogoPanel::mouseMoveEvent(QMouseEvent* event) {
  if (hover_.OnPointerMove() && companion_) {
    // The companion is placed now and shown by the timer while the pointer
    // stays, so that passing over the panel does not flash it.
    companion_->move(CompanionPosition());
    timers_.SetTimer(kCompanionTimerId, kCompanionTimerMs);
  }
  QWidget::mouseMoveEvent(event);
}

}  // namespace kanzo
