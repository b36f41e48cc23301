#include "chat/markup_grammar.h"

#include <cwchar>

#include "platform/narrow_text.h"

namespace kanzo {
namespace {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The value of exactly `digits` hex digits after `pos`; false when fewer
// characters follow or one of them is not a hex digit.
bool ReadHexArgument(std::string_view text, std::size_t pos, std::size_t digits, std::uint32_t* value) {
  if (text.size() - pos < digits) return false;
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < digits; ++i) {
    const int d = HexDigitValue(text[pos + i]);
    if (d < 0) return false;
    v = (v << 4) | static_cast<std::uint32_t>(d);
  }
  *value = v;
  return true;
}

}  // namespace

std::size_t MultibyteCharLengthAt(std::string_view text, std::size_t pos) {
  std::mbstate_t state{};
  const std::size_t n = std::mbrlen(text.data() + pos, text.size() - pos, &state);
  // Invalid or cut sequences count byte by byte so that reading always moves on.
  if (n == 0 || n == static_cast<std::size_t>(-1) || n == static_cast<std::size_t>(-2)) return 1;
  return n;
}

TagInterpretation InterpretTagText(std::string_view tagText) {
  TagInterpretation result;
  const bool closing = !tagText.empty() && tagText.front() == kClosingTagMark;
  std::size_t pos = 0;
  while (pos < tagText.size()) {
    const char c = tagText[pos];
    std::uint32_t value = 0;
    switch (c) {
      case kCodeBold: result.charFormat.effects |= kEffectBold; break;
      case kCodeItalic: result.charFormat.effects |= kEffectItalic; break;
      case kCodeUnderline: result.charFormat.effects |= kEffectUnderline; break;
      case kCodeStrikeout: result.charFormat.effects |= kEffectStrikeout; break;
      case kCodeLink:
        // The rest of the tag text is ignored.
        result.charFormat.effects |= kEffectLink;
        return result;
      case kCodeColour:
        if (ReadHexArgument(tagText, pos + 1, kColourDigits, &value)) {
          result.charFormat.colour = value;
          pos += kColourDigits;
        }
        break;
      case kCodeHeight:
        if (ReadHexArgument(tagText, pos + 1, kHeightDigits, &value)) {
          result.charFormat.heightTwips = static_cast<int>(value) * kTwipsPerPoint;
          pos += kHeightDigits;
        }
        break;
      case kCodeIndent:
        if (ReadHexArgument(tagText, pos + 1, kIndentDigits, &value)) {
          result.paraFormat.indentTwips = static_cast<int>(value);
          pos += kIndentDigits;
        }
        break;
      case kCodeCentre: result.paraFormat.alignment = ParaAlignment::Centre; break;
      case kCodeRight: result.paraFormat.alignment = ParaAlignment::Right; break;
      case kCodePicture:
        result.meaning = TagMeaning::Picture;
        result.pictureReference = tagText.substr(pos + 1);
        return result;
      default:
        if (!closing) {
          result.meaning = TagMeaning::Text;
          return result;
        }
        result.charFormat = kMarkupDefaultFormat;
        break;
    }
    ++pos;
  }
  return result;
}

bool IsAbsolutePictureReference(std::string_view reference) {
  constexpr std::size_t kDriveReferenceMinLength = 4;
  constexpr std::size_t kDriveColonIndex = 1;
  if (!reference.empty() && reference.front() == '/') return true;
  return reference.size() >= kDriveReferenceMinLength && reference[kDriveColonIndex] == ':';
}

bool ResolvePictureReference(std::string_view reference, std::string_view faceFolder, PicturePlacement* out) {
  PicturePlacement placement;
  if (IsAbsolutePictureReference(reference)) {
    placement.path = std::string(reference);
    placement.absolute = true;
  } else if (reference.starts_with(kWebPicturePrefix)) {
    return false;
  } else {
    placement.path.reserve(faceFolder.size() + reference.size());
    placement.path.append(faceFolder).append(reference);
  }
  placement.animated = placement.path.find(kAnimatedPictureMark) != std::string::npos;
  *out = std::move(placement);
  return true;
}

std::string_view PictureReadBackName(std::string_view path, bool absolute) {
  if (absolute) return path;
  const std::size_t cut = path.find_last_of("/\\");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

std::string_view NarrowPrefixWithin(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  const bool utf8 = platform::NarrowIsUtf8();
  if (utf8) return platform::Utf8PrefixWithin(text, maxBytes);
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t next = end + NarrowCharLengthAt(text, end, false);
    if (next > maxBytes) break;
    end = next;
  }
  return text.substr(0, end);
}

}  // namespace kanzo
