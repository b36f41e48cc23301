#include "chat/wire_display.h"

#include "chat/markup_grammar.h"
#include "chat/markup_reader.h"
#include "platform/narrow_text.h"

namespace kanzo {
namespace {

constexpr std::string_view kParentFolder = "..";

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (true) {
    const std::size_t hit = text.find(from, pos);
    if (hit == std::string::npos) break;
    out.append(text, pos, hit - pos).append(to);
    pos = hit + from.size();
  }
  out.append(text, pos, std::string::npos);
  text = std::move(out);
}

}  // namespace

bool IsFaceFolderName(std::string_view reference) {
  if (reference.empty()) return false;  // the face folder itself
  if (IsAbsolutePictureReference(reference)) return false;
  if (reference.starts_with(kWebPicturePrefix)) return false;
  if (reference.find_first_of("/\\") != std::string_view::npos) return false;
  if (reference.find(kParentFolder) != std::string_view::npos) return false;
  // A NUL would cut the path where the file system reads it.
  return reference.find('\0') == std::string_view::npos;
}

std::string ConvertWireTextForDisplay(std::string_view wireText) {
  std::string text(wireText);
  ReplaceAll(text, kWireFaceOpen, kDisplayFaceOpen);
  ReplaceAll(text, kWireFaceClose, kDisplayFaceClose);
  return RemoveForeignPictures(text);
}

std::string RemoveForeignPictures(std::string_view markup) {
  std::string out;
  out.reserve(markup.size());
  std::size_t copied = 0;
  ForEachMarkupToken(markup, platform::NarrowIsUtf8(),
                     [&](MarkupTokenKind kind, std::string_view text, std::size_t offset) {
                       if (kind != MarkupTokenKind::Tag) return;
                       const TagInterpretation tag = InterpretTagText(text);
                       if (tag.meaning != TagMeaning::Picture || IsFaceFolderName(tag.pictureReference)) return;
                       out.append(markup.substr(copied, offset - copied));
                       copied = offset + text.size();
                     });
  out.append(markup.substr(copied));
  return out;
}

}  // namespace kanzo
