#include "controls/icon_text_button.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

namespace kanzo {
namespace {

constexpr const char* kBorderTexture = "Images/InfoBorder";
constexpr int kBorderHoverFrame = 0;
constexpr int kIconNormalFrame = 0;
constexpr int kIconHoverFrame = 1;
constexpr int kIconLeft = 5;        // from the left edge to the icon
constexpr int kTextGap = 5;         // from the icon to the text
constexpr int kRightAfterText = 2;  // from the text to the right edge
constexpr SkinKit::Colour kTextColour = 0x333333;

}  // namespace

IconTextButton::IconTextButton(QWidget* parent)
    : QAbstractButton(parent), timers_(*this), hover_(*this, timers_), border_(kBorderTexture, SkinKit::kLoadSharp) {
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
}

IconTextButton::~IconTextButton() = default;

void IconTextButton::SetIconText(const std::string& iconPath, const QString& text) {
  if (!iconPath.empty() && iconPath != iconPath_) {
    iconPath_ = iconPath;
    icon_ = SkinKit::Texture(iconPath, SkinKit::kLoadSharp);
  }
  if (!text.isEmpty()) setText(text);
  FitWidth();
  update();
}

platform::MessageResult IconTextButton::OnWindowMessage(std::uint32_t, platform::WParam, platform::LParam) { return 0; }

void IconTextButton::OnTimer(std::uint32_t timerId) { hover_.OnTimer(timerId); }

QFont IconTextButton::TextFont() const { return parentWidget() ? parentWidget()->font() : font(); }

int IconTextButton::ContentWidth() const {
  const QFontMetrics fm(TextFont());
  return kIconLeft + icon_.Width() + kTextGap + fm.horizontalAdvance(text()) + kRightAfterText;
}

QSize IconTextButton::sizeHint() const {
  const QFontMetrics fm(TextFont());
  return QSize(ContentWidth(), std::max(icon_.Height(), fm.height()));
}

void IconTextButton::FitWidth() {
  if (!icon_.IsLoaded()) return;
  // A layout asks sizeHint again; a button placed by hand is resized.
  updateGeometry();
  const int width = ContentWidth();
  if (width != this->width()) resize(width, height());
}

void IconTextButton::paintEvent(QPaintEvent*) {
  if (!icon_.IsLoaded()) return;
  QPainter dc(this);
  SkinKit::Canvas canvas(&dc, 1, rect(), 1);
  if (hover_.IsHovered()) canvas.DrawTexture(rect(), kBorderHoverFrame, border_, SkinKit::kTransparentKey);
  const QRect icon(kIconLeft, (height() - icon_.Height()) / 2, icon_.Width(), icon_.Height());
  canvas.DrawTexture(icon, hover_.IsHovered() ? kIconHoverFrame : kIconNormalFrame, icon_, SkinKit::kTransparentKey);
  canvas.SetFont(TextFont());
  const QSize extent = canvas.TextExtent(text());
  const QRect textRect(icon.right() + 1 + kTextGap, 0, extent.width(), height());
  canvas.DrawText(text(),
                  SkinKit::kTextLeft | SkinKit::kTextVCenter | SkinKit::kTextSingleLine | SkinKit::kTextNoPrefix,
                  textRect, kTextColour);
  canvas.Draw(nullptr, nullptr, nullptr);
  // No refitting from here: under a layout that fixes the width, a resize
  // from painting would be undone and repainted without end. Font changes
  // reach changeEvent.
}

void IconTextButton::mouseMoveEvent(QMouseEvent* event) {
  hover_.OnPointerMove();
  QAbstractButton::mouseMoveEvent(event);
}

void IconTextButton::changeEvent(QEvent* event) {
  // The text is drawn in the parent's font; a change of it reaches the
  // children as their own font change.
  if (event->type() == QEvent::FontChange || event->type() == QEvent::ParentChange) FitWidth();
  QAbstractButton::changeEvent(event);
}

}  // namespace kanzo
