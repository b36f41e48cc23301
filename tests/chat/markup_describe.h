#pragma once
// A compact text form of a MarkupDocument for table-driven expectations:
// each text run as "(codes)text" and each picture as "(@path a|r g|s)";
// codes are the effects (B I U S !), "#RRGGBB" and "/height in twips".
// Paragraph formats as "L20 C200 ..." (alignment letter, indent).
#include <cstdio>
#include <string>

#include "chat/markup_document.h"

namespace kanzo::test {

inline std::string DescribeFormat(const CharFormat& f) {
  std::string s;
  if (f.Has(kEffectBold)) s += 'B';
  if (f.Has(kEffectItalic)) s += 'I';
  if (f.Has(kEffectUnderline)) s += 'U';
  if (f.Has(kEffectStrikeout)) s += 'S';
  if (f.Has(kEffectLink)) s += '!';
  char buf[32];
  std::snprintf(buf, sizeof(buf), "#%06X/%d", f.colour, f.heightTwips);
  return s + buf;
}

inline std::string DescribeItems(const MarkupDocument& doc) {
  std::string out;
  for (const auto& item : doc.Items()) {
    if (item.isPicture) {
      out += "(@" + item.picture.path + (item.picture.absolute ? " a" : " r") + (item.picture.animated ? "g)" : "s)");
    } else {
      out += "(" + DescribeFormat(item.format) + ")" + item.text;
    }
  }
  return out;
}

inline std::string DescribeParagraphs(const MarkupDocument& doc) {
  std::string out;
  for (const auto& p : doc.Paragraphs()) {
    if (!out.empty()) out += ' ';
    out += p.alignment == ParaAlignment::Centre ? 'C' : p.alignment == ParaAlignment::Right ? 'R' : 'L';
    out += std::to_string(p.indentTwips);
  }
  return out;
}

}  // namespace kanzo::test
