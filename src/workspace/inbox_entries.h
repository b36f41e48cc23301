#pragma once
// Offline messages and guestbook entries that wait for the agent at login:
// each becomes a conversation row, an unread count and a transcript entry
// in display markup. The fields are what a visitor typed, so the entries
// pass through the markup's foreign-picture removal before anybody reads
// them as markup.
#include <json/value.h>

#include <cstdint>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "records/contact_table.h"
#include "records/name_table.h"
#include "workspace/session_list.h"

namespace kanzo {

// The transcript entry of an offline message: sender, content, time text.
std::string OfflineEntryMarkup(const std::string& sender, const std::string& content, const std::string& time);

// The fields of a guestbook entry as its author left them.
struct GuestbookFields {
  std::string name;  // "D1"
  std::string phone;
  std::string area;
  std::string source;
  std::string currentPage;
  std::string ip;
  std::string time;
  std::string content;
};
// The transcript entry of a guestbook entry.
std::string GuestbookEntryMarkup(const std::string& sender, const GuestbookFields& fields);

// What the conversation pane passes on after taking a batch.
struct InboxEntry {
  std::int32_t id = 0;
  std::string markup;
};
struct InboxOutcome {
  std::vector<InboxEntry> entries;
  // Colleagues whose first unread message this batch brought: the
  // colleague tree starts blinking.
  bool blinkColleagues = false;
  std::size_t taken = 0;
};

class Inbox {
 public:
  Inbox(SessionList& sessions, ContactTable& contacts, const NameTable& names);

  // A JSON array of offline messages ("offMsg") or of guestbook entries
  // ("gbook"); anything else is ignored. An entry that was taken before
  // (the same sender, time and content, as in a repeated start-data
  // answer) is not counted again.
  InboxOutcome TakeOfflineMessages(const Json::Value& list);
  InboxOutcome TakeGuestbook(const Json::Value& list);

 private:
  ContactRecord* Touch(ContactRecord made, InboxOutcome* outcome);
  bool FirstTime(int kind, std::int32_t id, const std::string& time, const std::string& content);

  SessionList& sessions_;
  ContactTable& contacts_;
  const NameTable& names_;
  std::set<std::tuple<int, std::int32_t, std::string, std::string>> taken_;
};

}  // namespace kanzo
