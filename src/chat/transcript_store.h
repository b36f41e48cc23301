#pragma once
// The chat window's memory of every conversation: for each record an
// ordered list of transcript entries (oldest first), the table of sends
// whose failure may still come back, and the unsent input of each
// conversation.
//
// A list is kept short on sending: an outgoing entry first drops the oldest
// entry while more than kOutgoingKeep entries lie beyond the unread ones.
// Incoming entries never drop by that rule, but a list stops growing at
// kMaxEntries: the oldest entries that are neither unread nor waiting for a
// failure make room.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kanzo {

struct TranscriptEntry {
  std::int64_t messageId = 0;  // of an own send; 0 for every other entry
  std::string text;            // display markup
  std::int32_t recordId = 0;
  bool reported = false;  // a failure notice has been added
};

class TranscriptStore {
 public:
  static constexpr std::size_t kOutgoingKeep = 50;
  static constexpr std::size_t kMaxEntries = 2000;

  // Appends an entry to the list of `recordId` (made when missing), which
  // has `unread` unread entries. An outgoing entry with a MESSAGE_ID is also
  // entered as a pending send. Returns the new entry.
  TranscriptEntry* Append(std::int32_t recordId, std::int32_t unread, std::string text, bool incoming,
                          std::int64_t messageId);

  bool HasList(std::int32_t recordId) const { return lists_.count(recordId) != 0; }
  // Makes an empty list (and an empty draft) for a new conversation.
  void CreateList(std::int32_t recordId);
  std::size_t Length(std::int32_t recordId) const;
  // The texts of the last `count` entries, oldest first.
  std::vector<std::string> LastEntries(std::int32_t recordId, std::size_t count) const;
  // Every entry text of the list, oldest first (for tests and tools).
  std::vector<std::string> Texts(std::int32_t recordId) const;

  // The send waiting under `messageId`, or nullptr.
  TranscriptEntry* FindPending(std::int64_t messageId);
  std::size_t PendingCount() const { return pending_.size(); }
  // Marks the send's failure as reported: it leaves the pending table.
  void MarkReported(TranscriptEntry* entry);

  void SetDraft(std::int32_t recordId, std::string markup) { drafts_[recordId] = std::move(markup); }
  // The draft of `recordId`, or nothing when it never had one.
  std::optional<std::string> Draft(std::int32_t recordId) const;

 private:
  using List = std::deque<std::unique_ptr<TranscriptEntry>>;
  void DropAt(List& list, std::size_t index);
  void DropForRoom(List& list, std::int32_t unread);

  std::map<std::int32_t, List> lists_;
  std::map<std::int64_t, TranscriptEntry*> pending_;
  std::map<std::int32_t, std::string> drafts_;
};

}  // namespace kanzo
