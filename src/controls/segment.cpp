#include "controls/segment.h"

#include <QMouseEvent>
#include <QPainter>

namespace kanzo {
namespace {

constexpr const char* kFirstTexture = "Segment/first";
constexpr const char* kButtonTexture = "Segment/button";
constexpr const char* kLastTexture = "Segment/last";
constexpr int kNormalFrame = 0;
constexpr int kSelectedFrame = 1;
constexpr SkinKit::Colour kLabelColour = 0x000000;
// The label starts at the item's top left, this far in.
constexpr int kLabelInsetX = 8;
constexpr int kLabelInsetY = 3;

}  // namespace

Segment::Segment(QWidget* parent)
    : QWidget(parent),
      timers_(*this),
      hover_(*this, timers_),
      first_(kFirstTexture, SkinKit::kLoadSharp),
      button_(kButtonTexture, SkinKit::kLoadSharp),
      last_(kLastTexture, SkinKit::kLoadSharp) {
  setMouseTracking(true);
}

Segment::~Segment() = default;

bool Segment::Create(QWidget* placeholder) {
  if (!placeholder) return false;
  setParent(placeholder->parentWidget());
  setGeometry(placeholder->geometry());
  placeholder->setEnabled(false);
  placeholder->hide();
  show();
  return true;
}

void Segment::AddItem(const QString& label, QWidget* window) {
  if (window) window->setParent(this);
  items_.push_back(Item{label, window});
  if (selected_ < 0) {
    selected_ = 0;
    if (window) {
      window->setEnabled(true);
      window->show();
    }
  } else if (window) {
    window->setEnabled(false);
    window->hide();
  }
  LayOutPage();
  update();
}

bool Segment::Select(int index) {
  if (index < 0 || index >= Count() || index == selected_) return false;
  if (selected_ >= 0) {
    if (QWidget* old = items_[static_cast<std::size_t>(selected_)].window) {
      old->setEnabled(false);
      old->hide();
    }
  }
  selected_ = index;
  if (QWidget* now = items_[static_cast<std::size_t>(index)].window) {
    now->setEnabled(true);
    now->show();
    now->update();
  }
  LayOutPage();
  update();
  NotifyParent(index);
  return true;
}

void Segment::NotifyParent(int index) {
  // The nearest enclosing window that takes window messages hears of it.
  for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
    if (auto* target = dynamic_cast<platform::Window*>(w)) {
      platform::SendWindowMessage(target->Id(), kSegmentSelectMessage, static_cast<platform::WParam>(index), 0);
      return;
    }
  }
}

QString Segment::Label(int index) const {
  return index >= 0 && index < Count() ? items_[static_cast<std::size_t>(index)].label : QString();
}

QWidget* Segment::ItemWindow(int index) const {
  return index >= 0 && index < Count() ? items_[static_cast<std::size_t>(index)].window.data() : nullptr;
}

QRect Segment::ItemRect(int index) const {
  if (index < 0 || index >= Count()) return {};
  const int width = this->width() / Count();
  // The last item takes what the division leaves over.
  const int right = index == Count() - 1 ? this->width() : (index + 1) * width;
  return QRect(index * width, 0, right - index * width, StripHeight());
}

int Segment::ItemAt(const QPoint& pos) const {
  for (int i = 0; i < Count(); ++i)
    if (ItemRect(i).contains(pos)) return i;
  return -1;
}

QRect Segment::PageRect() const { return QRect(0, StripHeight(), width(), std::max(0, height() - StripHeight())); }

void Segment::LayOutPage() {
  if (QWidget* page = ItemWindow(selected_)) page->setGeometry(PageRect());
}

platform::MessageResult Segment::OnWindowMessage(std::uint32_t, platform::WParam, platform::LParam) { return 0; }

void Segment::OnTimer(std::uint32_t timerId) { hover_.OnTimer(timerId); }

void Segment::paintEvent(QPaintEvent*) {
  if (items_.empty()) return;
  QPainter dc(this);
  const QRect strip(0, 0, width(), StripHeight());
  SkinKit::Canvas canvas(&dc, 1, strip, 1);
  canvas.SetFont(parentWidget() ? parentWidget()->font() : font());
  for (int i = 0; i < Count(); ++i) {
    const SkinKit::Texture& texture = i == 0 ? first_ : (i == Count() - 1 ? last_ : button_);
    const QRect item = ItemRect(i);
    canvas.DrawTexture(item, i == selected_ ? kSelectedFrame : kNormalFrame, texture, SkinKit::kTransparentKey);
    canvas.DrawText(Label(i), SkinKit::kTextTopLeft | SkinKit::kTextNoPrefix,
                    item.adjusted(kLabelInsetX, kLabelInsetY, 0, 0), kLabelColour);
  }
  canvas.Draw(nullptr, nullptr, nullptr);
}

void Segment::mouseMoveEvent(QMouseEvent* event) {
  hover_.OnPointerMove();
  const int item = ItemAt(event->position().toPoint());
  if (item >= 0 && item != selected_)
    setCursor(Qt::PointingHandCursor);
  else
    unsetCursor();
  QWidget::mouseMoveEvent(event);
}

void Segment::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    const int item = ItemAt(event->position().toPoint());
    if (item >= 0 && Select(item)) unsetCursor();
  }
  QWidget::mousePressEvent(event);
}

void Segment::resizeEvent(QResizeEvent* event) {
  LayOutPage();
  QWidget::resizeEvent(event);
}

}  // namespace kanzo
