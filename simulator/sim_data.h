#pragma once
// The accounts-and-agents data file of the simulator (a JSON document,
// format in README.md): the company's agents with their passwords, triples
// and details, the colleague groups, the common-message categories and
// messages, and the call-back rules.
#include <cstdint>
#include <string>
#include <vector>

#include "protocol/wire_values.h"

namespace kanzo {

struct AgentDetails {
  int sex = 0;  // 0 男, 1 女
  int age = 0;
  int kind = 0;  // the login answer's "type": 1 sees the company's total count
  std::string realname, phone, mobile, email, qq, address, zipcode, remark;
};

struct AgentAccount {
  std::string username;
  std::string password;
  std::int32_t account = 0;  // the company's account number
  std::int32_t uid = 0;      // agent id
  std::int8_t type = kMemberKindAgent;
  AgentDetails details;
  // Presence while no client is logged in as this agent (scenario colleagues).
  int scriptedPresence = kPresenceOffline;
  // What this colleague answers when a logged-in agent writes to it while
  // nobody plays it; empty = no answer.
  std::vector<std::string> replies;
};

struct AgentGroup {
  std::string name;
  std::vector<std::int32_t> uids;
};

struct QuickCategory {
  std::int32_t id = 0;
  std::string name;
};

struct SimCommonMessage {
  std::int32_t cmid = 0;
  std::int32_t ctid = 0;
  std::int32_t uid = 0;   // 0: shared by the company
  std::int32_t type = 0;  // 1: also a quick message
  std::string content;
};

struct CallbackRules {
  std::vector<std::string> blacklist;
  int callsPerNumber = 3;  // further calls to one number answer status 6
};

struct SimData {
  std::vector<AgentAccount> agents;
  std::vector<AgentGroup> groups;
  std::vector<QuickCategory> categories;
  std::vector<SimCommonMessage> common;
  CallbackRules callback;

  AgentAccount* FindByName(const std::string& username);
  AgentAccount* FindByUid(std::int32_t uid);
  const AgentAccount* FindByUid(std::int32_t uid) const;
  const QuickCategory* FindCategory(std::int32_t id) const;
};

// Reads the data file. On failure returns false with a reason that names the
// entry at fault; `out` is then left as it was.
bool LoadSimData(const std::string& path, SimData* out, std::string* error);
// The same from JSON text (tests).
bool ParseSimData(const std::string& text, SimData* out, std::string* error);

}  // namespace kanzo
