#include "chat/qt_markup_format.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <algorithm>
#include <cmath>

namespace kanzo {
namespace {

constexpr int kRgbRedShift = 16;
constexpr int kRgbGreenShift = 8;
constexpr Rgb kRgbChannel = 0xFF;

QColor ToQColor(Rgb rgb) {
  return QColor(static_cast<int>((rgb >> kRgbRedShift) & kRgbChannel),
                static_cast<int>((rgb >> kRgbGreenShift) & kRgbChannel), static_cast<int>(rgb & kRgbChannel));
}

Rgb FromQColor(const QColor& colour) {
  return (static_cast<Rgb>(colour.red()) << kRgbRedShift) | (static_cast<Rgb>(colour.green()) << kRgbGreenShift) |
         static_cast<Rgb>(colour.blue());
}

}  // namespace

QTextCharFormat ToQtCharFormat(const CharFormat& format) {
  QTextCharFormat qt;
  qt.setFontWeight(format.Has(kEffectBold) ? kFontWeightBold : kFontWeightNormal);
  qt.setFontItalic(format.Has(kEffectItalic));
  qt.setFontUnderline(format.Has(kEffectUnderline));
  qt.setFontStrikeOut(format.Has(kEffectStrikeout));
  qt.setForeground(QBrush(ToQColor(format.colour)));
  qt.setFontPointSize(std::max(kMinimumPointSize, static_cast<double>(format.heightTwips) / kTwipsPerPoint));
  if (format.Has(kEffectLink)) {
    qt.setAnchor(true);
    qt.setAnchorHref(QString::fromLatin1(kLinkAnchorHref));
    qt.setProperty(kLinkProperty, true);
    // Looks like something to click, as links do everywhere else.
    qt.setProperty(kLinkMarkupColourProperty, static_cast<qulonglong>(format.colour));
    qt.setProperty(kLinkMarkupUnderlineProperty, format.Has(kEffectUnderline));
    qt.setForeground(QBrush(ToQColor(kLinkShownColour)));
    qt.setFontUnderline(true);
  }
  return qt;
}

CharFormat FromQtCharFormat(const QTextCharFormat& qt) {
  CharFormat format;
  format.effects = kEffectNone;
  if (qt.fontWeight() >= (kFontWeightBold + kFontWeightNormal) / 2) format.effects |= kEffectBold;
  if (qt.fontItalic()) format.effects |= kEffectItalic;
  if (qt.fontUnderline()) format.effects |= kEffectUnderline;
  if (qt.fontStrikeOut()) format.effects |= kEffectStrikeout;
  if (qt.boolProperty(kLinkProperty)) format.effects |= kEffectLink;
  if (qt.hasProperty(QTextFormat::ForegroundBrush)) format.colour = FromQColor(qt.foreground().color());
  if (qt.hasProperty(QTextFormat::FontPointSize)) {
    format.heightTwips = static_cast<int>(std::lround(qt.fontPointSize() * kTwipsPerPoint));
  }
  if (format.Has(kEffectLink) && qt.hasProperty(kLinkMarkupColourProperty)) {
    // The link's own look is not part of the markup.
    format.colour = static_cast<Rgb>(qt.property(kLinkMarkupColourProperty).toULongLong());
    format.effects &= ~static_cast<std::uint32_t>(kEffectUnderline);
    if (qt.boolProperty(kLinkMarkupUnderlineProperty)) format.effects |= kEffectUnderline;
  }
  return format;
}

int TwipsToPixels(int twips, int dpi) {
  return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / kTwipsPerInch));
}

void ApplyParaFormat(const ParaFormat& format, int dpiX, QTextBlockFormat* block) {
  switch (format.alignment) {
    case ParaAlignment::Left: block->setAlignment(Qt::AlignLeft | Qt::AlignAbsolute); break;
    case ParaAlignment::Centre: block->setAlignment(Qt::AlignHCenter); break;
    case ParaAlignment::Right: block->setAlignment(Qt::AlignRight | Qt::AlignAbsolute); break;
  }
  block->setLeftMargin(TwipsToPixels(format.indentTwips, dpiX));
  block->setProperty(kIndentTwipsProperty, format.indentTwips);
}

}  // namespace kanzo
