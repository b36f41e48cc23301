#include "workspace/agent_group.h"

#include "platform/narrow_text.h"
#include "protocol/wire_values.h"
#include "workspace/json_body.h"

namespace kanzo {

std::string AgentGroupOf(const Json::Value& users, std::int32_t uid) {
  if (!users.isObject() || uid == 0) return {};
  for (auto group = users.begin(); group != users.end(); ++group) {
    if (!group->isArray()) continue;
    for (const Json::Value& member : *group) {
      if (JsonInt(JsonMember(member, kAgentKeyUid)) == uid) return platform::Utf8ToNarrow(group.name());
    }
  }
  return {};
}

}  // namespace kanzo
