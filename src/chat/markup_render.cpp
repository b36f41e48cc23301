#include "chat/markup_render.h"

#include <string>

#include "chat/markup_grammar.h"
#include "platform/narrow_text.h"

namespace kanzo {
namespace {

void ApplyTagText(MarkupView& view, std::string_view tagText, bool afterTag, const std::string& faceFolder) {
  const TagInterpretation tag = InterpretTagText(tagText);
  switch (tag.meaning) {
    case TagMeaning::Text: {
      // The closing bracket is not shown: it ended the tag.
      std::string shown;
      shown.reserve(tagText.size() + 1);
      shown.push_back(kTagOpen);
      shown.append(tagText);
      view.InsertText(shown);
      return;
    }
    case TagMeaning::Picture: {
      PicturePlacement picture;
      if (ResolvePictureReference(tag.pictureReference, faceFolder, &picture)) view.InsertPicture(picture);
      return;
    }
    case TagMeaning::Format:
      // Only the first tag of a group decides the paragraph: "[C][#999999]"
      // stays centred.
      if (!afterTag) view.SetParagraphFormat(tag.paraFormat);
      view.SetInsertionFormat(tag.charFormat);
      return;
  }
}

}  // namespace

void InsertMarkup(MarkupView& view, std::string_view markup) {
  const std::string faceFolder = view.FaceFolder();
  bool afterTag = false;
  ForEachMarkupToken(markup, platform::NarrowIsUtf8(),
                     [&](MarkupTokenKind kind, std::string_view text, std::size_t /*offset*/) {
                       if (kind == MarkupTokenKind::Plain) {
                         view.InsertText(text);
                         afterTag = false;
                       } else {
                         ApplyTagText(view, text, afterTag, faceFolder);
                         afterTag = true;
                       }
                     });
}

void AppendMarkup(MarkupView& view, std::string_view markup) {
  view.MoveInsertionToEnd();
  InsertMarkup(view, markup);
  view.ScrollToEnd();
}

}  // namespace kanzo
