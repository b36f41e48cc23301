#pragma once
// The markup's formats on QTextDocument: character formats, paragraph
// formats and the properties the rich view keeps with pictures and links.
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextFormat>

#include "chat/markup_format.h"

namespace kanzo {

// Kept with each inline picture: the narrow path (QByteArray) and whether
// the markup named it by absolute path.
inline constexpr int kPicturePathProperty = QTextFormat::UserProperty + 1;
inline constexpr int kPictureAbsoluteProperty = QTextFormat::UserProperty + 2;
// A paragraph's start indent in twips, as the markup gave it.
inline constexpr int kIndentTwipsProperty = QTextFormat::UserProperty + 3;
// Text of a link run.
inline constexpr int kLinkProperty = QTextFormat::UserProperty + 4;
// A link run is shown blue and underlined; these keep the colour (Rgb) and
// underline its markup gave it, which is what reading back returns.
inline constexpr int kLinkMarkupColourProperty = QTextFormat::UserProperty + 5;
inline constexpr int kLinkMarkupUnderlineProperty = QTextFormat::UserProperty + 6;
inline constexpr Rgb kLinkShownColour = 0x0066CC;

// What a link run's anchor points at; the view reports the text, not this.
inline constexpr const char* kLinkAnchorHref = "kanzo-link:";

// The smallest point size the screen can show; "$00" asks for 0 points.
inline constexpr double kMinimumPointSize = 1.0;

inline constexpr int kFontWeightBold = 700;
inline constexpr int kFontWeightNormal = 400;

QTextCharFormat ToQtCharFormat(const CharFormat& format);
// The markup's view of a Qt format (the face of the font is not part of it).
CharFormat FromQtCharFormat(const QTextCharFormat& format);

// Merges the markup's paragraph format into `block`; `dpiX` converts twips.
void ApplyParaFormat(const ParaFormat& format, int dpiX, QTextBlockFormat* block);
int TwipsToPixels(int twips, int dpi);

}  // namespace kanzo
