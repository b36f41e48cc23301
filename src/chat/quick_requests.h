#pragma once
// The requests of the stock replies and of the telephone call-back: their
// JSON bodies (one compact line each, members in key order) and the Msg
// each travels in. Texts are program text; the bodies carry UTF-8.
#include <cstdint>
#include <optional>
#include <string>

#include "protocol/msg.h"
#include "records/agent_record.h"

namespace kanzo {

// {"password","uid","username"}: the body of the quick-lists (43) and the
// category (23) requests.
std::string AgentCredentialsBody(const AgentRecord& agent);

// The add request's (40) body: the credentials, "content", "type" (1 for a
// quick message), "ctid" when the category has an id, and "sort" 0.
std::string AddCommonMessageBody(const AgentRecord& agent, const std::string& content, bool quick,
                                 std::optional<std::int32_t> categoryId);

// The call-back request's (14) body: {"password","to","username"}.
std::string CallBackBody(const AgentRecord& agent, const std::string& number);

// The Msg of each request. The quick-lists request names the agent
// (account, FROM, FROM_TYPE); the category and add requests leave every
// number 0; the call-back request carries the account only.
Msg QuickListsRequest(const AgentRecord& agent);
Msg CategoryRequest(const AgentRecord& agent);
Msg AddCommonMessageRequest(const AgentRecord& agent, const std::string& content, bool quick,
                            std::optional<std::int32_t> categoryId);
Msg CallBackRequest(const AgentRecord& agent, const std::string& number);

}  // namespace kanzo
