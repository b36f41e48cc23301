#pragma once
// The grammar of display markup, without any view: how a markup text splits
// into plain runs and tag texts, what one tag text means, and where a picture
// reference points.
#include <cstddef>
#include <string>
#include <string_view>

#include "chat/markup_format.h"

namespace kanzo {

inline constexpr char kTagOpen = '[';
inline constexpr char kTagClose = ']';
inline constexpr char kClosingTagMark = '/';

// Codes of a tag text.
inline constexpr char kCodeBold = 'B';
inline constexpr char kCodeItalic = 'I';
inline constexpr char kCodeUnderline = 'U';
inline constexpr char kCodeStrikeout = 'S';
inline constexpr char kCodeLink = '!';
inline constexpr char kCodeColour = '#';
inline constexpr char kCodeHeight = '$';
inline constexpr char kCodeIndent = '>';
inline constexpr char kCodeCentre = 'C';
inline constexpr char kCodeRight = 'R';
inline constexpr char kCodePicture = '@';

// Hex digits each code's argument takes.
inline constexpr std::size_t kColourDigits = 6;
inline constexpr std::size_t kHeightDigits = 2;
inline constexpr std::size_t kIndentDigits = 4;

inline constexpr std::string_view kWebPicturePrefix = "http://";
inline constexpr std::string_view kAnimatedPictureMark = ".gif";

enum class MarkupTokenKind {
  Plain,  // a run of text, ended by "[" or by the end
  Tag,    // a tag text, ended by "]"
};

// Length in bytes of the narrow character that starts at `pos` (at least 1).
// `narrowIsUtf8` comes from platform::NarrowIsUtf8(), asked once per text.
std::size_t MultibyteCharLengthAt(std::string_view text, std::size_t pos);
inline std::size_t NarrowCharLengthAt(std::string_view text, std::size_t pos, bool narrowIsUtf8) {
  // In UTF-8 no byte of a multibyte character is ASCII, so bytes will do.
  if (narrowIsUtf8 || static_cast<unsigned char>(text[pos]) < 0x80) return 1;
  return MultibyteCharLengthAt(text, pos);
}

// Splits markup as the view reads it: "[" (or the end) ends a plain run, "]"
// ends a tag text, whatever came before; empty runs and tags are not
// reported. Multibyte characters of the narrow encoding are never split, so
// a trail byte that happens to equal a bracket stays part of its character.
// `onToken(MarkupTokenKind, std::string_view text, std::size_t offset)`.
template <typename OnToken>
void ForEachMarkupToken(std::string_view markup, bool narrowIsUtf8, OnToken&& onToken) {
  std::size_t start = 0;
  std::size_t pos = 0;
  while (pos < markup.size()) {
    const char c = markup[pos];
    if (c == kTagOpen || c == kTagClose) {
      if (pos > start) {
        onToken(c == kTagOpen ? MarkupTokenKind::Plain : MarkupTokenKind::Tag, markup.substr(start, pos - start),
                start);
      }
      ++pos;
      start = pos;
      continue;
    }
    pos += NarrowCharLengthAt(markup, pos, narrowIsUtf8);
  }
  if (markup.size() > start) onToken(MarkupTokenKind::Plain, markup.substr(start), start);
}

enum class TagMeaning {
  Format,   // applies `charFormat` (and `paraFormat` where the position allows)
  Picture,  // places the picture named by `pictureReference`; no format applies
  Text,     // not a tag: shown as "[" and the tag text
};

struct TagInterpretation {
  TagMeaning meaning = TagMeaning::Format;
  CharFormat charFormat;
  ParaFormat paraFormat;
  std::string_view pictureReference;  // points into the tag text
};

// What a (non-empty) tag text means. An argument of "#", "$" or ">" that is
// too short or holds a character other than a hex digit does not make a
// code: the code character alone is skipped and reading goes on after it.
TagInterpretation InterpretTagText(std::string_view tagText);

// An absolute picture path: one that starts with "/", or one longer than 3
// characters whose second character is ":".
bool IsAbsolutePictureReference(std::string_view reference);

// Where the picture of an "@" reference comes from; false when it loads no
// local file (a web reference).
bool ResolvePictureReference(std::string_view reference, std::string_view faceFolder, PicturePlacement* out);

// The name a picture reads back as: the path when `absolute`, otherwise the
// part after the last "/" or "\".
std::string_view PictureReadBackName(std::string_view path, bool absolute);

// The longest prefix of narrow text that fits `maxBytes` without splitting
// a character.
std::string_view NarrowPrefixWithin(std::string_view text, std::size_t maxBytes);

}  // namespace kanzo
