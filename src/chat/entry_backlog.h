#pragma once
// A long run of transcript entries shown newest first: the newest part goes
// in at once, the older parts go in before it one at a time afterwards, so
// that a conversation with thousands of unread lines shows at once and
// never holds the window for long.
//
// A part ends only where one entry has just ended a paragraph and the next
// begins a new one (both are line breaks at the seam). Put in before the
// parts after it, such a part renders exactly as it would have in one go:
// the paragraph it ends in is the empty one the next entry breaks.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "chat/markup_format.h"

namespace kanzo {

struct BacklogPart {
  std::string markup;  // the part's entries, joined, oldest first
  // The insertion format the entries before the part leave behind, which
  // its first text takes; none when no entry before it sets one (the first
  // text then takes what the view had before the first entry).
  std::optional<CharFormat> formatBefore;
};

class EntryBacklog {
 public:
  // Takes `entries` (oldest first) and returns their newest part of at
  // least `partBytes` (every entry when no seam allows less); the others
  // wait.
  BacklogPart Start(std::vector<std::string> entries, std::size_t partBytes);
  // The newest part of what still waits, no longer waiting.
  BacklogPart TakeNewestPart(std::size_t partBytes);
  bool empty() const { return waiting_ == 0; }
  void Clear();

 private:
  // Where a part of at least `partBytes` that ends before `end` starts.
  std::size_t PartStart(std::size_t end, std::size_t partBytes) const;
  BacklogPart Part(std::size_t from, std::size_t to) const;

  std::vector<std::string> entries_;
  std::size_t waiting_ = 0;  // entries_[0, waiting_) are still to go in
};

// The insertion format `markup` leaves behind, if any of its tags sets one.
std::optional<CharFormat> InsertionFormatAfter(std::string_view markup);

}  // namespace kanzo
