#include "chat/markup_document.h"

#include <algorithm>

namespace kanzo {

MarkupDocument::MarkupDocument(std::string faceFolder) : faceFolder_(std::move(faceFolder)) {}

void MarkupDocument::InsertText(std::string_view narrow) {
  if (narrow.empty()) return;
  const auto breaks = std::count(narrow.begin(), narrow.end(), '\n');
  paragraphs_.insert(paragraphs_.end(), static_cast<std::size_t>(breaks), paragraphs_.back());
  if (!items_.empty() && !items_.back().isPicture && items_.back().format == insertionFormat_) {
    items_.back().text.append(narrow);
    return;
  }
  Item item;
  item.text = std::string(narrow);
  item.format = insertionFormat_;
  items_.push_back(std::move(item));
}

void MarkupDocument::InsertPicture(const PicturePlacement& picture) {
  Item item;
  item.isPicture = true;
  item.format = insertionFormat_;
  item.picture = picture;
  items_.push_back(std::move(item));
}

void MarkupDocument::ReadContent(MarkupContentSink& sink) const {
  for (const Item& item : items_) {
    if (item.isPicture) {
      sink.OnPicture(item.picture.path, item.picture.absolute);
    } else {
      sink.OnText(item.text, item.format);
    }
  }
}

void MarkupDocument::Clear() {
  items_.clear();
  paragraphs_.assign(1, kDefaultParaFormat);
  insertionFormat_ = kMarkupDefaultFormat;
}

std::string MarkupDocument::PlainText() const {
  std::string text;
  for (const Item& item : items_) {
    if (item.isPicture) {
      text.append("[@").append(item.picture.path).append("]");
    } else {
      text.append(item.text);
    }
  }
  return text;
}

}  // namespace kanzo
