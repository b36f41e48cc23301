#include "workspace/session_list.h"

#include <algorithm>

#include "db/db_manager.h"
#include "workspace/json_body.h"
#include "workspace/list_texts.h"

namespace kanzo {

int SessionRowAt(int y, int topIndex, std::size_t rowCount) {
  if (y < 0 || topIndex < 0) return kNoRow;
  const long long row = static_cast<long long>(topIndex) + y / kSessionRowHeight;
  return row < static_cast<long long>(rowCount) ? static_cast<int>(row) : kNoRow;
}

PopupPlace PlaceDetailPopup(int listLeft, int listRight, int listTop, int popupWidth, int hoveredRow, int topIndex) {
  PopupPlace place;
  place.x = listLeft - kDetailPopupGap - popupWidth;
  if (place.x < 0) place.x = listRight + kDetailPopupGap;
  place.y = listTop + kSessionRowHeight * (hoveredRow - topIndex);
  return place;
}

SessionList::SessionList(ContactTable& contacts) : contacts_(contacts) {}

bool SessionList::AddSession(ContactRecord* record) {
  // Id 0 is the chat window's "no conversation": no row may carry it.
  if (record == nullptr || record->id == kNoContactId || !listed_.insert(record->id).second) return false;
  rows_.push_back(record);
  return true;
}

int SessionList::FindIndex(std::int32_t id) const {
  if (listed_.count(id) == 0) return -1;
  const auto it = std::find_if(rows_.begin(), rows_.end(), [id](const ContactRecord* row) { return row->id == id; });
  return static_cast<int>(it - rows_.begin());
}

void SessionList::SortSessions(std::int32_t myId) {
  const auto group = [myId](const ContactRecord* row) {
    return row->state != kVisitorStateLeft && row->agentId == myId ? 0 : 1;
  };
  std::stable_sort(rows_.begin(), rows_.end(), [&group](const ContactRecord* a, const ContactRecord* b) {
    const int ga = group(a);
    const int gb = group(b);
    return ga != gb ? ga < gb : a->id < b->id;
  });
}

SessionList::DeleteCheck SessionList::CheckDelete(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= rows_.size()) return DeleteCheck::kNoRow;
  const ContactRecord& record = *rows_[static_cast<std::size_t>(index)];
  // Senders of offline messages and guestbook authors are in no
  // conversation; their records keep the default state forever.
  if (record.kind == kContactKindOfflineSender || record.kind == kContactKindGuestbookAuthor) return DeleteCheck::kAsk;
  return record.state == kVisitorStateLeft ? DeleteCheck::kAsk : DeleteCheck::kRefused;
}

bool SessionList::RemoveSession(int index, const AgentTriple& agent) {
  if (index < 0 || static_cast<std::size_t>(index) >= rows_.size()) return false;
  const std::int32_t id = rows_[static_cast<std::size_t>(index)]->id;
  rows_.erase(rows_.begin() + index);
  listed_.erase(id);
  return DBManager::DeleteUserTalkMessageById(id, agent);
}

bool SessionList::ApplyNotice(const Msg& notice, std::int32_t myId) {
  Json::Value body;
  if (!ParseJsonBody(notice.BODY, &body) || !IsJsonInt(body)) return false;
  if (body.asInt() != kVisitorStateTalking || notice.TO != myId) return false;
  return AddSession(contacts_.Find(notice.FROM));
}

int SessionList::AddTalking(std::int32_t myId) {
  std::vector<ContactRecord*> talking;
  contacts_.ForEach([&](ContactRecord& record) {
    if (record.agentId == myId && record.state == kVisitorStateTalking) talking.push_back(&record);
  });
  int added = 0;
  for (ContactRecord* record : talking) added += AddSession(record) ? 1 : 0;
  return added;
}

}  // namespace kanzo
