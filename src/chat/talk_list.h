#pragma once
// The column of open conversations on the left of the chat window, without
// the window: its rows in the order they were added, the selected and the
// hovered row, what a click means, and what each row shows. Rows hold
// record ids; the records stay in the contact table.
#include <cstdint>
#include <string>
#include <vector>

#include "records/contact_record.h"

namespace kanzo {

class ContactTable;

// What a row shows, worked out from its record.
struct TalkRowLook {
  const char* avatar = nullptr;  // picture path under the program folder
  std::string badge;             // unread count; empty for none
  std::string label;
};

// Avatar pictures of a row.
inline constexpr const char* kTalkAvatarDefault = "Images\\def_logo.png";
inline constexpr const char* kTalkAvatarOffline = "Images\\offline_logo.png";
inline constexpr const char* kTalkAvatarOtherAgent = "Images\\big_endtalk_logo.png";

// `record` is shown by the column as this agent (`agentId`) sees it.
TalkRowLook TalkRowLookOf(const ContactRecord& record, std::int32_t agentId);

class TalkList {
 public:
  static constexpr int kNone = -1;
  // Hover areas of a row.
  static constexpr int kAreaRow = 0;
  static constexpr int kAreaClose = 1;

  // What a click asks of the chat window.
  struct ClickOutcome {
    enum class Kind { Nothing, Open, LastClosed } kind = Kind::Nothing;
    std::int32_t recordId = 0;  // for Open
  };

  // Adds a row for `recordId` at the end, selecting it when asked; gives the
  // row's index. A listed id is not added twice: its index comes back.
  int AddTalk(std::int32_t recordId, bool select);
  int FindTalk(std::int32_t recordId) const;
  void Select(int row);
  int Selected() const { return selected_; }
  std::int32_t SelectedId() const;
  std::int32_t IdAt(int row) const;
  int Count() const { return static_cast<int>(rows_.size()); }

  // Sets the hovered row and area; true when that changed (a redraw).
  bool SetHover(int row, int area);
  int HoveredRow() const { return hoveredRow_; }
  int HoveredArea() const { return hoveredArea_; }

  // A click on `row` in `area`.
  ClickOutcome Click(int row, int area);
  // Removes the row the way its close button does.
  ClickOutcome Close(int row);

 private:
  std::vector<std::int32_t> rows_;
  int selected_ = kNone;
  int hoveredRow_ = kNone;
  int hoveredArea_ = kAreaRow;
};

}  // namespace kanzo
