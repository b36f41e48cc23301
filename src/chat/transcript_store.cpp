#include "chat/transcript_store.h"

#include <algorithm>

namespace kanzo {

TranscriptEntry* TranscriptStore::Append(std::int32_t recordId, std::int32_t unread, std::string text, bool incoming,
                                         std::int64_t messageId) {
  List& list = lists_[recordId];
  const std::size_t unreadCount = unread > 0 ? static_cast<std::size_t>(unread) : 0;
  if (!incoming && list.size() > unreadCount && list.size() - unreadCount > kOutgoingKeep) DropAt(list, 0);
  if (list.size() >= kMaxEntries) DropForRoom(list, unread);

  auto entry = std::make_unique<TranscriptEntry>();
  entry->messageId = messageId;
  entry->text = std::move(text);
  entry->recordId = recordId;
  TranscriptEntry* raw = entry.get();
  list.push_back(std::move(entry));
  if (!incoming && messageId != 0) pending_[messageId] = raw;
  return raw;
}

void TranscriptStore::DropAt(List& list, std::size_t index) {
  const TranscriptEntry& entry = *list[index];
  if (entry.messageId != 0) {
    const auto found = pending_.find(entry.messageId);
    if (found != pending_.end() && found->second == &entry) pending_.erase(found);
  }
  list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
}

void TranscriptStore::DropForRoom(List& list, std::int32_t unread) {
  // The unread entries are the newest ones; only older ones may go, and a
  // send that may still fail keeps its entry for the notice.
  const std::size_t unreadCount = unread > 0 ? static_cast<std::size_t>(unread) : 0;
  const std::size_t readEnd = list.size() > unreadCount ? list.size() - unreadCount : 0;
  for (std::size_t i = 0; i < readEnd && list.size() >= kMaxEntries; ++i) {
    const TranscriptEntry& entry = *list[i];
    if (entry.messageId != 0 && pending_.count(entry.messageId) != 0) continue;
    DropAt(list, i);
    return;
  }
}

void TranscriptStore::CreateList(std::int32_t recordId) {
  lists_[recordId];
  drafts_[recordId];
}

std::size_t TranscriptStore::Length(std::int32_t recordId) const {
  const auto found = lists_.find(recordId);
  return found == lists_.end() ? 0 : found->second.size();
}

std::vector<std::string> TranscriptStore::LastEntries(std::int32_t recordId, std::size_t count) const {
  std::vector<std::string> texts;
  const auto found = lists_.find(recordId);
  if (found == lists_.end()) return texts;
  const List& list = found->second;
  const std::size_t from = list.size() - std::min(count, list.size());
  texts.reserve(list.size() - from);
  for (std::size_t i = from; i < list.size(); ++i) texts.push_back(list[i]->text);
  return texts;
}

std::vector<std::string> TranscriptStore::Texts(std::int32_t recordId) const {
  std::vector<std::string> texts;
  const auto found = lists_.find(recordId);
  if (found == lists_.end()) return texts;
  for (const auto& entry : found->second) texts.push_back(entry->text);
  return texts;
}

TranscriptEntry* TranscriptStore::FindPending(std::int64_t messageId) {
  const auto found = pending_.find(messageId);
  return found == pending_.end() ? nullptr : found->second;
}

void TranscriptStore::MarkReported(TranscriptEntry* entry) {
  entry->reported = true;
  const auto found = pending_.find(entry->messageId);
  if (found != pending_.end() && found->second == entry) pending_.erase(found);
}

std::optional<std::string> TranscriptStore::Draft(std::int32_t recordId) const {
  const auto found = drafts_.find(recordId);
  if (found == drafts_.end()) return std::nullopt;
  return found->second;
}

}  // namespace kanzo
