#include "chat/quick_message_tree_ctrl.h"

#include <QCursor>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

#include "controls/skin_kit.h"
#include "platform/qt/qt_text.h"

namespace kanzo {
namespace {

constexpr SkinKit::Colour kBorderColour = 0xCECECE;
constexpr SkinKit::Colour kGroundColour = 0xFFFFFF;
constexpr SkinKit::Colour kCategoryTextColour = 0x333333;
constexpr SkinKit::Colour kMessageTextColour = 0x6E6E6E;
constexpr SkinKit::Colour kSelectedColour = 0xECF0F1;
constexpr SkinKit::Colour kSeparatorColour = 0xE7E5DB;
constexpr const char* kFontFamily = "宋体";
constexpr int kFontPixels = 12;
constexpr int kHoverCheckMs = 100;
constexpr int kBorder = 1;
constexpr int kGlyphLeft = 6;
constexpr int kCategoryTextLeft = 22;
constexpr int kMarkLeft = 14;
constexpr int kMarkSize = 6;
constexpr int kMessageTextLeft = 26;
constexpr const char* kItemBackground = "Images\\ItemBg.png";
constexpr const char* kExpandGlyph = "Images\\tree_add.png";
constexpr const char* kCollapseGlyph = "Images\\tree_sub.png";
constexpr const char* kMessageMark = "Images\\mark.png";

}  // namespace

struct QuickMessageTreeCtrl::Pictures {
  SkinKit::Image background{kItemBackground, SkinKit::kLoadSharp};
  SkinKit::Image expand{kExpandGlyph, SkinKit::kLoadSharp};
  SkinKit::Image collapse{kCollapseGlyph, SkinKit::kLoadSharp};
  SkinKit::Image mark{kMessageMark, SkinKit::kLoadSharp};
};

QuickMessageTreeCtrl::~QuickMessageTreeCtrl() = default;

QuickMessageTreeCtrl::QuickMessageTreeCtrl(QWidget* parent) : QWidget(parent), pictures_(std::make_unique<Pictures>()) {
  setMouseTracking(true);
  hoverTimer_.setInterval(kHoverCheckMs);
  connect(&hoverTimer_, &QTimer::timeout, this, [this] { CheckHover(); });
}

void QuickMessageTreeCtrl::Load(const std::vector<CommonCategory>& categories) {
  categories_ = categories;
  expanded_.assign(categories_.size(), false);
  selected_ = {};
  hovered_ = {};
  scrollTop_ = 0;
  update();
}

std::vector<QuickMessageTreeCtrl::RowRef> QuickMessageTreeCtrl::VisibleRows() const {
  std::vector<RowRef> rows;
  for (int c = 0; c < static_cast<int>(categories_.size()); ++c) {
    rows.push_back({c, -1});
    if (!expanded_[static_cast<std::size_t>(c)]) continue;
    const int count = static_cast<int>(categories_[static_cast<std::size_t>(c)].messages.size());
    for (int m = 0; m < count; ++m) rows.push_back({c, m});
  }
  return rows;
}

std::string QuickMessageTreeCtrl::RowText(int row) const {
  const std::vector<RowRef> rows = VisibleRows();
  if (row < 0 || row >= static_cast<int>(rows.size())) return {};
  const CommonCategory& category = categories_[static_cast<std::size_t>(rows[row].category)];
  if (rows[row].message < 0) return CategoryLabel(category);
  return category.messages[static_cast<std::size_t>(rows[row].message)].content;
}

QRect QuickMessageTreeCtrl::RowRect(int row) const {
  return QRect(kBorder, kBorder + row * kRowHeight - scrollTop_, width() - 2 * kBorder, kRowHeight);
}

QRect QuickMessageTreeCtrl::GlyphRect(int row) const {
  const QRect r = RowRect(row);
  return QRect(r.left() + kGlyphLeft, r.top() + (kRowHeight - kGlyphSize) / 2, kGlyphSize, kGlyphSize);
}

bool QuickMessageTreeCtrl::IsExpanded(int category) const {
  return category >= 0 && category < static_cast<int>(expanded_.size()) &&
         expanded_[static_cast<std::size_t>(category)];
}

int QuickMessageTreeCtrl::IndexOf(const RowRef& ref) const {
  if (ref.category < 0) return -1;
  const std::vector<RowRef> rows = VisibleRows();
  const auto it = std::find(rows.begin(), rows.end(), ref);
  return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
}

int QuickMessageTreeCtrl::SelectedRow() const { return IndexOf(selected_); }
int QuickMessageTreeCtrl::HoveredRow() const { return IndexOf(hovered_); }

int QuickMessageTreeCtrl::RowAt(const QPoint& pos) const {
  if (!rect().adjusted(kBorder, kBorder, -kBorder, -kBorder).contains(pos)) return -1;
  const int row = (pos.y() - kBorder + scrollTop_) / kRowHeight;
  return row < VisibleRowCount() ? row : -1;
}

void QuickMessageTreeCtrl::Toggle(int category) {
  auto expanded = expanded_.begin() + category;
  // An expanded category folds only while it is the selected row, so that a
  // stray click on another category's glyph never hides what is read.
  if (*expanded && !(selected_ == RowRef{category, -1})) return;
  *expanded = !*expanded;
  if (!*expanded && selected_.category == category && selected_.message >= 0) selected_ = {category, -1};
  ClampScroll();
  update();
}

void QuickMessageTreeCtrl::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint pos = event->position().toPoint();
  const int row = RowAt(pos);
  if (row < 0) return;
  const RowRef ref = VisibleRows()[static_cast<std::size_t>(row)];
  if (ref.message < 0 && GlyphRect(row).contains(pos)) {
    Toggle(ref.category);
    return;
  }
  selected_ = ref;
  update();
}

void QuickMessageTreeCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const int row = RowAt(event->position().toPoint());
  if (row < 0) return;
  const RowRef ref = VisibleRows()[static_cast<std::size_t>(row)];
  selected_ = ref;
  if (ref.message < 0) {
    Toggle(ref.category);
    return;
  }
  update();
  if (pick_)
    pick_(categories_[static_cast<std::size_t>(ref.category)].messages[static_cast<std::size_t>(ref.message)].content);
}

void QuickMessageTreeCtrl::mouseMoveEvent(QMouseEvent* event) {
  const int row = RowAt(event->position().toPoint());
  const RowRef ref = row < 0 ? RowRef{} : VisibleRows()[static_cast<std::size_t>(row)];
  if (!(ref == hovered_)) {
    hovered_ = ref;
    update();
  }
  if (ref.category >= 0 && !hoverTimer_.isActive()) hoverTimer_.start();
}

void QuickMessageTreeCtrl::CheckHover() {
  // Leaving the tree sends no move, so the hover is checked on a timer.
  const int row = RowAt(mapFromGlobal(QCursor::pos()));
  const RowRef ref = row < 0 ? RowRef{} : VisibleRows()[static_cast<std::size_t>(row)];
  if (!(ref == hovered_)) {
    hovered_ = ref;
    update();
  }
  if (hovered_.category < 0) hoverTimer_.stop();
}

void QuickMessageTreeCtrl::wheelEvent(QWheelEvent* event) {
  scrollTop_ -= event->angleDelta().y() / 120 * kRowHeight;
  ClampScroll();
  update();
}

void QuickMessageTreeCtrl::resizeEvent(QResizeEvent*) { ClampScroll(); }

void QuickMessageTreeCtrl::ClampScroll() {
  const int content = VisibleRowCount() * kRowHeight;
  const int room = height() - 2 * kBorder;
  scrollTop_ = std::clamp(scrollTop_, 0, std::max(0, content - room));
}

void QuickMessageTreeCtrl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), SkinKit::ToQColor(kGroundColour));
  painter.setClipRect(rect().adjusted(kBorder, kBorder, -kBorder, -kBorder));
  QFont font(QString::fromUtf8(kFontFamily));
  font.setPixelSize(kFontPixels);
  font.setWeight(QFont::Normal);
  painter.setFont(font);
  const QFontMetrics metrics(font);
  const SkinKit::Image& background = pictures_->background;
  const SkinKit::Image& expand = pictures_->expand;
  const SkinKit::Image& collapse = pictures_->collapse;
  const SkinKit::Image& mark = pictures_->mark;

  const std::vector<RowRef> rows = VisibleRows();
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    const QRect r = RowRect(row);
    if (r.bottom() < 0 || r.top() > height()) continue;
    const RowRef ref = rows[static_cast<std::size_t>(row)];
    const CommonCategory& category = categories_[static_cast<std::size_t>(ref.category)];
    QString text;
    QRect textBox;
    SkinKit::Colour colour;
    if (ref.message < 0) {
      if (background.IsLoaded()) painter.drawImage(r, background.Keyed(SkinKit::kTransparentKey));
      const SkinKit::Image& glyph = IsExpanded(ref.category) ? collapse : expand;
      if (glyph.IsLoaded()) painter.drawImage(GlyphRect(row), glyph.Keyed(SkinKit::kTransparentKey));
      text = platform::FromNarrow(CategoryLabel(category));
      textBox = QRect(r.left() + kCategoryTextLeft, r.top(), kTextWidth, kRowHeight);
      colour = kCategoryTextColour;
    } else {
      if (ref == selected_ || ref == hovered_) painter.fillRect(r, SkinKit::ToQColor(kSelectedColour));
      if (mark.IsLoaded()) {
        const QRect markRect(r.left() + kMarkLeft, r.top() + (kRowHeight - kMarkSize) / 2, kMarkSize, kMarkSize);
        painter.drawImage(markRect, mark.Keyed(SkinKit::kTransparentKey));
      }
      text = platform::FromNarrow(category.messages[static_cast<std::size_t>(ref.message)].content);
      textBox = QRect(r.left() + kMessageTextLeft, r.top(), kTextWidth, kRowHeight);
      colour = kMessageTextColour;
    }
    // One line of plain text: a message may hold line breaks and markup.
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    painter.setPen(SkinKit::ToQColor(colour));
    painter.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     metrics.elidedText(text, Qt::ElideRight, kTextWidth));
    painter.setPen(SkinKit::ToQColor(kSeparatorColour));
    painter.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
  }
  painter.setClipping(false);
  painter.setPen(SkinKit::ToQColor(kBorderColour));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace kanzo
