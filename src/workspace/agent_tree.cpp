#include "workspace/agent_tree.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/narrow_text.h"
#include "protocol/wire_values.h"
#include "workspace/list_texts.h"

namespace kanzo {
namespace {

constexpr const char* kNewNodeLabel = "官方客服";

}  // namespace

std::string NewNodeLabel() { return platform::Utf8ToNarrow(kNewNodeLabel); }

bool IsAgentOnline(const ContactRecord& agent) { return agent.state != kAgentStateOffline; }

AgentTree::AgentTree(ContactTable& contacts, NameTable& names) : contacts_(contacts), names_(names) {}

void AgentTree::LoadContacts(const Json::Value& users, std::int32_t myId) {
  if (!users.isNull() && !users.isObject()) return;
  // A repeated start-data answer would otherwise list every group twice.
  groups_.clear();
  for (const std::string& groupName : users.getMemberNames()) {
    const Json::Value& members = users[groupName];
    if (!members.isArray()) continue;
    ColleagueGroup group;
    group.name = platform::Utf8ToNarrow(groupName);
    for (const Json::Value& member : members) {
      std::int32_t uid = 0;
      // Only agents the tree will show are counted, so that a group whose
      // members are all the agent itself (or uid 0) is left out.
      if (!JsonIdMember(member, kAgentKeyUid, &uid) || uid == myId) continue;
      const std::string name = JsonTextMember(member, kAgentKeyRealname);
      ContactRecord* record = contacts_.Find(uid);
      if (record == nullptr) {
        auto made = std::make_unique<ContactRecord>();
        made->id = uid;
        record = contacts_.Enter(std::move(made));
      }
      contacts_.Update(uid, [&](ContactRecord& agent) {
        agent.id = uid;
        agent.name = name;
        agent.kind = kContactKindAgent;
        agent.state = kAgentStateOffline;
      });
      names_.Set(uid, name);
      if (std::find(group.agents.begin(), group.agents.end(), record) == group.agents.end())
        group.agents.push_back(record);
    }
    if (group.agents.empty()) continue;
    std::stable_sort(group.agents.begin(), group.agents.end(),
                     [](const ContactRecord* a, const ContactRecord* b) { return a->name < b->name; });
    group.total = static_cast<int>(group.agents.size());
    group.agentHidden.assign(group.agents.size(), false);
    groups_.push_back(std::move(group));
  }
  OnlineFirst();
  CountOnline();
}

void AgentTree::OnlineFirst() {
  for (ColleagueGroup& group : groups_) {
    // Each online agent trades places with the first agent of the run of
    // offline agents before it; the run then starts one further on.
    std::size_t runStart = group.agents.size();
    for (std::size_t i = 0; i < group.agents.size(); ++i) {
      if (!IsAgentOnline(*group.agents[i])) {
        if (runStart == group.agents.size()) runStart = i;
        continue;
      }
      if (runStart == group.agents.size()) continue;
      std::swap(group.agents[i], group.agents[runStart]);
      ++runStart;
    }
  }
}

void AgentTree::CountOnline() {
  for (ColleagueGroup& group : groups_)
    group.online = static_cast<int>(std::count_if(group.agents.begin(), group.agents.end(),
                                                  [](const ContactRecord* a) { return IsAgentOnline(*a); }));
}

bool AgentTree::AnyUnread() const {
  for (const ColleagueGroup& group : groups_)
    for (const ContactRecord* agent : group.agents)
      if (agent->unread != 0) return true;
  return false;
}

void AgentTree::RestoreLabels() {
  for (ColleagueGroup& group : groups_) {
    group.nameHidden = false;
    group.agentHidden.assign(group.agents.size(), false);
  }
}

bool AgentTree::BlinkTick() {
  if (!AnyUnread()) {
    RestoreLabels();
    blinkPhase_ = false;
    return false;
  }
  blinkPhase_ = !blinkPhase_;
  for (ColleagueGroup& group : groups_) {
    group.agentHidden.resize(group.agents.size(), false);
    bool unreadInGroup = false;
    for (std::size_t i = 0; i < group.agents.size(); ++i) {
      const bool unread = group.agents[i]->unread != 0;
      unreadInGroup = unreadInGroup || unread;
      group.agentHidden[i] = unread && group.expanded && blinkPhase_;
    }
    group.nameHidden = unreadInGroup && !group.expanded && blinkPhase_;
  }
  return true;
}

void AgentTree::SetExpanded(std::size_t group, bool expanded) {
  if (group < groups_.size()) groups_[group].expanded = expanded;
}

std::string AgentTree::GroupLabel(std::size_t group) const {
  const ColleagueGroup& g = groups_.at(group);
  return g.nameHidden ? std::string() : g.name;
}

std::string AgentTree::AgentLabel(std::size_t group, std::size_t agent) const {
  const ColleagueGroup& g = groups_.at(group);
  if (agent < g.agentHidden.size() && g.agentHidden[agent]) return {};
  return g.agents.at(agent)->name;
}

}  // namespace kanzo
