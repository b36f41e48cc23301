#include "picture_files.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>

namespace kanzo::test {

QImage Solid(const QSize& size, QRgb rgb) {
  QImage image(size, QImage::Format_ARGB32);
  image.fill(QColor(rgb));
  return image;
}

void WritePicture(const std::string& path, const QImage& image) {
  const QString file = QString::fromStdString(path);
  QDir().mkpath(QFileInfo(file).path());
  image.save(file, "PNG");
}

void WriteTexture(const std::string& path, const std::vector<QImage>& frames, const std::string& margins) {
  const QSize frame = frames.front().size();
  QImage strip(frame.width() * static_cast<int>(frames.size()), frame.height(), QImage::Format_ARGB32);
  strip.fill(Qt::transparent);
  QPainter p(&strip);
  for (std::size_t i = 0; i < frames.size(); ++i) p.drawImage(static_cast<int>(i) * frame.width(), 0, frames[i]);
  p.end();
  strip.setText("frames", QString::number(frames.size()));
  strip.setText("margins", QString::fromStdString(margins));
  WritePicture(path, strip);
}

QRgb Rgb(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

}  // namespace kanzo::test
