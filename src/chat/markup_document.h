#pragma once
// Display markup held in memory: runs of formatted text, pictures and the
// format of each paragraph, without any window. It is what the chat
// logic renders into when no view is on screen, and what tests and the
// fuzzer check the grammar against. Its insertion point is always the end.
#include <string>
#include <vector>

#include "chat/markup_view.h"

namespace kanzo {

class MarkupDocument final : public MarkupView {
 public:
  struct Item {
    bool isPicture = false;
    std::string text;  // a text run; line breaks are "\n" within it
    CharFormat format;
    PicturePlacement picture;
  };

  explicit MarkupDocument(std::string faceFolder = {});

  std::string FaceFolder() const override { return faceFolder_; }
  void MoveInsertionToEnd() override {}
  void InsertText(std::string_view narrow) override;
  void SetInsertionFormat(const CharFormat& format) override { insertionFormat_ = format; }
  void SetParagraphFormat(const ParaFormat& format) override { paragraphs_.back() = format; }
  void InsertPicture(const PicturePlacement& picture) override;
  void ScrollToEnd() override {}
  void ReadContent(MarkupContentSink& sink) const override;

  void Clear();
  void SetFaceFolder(std::string folder) { faceFolder_ = std::move(folder); }

  // Text runs of one format are merged as they are inserted.
  const std::vector<Item>& Items() const { return items_; }
  // One format per paragraph; a line break starts a paragraph with the
  // format of the one before.
  const std::vector<ParaFormat>& Paragraphs() const { return paragraphs_; }
  const CharFormat& InsertionFormat() const { return insertionFormat_; }
  // The characters without formats; each picture shows as "[@path]".
  std::string PlainText() const;

 private:
  std::string faceFolder_;
  std::vector<Item> items_;
  std::vector<ParaFormat> paragraphs_{kDefaultParaFormat};
  CharFormat insertionFormat_ = kMarkupDefaultFormat;
};

}  // namespace kanzo
