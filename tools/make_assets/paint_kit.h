#pragma once
// Drawing helpers of the asset generator: the palette, fresh transparent
// surfaces, and saving pictures and frame strips in the program's formats.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>
#include <functional>

namespace kanzo::assets {

// The palette of every picture (0xRRGGBB).
namespace colour {
inline constexpr QRgb kBlue = 0x3598DB;       // links, agent names, lit states
inline constexpr QRgb kBlueLight = 0x4CA0D9;  // hover frames
inline constexpr QRgb kBluePale = 0xD6EAF8;   // avatar ground
inline constexpr QRgb kListBack = 0xEBF2F9;   // list and tab ground
inline constexpr QRgb kSelected = 0xD6E2EB;   // pressed, chosen
inline constexpr QRgb kHoverFill = 0xECF0F1;  // hovered rows and buttons
inline constexpr QRgb kWindow = 0xFAFAFA;     // window ground
inline constexpr QRgb kBorder = 0xCECECE;     // frames
inline constexpr QRgb kSeparator = 0xE7E5DB;  // row lines
inline constexpr QRgb kInk = 0x333333;        // text
inline constexpr QRgb kGrey = 0x6E6E6E;       // quiet text, idle icons
inline constexpr QRgb kGreyLight = 0xB4B4B4;  // offline
inline constexpr QRgb kGreyPale = 0xEEEEEE;   // offline ground
inline constexpr QRgb kUnlit = 0xD5D8DC;      // unlit signal bars
inline constexpr QRgb kGreen = 0x2ECC71;      // online, good signal
inline constexpr QRgb kRed = 0xE74C3C;        // unread, busy, delete
inline constexpr QRgb kAmber = 0xF39C12;      // away
inline constexpr QRgb kAmberPale = 0xFDEBD0;  // away ground
inline constexpr QRgb kSlate = 0x95A5A6;      // ended conversation
inline constexpr QRgb kSlatePale = 0xE5E8E8;  // ended conversation ground
inline constexpr QRgb kWhite = 0xFFFFFF;
inline constexpr QRgb kMagenta = 0xFF00FF;  // the transparency key
}  // namespace colour

inline QColor C(QRgb rgb, int alpha = 255) {
  QColor c(rgb);
  c.setAlpha(alpha);
  return c;
}

// A transparent surface.
QImage NewSurface(int width, int height);
// Starts antialiased painting on a surface.
void BeginPaint(QPainter& painter, QImage& surface);
// The surface as stored: straight alpha, fully transparent pixels written
// as the magenta key.
QImage Finish(const QImage& surface);

// Draws `frames` frames of `width` × `height` side by side, each through
// `draw` with the painter's origin at the frame's corner.
QImage Strip(int width, int height, int frames, const std::function<void(QPainter&, int frame)>& draw);

bool SavePicture(const QImage& surface, const QString& path);
// A texture file: the strip with its frame count and stretch margins.
bool SaveTexture(const QImage& strip, int frames, int left, int top, int right, int bottom, const QString& path);

}  // namespace kanzo::assets
