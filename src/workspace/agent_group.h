#pragma once
// The group the logged-in agent belongs to, as the start data's "users"
// tells it: an object of group names, each an array of agents with "uid".
#include <json/value.h>

#include <cstdint>
#include <string>

namespace kanzo {

// The name (program text) of the first group of `users` that holds `uid`;
// empty when none does, or when `users` is not an object.
std::string AgentGroupOf(const Json::Value& users, std::int32_t uid);

}  // namespace kanzo
