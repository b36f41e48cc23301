// SkinKit's Canvas: an off-screen surface for one paint.
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "controls/skin_kit.h"
#include "platform/qt/qt_text.h"

namespace kanzo::SkinKit {
namespace {

constexpr Colour kWhite = 0xFFFFFF;

QString SingleLine(QString text) {
  text.replace(QLatin1String("\r\n"), QLatin1String(" "));
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  text.replace(QLatin1Char('\r'), QLatin1Char(' '));
  return text;
}

// Lines of `text` broken to `width` (at blanks when `wordBreak`, else only at
// line ends) that fit into `height`; the last one that fits ends in an
// ellipsis when more text follows.
QString ElideLines(const QString& text, const QFont& font, int width, int height, bool wordBreak) {
  const QFontMetrics fm(font);
  QStringList out;
  int used = 0;
  const QStringList paragraphs = text.split(QLatin1Char('\n'));
  for (int p = 0; p < paragraphs.size(); ++p) {
    QStringList lines;
    if (wordBreak) {
      QTextLayout layout(paragraphs[p], font);
      QTextOption option;
      option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
      layout.setTextOption(option);
      layout.beginLayout();
      for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << paragraphs[p].mid(line.textStart(), line.textLength());
      }
      layout.endLayout();
      if (lines.isEmpty()) lines << QString();
    } else {
      lines << paragraphs[p];
    }
    for (int i = 0; i < lines.size(); ++i) {
      const bool last = p == paragraphs.size() - 1 && i == lines.size() - 1;
      if (used + 2 * fm.height() > height && !last && used + fm.height() <= height) {
        // The next line would not fit: this one is the last and shows that
        // the text goes on.
        out << fm.elidedText(lines[i].trimmed() + QString(QChar(0x2026)), Qt::ElideRight, width);
        return out.join(QLatin1Char('\n'));
      }
      if (used + fm.height() > height && !out.isEmpty()) return out.join(QLatin1Char('\n'));
      out << (wordBreak ? lines[i] : fm.elidedText(lines[i], Qt::ElideRight, width));
      used += fm.height();
    }
  }
  return out.join(QLatin1Char('\n'));
}

// Draws the frame part `source` over `dest` unless either is empty.
void DrawPiece(QPainter& painter, const QRect& dest, const QImage& image, const QRect& source) {
  if (dest.width() <= 0 || dest.height() <= 0 || source.width() <= 0 || source.height() <= 0) return;
  painter.drawImage(dest, image, source);
}

// The margins scaled down so that they fit into `size`.
Margins FitMargins(const Margins& m, const QSize& size) {
  Margins out = m;
  if (m.left + m.right > size.width() && m.left + m.right > 0) {
    out.left = m.left * size.width() / (m.left + m.right);
    out.right = size.width() - out.left;
  }
  if (m.top + m.bottom > size.height() && m.top + m.bottom > 0) {
    out.top = m.top * size.height() / (m.top + m.bottom);
    out.bottom = size.height() - out.top;
  }
  return out;
}

}  // namespace

Canvas::Canvas(QPainter* dc, int transparent, const QRect& rect, int buffered) : dc_(dc), rect_(rect) {
  if (buffered && rect.isValid()) {
    const qreal ratio = dc && dc->device() ? dc->device()->devicePixelRatioF() : 1.0;
    surface_ = QImage(rect.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    surface_.setDevicePixelRatio(ratio);
    surface_.fill(transparent ? QColor(Qt::transparent) : ToQColor(kWhite));
    own_ = std::make_unique<QPainter>(&surface_);
    own_->translate(-rect.topLeft());
    painter_ = own_.get();
  } else {
    // Unbuffered (or empty): draw on the device itself, or on a scratch
    // painter when there is no device so calls stay harmless.
    if (!dc_) {
      surface_ = QImage(1, 1, QImage::Format_ARGB32_Premultiplied);
      own_ = std::make_unique<QPainter>(&surface_);
      painter_ = own_.get();
    } else {
      painter_ = dc_;
      painter_->save();
    }
    direct_ = !buffered;
  }
  if (dc_) font_ = dc_->font();
  painter_->setFont(font_);
}

Canvas::~Canvas() {
  if (own_)
    own_->end();
  else if (painter_)
    painter_->restore();
}

void Canvas::Earse(QWidget* window, unsigned message) {
  if (!window || message != kEraseBackgroundMessage) return;
  // Walk up to the first ancestor that paints an opaque background, then
  // lay each one's own drawing (without its children) over it, parent last.
  std::vector<QWidget*> chain;
  for (QWidget* w = window->parentWidget(); w; w = w->parentWidget()) {
    chain.push_back(w);
    if (w->isWindow() || w->autoFillBackground() || w->testAttribute(Qt::WA_OpaquePaintEvent) ||
        w->testAttribute(Qt::WA_StyledBackground))
      break;
  }
  if (chain.empty()) {
    painter_->fillRect(rect_, window->palette().brush(window->backgroundRole()));
    return;
  }
  // Opaque ancestors that paint nothing still have a background colour.
  QWidget* bottom = chain.back();
  painter_->fillRect(rect_, bottom->palette().brush(bottom->backgroundRole()));
  const qreal ratio = surface_.isNull() ? 1.0 : surface_.devicePixelRatio();
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    QWidget* layer = *it;
    // A widget already being painted (the canvas's own caller) cannot be
    // painted again; its background colour stands in.
    if (layer->paintingActive()) continue;
    const QRect area(window->mapTo(layer, rect_.topLeft()), rect_.size());
    QImage back(rect_.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    back.setDevicePixelRatio(ratio);
    back.fill(Qt::transparent);
    layer->render(&back, QPoint(), QRegion(area), QWidget::DrawWindowBackground);
    painter_->drawImage(rect_.topLeft(), back);
  }
}

void Canvas::FillRect(const QRect& rect, Colour colour) { painter_->fillRect(rect, ToQColor(colour)); }

void Canvas::DrawImage(const QRect& rect, const Image& image, Colour key) {
  DrawImage(rect, QRect(0, 0, image.Width(), image.Height()), image, key);
}

void Canvas::DrawImage(const QRect& dest, const QRect& source, const Image& image, Colour key) {
  if (!image.IsLoaded()) return;
  const QImage pixels = image.Keyed(key);
  painter_->save();
  painter_->setRenderHint(QPainter::SmoothPixmapTransform, image.Smooth());
  DrawPiece(*painter_, dest, pixels, source);
  painter_->restore();
}

void Canvas::DrawTexture(const QRect& rect, int frame, const Texture& texture, Colour key) {
  const QRect f = texture.FrameRect(frame);
  if (f.isEmpty() || rect.width() <= 0 || rect.height() <= 0) return;
  const QImage pixels = texture.Strip().Keyed(key);
  const Margins s = texture.StretchMargins();    // in the frame
  const Margins d = FitMargins(s, rect.size());  // on the canvas
  const int sx[4] = {f.left(), f.left() + s.left, f.left() + f.width() - s.right, f.left() + f.width()};
  const int sy[4] = {f.top(), f.top() + s.top, f.top() + f.height() - s.bottom, f.top() + f.height()};
  const int dx[4] = {rect.left(), rect.left() + d.left, rect.left() + rect.width() - d.right,
                     rect.left() + rect.width()};
  const int dy[4] = {rect.top(), rect.top() + d.top, rect.top() + rect.height() - d.bottom, rect.top() + rect.height()};
  painter_->save();
  painter_->setRenderHint(QPainter::SmoothPixmapTransform, texture.Strip().Smooth());
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col)
      DrawPiece(*painter_, QRect(dx[col], dy[row], dx[col + 1] - dx[col], dy[row + 1] - dy[row]), pixels,
                QRect(sx[col], sy[row], sx[col + 1] - sx[col], sy[row + 1] - sy[row]));
  painter_->restore();
}

void Canvas::SetFont(const QFont& font) {
  font_ = font;
  painter_->setFont(font_);
}

void Canvas::SetPen(const QPen& pen) { painter_->setPen(pen); }

void Canvas::DrawTextA(std::string_view text, unsigned flags, const QRect& rect, Colour colour, void*) {
  DrawText(platform::FromNarrow(text), flags, rect, colour);
}

void Canvas::DrawText(const QString& text, unsigned flags, const QRect& rect, Colour colour) {
  if (text.isEmpty() || rect.width() <= 0 || rect.height() <= 0) return;
  int align = (flags & kTextCenter) ? Qt::AlignHCenter : (flags & kTextRight) ? Qt::AlignRight : Qt::AlignLeft;
  const int mnemonic = (flags & kTextNoPrefix) ? 0 : Qt::TextShowMnemonic;
  const QFontMetrics fm(font_);
  QString shown = text;
  if (flags & kTextSingleLine) {
    shown = SingleLine(shown);
    align |= (flags & kTextVCenter) ? Qt::AlignVCenter : (flags & kTextBottom) ? Qt::AlignBottom : Qt::AlignTop;
    align |= Qt::TextSingleLine;
    if (flags & kTextEndEllipsis) shown = fm.elidedText(shown, Qt::ElideRight, rect.width(), mnemonic);
  } else {
    align |= Qt::AlignTop;
    if (flags & kTextEndEllipsis) {
      shown = ElideLines(shown, font_, rect.width(), rect.height(), flags & kTextWordBreak);
    } else if (flags & kTextWordBreak) {
      align |= Qt::TextWordWrap;
    }
  }
  painter_->save();
  painter_->setClipRect(rect, Qt::IntersectClip);
  painter_->setPen(ToQColor(colour));
  painter_->drawText(rect, align | mnemonic, shown);
  painter_->restore();
}

bool Canvas::GetTextExtent(const char* text, int length, QSize* size) const {
  if (!size || length < 0 || (!text && length > 0)) return false;
  *size = TextExtent(platform::FromNarrow(std::string_view(text ? text : "", static_cast<std::size_t>(length))));
  return true;
}

QSize Canvas::TextExtent(const QString& text) const {
  const QFontMetrics fm(font_);
  return QSize(fm.horizontalAdvance(text), fm.height());
}

void Canvas::DrawLine(int x1, int y1, int x2, int y2) { painter_->drawLine(x1, y1, x2, y2); }

void Canvas::Draw(void*, void*, void*) {
  if (direct_ || !dc_ || surface_.isNull()) return;
  own_->end();
  dc_->drawImage(rect_.topLeft(), surface_);
  // Later calls still draw into the surface; a second Draw copies again.
  own_->begin(&surface_);
  own_->translate(-rect_.topLeft());
  own_->setFont(font_);
}

}  // namespace kanzo::SkinKit
