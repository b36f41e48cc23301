#include "details/user_info_view.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>
#include <QUrl>

#include "controls/skin_tool_tip.h"
#include "platform/qt/qt_text.h"

namespace kanzo {
namespace {

QColor Colour(SkinKit::Colour c) { return SkinKit::ToQColor(c); }

// The remark as wrapped lines within `rect`, the last one cut with "...".
void DrawWrapped(QPainter& painter, const QString& text, const QRect& rect) {
  const QFontMetrics metrics = painter.fontMetrics();
  QTextLayout layout(text, painter.font());
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  layout.beginLayout();
  int y = rect.top();
  while (true) {
    QTextLine line = layout.createLine();
    if (!line.isValid()) break;
    line.setLineWidth(rect.width());
    const bool lastThatFits = y + 2 * metrics.lineSpacing() > rect.bottom() + 1;
    if (lastThatFits) {
      const QString rest = text.mid(line.textStart());
      painter.drawText(QPoint(rect.left(), y + metrics.ascent()),
                       metrics.elidedText(rest, Qt::ElideRight, rect.width()));
      break;
    }
    painter.drawText(QPoint(rect.left(), y + metrics.ascent()), text.mid(line.textStart(), line.textLength()));
    y += metrics.lineSpacing();
  }
  layout.endLayout();
}

}  // namespace

UserInfoView::UserInfoView(QWidget* parent)
    : QWidget(parent),
      copyPicture_(kCardCopyPicture, SkinKit::kLoadSharp),
      tip_(std::make_unique<SkinToolTip>(*this, kCardTipMaxWidth)) {
  setMouseTracking(true);
}

UserInfoView::~UserInfoView() = default;

void UserInfoView::SetRecord(const ContactRecord* record) {
  if (record) {
    record_ = *record;
  } else {
    record_.reset();
  }
  tip_->Hide();
  unsetCursor();
  update();
}

void UserInfoView::SetFill(SkinKit::Colour fill) {
  fill_ = fill;
  update();
}

VisitorCardLayout UserInfoView::Layout() const {
  return LayoutVisitorCard(record_ ? &*record_ : nullptr, width(), height(), copyPicture_.IsLoaded());
}

QString UserInfoView::ShownLine(int index) const {
  const VisitorCardLayout card = Layout();
  if (!card.hasRecord || index < 0 || index >= kCardLineCount) return {};
  const CardLine& line = card.lines[index];
  const QFontMetrics metrics(font());
  // Cut in UTF-8, whatever the program's own encoding.
  const TextMeasure measure = [&metrics](std::string_view utf8) {
    return metrics.horizontalAdvance(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
  };
  const QByteArray utf8 = platform::FromNarrow(line.text).toUtf8();
  return QString::fromUtf8(ElideEnd(utf8.toStdString(), line.rect.right - line.rect.left, measure));
}

QString UserInfoView::ToolTipText() const { return tip_->IsVisible() ? tip_->Text() : QString(); }

void UserInfoView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(Colour(kCardFrameColor));
  painter.setBrush(Colour(fill_));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  const VisitorCardLayout card = Layout();
  if (!card.hasRecord) return;

  painter.setFont(font());
  for (int i = 0; i < kCardLineCount; ++i) {
    const CardLine& line = card.lines[i];
    const QRect area = SkinKit::Rect(line.rect.left, line.rect.top, line.rect.right, line.rect.bottom);
    painter.setPen(Colour(kCardTextColor));
    if (line.wraps) {
      DrawWrapped(painter, platform::FromNarrow(line.text), area);
    } else {
      // Drawn as plain text: visitor text never becomes markup.
      painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, ShownLine(i));
    }
  }
  painter.setPen(Colour(kCardLinkColor));
  for (const auto& [shown, link] :
       {std::pair{card.titleLink, card.titleLinkRect}, std::pair{card.sourceLink, card.sourceLinkRect}}) {
    if (!shown) continue;
    painter.drawText(SkinKit::Rect(link.left, link.top, link.right, link.bottom),
                     Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, QString::fromUtf8(kCardLinkText));
  }
}

void UserInfoView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const VisitorCardLayout card = Layout();
  if (CardShowsHand(card, at.x(), at.y())) {
    setCursor(Qt::PointingHandCursor);
  } else {
    unsetCursor();
  }
  const std::string tip = CardTooltipAt(card, at.x(), at.y());
  if (tip.empty()) {
    tip_->Hide();
  } else if (!tip_->IsVisible() || tip_->Text() != platform::FromNarrow(tip)) {
    tip_->Show(event->globalPosition().toPoint(), platform::FromNarrow(tip));
  }
  QWidget::mouseMoveEvent(event);
}

void UserInfoView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  const QPoint at = event->position().toPoint();
  const CardClick click = CardClickAt(Layout(), at.x(), at.y());
  switch (click.action) {
    case CardClick::Action::kCopy:
      if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(platform::FromNarrow(click.text));
      break;
    case CardClick::Action::kOpen: QDesktopServices::openUrl(QUrl(platform::FromNarrow(click.text))); break;
    case CardClick::Action::kNone: break;
  }
}

void UserInfoView::leaveEvent(QEvent* event) {
  tip_->Hide();
  QWidget::leaveEvent(event);
}

}  // namespace kanzo
