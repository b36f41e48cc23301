#pragma once
// The online visitors as the hidden visitor pane keeps them (UserListBox):
// which visitors are listed, their records in the contact table, and the
// status line each state gives them. Nothing here draws.
#include <json/value.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/clock.h"
#include "protocol/msg.h"
#include "records/contact_table.h"
#include "records/name_table.h"

namespace kanzo {

class VisitorList {
 public:
  VisitorList(ContactTable& contacts, const NameTable& names, const platform::Clock& clock);
  VisitorList(const VisitorList&) = delete;
  VisitorList& operator=(const VisitorList&) = delete;

  // The server's list of online visitors: a JSON array (or null, which
  // empties the list). Elements that are objects with an integer "B7" are
  // added or updated; listed visitors missing from the array are removed
  // from the list (their records stay in the contact table). Any other
  // value changes nothing.
  void LoadVisitors(const Json::Value& list);

  // Lists the visitor of `record` (entering it in the contact table when
  // the table does not know the id) and copies its visit fields into the
  // table's record; then applies its state. Returns the table's record;
  // nullptr (nothing changes) for id 0, which stands for "no conversation".
  ContactRecord* AddOrUpdate(const ContactRecord& record);

  // A state change of a visitor through an agent; an unknown visitor is
  // made and listed first. Id 0 changes nothing.
  void UpdateState(std::int32_t visitorId, std::int32_t agentId, std::int32_t state);

  // A visitor notice: FROM the visitor, TO the agent, BODY a visitor object
  // (added or updated like one element of a load) or an integer state.
  // False when the body is neither, or when an object has no usable "B7"
  // or a state comes FROM id 0.
  bool ApplyNotice(const Msg& notice);

  // The list index of `id`, or -1.
  int FindIndex(std::int32_t id) const;
  std::size_t Size() const { return rows_.size(); }
  const ContactRecord* At(std::size_t index) const { return rows_[index]; }

  // Ids whose state went to "left" or "idle" since the last call: the
  // conversation column redraws when it lists one of them.
  std::vector<std::int32_t> TakeTalkListChanges();

 private:
  bool ReadElement(const Json::Value& element, ContactRecord* out) const;
  void RemoveRow(std::int32_t id);

  ContactTable& contacts_;
  const NameTable& names_;
  const platform::Clock& clock_;
  std::vector<ContactRecord*> rows_;
  std::unordered_map<std::int32_t, ContactRecord*> listed_;
  std::vector<std::int32_t> talkListChanges_;
};

}  // namespace kanzo
