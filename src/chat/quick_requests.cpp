#include "chat/quick_requests.h"

#include <json/value.h>

#include "platform/narrow_text.h"
#include "protocol/wire_values.h"
#include "records/agent_requests.h"
#include "workspace/json_body.h"

namespace kanzo {
namespace {

// The "sort" of a new common message: the server puts it in its place.
constexpr std::int32_t kNewMessageSort = 0;
constexpr std::int32_t kTypeQuick = 1;
constexpr std::int32_t kTypeCommonOnly = 0;

Json::Value Credentials(const AgentRecord& agent) {
  Json::Value body(Json::objectValue);
  body[kAgentKeyUid] = agent.triple.agentId;
  body[kAgentKeyUsername] = platform::NarrowToUtf8(agent.userName);
  body[kAgentKeyPassword] = platform::NarrowToUtf8(agent.password);
  return body;
}

Msg WithBody(std::string body) {
  Msg msg;
  msg.BODY = std::move(body);
  return msg;
}

}  // namespace

std::string AgentCredentialsBody(const AgentRecord& agent) { return RequestBodyText(Credentials(agent)); }

std::string AddCommonMessageBody(const AgentRecord& agent, const std::string& content, bool quick,
                                 std::optional<std::int32_t> categoryId) {
  Json::Value body = Credentials(agent);
  body["content"] = platform::NarrowToUtf8(content);
  body["type"] = quick ? kTypeQuick : kTypeCommonOnly;
  if (categoryId) body["ctid"] = *categoryId;
  body["sort"] = kNewMessageSort;
  return RequestBodyText(body);
}

std::string CallBackBody(const AgentRecord& agent, const std::string& number) {
  Json::Value body(Json::objectValue);
  body[kAgentKeyUsername] = platform::NarrowToUtf8(agent.userName);
  body[kAgentKeyPassword] = platform::NarrowToUtf8(agent.password);
  body["to"] = platform::NarrowToUtf8(number);
  return RequestBodyText(body);
}

Msg QuickListsRequest(const AgentRecord& agent) { return AgentRequest(agent.triple, AgentCredentialsBody(agent)); }

Msg CategoryRequest(const AgentRecord& agent) { return WithBody(AgentCredentialsBody(agent)); }

Msg AddCommonMessageRequest(const AgentRecord& agent, const std::string& content, bool quick,
                            std::optional<std::int32_t> categoryId) {
  return WithBody(AddCommonMessageBody(agent, content, quick, categoryId));
}

Msg CallBackRequest(const AgentRecord& agent, const std::string& number) {
  Msg msg = WithBody(CallBackBody(agent, number));
  msg.account = agent.triple.account;
  return msg;
}

}  // namespace kanzo
