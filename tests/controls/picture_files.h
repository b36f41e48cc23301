#pragma once
// Pictures made on the spot for tests: solid frames in known colours, written
// in the drawing layer's file format under a test's own picture folder.
#include <QColor>
#include <QImage>
#include <string>
#include <vector>

namespace kanzo::test {

// A picture of `size` in one colour.
QImage Solid(const QSize& size, QRgb rgb);
// Writes `frames` side by side as a texture file with `margins` ("l,t,r,b").
void WriteTexture(const std::string& path, const std::vector<QImage>& frames, const std::string& margins = "0,0,0,0");
void WritePicture(const std::string& path, const QImage& image);
// The colour (without alpha) of a pixel.
QRgb Rgb(const QImage& image, int x, int y);

}  // namespace kanzo::test
