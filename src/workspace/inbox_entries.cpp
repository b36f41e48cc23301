#include "workspace/inbox_entries.h"

#include <cstdio>
#include <memory>

#include "chat/wire_display.h"
#include "platform/narrow_text.h"
#include "protocol/wire_values.h"
#include "workspace/list_texts.h"

namespace kanzo {
namespace {

constexpr const char* kOfflineEntryFormat = "\n[#0000FF]%s\n[>00C8#333333]%s\n[C][#999999]%s\n";
constexpr const char* kGuestbookEntryFormat = "\n[#0000FF]%s\n[>00C8#333333]%s\n";
constexpr const char* kGuestbookTextFormat =
    "姓名：%s\n电话：%s\n区域：%s\n来源：%s\n当前页：%s\nIP：%s\n时间：%s\n内容：%s";
constexpr const char* kOfflinePrefix = "离线消息：";
constexpr const char* kGuestbookPrefix = "留言：";
constexpr int kOfflineBatch = 3;
constexpr int kGuestbookBatch = 4;

template <typename... Args>
std::string Format(const std::string& format, Args... args) {
  const int size = std::snprintf(nullptr, 0, format.c_str(), args...);
  if (size <= 0) return {};
  std::string out(static_cast<std::size_t>(size) + 1, '\0');
  std::snprintf(out.data(), out.size(), format.c_str(), args...);
  out.resize(static_cast<std::size_t>(size));
  return out;
}

std::string Narrow(const char* utf8) { return platform::Utf8ToNarrow(utf8); }

}  // namespace

std::string OfflineEntryMarkup(const std::string& sender, const std::string& content, const std::string& time) {
  // The whole entry goes through the removal: that is the text the markup
  // reader sees, whatever the visitor's fields do to the tags around them.
  return RemoveForeignPictures(Format(Narrow(kOfflineEntryFormat), sender.c_str(), content.c_str(), time.c_str()));
}

std::string GuestbookEntryMarkup(const std::string& sender, const GuestbookFields& f) {
  const std::string text =
      Format(Narrow(kGuestbookTextFormat), f.name.c_str(), f.phone.c_str(), f.area.c_str(), f.source.c_str(),
             f.currentPage.c_str(), f.ip.c_str(), f.time.c_str(), f.content.c_str());
  return RemoveForeignPictures(Format(Narrow(kGuestbookEntryFormat), sender.c_str(), text.c_str()));
}

Inbox::Inbox(SessionList& sessions, ContactTable& contacts, const NameTable& names)
    : sessions_(sessions), contacts_(contacts), names_(names) {}

bool Inbox::FirstTime(int kind, std::int32_t id, const std::string& time, const std::string& content) {
  return taken_.emplace(kind, id, time, content).second;
}

ContactRecord* Inbox::Touch(ContactRecord made, InboxOutcome* outcome) {
  ContactRecord* record = contacts_.Find(made.id);
  if (record == nullptr) {
    made.unread = 1;
    record = contacts_.Enter(std::make_unique<ContactRecord>(std::move(made)));
  } else {
    bool firstUnread = false;
    contacts_.Update(made.id, [&](ContactRecord& known) {
      known.lastTalkTime = made.lastTalkTime;
      known.lastMessage = made.lastMessage;
      known.unread += 1;
      firstUnread = known.unread == 1 && known.kind == kContactKindAgent;
    });
    if (firstUnread) outcome->blinkColleagues = true;
  }
  sessions_.AddSession(record);
  ++outcome->taken;
  return record;
}

InboxOutcome Inbox::TakeOfflineMessages(const Json::Value& list) {
  InboxOutcome outcome;
  if (!list.isArray()) return outcome;
  for (const Json::Value& element : list) {
    std::int32_t id = 0;
    if (!JsonIdMember(element, kVisitorKeyId, &id)) continue;
    const std::string time = JsonTextMember(element, kVisitorKeyTime);
    const std::string content = JsonTextMember(element, kEntryKeyContent);
    if (!FirstTime(kOfflineBatch, id, time, content)) continue;

    ContactRecord made;
    made.id = id;
    if (!names_.Lookup(id, &made.name)) made.name = VisitorName(id);
    made.kind = kContactKindOfflineSender;
    made.onlineTime = time;
    made.source = JsonTextMember(element, kVisitorKeySource);
    made.currentPage = JsonTextMember(element, kVisitorKeyCurrentPage);
    made.area = JsonTextMember(element, kVisitorKeyArea);
    made.ip = JsonTextMember(element, kVisitorKeyIp);
    made.lastTalkTime = std::to_string(VisitTimeSeconds(time));
    made.lastMessage = Narrow(kOfflinePrefix) + content;
    const std::string sender = made.name;
    Touch(std::move(made), &outcome);
    outcome.entries.push_back({id, OfflineEntryMarkup(sender, content, time)});
  }
  return outcome;
}

InboxOutcome Inbox::TakeGuestbook(const Json::Value& list) {
  InboxOutcome outcome;
  if (!list.isArray()) return outcome;
  for (const Json::Value& element : list) {
    std::int32_t id = 0;
    if (!JsonIdMember(element, kVisitorKeyId, &id)) continue;
    GuestbookFields fields;
    const Json::Value& written = element[kEntryKeyName];
    fields.name = written.isString() ? platform::Utf8ToNarrow(written.asString()) : VisitorName(id);
    fields.phone = JsonTextMember(element, kEntryKeyPhone);
    fields.time = JsonTextMember(element, kVisitorKeyTime);
    fields.area = JsonTextMember(element, kVisitorKeyArea);
    fields.currentPage = JsonTextMember(element, kVisitorKeyCurrentPage);
    fields.source = JsonTextMember(element, kVisitorKeySource);
    fields.ip = JsonTextMember(element, kVisitorKeyIp);
    fields.content = JsonTextMember(element, kEntryKeyContent);
    if (!FirstTime(kGuestbookBatch, id, fields.time, fields.content)) continue;

    ContactRecord made;
    made.id = id;
    made.name = VisitorName(id);
    made.kind = kContactKindGuestbookAuthor;
    made.phone = fields.phone;
    made.onlineTime = fields.time;
    made.source = fields.source;
    made.currentPage = fields.currentPage;
    made.area = fields.area;
    made.ip = fields.ip;
    made.lastTalkTime = std::to_string(VisitTimeSeconds(fields.time));
    made.lastMessage = Narrow(kGuestbookPrefix) + fields.content;
    const std::string sender = made.name;
    // A guestbook author is never a colleague: no blinking.
    InboxOutcome ignored;
    Touch(std::move(made), &ignored);
    ++outcome.taken;
    outcome.entries.push_back({id, GuestbookEntryMarkup(sender, fields)});
  }
  return outcome;
}

}  // namespace kanzo
