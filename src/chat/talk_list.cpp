#include "chat/talk_list.h"

#include <algorithm>
#include <cstdio>

namespace kanzo {

TalkRowLook TalkRowLookOf(const ContactRecord& record, std::int32_t agentId) {
  TalkRowLook look;
  const bool visitor = record.kind == kContactKindVisitor;
  if (record.state == kAgentStateAway) {
    look.avatar = kTalkAvatarDefault;
  } else if (record.state == kVisitorStateLeft) {
    look.avatar = kTalkAvatarOffline;
  } else if (visitor && record.agentId != 0 && record.agentId != agentId) {
    look.avatar = kTalkAvatarOtherAgent;
  } else {
    look.avatar = kTalkAvatarDefault;
  }
  if (record.unread != 0) look.badge = std::to_string(record.unread);
  if (record.kind == kContactKindAgent) {
    look.label = record.name;
  } else {
    look.label = record.area + " " + std::to_string(record.id);
  }
  return look;
}

int TalkList::AddTalk(std::int32_t recordId, bool select) {
  int row = FindTalk(recordId);
  if (row == kNone) {
    rows_.push_back(recordId);
    row = Count() - 1;
  }
  if (select) selected_ = row;
  return row;
}

int TalkList::FindTalk(std::int32_t recordId) const {
  const auto found = std::find(rows_.begin(), rows_.end(), recordId);
  return found == rows_.end() ? kNone : static_cast<int>(found - rows_.begin());
}

void TalkList::Select(int row) { selected_ = (row >= 0 && row < Count()) ? row : kNone; }

std::int32_t TalkList::SelectedId() const { return IdAt(selected_); }

std::int32_t TalkList::IdAt(int row) const { return (row >= 0 && row < Count()) ? rows_[row] : 0; }

bool TalkList::SetHover(int row, int area) {
  if (row < 0 || row >= Count()) {
    row = kNone;
    area = kAreaRow;
  }
  if (row == hoveredRow_ && area == hoveredArea_) return false;
  hoveredRow_ = row;
  hoveredArea_ = area;
  return true;
}

TalkList::ClickOutcome TalkList::Click(int row, int area) {
  if (row < 0 || row >= Count()) return {};
  if (area == kAreaClose) return Close(row);
  selected_ = row;
  return {ClickOutcome::Kind::Open, rows_[row]};
}

TalkList::ClickOutcome TalkList::Close(int row) {
  if (row < 0 || row >= Count()) return {};
  rows_.erase(rows_.begin() + row);
  if (selected_ == row) {
    selected_ = kNone;
  } else if (selected_ > row) {
    --selected_;
  }
  hoveredRow_ = kNone;
  hoveredArea_ = kAreaRow;
  if (rows_.empty()) return {ClickOutcome::Kind::LastClosed, 0};
  if (selected_ != kNone) return {};
  selected_ = Count() - 1;
  return {ClickOutcome::Kind::Open, rows_[selected_]};
}

}  // namespace kanzo
