#pragma once
// Reading the JSON texts the server sends with a login: the agent's details
// in the login answer's BODY, and any JSON document in an answer's BODY.
#include <json/value.h>

#include <cstdint>
#include <string>

#include "records/agent_record.h"

namespace kanzo {

// Parses narrow program text as one JSON document. False for text that is
// not JSON (then `out` is null); never throws, whatever the input.
bool ParseJsonText(const std::string& narrow, Json::Value* out);

// The fields of the current agent record that the login answer's BODY gives.
struct LoginAgentDetails {
  std::string sex;  // "男" or "女"
  std::string age;  // decimal text
  std::string realname;
  std::string phone;
  std::string mobile;
  std::string email;
  std::string qq;
  std::string address;
  std::string zipcode;
  std::string remark;
  std::int32_t kind = 0;  // "type"
};

// Reads the details from the login answer's BODY. Keys that are missing or of
// the wrong type give 0 for numbers ("男" for sex, "0" for age) and empty
// text; a JSON document other than an object has no keys. False when BODY is
// not JSON; `out` is then all empty.
bool ReadAgentDetails(const std::string& body, LoginAgentDetails* out);

void ApplyAgentDetails(const LoginAgentDetails& details, AgentRecord& record);

}  // namespace kanzo
