#include "controls/signal_panel.h"

#include <QMouseEvent>
#include <QPainter>

namespace kanzo {
namespace {

constexpr const char* kSignalTexture = "Images/Signal";

}  // namespace

SignalPanel::SignalPanel(QWidget* parent)
    : QWidget(parent), timers_(*this), hover_(*this, timers_), signal_(kSignalTexture, SkinKit::kLoadSharp) {
  setMouseTracking(true);
  setCursor(Qt::PointingHandCursor);
}

SignalPanel::~SignalPanel() = default;

bool SignalPanel::SetLevel(int level) {
  if (level == level_) return false;
  level_ = level;
  update();
  return true;
}

platform::MessageResult SignalPanel::OnWindowMessage(std::uint32_t, platform::WParam, platform::LParam) { return 0; }

void SignalPanel::OnTimer(std::uint32_t timerId) { hover_.OnTimer(timerId); }

QSize SignalPanel::sizeHint() const { return QSize(signal_.Width(), signal_.Height()); }

void SignalPanel::paintEvent(QPaintEvent*) {
  QPainter dc(this);
  SkinKit::Canvas canvas(&dc, 1, rect(), 1);
  canvas.Earse(this, kEraseBackgroundMessage);
  canvas.DrawTexture(SkinKit::CentredRect(rect(), QSize(signal_.Width(), signal_.Height())), level_, signal_,
                     SkinKit::kTransparentKey);
  canvas.Draw(nullptr, nullptr, nullptr);
}

void SignalPanel::mouseMoveEvent(QMouseEvent* event) {
  hover_.OnPointerMove();
  QWidget::mouseMoveEvent(event);
}

void SignalPanel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
  QWidget::mouseReleaseEvent(event);
}

}  // namespace kanzo
