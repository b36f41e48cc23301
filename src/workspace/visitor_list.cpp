#include "workspace/visitor_list.h"

#include <algorithm>
#include <memory>
#include <unordered_set>

#include "log/cx_log.h"
#include "protocol/wire_values.h"
#include "workspace/json_body.h"
#include "workspace/list_texts.h"

namespace kanzo {

VisitorList::VisitorList(ContactTable& contacts, const NameTable& names, const platform::Clock& clock)
    : contacts_(contacts), names_(names), clock_(clock) {}

bool VisitorList::ReadElement(const Json::Value& element, ContactRecord* out) const {
  // A null element or one without an integer "B7" (or with "B7" 0) would
  // list a record with id 0, the id that stands for "no conversation": such
  // elements are skipped.
  std::int32_t id = kNoContactId;
  if (!JsonIdMember(element, kVisitorKeyId, &id)) return false;
  out->id = id;
  out->name = VisitorName(id);
  out->kind = kContactKindVisitor;
  out->area = JsonTextMember(element, kVisitorKeyArea);
  out->currentPage = JsonTextMember(element, kVisitorKeyCurrentPage);
  out->source = JsonTextMember(element, kVisitorKeySource);
  out->ip = JsonTextMember(element, kVisitorKeyIp);
  out->onlineTime = JsonTextMember(element, kVisitorKeyTime);
  out->pageTitle = JsonTextMember(element, kVisitorKeyPageTitle);
  std::int32_t agentId = 0;
  if (JsonIntMember(element, kVisitorKeyAgentId, &agentId)) out->agentId = agentId;
  std::int32_t state = kVisitorStateIdle;
  JsonIntMember(element, kVisitorKeyState, &state);
  out->state = state;
  return true;
}

void VisitorList::LoadVisitors(const Json::Value& list) {
  if (!list.isNull() && !list.isArray()) return;
  std::unordered_set<std::int32_t> present;
  for (const Json::Value& element : list) {
    ContactRecord record;
    if (!ReadElement(element, &record)) continue;
    present.insert(record.id);
    AddOrUpdate(record);
  }
  const auto gone = [&present](const ContactRecord* row) { return present.count(row->id) == 0; };
  for (const ContactRecord* row : rows_)
    if (gone(row)) listed_.erase(row->id);
  std::erase_if(rows_, gone);
}

ContactRecord* VisitorList::AddOrUpdate(const ContactRecord& record) {
  if (record.id == kNoContactId) return nullptr;
  ContactRecord* listed = nullptr;
  if (auto it = listed_.find(record.id); it != listed_.end()) {
    listed = it->second;
  } else {
    auto fresh = std::make_unique<ContactRecord>(record);
    fresh->lastTalkTime = std::to_string(clock_.NowSeconds());
    listed = contacts_.Enter(std::move(fresh));
    rows_.push_back(listed);
    listed_.emplace(record.id, listed);
  }
  contacts_.Update(record.id, [&record](ContactRecord& target) {
    target.name = record.name;
    target.id = record.id;
    target.kind = record.kind;
    target.ip = record.ip;
    target.area = record.area;
    target.currentPage = record.currentPage;
    target.source = record.source;
    target.onlineTime = record.onlineTime;
    target.agentId = record.agentId;
    target.state = record.state;
    target.pageTitle = record.pageTitle;
  });
  UpdateState(record.id, record.agentId, record.state);
  return listed;
}

void VisitorList::UpdateState(std::int32_t visitorId, std::int32_t agentId, std::int32_t state) {
  // A notice from id 0 would make a record with the "no conversation" id.
  if (visitorId == kNoContactId) return;
  if (!contacts_.Contains(visitorId)) {
    ContactRecord made;
    made.id = visitorId;
    made.name = VisitorName(visitorId);
    made.kind = kContactKindVisitor;
    made.state = state;
    made.agentId = agentId;
    AddOrUpdate(made);
    return;
  }
  const std::string agentName = AgentDisplayName(names_, agentId);
  contacts_.Update(visitorId, [&](ContactRecord& record) {
    record.state = state;
    record.agentId = agentId;
    VisitorStatusText(state, agentName, &record.statusText);
  });
  if (state == kVisitorStateLeft) RemoveRow(visitorId);
  if (state == kVisitorStateLeft || state == kVisitorStateIdle) talkListChanges_.push_back(visitorId);
}

void VisitorList::RemoveRow(std::int32_t id) {
  if (listed_.erase(id) == 0) return;
  std::erase_if(rows_, [id](const ContactRecord* row) { return row->id == id; });
}

bool VisitorList::ApplyNotice(const Msg& notice) {
  Json::Value body;
  if (!ParseJsonBody(notice.BODY, &body)) return false;
  if (body.isObject()) {
    ContactRecord record;
    if (!ReadElement(body, &record)) return false;
    AddOrUpdate(record);
    return true;
  }
  if (IsJsonInt(body) && notice.FROM != kNoContactId) {
    UpdateState(notice.FROM, notice.TO, body.asInt());
    return true;
  }
  return false;
}

int VisitorList::FindIndex(std::int32_t id) const {
  if (listed_.count(id) == 0) return -1;
  const auto it = std::find_if(rows_.begin(), rows_.end(), [id](const ContactRecord* row) { return row->id == id; });
  return static_cast<int>(it - rows_.begin());
}

std::vector<std::int32_t> VisitorList::TakeTalkListChanges() {
  std::vector<std::int32_t> taken;
  taken.swap(talkListChanges_);
  return taken;
}

}  // namespace kanzo
