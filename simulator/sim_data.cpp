#include "sim_data.h"

#include <fstream>
#include <set>
#include <sstream>

#include "sim_text.h"

namespace kanzo {

namespace {

constexpr std::int32_t kDefaultAccount = 10001;

std::string TextOf(const Json::Value& object, const char* key) {
  const Json::Value& v = object[key];
  return v.isString() ? v.asString() : std::string();
}

int IntOf(const Json::Value& object, const char* key, int fallback) {
  const Json::Value& v = object[key];
  return v.isInt() ? v.asInt() : fallback;
}

bool ReadAgent(const Json::Value& entry, std::int32_t companyAccount, AgentAccount* agent, std::string* error) {
  if (!entry.isObject()) {
    *error = "agents: 每一项必须是对象";
    return false;
  }
  agent->username = TextOf(entry, "username");
  agent->password = TextOf(entry, "password");
  agent->account = IntOf(entry, "account", companyAccount);
  agent->uid = IntOf(entry, "uid", 0);
  agent->type = static_cast<std::int8_t>(IntOf(entry, "type", kMemberKindAgent));
  if (agent->username.empty() || agent->uid <= 0) {
    *error = "agents: 缺少 username 或 uid 无效: " + CompactJson(entry);
    return false;
  }
  AgentDetails& d = agent->details;
  d.sex = IntOf(entry, "sex", 0);
  d.age = IntOf(entry, "age", 0);
  d.kind = IntOf(entry, "kind", 0);
  d.realname = TextOf(entry, "realname");
  d.phone = TextOf(entry, "phone");
  d.mobile = TextOf(entry, "mobile");
  d.email = TextOf(entry, "email");
  d.qq = TextOf(entry, "qq");
  d.address = TextOf(entry, "address");
  d.zipcode = TextOf(entry, "zipcode");
  d.remark = TextOf(entry, "remark");
  agent->scriptedPresence = IntOf(entry, "presence", kPresenceOffline);
  if (agent->scriptedPresence < kPresenceOffline || agent->scriptedPresence > kPresenceAway) {
    *error = "agents: presence 只能是 1、2 或 3: " + agent->username;
    return false;
  }
  for (const Json::Value& r : entry["replies"]) {
    if (r.isString()) agent->replies.push_back(r.asString());
  }
  return true;
}

}  // namespace

AgentAccount* SimData::FindByName(const std::string& username) {
  for (AgentAccount& a : agents) {
    if (a.username == username) return &a;
  }
  return nullptr;
}

AgentAccount* SimData::FindByUid(std::int32_t uid) {
  for (AgentAccount& a : agents) {
    if (a.uid == uid) return &a;
  }
  return nullptr;
}

const AgentAccount* SimData::FindByUid(std::int32_t uid) const { return const_cast<SimData*>(this)->FindByUid(uid); }

const QuickCategory* SimData::FindCategory(std::int32_t id) const {
  for (const QuickCategory& c : categories) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

bool ParseSimData(const std::string& text, SimData* out, std::string* error) {
  Json::Value root;
  std::string parseError;
  if (!ParseJson(text, &root, &parseError) || !root.isObject()) {
    *error = "数据文件不是 JSON 对象: " + parseError;
    return false;
  }
  SimData data;
  const std::int32_t companyAccount = IntOf(root, "account", kDefaultAccount);
  std::set<std::int32_t> uids;
  std::set<std::string> names;
  for (const Json::Value& entry : root["agents"]) {
    AgentAccount agent;
    if (!ReadAgent(entry, companyAccount, &agent, error)) return false;
    if (!uids.insert(agent.uid).second || !names.insert(agent.username).second) {
      *error = "agents: uid 或 username 重复: " + agent.username;
      return false;
    }
    data.agents.push_back(std::move(agent));
  }
  if (data.agents.empty()) {
    *error = "agents: 至少需要一个客服";
    return false;
  }
  for (const Json::Value& g : root["groups"]) {
    AgentGroup group;
    group.name = TextOf(g, "name");
    for (const Json::Value& uid : g["agents"]) {
      if (!uid.isInt() || uids.count(uid.asInt()) == 0) {
        *error = "groups: " + group.name + " 含未知的客服 " + CompactJson(uid);
        return false;
      }
      group.uids.push_back(uid.asInt());
    }
    if (group.name.empty()) {
      *error = "groups: 组名不能为空";
      return false;
    }
    data.groups.push_back(std::move(group));
  }
  for (const Json::Value& c : root["categories"]) {
    QuickCategory category{IntOf(c, "id", 0), TextOf(c, "name")};
    if (category.id <= 0 || category.name.empty()) {
      *error = "categories: 需要 id 和 name: " + CompactJson(c);
      return false;
    }
    data.categories.push_back(category);
  }
  std::int32_t nextCmid = 1;
  for (const Json::Value& m : root["common"]) {
    SimCommonMessage message;
    message.cmid = IntOf(m, "cmid", 0);
    message.ctid = IntOf(m, "ctid", 0);
    message.uid = IntOf(m, "uid", 0);
    message.type = IntOf(m, "type", 0);
    message.content = TextOf(m, "content");
    if (data.FindCategory(message.ctid) == nullptr || message.content.empty()) {
      *error = "common: 分类不存在或内容为空: " + CompactJson(m);
      return false;
    }
    if (message.cmid <= 0) message.cmid = nextCmid;
    nextCmid = std::max(nextCmid, message.cmid + 1);
    data.common.push_back(std::move(message));
  }
  const Json::Value& callback = root["callback"];
  for (const Json::Value& number : callback["blacklist"]) {
    if (number.isString()) data.callback.blacklist.push_back(number.asString());
  }
  data.callback.callsPerNumber = IntOf(callback, "calls_per_number", data.callback.callsPerNumber);
  *out = std::move(data);
  return true;
}

bool LoadSimData(const std::string& path, SimData* out, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "无法打开数据文件 " + path;
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return ParseSimData(text.str(), out, error);
}

}  // namespace kanzo
