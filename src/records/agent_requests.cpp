#include "records/agent_requests.h"

#include <utility>

namespace kanzo {

Msg AgentRequest(const AgentTriple& triple, std::string body) {
  Msg msg;
  msg.account = triple.account;
  msg.FROM = triple.agentId;
  // The wire keeps member kinds in one byte.
  msg.FROM_TYPE = static_cast<std::int8_t>(triple.agentType);
  msg.BODY = std::move(body);
  return msg;
}

Login LoginBody(std::string username, std::string password, std::int32_t presence) {
  Login login;
  login.username = std::move(username);
  login.password = std::move(password);
  login.state = static_cast<std::int8_t>(presence);
  return login;
}

}  // namespace kanzo
