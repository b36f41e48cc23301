#include "workspace/login_answer.h"

#include "workspace/json_body.h"

#include <json/reader.h>

#include <exception>
#include <memory>

#include "platform/narrow_text.h"

namespace kanzo {
namespace {

constexpr const char* kSexFemale = "女";
constexpr const char* kSexMale = "男";

std::int32_t IntegerOf(const Json::Value& root, const char* key) {
  const Json::Value& value = root[key];
  return value.isInt() ? value.asInt() : 0;
}

std::string TextOf(const Json::Value& root, const char* key) {
  const Json::Value& value = root[key];
  return value.isString() ? platform::Utf8ToNarrow(value.asString()) : std::string();
}

}  // namespace

bool ParseJsonText(const std::string& narrow, Json::Value* out) { return ParseJsonBody(narrow, out); }

bool ReadAgentDetails(const std::string& body, LoginAgentDetails* out) {
  *out = LoginAgentDetails();
  Json::Value parsed;
  if (!ParseJsonText(body, &parsed)) return false;
  // Only an object has keys; anything else reads like an empty object.
  const Json::Value root = parsed.isObject() ? parsed : Json::Value(Json::objectValue);
  out->sex = IntegerOf(root, "sex") != 0 ? kSexFemale : kSexMale;
  out->age = std::to_string(IntegerOf(root, "age"));
  out->realname = TextOf(root, "realname");
  out->phone = TextOf(root, "phone");
  out->mobile = TextOf(root, "mobile");
  out->email = TextOf(root, "email");
  out->qq = TextOf(root, "qq");
  out->address = TextOf(root, "address");
  out->zipcode = TextOf(root, "zipcode");
  out->remark = TextOf(root, "remark");
  out->kind = IntegerOf(root, "type");
  return true;
}

void ApplyAgentDetails(const LoginAgentDetails& details, AgentRecord& record) {
  record.sex = details.sex;
  record.age = details.age;
  record.realname = details.realname;
  record.phone = details.phone;
  record.mobile = details.mobile;
  record.email = details.email;
  record.qq = details.qq;
  record.address = details.address;
  record.zipcode = details.zipcode;
  record.remark = details.remark;
  record.agentKind = details.kind;
}

}  // namespace kanzo
