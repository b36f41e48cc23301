#pragma once
// SkinKit: the small drawing layer every owner-drawn window paints through.
//
// Pictures (`Image`) and state-frame strips (`Texture`) are read from the
// picture folder beside the program; `Canvas` is an off-screen surface over
// one paint. Magenta 0xFF00FF is the transparency key of every picture: its
// pixels are never drawn. The file formats are described in README.md beside
// this header.
//
// Everything here is for the user-interface thread. Loaded pictures are
// immutable and shared between the controls that load the same file.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPen>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include "windows/control_vocabulary.h"

class QPainter;
class QWidget;

namespace kanzo::SkinKit {

// Colours are 0xRRGGBB, red first.
using Colour = std::uint32_t;
inline constexpr Colour kTransparentKey = 0xFF00FF;
// A key that matches no pixel: the picture is drawn with its alpha only.
inline constexpr Colour kNoColourKey = 0xFFFFFFFF;

QColor ToQColor(Colour colour);

// Load flags of Image and Texture.
inline constexpr int kLoadSharp = 0;   // scaled by repeating pixels: flat edges stay crisp
inline constexpr int kLoadSmooth = 1;  // scaled with bilinear filtering: photos, avatars

// Text flags of DrawTextA, with the platform's values.
inline constexpr unsigned kTextLeft = 0x0;
inline constexpr unsigned kTextCenter = 0x1;
inline constexpr unsigned kTextRight = 0x2;
inline constexpr unsigned kTextVCenter = 0x4;  // single line only
inline constexpr unsigned kTextBottom = 0x8;   // single line only
inline constexpr unsigned kTextWordBreak = 0x10;
inline constexpr unsigned kTextSingleLine = 0x20;
inline constexpr unsigned kTextNoPrefix = 0x800;
inline constexpr unsigned kTextEndEllipsis = 0x8000;
// The combinations the windows use.
inline constexpr unsigned kTextCentredLine = kTextCenter | kTextVCenter | kTextSingleLine;  // 37
inline constexpr unsigned kTextRightLine = kTextRight | kTextSingleLine;                    // 34
inline constexpr unsigned kTextTopLeft = kTextLeft;                                         // 0

// Canvas::Earse answers to kEraseBackgroundMessage (windows/control_vocabulary.h).

// Readies the drawing layer once at start-up, before the first window: the
// picture folder becomes the program folder unless one was set, and the
// picture formats are checked. False when a format is missing or no GUI
// application exists yet; callers do not have to look at it.
bool Init();

// The folder pictures are read from (with a trailing '/'); tests point it at
// their own folder.
void SetPictureFolder(const std::string& folder);
std::string PictureFolder();

// Where a picture path leads: backslashes become '/', a path relative to the
// picture folder (with or without a leading separator) is joined to it, and a
// leading '/' that names an existing file is taken as an absolute path.
std::string ResolvePicturePath(const std::string& path);

// Forgets every picture loaded so far (tests that rewrite files).
void ClearPictureCache();

// A rectangle from its left, top, right and bottom edges, right and bottom
// excluded, as the windows give their drawing positions.
inline QRect Rect(int left, int top, int right, int bottom) { return QRect(left, top, right - left, bottom - top); }

// A rectangle of `size` centred in `area` (odd leftovers go right and down).
inline QRect CentredRect(const QRect& area, const QSize& size) {
  return QRect(area.left() + (area.width() - size.width()) / 2, area.top() + (area.height() - size.height()) / 2,
               size.width(), size.height());
}

struct PictureData;

// A picture; sizes are 0 when it could not be loaded, and it then draws nothing.
class Image {
 public:
  Image() = default;
  Image(const std::string& path, int flag);

  bool IsLoaded() const { return data_ != nullptr; }
  int Width() const;
  int Height() const;
  const std::string& Path() const { return path_; }
  bool Smooth() const { return flag_ == kLoadSmooth; }

  // The pixels with `key` made transparent (premultiplied ARGB); a null image
  // when nothing is loaded.
  QImage Keyed(Colour key) const;

 private:
  friend class Texture;
  std::string path_;
  int flag_ = kLoadSharp;
  std::shared_ptr<const PictureData> data_;
};

// Stretch margins of a texture frame: corners keep their size, edges stretch
// along their length, the middle stretches both ways.
struct Margins {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const Margins&) const = default;
};

// A picture made of state frames of equal width laid side by side (frame 0
// normal, 1 hot/pressed/selected, or one per state), named by its path
// without extension ("Images/Shadow" reads "Images/Shadow.png").
class Texture {
 public:
  Texture() = default;
  Texture(const std::string& path, int flag);

  bool IsLoaded() const { return image_.IsLoaded(); }
  int Frames() const { return frames_; }
  // One frame's size.
  int Width() const;
  int Height() const;
  // Fills `rect` with one frame's size at the origin.
  void Rect(QRect* rect) const;
  const Margins& StretchMargins() const { return margins_; }
  // Where frame `frame` lies in the strip; empty for a frame outside it.
  QRect FrameRect(int frame) const;
  const Image& Strip() const { return image_; }

 private:
  Image image_;
  int frames_ = 0;
  Margins margins_;
};

// An off-screen surface over `rect` of a paint device for one paint. Drawing
// positions are those of the device. Nothing reaches the device before Draw.
class Canvas {
 public:
  // A non-zero `transparent` starts the surface transparent, zero starts it
  // white. A non-zero `buffered` draws on an off-screen surface that Draw
  // copies to the device; zero draws straight on the device.
  Canvas(QPainter* dc, int transparent, const QRect& rect, int buffered);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // Shows what lies behind `window` in its parent (the parent's background
  // and its own drawing) under the canvas; `message` must be the
  // erase-background message (20).
  void Earse(QWidget* window, unsigned message);
  void FillRect(const QRect& rect, Colour colour);
  // The whole picture stretched over `rect`, `key` pixels left out.
  void DrawImage(const QRect& rect, const Image& image, Colour key);
  // The part `source` of the picture stretched over `dest`.
  void DrawImage(const QRect& dest, const QRect& source, const Image& image, Colour key);
  // One frame stretched over `rect` by its margins; a frame outside the
  // texture draws nothing.
  void DrawTexture(const QRect& rect, int frame, const Texture& texture, Colour key);
  void SetFont(const QFont& font);
  void SetPen(const QPen& pen);
  // Narrow program text in `colour`, without background, laid out by the
  // text flags above. `reserved` is not used.
  void DrawTextA(std::string_view text, unsigned flags, const QRect& rect, Colour colour, void* reserved);
  void DrawText(const QString& text, unsigned flags, const QRect& rect, Colour colour);
  // Width and height in pixels of the first `length` bytes of narrow text.
  bool GetTextExtent(const char* text, int length, QSize* size) const;
  QSize TextExtent(const QString& text) const;
  void DrawLine(int x1, int y1, int x2, int y2);
  // Copies the surface to the device; the last call of every paint.
  void Draw(void* reserved1, void* reserved2, void* reserved3);

  const QRect& Bounds() const { return rect_; }
  // The off-screen surface (null when unbuffered).
  const QImage& Surface() const { return surface_; }
  QPainter& Painter() { return *painter_; }

 private:
  QPainter* dc_;
  QRect rect_;
  QImage surface_;
  std::unique_ptr<QPainter> own_;
  QPainter* painter_;
  QFont font_;
  bool direct_ = false;  // drawing goes straight to the device
};

}  // namespace kanzo::SkinKit
