// The drawing layer over real picture files in a temporary picture folder.
#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <QWidget>

#include "controls/skin_kit.h"
#include "picture_files.h"
#include "support/temp_dir.h"

namespace kanzo {
namespace {

using SkinKit::Canvas;
using test::Rgb;

constexpr QRgb kGround = 0x00C000;
constexpr QRgb kMagenta = 0xFF00FF;

class SkinKitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SkinKit::ClearPictureCache();
    SkinKit::SetPictureFolder(dir_.path());
  }
  void TearDown() override { SkinKit::ClearPictureCache(); }

  // A device of `size` in the ground colour, painted through a canvas.
  QImage Paint(const QSize& size, const std::function<void(Canvas&)>& draw, QRgb ground = kGround) {
    QImage device(size, QImage::Format_ARGB32_Premultiplied);
    device.fill(QColor(ground));
    QPainter dc(&device);
    Canvas canvas(&dc, 1, QRect(QPoint(0, 0), size), 1);
    draw(canvas);
    canvas.Draw(nullptr, nullptr, nullptr);
    return device;
  }

  test::TempDir dir_;
};

TEST_F(SkinKitTest, PictureThatFailsToLoadHasSizeZeroAndDrawsNothing) {
  test::WriteFile(dir_.File("Images/broken.png"), "not a picture at all");
  test::WriteFile(dir_.File("Images/Broken.png"), "\x89PNG\r\n\x1a\n truncated");
  for (const char* path : {"Images/missing.png", "Images/broken.png", ""}) {
    const SkinKit::Image image(path, SkinKit::kLoadSharp);
    EXPECT_FALSE(image.IsLoaded()) << path;
    EXPECT_EQ(image.Width(), 0) << path;
    EXPECT_EQ(image.Height(), 0) << path;
  }
  const SkinKit::Texture texture("Images/Broken", SkinKit::kLoadSharp);
  EXPECT_EQ(texture.Frames(), 0);
  EXPECT_EQ(texture.Width(), 0);
  EXPECT_EQ(texture.Height(), 0);
  QRect rect(1, 2, 3, 4);
  texture.Rect(&rect);
  EXPECT_EQ(rect, QRect(0, 0, 0, 0));

  const QImage out = Paint(QSize(8, 8), [&](Canvas& c) {
    c.DrawImage(QRect(0, 0, 8, 8), SkinKit::Image("Images/missing.png", 0), SkinKit::kTransparentKey);
    c.DrawImage(QRect(0, 0, 8, 8), QRect(0, 0, 4, 4), SkinKit::Image("Images/broken.png", 1), SkinKit::kTransparentKey);
    c.DrawTexture(QRect(0, 0, 8, 8), 0, texture, SkinKit::kTransparentKey);
  });
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(Rgb(out, x, y), kGround) << x << "," << y;
}

TEST_F(SkinKitTest, MagentaPixelsStayTransparent) {
  // Only exact magenta is the key; its neighbour colour is drawn.
  QImage picture(5, 1, QImage::Format_ARGB32);
  const QRgb row[] = {kMagenta, 0xD00000, kMagenta, 0xFE00FF, 0x0000D0};
  for (int x = 0; x < 5; ++x) picture.setPixel(x, 0, 0xFF000000 | row[x]);
  test::WritePicture(dir_.File("Images/keyed.png"), picture);
  test::WriteTexture(dir_.File("Images/KeyedStrip.png"), {picture, test::Solid(QSize(5, 1), kMagenta)});

  const SkinKit::Image image("Images\\keyed.png", SkinKit::kLoadSharp);
  const SkinKit::Texture texture("\\Images\\KeyedStrip", SkinKit::kLoadSharp);
  ASSERT_EQ(image.Width(), 5);
  ASSERT_EQ(texture.Frames(), 2);
  const QImage out = Paint(QSize(5, 3), [&](Canvas& c) {
    c.DrawImage(QRect(0, 0, 5, 1), image, SkinKit::kTransparentKey);
    c.DrawTexture(QRect(0, 1, 5, 1), 0, texture, SkinKit::kTransparentKey);
    c.DrawTexture(QRect(0, 2, 5, 1), 1, texture, SkinKit::kTransparentKey);
  });
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(Rgb(out, 0, y), kGround);
    EXPECT_EQ(Rgb(out, 1, y), 0xD00000u);
    EXPECT_EQ(Rgb(out, 2, y), kGround);
    EXPECT_EQ(Rgb(out, 3, y), 0xFE00FFu);
    EXPECT_EQ(Rgb(out, 4, y), 0x0000D0u);
  }
  for (int x = 0; x < 5; ++x) EXPECT_EQ(Rgb(out, x, 2), kGround) << x;

  // Another key leaves magenta in and takes that colour out instead.
  const QImage other = Paint(QSize(5, 1), [&](Canvas& c) { c.DrawImage(QRect(0, 0, 5, 1), image, 0xD00000); });
  EXPECT_EQ(Rgb(other, 0, 0), kMagenta);
  EXPECT_EQ(Rgb(other, 1, 0), kGround);
}

TEST_F(SkinKitTest, TextureFramesStretchByTheirMargins) {
  // Frame 0: blue with red 2×2 corners; frame 1: yellow.
  QImage framed = test::Solid(QSize(6, 6), 0x0000C0);
  for (const QPoint corner : {QPoint(0, 0), QPoint(4, 0), QPoint(0, 4), QPoint(4, 4)})
    for (int dy = 0; dy < 2; ++dy)
      for (int dx = 0; dx < 2; ++dx) framed.setPixel(corner + QPoint(dx, dy), 0xFFC00000);
  test::WriteTexture(dir_.File("Images/Frames.png"), {framed, test::Solid(QSize(6, 6), 0xC0C000)}, "2,2,2,2");

  const SkinKit::Texture texture("Images/Frames", SkinKit::kLoadSharp);
  ASSERT_TRUE(texture.IsLoaded());
  EXPECT_EQ(texture.Frames(), 2);
  EXPECT_EQ(texture.Width(), 6);
  EXPECT_EQ(texture.Height(), 6);
  EXPECT_EQ(texture.StretchMargins(), (SkinKit::Margins{2, 2, 2, 2}));
  QRect rect;
  texture.Rect(&rect);
  EXPECT_EQ(rect, QRect(0, 0, 6, 6));
  EXPECT_EQ(texture.FrameRect(1), QRect(6, 0, 6, 6));
  EXPECT_TRUE(texture.FrameRect(2).isEmpty());

  const QImage out = Paint(QSize(30, 12), [&](Canvas& c) {
    c.DrawTexture(QRect(0, 0, 20, 10), 0, texture, SkinKit::kTransparentKey);
    c.DrawTexture(QRect(20, 0, 4, 4), 1, texture, SkinKit::kTransparentKey);
    c.DrawTexture(QRect(24, 0, 6, 6), 2, texture, SkinKit::kTransparentKey);
    c.DrawTexture(QRect(24, 6, 3, 3), 0, texture, SkinKit::kTransparentKey);
  });
  // Corners keep their size; edges and middle stretch.
  for (const QPoint p : {QPoint(0, 0), QPoint(1, 1), QPoint(19, 0), QPoint(18, 9), QPoint(0, 9)})
    EXPECT_EQ(Rgb(out, p.x(), p.y()), 0xC00000u) << p.x() << "," << p.y();
  for (const QPoint p : {QPoint(2, 2), QPoint(10, 0), QPoint(0, 5), QPoint(10, 5), QPoint(19, 5), QPoint(10, 9)})
    EXPECT_EQ(Rgb(out, p.x(), p.y()), 0x0000C0u) << p.x() << "," << p.y();
  EXPECT_EQ(Rgb(out, 21, 1), 0xC0C000u);
  // A frame outside the texture draws nothing.
  EXPECT_EQ(Rgb(out, 26, 2), kGround);
  // A rectangle smaller than the margins still shows the corners.
  EXPECT_EQ(Rgb(out, 24, 6), 0xC00000u);
  EXPECT_EQ(Rgb(out, 26, 8), 0xC00000u);
}

TEST_F(SkinKitTest, TextureFilesThatDoNotFitAreNotLoaded) {
  const QImage seven = test::Solid(QSize(7, 4), 0x123456);
  struct Case {
    const char* name;
    QString frames;
  } cases[] = {{"Uneven", "2"}, {"Zero", "0"}, {"Words", "two"}, {"Negative", "-1"}};
  for (const Case& c : cases) {
    QImage strip = seven;
    strip.setText("frames", c.frames);
    test::WritePicture(dir_.File(std::string("Images/") + c.name + ".png"), strip);
    const SkinKit::Texture texture(std::string("Images/") + c.name, SkinKit::kLoadSharp);
    EXPECT_FALSE(texture.IsLoaded()) << c.name;
    EXPECT_EQ(texture.Width(), 0) << c.name;
  }
  // Without a frame count a file is one frame; margins larger than the frame
  // are cut down to it.
  QImage plain = seven;
  plain.setText("margins", "9,1,9,1");
  test::WritePicture(dir_.File("Images/Plain.png"), plain);
  const SkinKit::Texture texture("Images/Plain", SkinKit::kLoadSharp);
  EXPECT_EQ(texture.Frames(), 1);
  EXPECT_EQ(texture.Width(), 7);
  EXPECT_EQ(texture.StretchMargins(), (SkinKit::Margins{7, 1, 0, 1}));
}

// The bounding box of the pixels that differ from white.
QRect InkBox(const QImage& image) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (Rgb(image, x, y) != 0xFFFFFF) box = box.united(QRect(x, y, 1, 1));
  return box;
}

TEST_F(SkinKitTest, TextFlagsPlaceTheText) {
  QFont font;
  font.setPixelSize(14);
  const QRect area(0, 0, 200, 40);
  struct Case {
    unsigned flags;
    const char* what;
  } cases[] = {
      {SkinKit::kTextCentredLine, "centred"}, {SkinKit::kTextRightLine, "right"}, {SkinKit::kTextTopLeft, "top left"}};
  ASSERT_EQ(SkinKit::kTextCentredLine, 37u);
  ASSERT_EQ(SkinKit::kTextRightLine, 34u);
  for (const Case& c : cases) {
    const QImage out = Paint(
        area.size(),
        [&](Canvas& canvas) {
          canvas.SetFont(font);
          canvas.DrawTextA("HHHH", c.flags, area, 0x000000, nullptr);
        },
        0xFFFFFF);
    const QRect ink = InkBox(out);
    ASSERT_FALSE(ink.isEmpty()) << c.what;
    if (c.flags == SkinKit::kTextCentredLine) {
      EXPECT_NEAR(ink.center().x(), area.center().x(), 3) << c.what;
      EXPECT_NEAR(ink.center().y(), area.center().y(), 3) << c.what;
    } else if (c.flags == SkinKit::kTextRightLine) {
      EXPECT_GE(ink.right(), area.right() - 4) << c.what;
      EXPECT_LE(ink.top(), 8) << c.what;
    } else {
      EXPECT_LE(ink.left(), 4) << c.what;
      EXPECT_LE(ink.top(), 8) << c.what;
    }
  }
  // Text is drawn in its colour without a background, and clipped to its
  // rectangle; an ellipsis keeps a long line inside.
  const QImage out = Paint(
      QSize(60, 20),
      [&](Canvas& canvas) {
        canvas.SetFont(font);
        canvas.DrawText(QString(40, 'W'), SkinKit::kTextSingleLine | SkinKit::kTextEndEllipsis, QRect(0, 0, 30, 20),
                        0x0000FF);
      },
      0xFFFFFF);
  const QRect ink = InkBox(out);
  EXPECT_LT(ink.right(), 30);
  EXPECT_EQ(Rgb(out, 0, 19), 0xFFFFFFu);
}

TEST_F(SkinKitTest, TextExtentMeasuresTheGivenBytes) {
  QImage device(10, 10, QImage::Format_ARGB32_Premultiplied);
  QPainter dc(&device);
  Canvas canvas(&dc, 1, QRect(0, 0, 10, 10), 1);
  QFont font;
  font.setPixelSize(13);
  canvas.SetFont(font);
  QSize whole, part, two;
  ASSERT_TRUE(canvas.GetTextExtent("abcd", 4, &whole));
  ASSERT_TRUE(canvas.GetTextExtent("abcd", 2, &part));
  ASSERT_TRUE(canvas.GetTextExtent("ab", 2, &two));
  EXPECT_EQ(part, two);
  EXPECT_GT(whole.width(), part.width());
  EXPECT_EQ(whole.height(), QFontMetrics(font).height());
  QSize chinese;
  ASSERT_TRUE(canvas.GetTextExtent("会话", 6, &chinese));
  EXPECT_GT(chinese.width(), 0);
  QSize empty(5, 5);
  EXPECT_TRUE(canvas.GetTextExtent(nullptr, 0, &empty));
  EXPECT_EQ(empty.width(), 0);
  EXPECT_FALSE(canvas.GetTextExtent("ab", 2, nullptr));
  EXPECT_FALSE(canvas.GetTextExtent("ab", -1, &empty));
}

// A widget that paints a red square at its top left and nothing else.
class MarkedWidget : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(QRect(0, 0, 15, 15), QColor(0xC00000));
  }
};

TEST_F(SkinKitTest, EarseShowsWhatLiesBehindTheWindow) {
  QWidget window;
  window.setAutoFillBackground(true);
  QPalette palette;
  palette.setColor(QPalette::Window, QColor(0x123456));
  window.setPalette(palette);
  window.resize(100, 100);
  auto* middle = new MarkedWidget(&window);  // paints, no background of its own
  middle->setGeometry(10, 10, 80, 80);
  auto* control = new QWidget(middle);
  control->setGeometry(5, 5, 20, 20);

  const QImage out = Paint(QSize(20, 20), [&](Canvas& c) { c.Earse(control, kEraseBackgroundMessage); });
  EXPECT_EQ(Rgb(out, 2, 2), 0xC00000u);    // the middle widget's own drawing
  EXPECT_EQ(Rgb(out, 15, 15), 0x123456u);  // the window's background
  const QImage other = Paint(QSize(20, 20), [&](Canvas& c) { c.Earse(control, 21); });
  EXPECT_EQ(Rgb(other, 15, 15), kGround);
}

TEST_F(SkinKitTest, NothingReachesTheDeviceBeforeDraw) {
  QImage device(4, 4, QImage::Format_ARGB32_Premultiplied);
  device.fill(Qt::white);
  {
    QPainter dc(&device);
    Canvas canvas(&dc, 1, QRect(0, 0, 4, 4), 1);
    canvas.FillRect(QRect(0, 0, 4, 4), 0xAA0000);
    canvas.SetPen(QPen(QColor(0x0000AA)));
    canvas.DrawLine(0, 3, 3, 3);
    dc.end();
    EXPECT_EQ(Rgb(device, 0, 0), 0xFFFFFFu);
    dc.begin(&device);
    canvas.Draw(nullptr, nullptr, nullptr);
  }
  EXPECT_EQ(Rgb(device, 0, 0), 0xAA0000u);
  EXPECT_EQ(Rgb(device, 2, 3), 0x0000AAu);
}

TEST_F(SkinKitTest, PicturePathsLeadIntoThePictureFolder) {
  test::WriteFile(dir_.File("abs.png"), "x");
  struct Case {
    std::string path;
    std::string expected;
  } cases[] = {
      {"Images\\Shadow", dir_.File("Images/Shadow")}, {"\\Images\\InfoBg", dir_.File("Images/InfoBg")},
      {"Segment/first", dir_.File("Segment/first")},  {"/Images/none.png", dir_.File("Images/none.png")},
      {dir_.File("abs.png"), dir_.File("abs.png")},
  };
  for (const Case& c : cases) EXPECT_EQ(SkinKit::ResolvePicturePath(c.path), c.expected) << c.path;
}

}  // namespace
}  // namespace kanzo
