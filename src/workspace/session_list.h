#pragma once
// The agent's conversations as the conversation pane lists them
// (SessionListBox): which records are listed and in what order, the rules
// for sorting and deleting, and the geometry the control's pointer handling
// and popup placement rest on. Nothing here draws.
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "protocol/msg.h"
#include "records/agent_record.h"
#include "records/contact_table.h"

namespace kanzo {

// Rows of the conversation list are this many pixels high.
inline constexpr int kSessionRowHeight = 50;
// The detail popup stands this far beside the list.
inline constexpr int kDetailPopupGap = 15;
// No row: what a row number is when the pointer is below the last row.
inline constexpr int kNoRow = -1;

// The row under a pointer `y` pixels below the list's top, with `topIndex`
// the first visible row; kNoRow when no row is there.
int SessionRowAt(int y, int topIndex, std::size_t rowCount);

// Where the detail popup goes for the hovered row: its right edge
// kDetailPopupGap left of the list, or, when that would put its left edge
// below 0, its left edge kDetailPopupGap right of the list; its top level
// with the hovered row.
struct PopupPlace {
  int x = 0;
  int y = 0;
};
PopupPlace PlaceDetailPopup(int listLeft, int listRight, int listTop, int popupWidth, int hoveredRow, int topIndex);

class SessionList {
 public:
  explicit SessionList(ContactTable& contacts);
  SessionList(const SessionList&) = delete;
  SessionList& operator=(const SessionList&) = delete;

  // Appends the record; false (nothing changes) when its id is listed or 0.
  bool AddSession(ContactRecord* record);
  int FindIndex(std::int32_t id) const;
  std::size_t Size() const { return rows_.size(); }
  ContactRecord* At(std::size_t index) const { return rows_[index]; }

  // First the visitors in conversation with agent `myId` (not left, agentId
  // `myId`), then all others; each group by id.
  void SortSessions(std::int32_t myId);

  enum class DeleteCheck {
    kNoRow,    // the index lists nothing
    kRefused,  // the visitor is still in a conversation ("交谈中不可删除!")
    kAsk,      // may go, once the agent confirms
  };
  DeleteCheck CheckDelete(int index) const;
  // Removes the row and the stored lines of its id for `agent`. The record
  // stays in the contact table. False when the index lists nothing or the
  // lines could not be deleted (the row is removed either way).
  bool RemoveSession(int index, const AgentTriple& agent);

  // A visitor notice: the integer 105 addressed to `myId` lists its sender
  // when the contact table knows it. True when a row was added.
  bool ApplyNotice(const Msg& notice, std::int32_t myId);
  // Lists every record of the contact table in conversation with `myId`;
  // returns how many rows were added.
  int AddTalking(std::int32_t myId);

 private:
  ContactTable& contacts_;
  std::vector<ContactRecord*> rows_;
  std::unordered_set<std::int32_t> listed_;
};

}  // namespace kanzo
