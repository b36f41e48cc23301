#include "details/agent_card.h"

namespace kanzo {

AgentCardFields AgentCardFieldsOf(const AgentRecord& agent) {
  return {{
      {kAgentCardUserNameId, "用户名:", agent.userName},
      {kAgentCardUserIdId, "用户ID:", std::to_string(agent.triple.agentId)},
      {kAgentCardRealnameId, "姓名:", agent.realname},
      {kAgentCardSexId, "性别:", agent.sex},
      {kAgentCardAgeId, "年龄:", agent.age},
      {kAgentCardGroupId, "用户组:", agent.userGroup},
      {kAgentCardAddressId, "所在地:", agent.address},
      {kAgentCardPhoneId, "联系方式:", agent.phone},
      {kAgentCardEmailId, "邮箱:", agent.email},
      {kAgentCardRemarkId, "备注:", agent.remark},
  }};
}

}  // namespace kanzo
