#include "chat/entry_backlog.h"

#include "chat/markup_grammar.h"
#include "platform/narrow_text.h"

namespace kanzo {
namespace {

constexpr char kLineBreak = '\n';

bool EndsParagraph(const std::string& entry) { return !entry.empty() && entry.back() == kLineBreak; }
bool BeginsParagraph(const std::string& entry) { return !entry.empty() && entry.front() == kLineBreak; }

}  // namespace

BacklogPart EntryBacklog::Start(std::vector<std::string> entries, std::size_t partBytes) {
  entries_ = std::move(entries);
  waiting_ = entries_.size();
  return TakeNewestPart(partBytes);
}

BacklogPart EntryBacklog::TakeNewestPart(std::size_t partBytes) {
  const std::size_t end = waiting_;
  waiting_ = PartStart(end, partBytes);
  BacklogPart part = Part(waiting_, end);
  if (waiting_ == 0) Clear();
  return part;
}

void EntryBacklog::Clear() {
  entries_.clear();
  entries_.shrink_to_fit();
  waiting_ = 0;
}

std::size_t EntryBacklog::PartStart(std::size_t end, std::size_t partBytes) const {
  std::size_t start = end;
  std::size_t bytes = 0;
  while (start > 0 && bytes < partBytes) bytes += entries_[--start].size();
  while (start > 0 && !(EndsParagraph(entries_[start - 1]) && BeginsParagraph(entries_[start]))) --start;
  return start;
}

BacklogPart EntryBacklog::Part(std::size_t from, std::size_t to) const {
  BacklogPart part;
  std::size_t bytes = 0;
  for (std::size_t i = from; i < to; ++i) bytes += entries_[i].size();
  part.markup.reserve(bytes);
  for (std::size_t i = from; i < to; ++i) part.markup += entries_[i];
  // The newest entry before the part that sets a format decides; entries
  // nearly always set one, so this looks at one or two.
  for (std::size_t i = from; i > 0 && !part.formatBefore; --i)
    part.formatBefore = InsertionFormatAfter(entries_[i - 1]);
  return part;
}

std::optional<CharFormat> InsertionFormatAfter(std::string_view markup) {
  std::optional<CharFormat> last;
  ForEachMarkupToken(markup, platform::NarrowIsUtf8(), [&](MarkupTokenKind kind, std::string_view text, std::size_t) {
    if (kind != MarkupTokenKind::Tag) return;
    const TagInterpretation tag = InterpretTagText(text);
    if (tag.meaning == TagMeaning::Format) last = tag.charFormat;
  });
  return last;
}

}  // namespace kanzo
