#pragma once
// The bodies that name the logged-in agent: every request the agent makes
// carries its triple, and a log-in or re-login carries its credentials.
// Built here only, so that no request can name the agent differently.
#include <cstdint>
#include <string>

#include "protocol/login.h"
#include "protocol/msg.h"
#include "records/agent_record.h"

namespace kanzo {

// A Msg from the agent: account, FROM and FROM_TYPE from the triple, the
// given body; the addressee is left for the caller.
Msg AgentRequest(const AgentTriple& triple, std::string body = {});

// The Login body of a log-in or re-login that asks for `presence`.
Login LoginBody(std::string username, std::string password, std::int32_t presence);

}  // namespace kanzo
