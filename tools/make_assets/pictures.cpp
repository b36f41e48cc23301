// The pictures and textures of the "Images" and "Segment" folders and the
// program's icons.
#include <QDir>
#include <QPainterPath>
#include <QtMath>
#include <cstdio>

#include "assets.h"
#include "paint_kit.h"

namespace kanzo::assets {
namespace {

using namespace colour;

// ---- shared shapes ----------------------------------------------------------

// A person: a round head over rounded shoulders, parted by a thin gap of the
// ground colour.
void Person(QPainter& p, const QRectF& box, QColor figure, QColor ground) {
  const double w = box.width(), h = box.height();
  p.save();
  p.setClipRect(box);
  p.setPen(Qt::NoPen);
  p.setBrush(figure);
  p.drawEllipse(QPointF(box.left() + 0.5 * w, box.top() + 1.02 * h), 0.38 * w, 0.36 * h);
  const QPointF head(box.left() + 0.5 * w, box.top() + 0.40 * h);
  p.setBrush(ground);
  p.drawEllipse(head, 0.235 * w, 0.235 * w);
  p.setBrush(figure);
  p.drawEllipse(head, 0.19 * w, 0.19 * w);
  p.restore();
}

// A round badge with a white ring, for the corner of avatars and icons.
void Badge(QPainter& p, QPointF centre, double radius, QColor fill) {
  p.setPen(Qt::NoPen);
  p.setBrush(C(kWhite));
  p.drawEllipse(centre, radius, radius);
  p.setBrush(fill);
  p.drawEllipse(centre, radius * 0.78, radius * 0.78);
}

// Clock hands in white inside a badge.
void ClockHands(QPainter& p, QPointF centre, double radius, double width) {
  p.setPen(QPen(C(kWhite), width, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(centre, centre + QPointF(0, -radius * 0.5));
  p.drawLine(centre, centre + QPointF(radius * 0.38, radius * 0.12));
}

// A speech bubble: rounded body with a tail at the lower left.
QPainterPath Bubble(const QRectF& body, double radius, double tail) {
  QPainterPath path;
  path.addRoundedRect(body, radius, radius);
  QPainterPath t;
  const double x = body.left() + body.width() * 0.22;
  t.moveTo(x, body.bottom() - 1);
  t.lineTo(x - tail * 0.35, body.bottom() + tail);
  t.lineTo(x + tail * 0.9, body.bottom() - 1);
  t.closeSubpath();
  return path.united(t);
}

// ---- avatars ----------------------------------------------------------------

enum class Mark { None, Away, Ended };

QImage Avatar(int size, QRgb ground, QRgb figure, Mark mark) {
  QImage s = NewSurface(size, size);
  QPainter p;
  BeginPaint(p, s);
  p.fillRect(QRectF(0, 0, size, size), C(ground));
  Person(p, QRectF(0, size * 0.06, size, size * 0.94), C(figure), C(ground));
  const double r = size * 0.2;
  const QPointF corner(size - r - size * 0.02, size - r - size * 0.02);
  if (mark == Mark::Away) {
    Badge(p, corner, r, C(kAmber));
    ClockHands(p, corner, r * 0.78, std::max(1.2, size / 28.0));
  } else if (mark == Mark::Ended) {
    Badge(p, corner, r, C(kSlate));
    p.setPen(QPen(C(kWhite), std::max(1.4, size / 24.0), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(corner + QPointF(-r * 0.38, 0), corner + QPointF(r * 0.38, 0));
  }
  p.end();
  return s;
}

// ---- frames of buttons, panels and tabs -------------------------------------

void RoundedFrame(QPainter& p, QRectF r, double radius, QRgb fill, QRgb edge) {
  p.setPen(QPen(C(edge), 1));
  p.setBrush(C(fill));
  p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

// One tab: `position` 0 first, 1 middle, 2 last; `selected` white with a
// blue line on top, else the list ground. Neighbours share one line: every
// tab draws its left edge, the last one its right edge too.
void Tab(QPainter& p, int w, int h, int position, bool selected) {
  const double radius = 3;
  QPainterPath body;
  const QRectF r(0, 0, w, h + radius);  // open at the bottom
  const bool roundLeft = position == 0, roundRight = position == 2;
  body.moveTo(0, h);
  body.lineTo(0, roundLeft ? radius : 0);
  if (roundLeft) body.quadTo(0, 0, radius, 0);
  body.lineTo(roundRight ? w - radius : w, 0);
  if (roundRight) body.quadTo(w, 0, w, radius);
  body.lineTo(w, h);
  body.closeSubpath();
  (void)r;
  p.setPen(Qt::NoPen);
  p.setBrush(C(selected ? kWhite : kListBack));
  p.drawPath(body);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(C(kBorder));
  p.drawLine(QPointF(0, roundLeft ? radius : 0), QPointF(0, h - 1));
  if (position == 2) p.drawLine(QPointF(w - 1, roundRight ? radius : 0), QPointF(w - 1, h - 1));
  p.drawLine(QPointF(roundLeft ? radius : 0, 0), QPointF(roundRight ? w - 1 - radius : w - 1, 0));
  if (!selected) p.drawLine(QPointF(0, h - 1), QPointF(w - 1, h - 1));
  p.setRenderHint(QPainter::Antialiasing, true);
  if (roundLeft) {
    p.setPen(QPen(C(kBorder), 1));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(0.5, 0.5, 2 * radius, 2 * radius), 90 * 16, 90 * 16);
  }
  if (roundRight) {
    p.setPen(QPen(C(kBorder), 1));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(w - 0.5 - 2 * radius, 0.5, 2 * radius, 2 * radius), 0, 90 * 16);
  }
  if (selected) {
    p.setPen(Qt::NoPen);
    p.setBrush(C(kBlue));
    QPainterPath accent;
    accent.addRect(QRectF(position == 0 ? 0 : 1, 0, w - (position == 0 ? 0 : 1) - (position == 2 ? 1 : 0), 2));
    p.setClipPath(body, Qt::IntersectClip);
    p.drawPath(accent);
  }
}

// ---- icons of the image buttons (frame 0 grey, 1 blue) ----------------------

QRgb IconColour(int frame) { return frame == 0 ? kGrey : kBlue; }

void Gear(QPainter& p, int frame) {
  const QPointF c(10, 10);
  p.setPen(Qt::NoPen);
  p.setBrush(C(IconColour(frame)));
  QPainterPath gear;
  gear.addEllipse(c, 6.2, 6.2);
  for (int i = 0; i < 8; ++i) {
    QTransform t;
    t.translate(c.x(), c.y());
    t.rotate(i * 45.0);
    QPainterPath tooth;
    tooth.addRoundedRect(QRectF(-1.7, -8.6, 3.4, 4.2), 0.8, 0.8);
    gear = gear.united(t.map(tooth));
  }
  QPainterPath hole;
  hole.addEllipse(c, 2.6, 2.6);
  p.drawPath(gear.subtracted(hole));
}

void Monitor(QPainter& p, int frame) {
  const QColor ink = C(IconColour(frame));
  p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(2.3, 3.3, 15.4, 10.4), 1.5, 1.5);
  p.drawLine(QPointF(10, 13.8), QPointF(10, 16.6));
  p.drawLine(QPointF(6.2, 17.2), QPointF(13.8, 17.2));
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  p.drawRect(QRectF(5.6, 9.2, 2, 2.8));
  p.drawRect(QRectF(9.0, 7.0, 2, 5.0));
  p.drawRect(QRectF(12.4, 5.4, 2, 6.6));
}

void PlusBadge(QPainter& p, QPointF c, QColor ink) {
  p.setPen(Qt::NoPen);
  p.setBrush(C(kWhite));
  p.drawEllipse(c, 5.2, 5.2);
  p.setBrush(ink);
  p.drawEllipse(c, 4.3, 4.3);
  p.setPen(QPen(C(kWhite), 1.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(c + QPointF(-2.2, 0), c + QPointF(2.2, 0));
  p.drawLine(c + QPointF(0, -2.2), c + QPointF(0, 2.2));
}

void AddMessage(QPainter& p, int frame) {
  const QColor ink = C(IconColour(frame));
  p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(Bubble(QRectF(1.8, 2.8, 13.2, 9.6), 2.5, 3.2));
  p.drawLine(QPointF(5, 6.4), QPointF(11.6, 6.4));
  p.drawLine(QPointF(5, 9.2), QPointF(9.4, 9.2));
  PlusBadge(p, QPointF(14.6, 14.6), ink);
}

void AddPerson(QPainter& p, int frame) {
  const QColor ink = C(IconColour(frame));
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  p.drawEllipse(QPointF(8, 6.6), 3.4, 3.4);
  QPainterPath body;
  body.moveTo(1.6, 18);
  body.cubicTo(1.6, 12.4, 4.2, 11.2, 8, 11.2);
  body.cubicTo(11.8, 11.2, 14.4, 12.4, 14.4, 18);
  body.closeSubpath();
  p.drawPath(body);
  PlusBadge(p, QPointF(15, 6.6), ink);
}

void Smiley(QPainter& p, int frame) {
  const QColor ink = C(IconColour(frame));
  p.setPen(QPen(ink, 1.6));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(10, 10), 7.6, 7.6);
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  p.drawEllipse(QPointF(7.3, 8.2), 1.3, 1.5);
  p.drawEllipse(QPointF(12.7, 8.2), 1.3, 1.5);
  p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  QPainterPath mouth;
  mouth.moveTo(6.4, 11.6);
  mouth.quadTo(10, 15.6, 13.6, 11.6);
  p.drawPath(mouth);
}

void LetterA(QPainter& p, int frame) {
  const QColor ink = C(IconColour(frame));
  p.setPen(QPen(ink, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  QPainterPath a;
  a.moveTo(4.4, 15);
  a.lineTo(10, 2.8);
  a.lineTo(15.6, 15);
  p.drawPath(a);
  p.drawLine(QPointF(6.6, 10.6), QPointF(13.4, 10.6));
  p.setPen(QPen(C(kBlue), 1.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(3, 18), QPointF(17, 18));
}

void Circular(QPainter& p, int frame) {
  const QColor ink = C(IconColour(frame));
  const QPointF c(10, 10.4);
  const double r = 6.4;
  p.setPen(QPen(ink, 1.9, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 60 * 16, 285 * 16);
  // The arrow head at the arc's open end, pointing along the turn.
  const double a = qDegreesToRadians(60.0);
  const QPointF tip(c.x() + r * std::cos(a), c.y() - r * std::sin(a));
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  QPainterPath head;
  head.moveTo(tip + QPointF(3.8, -1.4));
  head.lineTo(tip + QPointF(-2.0, -3.4));
  head.lineTo(tip + QPointF(0.4, 2.6));
  head.closeSubpath();
  p.drawPath(head);
}

void MessageGlyph(QPainter& p, int frame) {
  const QColor ink = C(IconColour(frame));
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  p.drawPath(Bubble(QRectF(1, 1.6, 14, 10), 2.6, 3.0));
  p.setPen(QPen(C(kWhite), 1.3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(4.2, 5.2), QPointF(11.8, 5.2));
  p.drawLine(QPointF(4.2, 8.2), QPointF(9.2, 8.2));
}

// ---- the program's icons -----------------------------------------------------

QImage ProgramIcon(int size, bool away) {
  QImage s = NewSurface(size, size);
  QPainter p;
  BeginPaint(p, s);
  p.scale(size / 64.0, size / 64.0);
  p.setBrush(C(away ? kSlate : kBlue));
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 14, 14);
  p.setBrush(C(kWhite));
  p.drawPath(Bubble(QRectF(11, 13, 42, 29), 10, 9));
  p.setBrush(C(away ? kSlate : kBlue));
  for (double x : {22.0, 32.0, 42.0}) p.drawEllipse(QPointF(x, 27.5), 3.6, 3.6);
  if (away) {
    Badge(p, QPointF(47, 47), 15, C(kAmber));
    ClockHands(p, QPointF(47, 47), 11.5, 3.0);
  }
  p.end();
  return s;
}

// ---- everything together -----------------------------------------------------

struct Writer {
  QString root;
  int failures = 0;
  void Picture(const QString& name, const QImage& image) {
    if (!SavePicture(image, root + name)) Fail(name);
  }
  void Texture(const QString& name, const QImage& strip, int frames, int l, int t, int r, int b) {
    if (!SaveTexture(strip, frames, l, t, r, b, root + name)) Fail(name);
  }
  void Fail(const QString& name) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(root + name));
    ++failures;
  }
};

}  // namespace

bool WritePictures(const QString& programFolder) {
  Writer w{programFolder.endsWith('/') ? programFolder : programFolder + '/'};

  // Avatars: 40 pixels for the lists, 80 for the agent's own picture.
  constexpr int kSmall = 40, kBig = 80;
  w.Picture("Images/def_logo.png", Avatar(kSmall, kBluePale, kBlue, Mark::None));
  w.Picture("Images/big_def_logo.png", Avatar(kBig, kBluePale, kBlue, Mark::None));
  w.Picture("Images/offline_logo.png", Avatar(kSmall, kGreyPale, kGreyLight, Mark::None));
  w.Picture("Images/big_offline_logo.png", Avatar(kBig, kGreyPale, kGreyLight, Mark::None));
  w.Picture("Images/outline_logo.png", Avatar(kSmall, kAmberPale, kAmber, Mark::Away));
  w.Picture("Images/big_outline_logo.png", Avatar(kBig, kAmberPale, kAmber, Mark::Away));
  w.Picture("Images/endtalk_logo.png", Avatar(kSmall, kSlatePale, kSlate, Mark::Ended));
  w.Picture("Images/big_endtalk_logo.png", Avatar(kBig, kSlatePale, kSlate, Mark::Ended));

  // Program icons: the chat bubble; away adds a clock.
  w.Picture("Images/kanzo.png", ProgramIcon(64, false));
  w.Picture("Images/kanzo_away.png", ProgramIcon(64, true));

  // Small pictures of the lists and the visitor card.
  {
    QImage s = NewSurface(14, 14);
    QPainter p;
    BeginPaint(p, s);
    p.setPen(QPen(C(kBlue), 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(C(kWhite));
    p.drawRoundedRect(QRectF(1.2, 1.2, 8, 9), 1.5, 1.5);
    p.drawRoundedRect(QRectF(4.8, 3.8, 8, 9), 1.5, 1.5);
    p.end();
    w.Picture("Images/copy.png", s);
  }
  {
    QImage s = NewSurface(240, 26);
    QPainter p;
    BeginPaint(p, s);
    p.fillRect(QRect(0, 0, 240, 26), C(0xF3F6F9));
    p.fillRect(QRect(0, 25, 240, 1), C(kSeparator));
    p.end();
    w.Picture("Images/ItemBg.png", s);
  }
  for (const bool expanded : {false, true}) {
    QImage s = NewSurface(11, 11);
    QPainter p;
    p.begin(&s);
    p.setPen(C(0x9AA5AE));
    p.setBrush(C(kWhite));
    p.drawRect(0, 0, 10, 10);
    p.setPen(C(kGrey));
    p.drawLine(3, 5, 7, 5);
    if (!expanded) p.drawLine(5, 3, 5, 7);
    p.end();
    w.Picture(expanded ? "Images/tree_sub.png" : "Images/tree_add.png", s);
  }
  {
    QImage s = NewSurface(12, 12);
    QPainter p;
    BeginPaint(p, s);
    p.setBrush(C(kBlueLight, 90));
    p.drawEllipse(QPointF(6, 6), 4.6, 4.6);
    p.setBrush(C(kBlue));
    p.drawEllipse(QPointF(6, 6), 2.6, 2.6);
    p.end();
    w.Picture("Images/mark.png", s);
  }

  // Hover and pressed frames of the buttons.
  w.Texture("Images/Border.png",
            Strip(24, 24, 2,
                  [](QPainter& p, int f) {
                    RoundedFrame(p, QRectF(0, 0, 24, 24), 3, f == 0 ? kHoverFill : kSelected,
                                 f == 0 ? kBorder : 0xAFC2D2);
                  }),
            2, 4, 4, 4, 4);
  w.Texture("Images/InfoBorder.png",
            Strip(24, 24, 1, [](QPainter& p, int) { RoundedFrame(p, QRectF(0, 0, 24, 24), 3, kListBack, kBorder); }), 1,
            4, 4, 4, 4);
  w.Texture("Images/InfoBg.png",
            Strip(24, 24, 1,
                  [](QPainter& p, int) {
                    p.fillRect(QRect(0, 0, 24, 24), C(kBorder));
                    p.fillRect(QRect(1, 1, 22, 22), C(kWindow));
                  }),
            1, 2, 2, 2, 2);
  w.Texture("Images/DropArrow.png",
            Strip(9, 9, 2,
                  [](QPainter& p, int f) {
                    QPainterPath arrow;
                    arrow.moveTo(1, 3);
                    arrow.lineTo(8, 3);
                    arrow.lineTo(4.5, 7);
                    arrow.closeSubpath();
                    p.setBrush(C(f == 0 ? kGrey : kBlue));
                    p.drawPath(arrow);
                  }),
            2, 0, 0, 0, 0);

  // Login states: 0 online, 1 busy, 2 offline, 3 invisible, 4 away.
  w.Texture("Images/LoginState.png",
            Strip(16, 16, 5,
                  [](QPainter& p, int f) {
                    const QPointF c(8, 8);
                    const double r = 6.6;
                    const QPen mark(C(kWhite), 1.7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
                    switch (f) {
                      case 0: {
                        p.setBrush(C(kGreen));
                        p.drawEllipse(c, r, r);
                        p.setPen(mark);
                        QPainterPath tick;
                        tick.moveTo(5, 8.2);
                        tick.lineTo(7.2, 10.4);
                        tick.lineTo(11, 6);
                        p.setBrush(Qt::NoBrush);
                        p.drawPath(tick);
                        break;
                      }
                      case 1:
                        p.setBrush(C(kRed));
                        p.drawEllipse(c, r, r);
                        p.setPen(mark);
                        p.drawLine(QPointF(5, 8), QPointF(11, 8));
                        break;
                      case 2:
                        p.setBrush(C(kGreyLight));
                        p.drawEllipse(c, r, r);
                        p.setPen(mark);
                        p.drawLine(QPointF(5.8, 5.8), QPointF(10.2, 10.2));
                        p.drawLine(QPointF(10.2, 5.8), QPointF(5.8, 10.2));
                        break;
                      case 3:
                        p.setPen(QPen(C(kGreyLight), 2.0));
                        p.setBrush(C(kWhite));
                        p.drawEllipse(c, r - 0.6, r - 0.6);
                        break;
                      default:
                        p.setBrush(C(kAmber));
                        p.drawEllipse(c, r, r);
                        ClockHands(p, c, 6.6, 1.6);
                        break;
                    }
                  }),
            5, 0, 0, 0, 0);

  // Avatar frame: a quiet grey rim, or a blue glow while hot. The middle is
  // left open for the picture.
  w.Texture("Images/Shadow.png",
            Strip(44, 44, 2,
                  [](QPainter& p, int f) {
                    p.setRenderHint(QPainter::Antialiasing, false);
                    if (f == 0) {
                      p.setPen(C(0x000000, 18));
                      p.drawRect(0, 0, 43, 43);
                      p.setPen(C(kBorder));
                      p.drawRect(1, 1, 41, 41);
                    } else {
                      p.setPen(C(kBlueLight, 110));
                      p.drawRect(0, 0, 43, 43);
                      p.setPen(C(kBlueLight));
                      p.drawRect(1, 1, 41, 41);
                    }
                  }),
            2, 3, 3, 3, 3);

  // Unread badge: a red disc with a white rim; it stretches into a pill.
  w.Texture("Images/RedCircle.png",
            Strip(21, 21, 1, [](QPainter& p, int) { Badge(p, QPointF(10.5, 10.5), 10.5, C(kRed)); }), 1, 10, 10, 10,
            10);

  // Delete or close: a grey disc with a cross, red while hot.
  w.Texture("Images/Delete.png",
            Strip(15, 15, 2,
                  [](QPainter& p, int f) {
                    p.setBrush(C(f == 0 ? 0xC4C9CC : kRed));
                    p.drawEllipse(QPointF(7.5, 7.5), 7, 7);
                    p.setPen(QPen(C(kWhite), 1.6, Qt::SolidLine, Qt::RoundCap));
                    p.drawLine(QPointF(5, 5), QPointF(10, 10));
                    p.drawLine(QPointF(10, 5), QPointF(5, 10));
                  }),
            2, 0, 0, 0, 0);

  // Signal: four bars, as many lit as the level; level 0 adds a red cross.
  w.Texture("Images/Signal.png",
            Strip(20, 16, 5,
                  [](QPainter& p, int level) {
                    static const QRgb lit[] = {kUnlit, kRed, kAmber, kGreen, kGreen};
                    p.setRenderHint(QPainter::Antialiasing, false);
                    for (int bar = 0; bar < 4; ++bar) {
                      const int height = 4 + 3 * bar;
                      p.fillRect(QRect(2 + 4 * bar + bar, 15 - height, 3, height),
                                 C(bar < level ? lit[level] : kUnlit));
                    }
                    if (level == 0) {
                      p.setRenderHint(QPainter::Antialiasing, true);
                      p.setPen(QPen(C(kRed), 1.6, Qt::SolidLine, Qt::RoundCap));
                      p.drawLine(QPointF(2, 2), QPointF(7, 7));
                      p.drawLine(QPointF(7, 2), QPointF(2, 7));
                    }
                  }),
            5, 0, 0, 0, 0);

  // Image-button icons: frame 0 grey, 1 blue while hovered.
  w.Texture("Images/Setting.png", Strip(20, 20, 2, Gear), 2, 0, 0, 0, 0);
  w.Texture("Images/BackgroundManage.png", Strip(20, 20, 2, Monitor), 2, 0, 0, 0, 0);
  w.Texture("Images/AddQuickMessage.png", Strip(20, 20, 2, AddMessage), 2, 0, 0, 0, 0);
  w.Texture("Images/AddEmployee.png", Strip(20, 20, 2, AddPerson), 2, 0, 0, 0, 0);
  w.Texture("Images/Face.png", Strip(20, 20, 2, Smiley), 2, 0, 0, 0, 0);
  w.Texture("Images/Font.png", Strip(20, 20, 2, LetterA), 2, 0, 0, 0, 0);
  w.Texture("Images/Refresh.png", Strip(20, 20, 2, Circular), 2, 0, 0, 0, 0);
  w.Texture("Images/MessageIcon.png", Strip(16, 16, 2, MessageGlyph), 2, 0, 0, 0, 0);

  // Tabs: 21 pixels high, frame 0 normal, 1 selected.
  constexpr int kTabWidth = 40, kTabHeight = 21;
  const char* tabs[] = {"Segment/first.png", "Segment/button.png", "Segment/last.png"};
  const int positions[] = {0, 1, 2};
  for (int i = 0; i < 3; ++i) {
    const int position = positions[i];
    w.Texture(tabs[i],
              Strip(kTabWidth, kTabHeight, 2,
                    [position](QPainter& p, int f) { Tab(p, kTabWidth, kTabHeight, position, f == 1); }),
              2, 4, 3, 4, 2);
  }
  return w.failures == 0;
}

bool WriteDesktopIcons(const QString& iconFolder) {
  // The desktop's icon theme: the program icon at the sizes menus, task bars
  // and launchers ask for, drawn at each size rather than scaled from one.
  constexpr int kThemeSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
  const QString root = iconFolder.endsWith('/') ? iconFolder : iconFolder + '/';
  Writer w{root};
  for (int size : kThemeSizes) {
    const QString folder = QString("hicolor/%1x%1/apps/").arg(size);
    if (!QDir().mkpath(root + folder)) {
      w.Fail(folder);
      continue;
    }
    w.Picture(folder + "kanzo.png", ProgramIcon(size, false));
  }
  return w.failures == 0;
}

}  // namespace kanzo::assets
