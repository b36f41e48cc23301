#include "paint_kit.h"

namespace kanzo::assets {

QImage NewSurface(int width, int height) {
  QImage surface(width, height, QImage::Format_ARGB32_Premultiplied);
  surface.fill(Qt::transparent);
  return surface;
}

void BeginPaint(QPainter& painter, QImage& surface) {
  painter.begin(&surface);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(Qt::NoPen);
}

QImage Finish(const QImage& surface) {
  QImage out = surface.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < out.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x)
      if (qAlpha(row[x]) == 0) row[x] = colour::kMagenta & 0x00FFFFFF;
  }
  return out;
}

QImage Strip(int width, int height, int frames, const std::function<void(QPainter&, int frame)>& draw) {
  QImage surface = NewSurface(width * frames, height);
  QPainter painter;
  BeginPaint(painter, surface);
  for (int f = 0; f < frames; ++f) {
    painter.save();
    painter.translate(f * width, 0);
    painter.setClipRect(0, 0, width, height);
    draw(painter, f);
    painter.restore();
  }
  painter.end();
  return surface;
}

bool SavePicture(const QImage& surface, const QString& path) { return Finish(surface).save(path, "PNG"); }

bool SaveTexture(const QImage& strip, int frames, int left, int top, int right, int bottom, const QString& path) {
  QImage out = Finish(strip);
  out.setText(QStringLiteral("frames"), QString::number(frames));
  out.setText(QStringLiteral("margins"), QStringLiteral("%1,%2,%3,%4").arg(left).arg(top).arg(right).arg(bottom));
  return out.save(path, "PNG");
}

}  // namespace kanzo::assets
