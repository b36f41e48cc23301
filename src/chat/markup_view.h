#pragma once
// What the markup needs of a view: append text with a character and
// paragraph format, insert an inline picture, and walk the content. The rich
// view on screen and the in-memory MarkupDocument both implement it, so the
// grammar and the reading back are the same code for both.
#include <string>
#include <string_view>

#include "chat/markup_format.h"

namespace kanzo {

// Receives the content of a view in order. Text comes in runs of one format;
// a line break is "\n" in the run that holds it.
class MarkupContentSink {
 public:
  virtual ~MarkupContentSink() = default;
  virtual void OnText(std::string_view narrow, const CharFormat& format) = 0;
  // A picture with the path and absolute flag kept with it.
  virtual void OnPicture(std::string_view path, bool absolute) = 0;
};

class MarkupView {
 public:
  virtual ~MarkupView() = default;

  // The folder relative picture names are looked up in (trailing "/").
  virtual std::string FaceFolder() const = 0;

  // Puts the insertion point after the last character.
  virtual void MoveInsertionToEnd() = 0;
  // Inserts narrow text at the insertion point in the insertion format.
  virtual void InsertText(std::string_view narrow) = 0;
  // The format the text inserted next carries.
  virtual void SetInsertionFormat(const CharFormat& format) = 0;
  // Formats the paragraph in which the insertion point stands.
  virtual void SetParagraphFormat(const ParaFormat& format) = 0;
  // Inserts a picture at the insertion point. A picture that cannot be
  // loaded is not inserted; the view reports it as its kind requires.
  virtual void InsertPicture(const PicturePlacement& picture) = 0;
  // Brings the last line into view (nothing for a view without a screen).
  virtual void ScrollToEnd() = 0;

  // Hands the whole content to `sink`, from the first character to the last.
  virtual void ReadContent(MarkupContentSink& sink) const = 0;
};

}  // namespace kanzo
