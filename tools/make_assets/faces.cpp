// The 50 emoticons of the "face" folder, as GIF files whose names start with
// their grid position, so that a listing by name gives the picker's order.
#include <QPainterPath>
#include <QtMath>
#include <cstdio>

#include "assets.h"
#include "gif_writer.h"
#include "paint_kit.h"

namespace kanzo::assets {
namespace {

using namespace colour;

constexpr int kFaceSize = 28;     // pixels; the picker shows 28 × 28
constexpr double kUnits = 100.0;  // faces are drawn on a 100-unit square
constexpr int kAnimatedFrames = 4;
constexpr int kFrameDelayCs = 18;

// Face colours.
constexpr QRgb kSkin = 0xFFCC4D;
constexpr QRgb kSkinEdge = 0xE8A825;
constexpr QRgb kFeature = 0x5C3B0A;
constexpr QRgb kCheek = 0xFF8A65;
constexpr QRgb kTongue = 0xF06292;
constexpr QRgb kMouth = 0x7A2E0E;
constexpr QRgb kTear = 0x5DADE2;
constexpr QRgb kAngry = 0xF0625A;
constexpr QRgb kAngryEdge = 0xC0392B;
constexpr QRgb kDevil = 0x9B59B6;
constexpr QRgb kDevilEdge = 0x7D3C98;
constexpr QRgb kAlien = 0x7DCEA0;
constexpr QRgb kAlienEdge = 0x27AE60;
constexpr QRgb kSick = 0xD4E6A5;
constexpr QRgb kSickEdge = 0xA3B86C;
constexpr QRgb kNight = 0x2C3E50;
constexpr QRgb kMoon = 0xF9E79F;
constexpr QRgb kStar = 0xF9D71C;
constexpr QRgb kStarEdge = 0xE0A800;
constexpr QRgb kPink = 0xFF7EB6;
constexpr QRgb kPurple = 0x9B59B6;
constexpr QRgb kYellowHeart = 0xF1C40F;
constexpr QRgb kWood = 0x8D6E63;

// Names by grid position: the tooltip names of the picker, and names of our
// own for the positions that have none.
const char* const kFaceNames[] = {
    "微笑",     "大笑",   "脸红",   "调皮", "色",       "偷笑",   "亲亲",   "酷",       "不高兴", "惬意",
    "瞪大眼睛", "眨眼",   "吐舌头", "撇嘴", "汗",       "难受",   "难过",   "皱眉",     "出汗",   "无语",
    "困",       "晕",     "闭嘴",   "得意", "嚎嚎大哭", "大哭",   "惊恐",   "惊讶",     "愤怒",   "黄色心",
    "魔鬼",     "流鼻涕", "外星人", "病了", "蓝色心",   "红色心", "绿色心", "一箭穿心", "心亮了", "心碎",
    "粉红心",   "紫色心", "噗",     "叹号", "囧",       "睡觉",   "疑问",   "星星",     "星空",   "赞一个"};
constexpr int kFaceCount = sizeof(kFaceNames) / sizeof(kFaceNames[0]);
static_assert(kFaceCount == 50);

// ---- parts -----------------------------------------------------------------

QPen Stroke(QRgb colour, double width) { return QPen(C(colour), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

void Head(QPainter& p, QRgb fill = kSkin, QRgb edge = kSkinEdge) {
  p.setPen(Stroke(edge, 4));
  p.setBrush(C(fill));
  p.drawEllipse(QPointF(50, 50), 45, 45);
}

void Dot(QPainter& p, QPointF c, double rx, double ry, QRgb colour = kFeature) {
  p.setPen(Qt::NoPen);
  p.setBrush(C(colour));
  p.drawEllipse(c, rx, ry);
}

void Eyes(QPainter& p, double y = 40, double rx = 6, double ry = 8.5) {
  Dot(p, QPointF(34, y), rx, ry);
  Dot(p, QPointF(66, y), rx, ry);
}

// A curve from (x1, y) to (x2, y) bending by `depth` (down when positive).
void Curve(QPainter& p, double x1, double x2, double y, double depth, double width, QRgb colour = kFeature) {
  QPainterPath path;
  path.moveTo(x1, y);
  path.quadTo((x1 + x2) / 2, y + depth, x2, y);
  p.setPen(Stroke(colour, width));
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
}

void Line(QPainter& p, QPointF a, QPointF b, double width, QRgb colour = kFeature) {
  p.setPen(Stroke(colour, width));
  p.drawLine(a, b);
}

// Happy closed eyes: arches.
void HappyEyes(QPainter& p, double y = 42) {
  Curve(p, 25, 43, y, -14, 5.5);
  Curve(p, 57, 75, y, -14, 5.5);
}

// Resting closed eyes: hanging arcs.
void RestEyes(QPainter& p, double y = 40) {
  Curve(p, 25, 43, y, 10, 5);
  Curve(p, 57, 75, y, 10, 5);
}

void Smile(QPainter& p, double y = 62, double half = 20, double depth = 18) {
  Curve(p, 50 - half, 50 + half, y, depth, 5.5);
}

void Cheeks(QPainter& p, int alpha = 150) {
  p.setPen(Qt::NoPen);
  p.setBrush(C(kCheek, alpha));
  p.drawEllipse(QPointF(24, 60), 9, 5.5);
  p.drawEllipse(QPointF(76, 60), 9, 5.5);
}

// A wide open mouth: straight top, round bottom, a tongue inside.
void OpenMouth(QPainter& p, double top = 57, double half = 23, double depth = 28) {
  QPainterPath mouth;
  mouth.moveTo(50 - half, top);
  mouth.lineTo(50 + half, top);
  mouth.quadTo(50 + half, top + depth, 50, top + depth);
  mouth.quadTo(50 - half, top + depth, 50 - half, top);
  p.setPen(Stroke(kFeature, 3));
  p.setBrush(C(kMouth));
  p.drawPath(mouth);
  p.save();
  p.setClipPath(mouth);
  p.setPen(Qt::NoPen);
  p.setBrush(C(kTongue));
  p.drawEllipse(QPointF(50, top + depth + 2), half * 0.65, depth * 0.5);
  p.restore();
}

void OMouth(QPainter& p, QPointF c, double rx, double ry) {
  p.setPen(Stroke(kFeature, 3));
  p.setBrush(C(kMouth));
  p.drawEllipse(c, rx, ry);
}

QPainterPath DropPath(QPointF tip, double size) {
  QPainterPath drop;
  drop.moveTo(tip);
  drop.cubicTo(tip + QPointF(size * 0.9, size * 1.1), tip + QPointF(size * 0.75, size * 2.0),
               tip + QPointF(0, size * 2.0));
  drop.cubicTo(tip + QPointF(-size * 0.75, size * 2.0), tip + QPointF(-size * 0.9, size * 1.1), tip);
  return drop;
}

void Drop(QPainter& p, QPointF tip, double size, QRgb colour = kTear) {
  p.setPen(Stroke(0x2E86C1, 2));
  p.setBrush(C(colour));
  p.drawPath(DropPath(tip, size));
}

QPainterPath HeartPath(QPointF c, double s) {
  QPainterPath h;
  h.moveTo(c.x(), c.y() + 0.9 * s);
  h.cubicTo(c.x() - 1.25 * s, c.y() + 0.05 * s, c.x() - 1.05 * s, c.y() - 0.95 * s, c.x() - 0.5 * s, c.y() - 0.95 * s);
  h.cubicTo(c.x() - 0.2 * s, c.y() - 0.95 * s, c.x(), c.y() - 0.75 * s, c.x(), c.y() - 0.5 * s);
  h.cubicTo(c.x(), c.y() - 0.75 * s, c.x() + 0.2 * s, c.y() - 0.95 * s, c.x() + 0.5 * s, c.y() - 0.95 * s);
  h.cubicTo(c.x() + 1.05 * s, c.y() - 0.95 * s, c.x() + 1.25 * s, c.y() + 0.05 * s, c.x(), c.y() + 0.9 * s);
  h.closeSubpath();
  return h;
}

QRgb Darker(QRgb c, int factor = 125) { return QColor(c).darker(factor).rgb() & 0xFFFFFF; }

void Heart(QPainter& p, QPointF c, double s, QRgb colour) {
  p.setPen(Stroke(Darker(colour), std::max(2.0, s * 0.07)));
  p.setBrush(C(colour));
  p.drawPath(HeartPath(c, s));
  // A soft highlight on the upper left lobe.
  p.setPen(Qt::NoPen);
  p.setBrush(C(kWhite, 110));
  p.drawEllipse(c + QPointF(-0.5 * s, -0.5 * s), 0.16 * s, 0.2 * s);
}

// A heart that beats: larger on the second frame.
void BeatingHeart(QPainter& p, int frame, QRgb colour) {
  static const double scale[kAnimatedFrames] = {40, 45, 41, 38};
  Heart(p, QPointF(50, 54), scale[frame], colour);
}

QPainterPath StarPath(QPointF c, double outer, double inner) {
  QPainterPath s;
  for (int i = 0; i < 10; ++i) {
    const double r = i % 2 == 0 ? outer : inner;
    const double a = qDegreesToRadians(-90.0 + i * 36.0);
    const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
    if (i == 0)
      s.moveTo(pt);
    else
      s.lineTo(pt);
  }
  s.closeSubpath();
  return s;
}

void Sparkle(QPainter& p, QPointF c, double r, QRgb colour) {
  QPainterPath s;
  s.moveTo(c.x(), c.y() - r);
  s.quadTo(c.x(), c.y(), c.x() + r, c.y());
  s.quadTo(c.x(), c.y(), c.x(), c.y() + r);
  s.quadTo(c.x(), c.y(), c.x() - r, c.y());
  s.quadTo(c.x(), c.y(), c.x(), c.y() - r);
  p.setPen(Qt::NoPen);
  p.setBrush(C(colour));
  p.drawPath(s);
}

void Brows(QPainter& p, double innerY, double outerY, double width = 5) {
  Line(p, QPointF(24, outerY), QPointF(42, innerY), width);
  Line(p, QPointF(76, outerY), QPointF(58, innerY), width);
}

void Z(QPainter& p, QPointF at, double s) {
  QPainterPath z;
  z.moveTo(at);
  z.lineTo(at + QPointF(s, 0));
  z.lineTo(at + QPointF(0, s));
  z.lineTo(at + QPointF(s, s));
  p.setPen(Stroke(kBlue, std::max(3.0, s * 0.22)));
  p.setBrush(Qt::NoBrush);
  p.drawPath(z);
}

void Spiral(QPainter& p, QPointF c, double r) {
  QPainterPath s;
  for (int i = 0; i <= 40; ++i) {
    const double t = i / 40.0;
    const double a = t * 2.6 * M_PI;
    const QPointF pt(c.x() + r * t * std::cos(a), c.y() + r * t * std::sin(a));
    if (i == 0)
      s.moveTo(pt);
    else
      s.lineTo(pt);
  }
  p.setPen(Stroke(kFeature, 3.5));
  p.setBrush(Qt::NoBrush);
  p.drawPath(s);
}

void Wavy(QPainter& p, double x1, double x2, double y, double amp, int waves) {
  QPainterPath w;
  w.moveTo(x1, y);
  const double step = (x2 - x1) / (2 * waves);
  for (int i = 0; i < 2 * waves; ++i) {
    const double xa = x1 + i * step;
    w.quadTo(xa + step / 2, y + (i % 2 == 0 ? -amp : amp), xa + step, y);
  }
  p.setPen(Stroke(kFeature, 5));
  p.setBrush(Qt::NoBrush);
  p.drawPath(w);
}

// ---- the faces ---------------------------------------------------------------

// How many frames a face has: the animated ones move, the rest stand still.
int FrameCount(int index) {
  switch (index) {
    case 6:
    case 24:
    case 25:
    case 29:
    case 34:
    case 35:
    case 36:
    case 38:
    case 40:
    case 41:
    case 45:
    case 47:
    case 48: return kAnimatedFrames;
    default: return 1;
  }
}

void DrawFace(QPainter& p, int index, int frame) {
  switch (index) {
    case 0:  // 微笑
      Head(p);
      Eyes(p);
      Smile(p);
      break;
    case 1:  // 大笑
      Head(p);
      HappyEyes(p);
      OpenMouth(p);
      break;
    case 2:  // 脸红
      Head(p);
      Eyes(p, 42, 5.5, 7.5);
      p.setPen(Qt::NoPen);
      p.setBrush(C(0xFF6F61, 200));
      p.drawEllipse(QPointF(24, 60), 11, 7);
      p.drawEllipse(QPointF(76, 60), 11, 7);
      Smile(p, 66, 12, 9);
      break;
    case 3:  // 调皮: a wink and a tongue to the side
      Head(p);
      Curve(p, 25, 43, 42, -12, 5.5);
      Dot(p, QPointF(66, 40), 6, 8.5);
      Smile(p, 60, 22, 20);
      p.setPen(Stroke(0xC2185B, 2));
      p.setBrush(C(kTongue));
      p.drawEllipse(QPointF(60, 76), 9, 11);
      break;
    case 4:  // 色: hearts for eyes
      Head(p);
      Heart(p, QPointF(33, 40), 13, kRed);
      Heart(p, QPointF(67, 40), 13, kRed);
      OpenMouth(p, 60, 20, 22);
      break;
    case 5:  // 偷笑: a hand before the grin
      Head(p);
      HappyEyes(p, 40);
      Cheeks(p);
      p.setPen(Stroke(kSkinEdge, 3));
      p.setBrush(C(0xFFB74D));
      p.drawRoundedRect(QRectF(30, 58, 40, 24), 11, 11);
      for (double x : {40.0, 50.0, 60.0}) Line(p, QPointF(x, 60), QPointF(x, 70), 2.5, kSkinEdge);
      break;
    case 6: {  // 亲亲: pursed lips and a heart that floats up
      Head(p);
      Curve(p, 25, 43, 42, -12, 5.5);
      Dot(p, QPointF(66, 40), 6, 8.5);
      Curve(p, 44, 54, 62, 0, 5);
      QPainterPath lips;
      lips.moveTo(48, 60);
      lips.quadTo(58, 63, 50, 67);
      lips.quadTo(58, 71, 48, 74);
      p.setPen(Stroke(kFeature, 5));
      p.setBrush(Qt::NoBrush);
      p.drawPath(lips);
      Heart(p, QPointF(78, 70 - frame * 7.0), 12, kRed);
      break;
    }
    case 7:  // 酷: sunglasses
      Head(p);
      p.setPen(Qt::NoPen);
      p.setBrush(C(kNight));
      p.drawRoundedRect(QRectF(17, 30, 30, 19), 7, 7);
      p.drawRoundedRect(QRectF(53, 30, 30, 19), 7, 7);
      Line(p, QPointF(45, 35), QPointF(55, 35), 4, kNight);
      Line(p, QPointF(8, 37), QPointF(18, 35), 4, kNight);
      Line(p, QPointF(92, 37), QPointF(82, 35), 4, kNight);
      p.setBrush(C(kWhite, 120));
      p.drawEllipse(QPointF(26, 36), 4, 2.5);
      p.drawEllipse(QPointF(62, 36), 4, 2.5);
      Curve(p, 38, 70, 68, 8, 5);
      break;
    case 8:  // 不高兴
      Head(p);
      Eyes(p, 42);
      Line(p, QPointF(24, 28), QPointF(42, 31), 4.5);
      Line(p, QPointF(76, 28), QPointF(58, 31), 4.5);
      Curve(p, 34, 66, 74, -14, 5.5);
      break;
    case 9:  // 惬意
      Head(p);
      RestEyes(p, 40);
      Cheeks(p, 110);
      Smile(p, 64, 14, 10);
      break;
    case 10:  // 瞪大眼睛
      Head(p);
      for (double x : {34.0, 66.0}) {
        p.setPen(Stroke(kFeature, 3));
        p.setBrush(C(kWhite));
        p.drawEllipse(QPointF(x, 40), 13, 15);
        Dot(p, QPointF(x, 42), 6, 6.5);
      }
      OMouth(p, QPointF(50, 72), 7, 6);
      break;
    case 11:  // 眨眼
      Head(p);
      Dot(p, QPointF(34, 40), 6, 8.5);
      Curve(p, 57, 75, 42, -10, 5.5);
      Smile(p, 60, 22, 18);
      break;
    case 12:  // 吐舌头
      Head(p);
      Eyes(p);
      p.setPen(Stroke(0xC2185B, 2.5));
      p.setBrush(C(kTongue));
      p.drawRoundedRect(QRectF(39, 62, 22, 24), 11, 11);
      Line(p, QPointF(50, 66), QPointF(50, 76), 2.5, 0xC2185B);
      Line(p, QPointF(32, 63), QPointF(68, 63), 5.5);
      break;
    case 13: {  // 撇嘴
      Head(p);
      Eyes(p, 42);
      QPainterPath pout;
      pout.moveTo(32, 72);
      pout.quadTo(42, 62, 52, 68);
      pout.quadTo(62, 74, 70, 64);
      p.setPen(Stroke(kFeature, 5.5));
      p.setBrush(Qt::NoBrush);
      p.drawPath(pout);
      break;
    }
    case 14:  // 汗: an awkward smile and a drop on the brow
      Head(p);
      Line(p, QPointF(26, 42), QPointF(42, 42), 5.5);
      Line(p, QPointF(58, 42), QPointF(74, 42), 5.5);
      Curve(p, 36, 64, 66, 6, 5);
      Drop(p, QPointF(80, 12), 10);
      break;
    case 15: {  // 难受: squeezed eyes and a wavy mouth
      Head(p);
      QPainterPath l, r;
      l.moveTo(26, 32);
      l.lineTo(40, 40);
      l.lineTo(26, 48);
      r.moveTo(74, 32);
      r.lineTo(60, 40);
      r.lineTo(74, 48);
      p.setPen(Stroke(kFeature, 5));
      p.setBrush(Qt::NoBrush);
      p.drawPath(l);
      p.drawPath(r);
      Wavy(p, 30, 70, 68, 6, 3);
      break;
    }
    case 16:  // 难过: sad brows, a frown and a tear
      Head(p);
      Eyes(p, 44, 5.5, 7.5);
      Line(p, QPointF(24, 34), QPointF(40, 28), 4.5);
      Line(p, QPointF(76, 34), QPointF(60, 28), 4.5);
      Curve(p, 36, 64, 74, -12, 5.5);
      Drop(p, QPointF(30, 52), 7);
      break;
    case 17:  // 皱眉
      Head(p);
      Eyes(p, 44);
      Brows(p, 34, 26);
      Line(p, QPointF(38, 70), QPointF(62, 70), 5.5);
      break;
    case 18:  // 出汗: hot and dripping
      Head(p, 0xFFB74D, 0xE67E22);
      Eyes(p, 42);
      OMouth(p, QPointF(50, 70), 9, 8);
      Drop(p, QPointF(14, 24), 7);
      Drop(p, QPointF(86, 30), 8);
      Drop(p, QPointF(80, 58), 6);
      break;
    case 19:  // 无语: flat looks and a trail of dots
      Head(p);
      Line(p, QPointF(26, 42), QPointF(42, 42), 5.5);
      Line(p, QPointF(58, 42), QPointF(74, 42), 5.5);
      Line(p, QPointF(38, 68), QPointF(62, 68), 5.5);
      for (double x : {66.0, 78.0, 90.0}) Dot(p, QPointF(x, 90), 4.5, 4.5, kGrey);
      break;
    case 20:  // 困: heavy lids and a yawn
      Head(p);
      for (double x : {34.0, 66.0}) {
        Dot(p, QPointF(x, 44), 6, 4);
        Line(p, QPointF(x - 9, 40), QPointF(x + 9, 40), 4.5);
      }
      OMouth(p, QPointF(50, 70), 8, 11);
      Drop(p, QPointF(20, 48), 5);
      break;
    case 21:  // 晕
      Head(p);
      Spiral(p, QPointF(34, 40), 11);
      Spiral(p, QPointF(66, 40), 11);
      Wavy(p, 34, 66, 70, 5, 2);
      break;
    case 22:  // 闭嘴: the mouth zipped
      Head(p);
      Eyes(p);
      Line(p, QPointF(30, 68), QPointF(70, 68), 5);
      for (double x = 35; x <= 65; x += 6) Line(p, QPointF(x, 63), QPointF(x, 73), 2.5);
      p.setPen(Stroke(kGrey, 2));
      p.setBrush(C(0xBDC3C7));
      p.drawRoundedRect(QRectF(66, 62, 10, 14), 3, 3);
      break;
    case 23:  // 得意: raised brow and a smirk
      Head(p);
      Curve(p, 25, 43, 42, 6, 5.5);
      Curve(p, 57, 75, 42, 6, 5.5);
      Line(p, QPointF(58, 26), QPointF(76, 22), 4.5);
      Line(p, QPointF(24, 30), QPointF(42, 30), 4.5);
      Curve(p, 40, 72, 64, 12, 5.5);
      break;
    case 24: {  // 嚎嚎大哭: streams of tears from shut eyes, mouth wide
      Head(p);
      Curve(p, 25, 43, 38, 8, 5.5);
      Curve(p, 57, 75, 38, 8, 5.5);
      p.setPen(Qt::NoPen);
      p.setBrush(C(kTear, 220));
      const double wave = frame * 4.0;
      for (double x : {30.0, 70.0}) {
        QPainterPath stream;
        stream.moveTo(x - 5, 44);
        stream.lineTo(x + 5, 44);
        stream.quadTo(x + 7 + (frame % 2) * 2, 70, x + 6, 96);
        stream.lineTo(x - 6, 96);
        stream.quadTo(x - 7 - (frame % 2) * 2, 70, x - 5, 44);
        p.drawPath(stream);
        p.setBrush(C(kWhite, 150));
        p.drawEllipse(QPointF(x, 56 + wave * 2), 2, 3.5);
        p.setBrush(C(kTear, 220));
      }
      OpenMouth(p, 54, 16, 30);
      break;
    }
    case 25:  // 大哭: tears falling
      Head(p);
      HappyEyes(p, 44);
      Curve(p, 34, 66, 76, -16, 5.5);
      Drop(p, QPointF(28, 48 + frame * 8.0), 7);
      Drop(p, QPointF(72, 52 + ((frame + 2) % 4) * 8.0), 7);
      break;
    case 26: {  // 惊恐: the colour drains from the brow
      Head(p);
      p.save();
      QPainterPath headPath;
      headPath.addEllipse(QPointF(50, 50), 43, 43);
      p.setClipPath(headPath);
      p.setPen(Qt::NoPen);
      p.setBrush(C(0x85C1E9, 210));
      p.drawRect(QRectF(0, 0, 100, 34));
      p.restore();
      for (double x : {34.0, 66.0}) {
        p.setPen(Stroke(kFeature, 3));
        p.setBrush(C(kWhite));
        p.drawEllipse(QPointF(x, 46), 10, 11);
        Dot(p, QPointF(x, 47), 3, 3);
      }
      OMouth(p, QPointF(50, 76), 10, 9);
      break;
    }
    case 27:  // 惊讶
      Head(p);
      Curve(p, 24, 42, 28, -6, 4.5);
      Curve(p, 58, 76, 28, -6, 4.5);
      Eyes(p, 44, 6.5, 9);
      OMouth(p, QPointF(50, 72), 9, 11);
      break;
    case 28: {  // 愤怒: red face, angry brows, teeth
      Head(p, kAngry, kAngryEdge);
      Brows(p, 40, 28, 6);
      Dot(p, QPointF(35, 46), 5.5, 6, 0x4A1010);
      Dot(p, QPointF(65, 46), 5.5, 6, 0x4A1010);
      p.setPen(Stroke(0x4A1010, 3));
      p.setBrush(C(kWhite));
      p.drawRoundedRect(QRectF(30, 62, 40, 16), 5, 5);
      Line(p, QPointF(31, 70), QPointF(69, 70), 2, 0x4A1010);
      for (double x : {40.0, 50.0, 60.0}) Line(p, QPointF(x, 63), QPointF(x, 77), 2, 0x4A1010);
      break;
    }
    case 29:  // 黄色心
      BeatingHeart(p, frame, kYellowHeart);
      break;
    case 30: {  // 魔鬼: horns and a sly grin
      p.setPen(Stroke(kDevilEdge, 3));
      p.setBrush(C(kDevilEdge));
      for (int side : {-1, 1}) {
        QPainterPath horn;
        horn.moveTo(50 + side * 20, 16);
        horn.quadTo(50 + side * 40, 10, 50 + side * 42, -2);
        horn.quadTo(50 + side * 46, 20, 50 + side * 34, 26);
        horn.closeSubpath();
        p.drawPath(horn);
      }
      p.setPen(Stroke(kDevilEdge, 4));
      p.setBrush(C(kDevil));
      p.drawEllipse(QPointF(50, 54), 42, 42);
      Brows(p, 42, 32, 5);
      Dot(p, QPointF(35, 48), 5, 6, 0x2E1038);
      Dot(p, QPointF(65, 48), 5, 6, 0x2E1038);
      Curve(p, 30, 70, 66, 16, 5.5, 0x2E1038);
      break;
    }
    case 31:  // 流鼻涕
      Head(p);
      Eyes(p, 40);
      Curve(p, 38, 62, 76, -8, 5);
      Drop(p, QPointF(56, 50), 9, 0x9ED8F5);
      break;
    case 32: {  // 外星人
      QPainterPath head;
      head.moveTo(50, 4);
      head.cubicTo(88, 4, 98, 36, 84, 62);
      head.cubicTo(74, 82, 60, 96, 50, 96);
      head.cubicTo(40, 96, 26, 82, 16, 62);
      head.cubicTo(2, 36, 12, 4, 50, 4);
      p.setPen(Stroke(kAlienEdge, 4));
      p.setBrush(C(kAlien));
      p.drawPath(head);
      p.setPen(Qt::NoPen);
      p.setBrush(C(0x1B2631));
      for (int side : {-1, 1}) {
        p.save();
        p.translate(50 + side * 19, 48);
        p.rotate(side * 30);
        p.drawEllipse(QPointF(0, 0), 15, 9);
        p.restore();
      }
      Line(p, QPointF(44, 78), QPointF(56, 78), 4, 0x1E8449);
      break;
    }
    case 33: {  // 病了: a pale face behind a mask
      Head(p, kSick, kSickEdge);
      Curve(p, 25, 43, 38, 8, 5);
      Curve(p, 57, 75, 38, 8, 5);
      p.setPen(Stroke(0xAAB7B8, 2.5));
      p.setBrush(C(kWhite));
      QPainterPath mask;
      mask.moveTo(20, 52);
      mask.quadTo(50, 46, 80, 52);
      mask.lineTo(78, 74);
      mask.quadTo(50, 86, 22, 74);
      mask.closeSubpath();
      p.drawPath(mask);
      Line(p, QPointF(20, 56), QPointF(7, 46), 2.5, 0xAAB7B8);
      Line(p, QPointF(80, 56), QPointF(93, 46), 2.5, 0xAAB7B8);
      for (double y : {60.0, 67.0}) Line(p, QPointF(32, y), QPointF(68, y), 2, 0xAED6F1);
      break;
    }
    case 34:  // 蓝色心
      BeatingHeart(p, frame, kBlue);
      break;
    case 35:  // 红色心
      BeatingHeart(p, frame, kRed);
      break;
    case 36:  // 绿色心
      BeatingHeart(p, frame, kGreen);
      break;
    case 37: {  // 一箭穿心
      Line(p, QPointF(12, 86), QPointF(50, 50), 5, kWood);
      Heart(p, QPointF(50, 54), 38, kRed);
      Line(p, QPointF(50, 50), QPointF(86, 16), 5, kWood);
      QPainterPath head;
      head.moveTo(92, 10);
      head.lineTo(76, 14);
      head.lineTo(88, 26);
      head.closeSubpath();
      p.setPen(Stroke(0x7F8C8D, 2));
      p.setBrush(C(0xBDC3C7));
      p.drawPath(head);
      p.setPen(Stroke(0xD35400, 4));
      p.drawLine(QPointF(12, 86), QPointF(4, 82));
      p.drawLine(QPointF(12, 86), QPointF(16, 94));
      p.drawLine(QPointF(18, 80), QPointF(10, 76));
      p.drawLine(QPointF(18, 80), QPointF(22, 88));
      break;
    }
    case 38: {  // 心亮了: a heart with twinkling sparks
      Heart(p, QPointF(50, 56), 36, kPink);
      const QPointF sparks[] = {{16, 18}, {86, 22}, {84, 80}, {12, 72}};
      for (int i = 0; i < 4; ++i) {
        const double r = ((i + frame) % 2 == 0) ? 11 : 6;
        Sparkle(p, sparks[i], r, kStar);
      }
      break;
    }
    case 39: {  // 心碎: two halves apart along a crack
      QPainterPath crack;
      crack.moveTo(50, 0);
      crack.lineTo(42, 30);
      crack.lineTo(56, 46);
      crack.lineTo(44, 64);
      crack.lineTo(52, 100);
      QPainterPath left = crack;
      left.lineTo(0, 100);
      left.lineTo(0, 0);
      left.closeSubpath();
      QPainterPath right = crack;
      right.lineTo(100, 100);
      right.lineTo(100, 0);
      right.closeSubpath();
      const QPainterPath heart = HeartPath(QPointF(50, 54), 40);
      p.setPen(Stroke(Darker(kRed), 3));
      p.setBrush(C(kRed));
      p.save();
      p.translate(-5, 2);
      p.rotate(-4);
      p.drawPath(heart.intersected(left));
      p.restore();
      p.save();
      p.translate(6, 3);
      p.rotate(5);
      p.drawPath(heart.intersected(right));
      p.restore();
      break;
    }
    case 40:  // 粉红心
      BeatingHeart(p, frame, kPink);
      break;
    case 41:  // 紫色心
      BeatingHeart(p, frame, kPurple);
      break;
    case 42: {  // 噗: bursting out laughing in a puff
      Head(p);
      QPainterPath l, r;
      l.moveTo(26, 32);
      l.lineTo(40, 40);
      l.lineTo(26, 48);
      r.moveTo(74, 32);
      r.lineTo(60, 40);
      r.lineTo(74, 48);
      p.setPen(Stroke(kFeature, 5));
      p.setBrush(Qt::NoBrush);
      p.drawPath(l);
      p.drawPath(r);
      p.setPen(Stroke(0x85C1E9, 2));
      p.setBrush(C(0xD6EAF8));
      for (const QPointF c : {QPointF(72, 74), QPointF(86, 66), QPointF(88, 82), QPointF(78, 88)})
        p.drawEllipse(c, 9, 9);
      OMouth(p, QPointF(56, 72), 6, 7);
      break;
    }
    case 43: {  // 叹号
      p.setPen(Qt::NoPen);
      p.setBrush(C(kRed));
      QPainterPath bar;
      bar.moveTo(38, 10);
      bar.lineTo(62, 10);
      bar.lineTo(56, 66);
      bar.lineTo(44, 66);
      bar.closeSubpath();
      p.drawPath(bar);
      p.drawEllipse(QPointF(50, 84), 10, 10);
      break;
    }
    case 44:  // 囧: the character's own face
      p.setPen(Stroke(kSkinEdge, 4));
      p.setBrush(C(kSkin));
      p.drawRoundedRect(QRectF(8, 8, 84, 84), 14, 14);
      Line(p, QPointF(36, 26), QPointF(24, 50), 5.5);
      Line(p, QPointF(64, 26), QPointF(76, 50), 5.5);
      p.setPen(Stroke(kFeature, 5.5));
      p.setBrush(Qt::NoBrush);
      p.drawRect(QRectF(36, 56, 28, 22));
      break;
    case 45: {  // 睡觉: Zs rising
      Head(p);
      RestEyes(p, 44);
      OMouth(p, QPointF(50, 70), 5, 6);
      const double rise = frame * 5.0;
      Z(p, QPointF(64, 22 - rise), 12);
      Z(p, QPointF(80, 8 - rise * 0.6), 9);
      break;
    }
    case 46: {  // 疑问
      QPainterPath q;
      q.moveTo(30, 32);
      q.cubicTo(30, 4, 72, 4, 72, 30);
      q.cubicTo(72, 46, 50, 46, 50, 64);
      p.setPen(QPen(C(kBlue), 14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.setBrush(Qt::NoBrush);
      p.drawPath(q);
      p.setPen(Qt::NoPen);
      p.setBrush(C(kBlue));
      p.drawEllipse(QPointF(50, 86), 9, 9);
      break;
    }
    case 47: {  // 星星: twinkling
      static const double outer[kAnimatedFrames] = {46, 42, 38, 42};
      p.setPen(Stroke(kStarEdge, 4));
      p.setBrush(C(kStar));
      p.drawPath(StarPath(QPointF(50, 54), outer[frame], outer[frame] * 0.45));
      break;
    }
    case 48: {  // 星空: night, a moon and stars that twinkle
      p.setPen(Qt::NoPen);
      p.setBrush(C(kNight));
      p.drawRoundedRect(QRectF(4, 4, 92, 92), 16, 16);
      QPainterPath moon;
      moon.addEllipse(QPointF(34, 38), 20, 20);
      QPainterPath bite;
      bite.addEllipse(QPointF(44, 30), 17, 17);
      p.setBrush(C(kMoon));
      p.drawPath(moon.subtracted(bite));
      const QPointF stars[] = {{70, 24}, {80, 60}, {52, 76}, {22, 78}, {62, 46}};
      for (int i = 0; i < 5; ++i) Sparkle(p, stars[i], ((i + frame) % 3 == 0) ? 9 : 5, kWhite);
      break;
    }
    case 49: {  // 赞一个: thumbs up
      p.setPen(Stroke(kSkinEdge, 3.5));
      p.setBrush(C(kSkin));
      QPainterPath hand;
      hand.moveTo(40, 44);
      hand.lineTo(48, 14);
      hand.cubicTo(50, 6, 62, 8, 60, 20);
      hand.lineTo(58, 40);
      hand.lineTo(80, 40);
      hand.cubicTo(90, 40, 90, 52, 82, 54);
      hand.cubicTo(90, 56, 88, 66, 80, 66);
      hand.cubicTo(88, 68, 86, 78, 78, 78);
      hand.cubicTo(84, 80, 82, 90, 74, 90);
      hand.lineTo(40, 90);
      hand.closeSubpath();
      p.drawPath(hand);
      for (double y : {54.0, 66.0, 78.0}) Line(p, QPointF(66, y), QPointF(80, y), 3, kSkinEdge);
      p.setPen(Stroke(0x21618C, 3));
      p.setBrush(C(kBlue));
      p.drawRoundedRect(QRectF(14, 40, 24, 54), 4, 4);
      break;
    }
    default: break;
  }
}

QImage RenderFace(int index, int frame) {
  QImage surface = NewSurface(kFaceSize, kFaceSize);
  QPainter p;
  BeginPaint(p, surface);
  p.scale(kFaceSize / kUnits, kFaceSize / kUnits);
  DrawFace(p, index, frame);
  p.end();
  return surface;
}

}  // namespace

QString FaceFileName(int index) {
  if (index < 0 || index >= kFaceCount) return {};
  return QStringLiteral("%1_%2.gif").arg(index, 2, 10, QLatin1Char('0')).arg(QString::fromUtf8(kFaceNames[index]));
}

bool WriteFaces(const QString& programFolder) {
  const QString folder = (programFolder.endsWith('/') ? programFolder : programFolder + '/') + "face/";
  int failures = 0;
  for (int i = 0; i < kFaceCount; ++i) {
    std::vector<GifFrame> frames;
    for (int f = 0; f < FrameCount(i); ++f) frames.push_back(GifFrame{RenderFace(i, f), kFrameDelayCs});
    const QString path = folder + FaceFileName(i);
    if (!WriteGif(path, frames, kWhite)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      ++failures;
    }
  }
  return failures == 0;
}

QImage FaceSheet() {
  constexpr int kColumns = 10, kCell = 36, kInset = 4;
  QImage sheet(kColumns * kCell, (kFaceCount / kColumns) * kCell, QImage::Format_ARGB32_Premultiplied);
  sheet.fill(Qt::white);
  QPainter p(&sheet);
  for (int i = 0; i < kFaceCount; ++i) {
    p.setPen(C(0xEFEFEF));
    p.drawRect((i % kColumns) * kCell, (i / kColumns) * kCell, kCell - 1, kCell - 1);
    p.drawImage(QPoint((i % kColumns) * kCell + kInset, (i / kColumns) * kCell + kInset), RenderFace(i, 0));
  }
  return sheet;
}

}  // namespace kanzo::assets
