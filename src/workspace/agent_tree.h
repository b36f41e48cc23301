#pragma once
// The colleagues by group as the colleague pane shows them (UserTreeCtrl):
// the groups and their agents, online agents first, the counts, and the
// blinking of unread colleagues. The control draws the labels this class
// gives and tells it which groups are expanded.
#include <json/value.h>

#include <cstdint>
#include <string>
#include <vector>

#include "records/contact_table.h"
#include "records/name_table.h"

namespace kanzo {

// Label of a node that was given none.
std::string NewNodeLabel();

struct ColleagueGroup {
  std::string name;
  std::vector<ContactRecord*> agents;
  int total = 0;
  int online = 0;
  bool expanded = false;
  // Blinking hides a label on every other tick.
  bool nameHidden = false;
  std::vector<bool> agentHidden;
};

// Whether an agent's state counts as online.
bool IsAgentOnline(const ContactRecord& agent);

class AgentTree {
 public:
  AgentTree(ContactTable& contacts, NameTable& names);
  AgentTree(const AgentTree&) = delete;
  AgentTree& operator=(const AgentTree&) = delete;

  // The start data's "users": group name to an array of agents ("uid",
  // "realname"). Groups come in the parser's member order (UTF-8 byte
  // order); agents within a group by name in the same order. The agent
  // itself (`myId`) and uid 0 are left out, and so is a group left
  // without members. Replaces what was loaded before. Anything but an
  // object or null is ignored.
  void LoadContacts(const Json::Value& users, std::int32_t myId);

  // Within each group, online agents move before offline ones.
  void OnlineFirst();
  void CountOnline();

  // One blink tick. False when no agent has unread messages: every label
  // then stands restored and the blink timer stops.
  bool BlinkTick();
  bool AnyUnread() const;

  const std::vector<ColleagueGroup>& Groups() const { return groups_; }
  void SetExpanded(std::size_t group, bool expanded);
  // The labels as they show now (empty while blinked away).
  std::string GroupLabel(std::size_t group) const;
  std::string AgentLabel(std::size_t group, std::size_t agent) const;

 private:
  void RestoreLabels();

  ContactTable& contacts_;
  NameTable& names_;
  std::vector<ColleagueGroup> groups_;
  bool blinkPhase_ = false;
};

}  // namespace kanzo
