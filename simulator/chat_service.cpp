#include "chat_service.h"

#include <algorithm>
#include <regex>
#include <sstream>

#include "sim_commands.h"
#include "sim_text.h"

namespace kanzo {

namespace {

constexpr std::int64_t kSessionMask = 0x3FFFFFFFFFFFFFFFLL;
constexpr std::size_t kMaxChatBytes = 8192;
constexpr int kMaxAge = 150;
// The number a pushed quick-lists message carries among its texts.
constexpr int kStrayQuickNumber = 2024;

std::string TextOf(const Json::Value& object, const char* key) {
  const Json::Value& v = object[key];
  return v.isString() ? v.asString() : std::string();
}

// The presence a client asks for: 2 or 3; anything else counts as online.
int RequestedPresence(int value) { return value == kPresenceAway ? kPresenceAway : kPresenceOnline; }

}  // namespace

Json::Value SimVisitor::ToJson() const {
  Json::Value v(Json::objectValue);
  v[kVisitorKeyIp] = ip;
  v[kVisitorKeyArea] = area;
  v[kVisitorKeySource] = source;
  v[kVisitorKeyCurrentPage] = currentPage;
  v[kVisitorKeyTime] = onlineTime;
  v[kVisitorKeyId] = id;
  v[kVisitorKeyAgentId] = agentId;
  v[kVisitorKeyState] = state;
  v[kVisitorKeyPageTitle] = pageTitle;
  return v;
}

ChatService::ChatService(SimData data, SimOutbox& out, SimScheduler& scheduler, ServiceOptions options)
    : data_(std::move(data)),
      out_(out),
      scheduler_(scheduler),
      options_(options),
      sessionRandom_(static_cast<std::uint64_t>(scheduler.NowMillis())) {
  for (const AgentAccount& a : data_.agents) agents_[a.uid];
  for (const SimCommonMessage& m : data_.common) nextCmid_ = std::max(nextCmid_, m.cmid + 1);
}

// ---------------------------------------------------------------- helpers

std::string ChatService::Now() const { return LocalDateTime(scheduler_.NowMillis() / 1000); }

bool ChatService::KeepAliveMuted() const { return scheduler_.NowMillis() < keepAliveMutedUntilMs_; }

std::int64_t ChatService::NewSession() {
  for (;;) {
    const std::int64_t id = static_cast<std::int64_t>(sessionRandom_() & kSessionMask);
    if (id != 0 && issuedSessions_.insert(id).second) return id;
  }
}

MsgFields ChatService::AgentMsg(const AgentAccount& agent) const {
  MsgFields f;
  f.account = agent.account;
  f.from = agent.uid;
  f.fromType = agent.type;
  return f;
}

Json::Value ChatService::AgentDetailsJson(const AgentAccount& agent) const {
  const AgentDetails& d = agent.details;
  Json::Value v(Json::objectValue);
  v["sex"] = d.sex;
  v["age"] = d.age;
  v["type"] = d.kind;
  v["realname"] = d.realname;
  v["phone"] = d.phone;
  v["mobile"] = d.mobile;
  v["email"] = d.email;
  v["qq"] = d.qq;
  v["address"] = d.address;
  v["zipcode"] = d.zipcode;
  v["remark"] = d.remark;
  v["uid"] = agent.uid;
  v["username"] = agent.username;
  return v;
}

int ChatService::EffectivePresence(std::int32_t agent) const {
  const auto it = agents_.find(agent);
  if (it == agents_.end()) return kPresenceOffline;
  if (it->second.session != 0) return it->second.presence;
  const AgentAccount* account = data_.FindByUid(agent);
  return account != nullptr ? account->scriptedPresence : kPresenceOffline;
}

Json::Value ChatService::PresenceList() const {
  Json::Value list(Json::arrayValue);
  for (const AgentAccount& a : data_.agents) {
    Json::Value pair(Json::arrayValue);
    pair.append(a.uid);
    pair.append(EffectivePresence(a.uid));
    list.append(pair);
  }
  return list;
}

void ChatService::Bind(ConnId conn, std::int32_t agent) {
  AgentRuntime& rt = agents_[agent];
  rt.conn = conn;
  rt.lastSeenMs = scheduler_.NowMillis();
  connections_[conn] = agent;
  // Lines that came while the client was reconnecting.
  std::deque<Packet> pending;
  pending.swap(rt.pending);
  for (const Packet& p : pending) out_.Send(conn, p);
}

void ChatService::Unbind(std::int32_t agent) {
  AgentRuntime& rt = agents_[agent];
  if (rt.conn != 0) connections_[rt.conn] = 0;
  rt.conn = 0;
  rt.session = 0;
  rt.previousSession = 0;
  rt.pending.clear();
}

std::int32_t ChatService::Identify(ConnId conn, const Packet& req) {
  const auto c = connections_.find(conn);
  if (c != connections_.end() && c->second != 0) {
    agents_[c->second].lastSeenMs = scheduler_.NowMillis();
    return c->second;
  }
  if (req.sessionId == 0) return 0;
  for (auto& [uid, rt] : agents_) {
    if (rt.session != 0 && (rt.session == req.sessionId || rt.previousSession == req.sessionId)) {
      if (rt.conn != 0 && rt.conn != conn) return 0;  // another live connection holds it
      out_.Note(conn, "会话恢复 uid=" + std::to_string(uid));
      Bind(conn, uid);
      return uid;
    }
  }
  return 0;
}

bool ChatService::CheckCredentials(std::int32_t agent, const Json::Value& body) const {
  const AgentAccount* a = data_.FindByUid(agent);
  if (a == nullptr || !body.isObject()) return false;
  if (!body[kAgentKeyUid].isInt() || body[kAgentKeyUid].asInt() != agent) return false;
  return TextOf(body, kAgentKeyUsername) == a->username && TextOf(body, kAgentKeyPassword) == a->password;
}

void ChatService::Answer(ConnId conn, const Packet& req, std::uint8_t result, MsgFields fields) {
  Packet p;
  p.messageId = req.messageId;
  p.command = req.command;
  p.result = result;
  const auto c = connections_.find(conn);
  if (c != connections_.end() && c->second != 0) p.sessionId = agents_[c->second].session;
  p.msg = std::move(fields);
  out_.Send(conn, p);
}

void ChatService::Fail(ConnId conn, const Packet& req, std::uint8_t result, const std::string& text) {
  MsgFields f = req.msg.value_or(MsgFields{});
  f.body = text;
  out_.Note(conn, "拒绝 command=" + std::to_string(req.command) + " RESULT=" + std::to_string(result) + " " + text);
  Answer(conn, req, result, f);
}

void ChatService::CountTalk(std::int32_t visitor, std::int32_t agent) {
  talks_.insert({LocalDate(scheduler_.NowMillis() / 1000), visitor, agent});
}

// ---------------------------------------------------------------- connections

void ChatService::OnConnected(ConnId conn) { connections_[conn] = 0; }

void ChatService::OnDisconnected(ConnId conn) {
  const auto c = connections_.find(conn);
  if (c == connections_.end()) return;
  if (c->second != 0) {
    AgentRuntime& rt = agents_[c->second];
    if (rt.conn == conn) {
      rt.conn = 0;
      rt.lastSeenMs = scheduler_.NowMillis();
    }
  }
  connections_.erase(c);
}

void ChatService::Sweep() {
  const std::int64_t now = scheduler_.NowMillis();
  for (auto& [uid, rt] : agents_) {
    if (rt.conn == 0 && rt.session != 0 && now - rt.lastSeenMs > options_.sessionGraceMs) {
      out_.Note(0, "会话过期 uid=" + std::to_string(uid));
      Unbind(uid);
      rt.presence = kPresenceOffline;
      BroadcastAgentPresence(uid, EffectivePresence(uid));
    }
  }
}

void ChatService::OnPacket(ConnId conn, const Packet& req) {
  if (connections_.find(conn) == connections_.end()) connections_[conn] = 0;
  switch (req.command) {
    case kCommandLogin: return HandleLogin(conn, req, false);
    case kCommandRefreshLogin: return HandleLogin(conn, req, true);
    case kCommandRefreshSession: return HandleRefresh(conn, req);
    case kCommandLoadSessionCount: return HandleCounts(conn, req);
    case kCommandUpdateKFState: return HandlePresence(conn, req);
    case kCommandChatMessage: return HandleChat(conn, req);
    case kCommandStartData: return HandleInitData(conn, req);
    case kCommandCallPhone: return HandleCallPhone(conn, req);
    case kCommandRefreshMemberInfo: return HandleMemberInfo(conn, req);
    case kCommandQuickMsgClass: return HandleCategories(conn, req);
    case kCommandSaveAgentInfo: return HandleSaveSelf(conn, req);
    case kCommandGetOnlineVisitor: return HandleOnlineVisitors(conn, req);
    case kCommandSaveQuickMsg: return HandleAddCommon(conn, req);
    case kCommandGetQuickMessage: return HandleQuickLists(conn, req);
    case kCommandRegist: return Fail(conn, req, kResultRejected, "请到后台管理注册新账户");
    default: return Fail(conn, req, kResultUnknownCommand, "不支持的命令 " + std::to_string(req.command));
  }
}

void ChatService::OnUnreadable(ConnId conn, const Packet& partial) {
  Packet req = partial;
  req.msg.reset();
  req.login.reset();
  Fail(conn, req, kResultBadRequest, "无法解析的请求");
}

// ---------------------------------------------------------------- login and session

void ChatService::HandleLogin(ConnId conn, const Packet& req, bool again) {
  if (again && KeepAliveMuted()) {
    out_.Note(conn, "故障：不回答重新登录");
    return;
  }
  if (!req.login) return Fail(conn, req, kResultBadRequest, "登录请求格式错误");
  AgentAccount* account = data_.FindByName(req.login->username);
  if (account == nullptr) return Fail(conn, req, kResultUnknownUser, "用户名不存在");
  if (account->password != req.login->password) return Fail(conn, req, kResultBadCredentials, "密码错误");

  AgentRuntime& rt = agents_[account->uid];
  if (rt.conn != 0 && rt.conn != conn) {
    // The account logs in elsewhere: the older client is told and let go.
    Packet notice;
    notice.command = kCommandUpdateKFState;
    notice.sessionId = rt.session;
    MsgFields f = AgentMsg(*account);
    f.to = account->uid;
    f.toType = account->type;
    f.body = std::to_string(kNoticeLoggedInElsewhere);
    notice.msg = f;
    out_.Note(rt.conn, "账户在其它连接登录，强制下线 uid=" + std::to_string(account->uid));
    out_.Send(rt.conn, notice);
    connections_[rt.conn] = 0;
    rt.conn = 0;
  }
  // A connection that was another agent before stops being that agent.
  const auto c = connections_.find(conn);
  if (c != connections_.end() && c->second != 0 && c->second != account->uid) Unbind(c->second);

  const int before = EffectivePresence(account->uid);
  rt.previousSession = again ? rt.session : 0;
  rt.session = NewSession();
  rt.presence = RequestedPresence(req.login->state);
  Bind(conn, account->uid);
  MsgFields f = AgentMsg(*account);
  f.body = CompactJson(AgentDetailsJson(*account));
  Answer(conn, req, kResultOk, f);
  if (EffectivePresence(account->uid) != before) BroadcastAgentPresence(account->uid, rt.presence);
}

void ChatService::HandleRefresh(ConnId conn, const Packet& req) {
  if (KeepAliveMuted()) {
    out_.Note(conn, "故障：不回答刷新SESSION");
    return;
  }
  const std::int32_t agent = Identify(conn, req);
  if (agent == 0) {
    // An unknown session is not answered: the client's keep-alive then
    // turns to logging in again, as after a session expired on the server.
    out_.Note(conn, "会话无效，不回答刷新 SESSION_ID=" + std::to_string(req.sessionId));
    return;
  }
  AgentRuntime& rt = agents_[agent];
  rt.previousSession = rt.session;
  rt.session = NewSession();
  const AgentAccount* account = data_.FindByUid(agent);
  MsgFields f = req.msg.value_or(MsgFields{});
  f.account = account->account;
  f.from = 0;
  f.fromType = account->type;
  f.to = agent;
  f.toType = 0;
  // The client hands the parsed body to the same presence update that reads
  // "userstate" in the start data, which takes a JSON string holding the
  // list's text; a bare array would be passed over without a word.
  f.body = CompactJson(Json::Value(CompactJson(PresenceList())));
  Answer(conn, req, kResultOk, f);
}

void ChatService::HandlePresence(ConnId conn, const Packet& req) {
  const std::int32_t agent = Identify(conn, req);
  if (agent == 0) return Fail(conn, req, kResultNotLoggedIn, "会话无效，请重新登录");
  if (!req.msg) return Fail(conn, req, kResultBadRequest, "请求格式错误");
  const auto value = ParseInteger(req.msg->body);
  if (!value || (*value != kPresenceOffline && *value != kPresenceOnline && *value != kPresenceAway)) {
    return Fail(conn, req, kResultBadRequest, "状态值无效: " + req.msg->body);
  }
  AgentRuntime& rt = agents_[agent];
  if (*value == kPresenceOffline) {
    out_.Note(conn, "退出登录 uid=" + std::to_string(agent));
    Unbind(agent);
    rt.presence = kPresenceOffline;
    BroadcastAgentPresence(agent, EffectivePresence(agent));
    return;
  }
  rt.presence = static_cast<int>(*value);
  BroadcastAgentPresence(agent, rt.presence);
}

void ChatService::BroadcastAgentPresence(std::int32_t agent, int presence) {
  const AgentAccount* account = data_.FindByUid(agent);
  if (account == nullptr) return;
  for (const auto& [uid, rt] : agents_) {
    if (uid == agent || rt.conn == 0) continue;
    const AgentAccount* to = data_.FindByUid(uid);
    if (to == nullptr || to->account != account->account) continue;
    Packet notice;
    notice.command = kCommandUpdateKFState;
    notice.sessionId = rt.session;
    MsgFields f = AgentMsg(*account);
    f.fromType = kMemberKindAgent;
    f.to = uid;
    f.toType = kMemberKindAgent;
    f.body = std::to_string(presence);
    notice.msg = f;
    out_.Send(rt.conn, notice);
  }
}

// ---------------------------------------------------------------- start data and lists

void ChatService::HandleInitData(ConnId conn, const Packet& req) {
  const std::int32_t agent = Identify(conn, req);
  if (agent == 0) return Fail(conn, req, kResultNotLoggedIn, "会话无效，请重新登录");
  const AgentAccount* self = data_.FindByUid(agent);
  Json::Value users(Json::objectValue);
  for (const AgentGroup& g : data_.groups) {
    Json::Value members(Json::arrayValue);
    for (const std::int32_t uid : g.uids) {
      const AgentAccount* a = data_.FindByUid(uid);
      if (a == nullptr || a->account != self->account) continue;
      Json::Value m(Json::objectValue);
      m[kAgentKeyUid] = a->uid;
      m[kAgentKeyRealname] = a->details.realname;
      m[kAgentKeyUsername] = a->username;
      members.append(m);
    }
    users[g.name] = members;
  }
  Json::Value offMsg(Json::arrayValue);
  for (const OfflineMessage& m : offline_) {
    if (m.to != agent) continue;
    Json::Value v(Json::objectValue);
    v[kVisitorKeyId] = m.from;
    v[kVisitorKeyTime] = m.time;
    v[kVisitorKeySource] = m.source;
    v[kVisitorKeyCurrentPage] = m.currentPage;
    v[kVisitorKeyArea] = m.area;
    v[kVisitorKeyIp] = m.ip;
    v[kEntryKeyContent] = m.content;
    offMsg.append(v);
  }
  // An offline message is delivered once: a client that starts again (or
  // asks for the start data again) must not store it a second time. The
  // guestbook stays, as a web guestbook does, until the simulator ends.
  std::erase_if(offline_, [agent](const OfflineMessage& m) { return m.to == agent; });
  Json::Value gbook(Json::arrayValue);
  for (const GuestbookEntry& e : guestbook_) {
    if (e.to != agent && e.to != 0) continue;
    Json::Value v(Json::objectValue);
    v[kVisitorKeyId] = e.visitor;
    v[kEntryKeyName] = e.name;
    v[kEntryKeyPhone] = e.phone;
    v[kVisitorKeyTime] = e.time;
    v[kVisitorKeyArea] = e.area;
    v[kVisitorKeyCurrentPage] = e.currentPage;
    v[kVisitorKeySource] = e.source;
    v[kVisitorKeyIp] = e.ip;
    v[kEntryKeyContent] = e.content;
    gbook.append(v);
  }
  Json::Value root(Json::objectValue);
  root[kStartKeyUsers] = users;
  // The presence list travels as JSON text inside the document.
  root[kStartKeyUserState] = CompactJson(PresenceList());
  root[kStartKeyGuestbook][kStartKeyOfflineMessages] = offMsg;
  root[kStartKeyGuestbook][kStartKeyGuestbookEntries] = gbook;
  MsgFields f = AgentMsg(*self);
  f.body = CompactJson(root);
  Answer(conn, req, kResultOk, f);
}

void ChatService::HandleOnlineVisitors(ConnId conn, const Packet& req) {
  const std::int32_t agent = Identify(conn, req);
  if (agent == 0) return Fail(conn, req, kResultNotLoggedIn, "会话无效，请重新登录");
  Json::Value list(Json::arrayValue);
  for (const auto& [id, v] : visitors_) {
    if (v.state != kVisitorStateLeft) list.append(v.ToJson());
  }
  MsgFields f = AgentMsg(*data_.FindByUid(agent));
  f.body = CompactJson(list);
  Answer(conn, req, kResultOk, f);
}

void ChatService::HandleCounts(ConnId conn, const Packet& req) {
  const std::int32_t agent = Identify(conn, req);
  if (agent == 0) return Fail(conn, req, kResultNotLoggedIn, "会话无效，请重新登录");
  const std::string today = LocalDate(scheduler_.NowMillis() / 1000);
  int total = 0;
  int mine = 0;
  for (const auto& [date, visitor, who] : talks_) {
    if (date != today) continue;
    ++total;
    if (who == agent) ++mine;
  }
  Json::Value v(Json::objectValue);
  v["total_chat"] = total;
  v["my_chat"] = mine;
  MsgFields f = req.msg.value_or(MsgFields{});
  f.body = CompactJson(v);
  Answer(conn, req, kResultOk, f);
}

void ChatService::HandleQuickLists(ConnId conn, const Packet& req) {
  const std::int32_t agent = Identify(conn, req);
  if (agent == 0) return Fail(conn, req, kResultNotLoggedIn, "会话无效，请重新登录");
  // The main window asks with the agent's triple and no BODY, on the agent's
  // own session; the chat window's request carries the credentials.
  const bool byTriple = req.msg && req.msg->body.empty() && req.msg->from == agent;
  Json::Value body;
  if (!byTriple && (!req.msg || !ParseJson(req.msg->body, &body) || !CheckCredentials(agent, body))) {
    return Fail(conn, req, kResultBadCredentials, "身份验证失败");
  }
  Json::Value root = QuickListsOf(agent);
  MsgFields f = req.msg.value_or(MsgFields{});
  f.body = CompactJson(root);
  Answer(conn, req, kResultOk, f);
}

Json::Value ChatService::QuickListsOf(std::int32_t agent) const {
  Json::Value common(Json::objectValue);
  Json::Value quick(Json::arrayValue);
  for (const QuickCategory& c : data_.categories) common[c.name] = Json::Value(Json::arrayValue);
  for (const SimCommonMessage& m : data_.common) {
    if (m.uid != 0 && m.uid != agent) continue;
    Json::Value v(Json::objectValue);
    v["content"] = m.content;
    v["uid"] = m.uid;
    v["cmid"] = m.cmid;
    v["ctid"] = m.ctid;
    v["type"] = m.type;
    common[data_.FindCategory(m.ctid)->name].append(v);
    if (m.type == 1) quick.append(m.content);
  }
  Json::Value root(Json::objectValue);
  root["common"] = common;
  root["quick"] = quick;
  return root;
}

std::string ChatService::PushUnorderedQuickLists(std::int32_t agent) {
  const auto it = agents_.find(agent);
  if (it == agents_.end()) return "客服不存在";
  if (it->second.conn == 0) return "该客服没有连接";
  // Written by hand: the categories in descending order, as some servers
  // write them, and a number ahead of the quick texts.
  const Json::Value root = QuickListsOf(agent);
  const Json::Value& common = root["common"];
  std::vector<std::string> names = common.getMemberNames();
  std::string text = "{\"common\":{";
  for (auto name = names.rbegin(); name != names.rend(); ++name) {
    if (name != names.rbegin()) text += ",";
    text += CompactJson(Json::Value(*name)) + ":" + CompactJson(common[*name]);
  }
  text += "},\"quick\":[" + std::to_string(kStrayQuickNumber);
  for (const Json::Value& q : root["quick"]) text += "," + CompactJson(q);
  text += "]}";
  Packet p;
  p.command = kCommandGetQuickMessage;
  p.sessionId = it->second.session;
  MsgFields f;
  if (const auto* account = data_.FindByUid(agent)) f.account = account->account;
  f.body = text;
  p.msg = f;
  out_.Send(it->second.conn, p);
  return {};
}

void ChatService::HandleCategories(ConnId conn, const Packet& req) {
  const std::int32_t agent = Identify(conn, req);
  if (agent == 0) return Fail(conn, req, kResultNotLoggedIn, "会话无效，请重新登录");
  Json::Value body;
  if (!req.msg || !ParseJson(req.msg->body, &body) || !CheckCredentials(agent, body)) {
    return Fail(conn, req, kResultBadCredentials, "身份验证失败");
  }
  Json::Value cm(Json::arrayValue);
  for (const QuickCategory& c : data_.categories) {
    Json::Value v(Json::objectValue);
    v["id"] = c.id;
    v["name"] = c.name;
    cm.append(v);
  }
  Json::Value root(Json::objectValue);
  root["cm"] = cm;
  MsgFields f = req.msg.value_or(MsgFields{});
  f.body = CompactJson(root);
  Answer(conn, req, kResultOk, f);
}

void ChatService::HandleAddCommon(ConnId conn, const Packet& req) {
  const std::int32_t agent = Identify(conn, req);
  if (agent == 0) return Fail(conn, req, kResultNotLoggedIn, "会话无效，请重新登录");
  Json::Value body;
  if (!req.msg || !ParseJson(req.msg->body, &body) || !CheckCredentials(agent, body)) {
    return Fail(conn, req, kResultBadCredentials, "身份验证失败");
  }
  const std::string content = TextOf(body, "content");
  if (content.empty()) return Fail(conn, req, kResultRejected, "常用语内容不能为空");
  if (!body["ctid"].isInt() || data_.FindCategory(body["ctid"].asInt()) == nullptr) {
    return Fail(conn, req, kResultRejected, "分类不存在，请选择已有的分类");
  }
  for (const SimCommonMessage& m : data_.common) {
    if (m.content == content && (m.uid == 0 || m.uid == agent)) return Fail(conn, req, kResultRejected, "常用语已存在");
  }
  SimCommonMessage m;
  m.cmid = nextCmid_++;
  m.ctid = body["ctid"].asInt();
  m.uid = agent;
  m.type = body["type"].isInt() && body["type"].asInt() == 1 ? 1 : 0;
  m.content = content;
  data_.common.push_back(m);
  MsgFields f = req.msg.value_or(MsgFields{});
  f.body = "新增成功";
  Answer(conn, req, kResultOk, f);
}

void ChatService::HandleSaveSelf(ConnId conn, const Packet& req) {
  const std::int32_t agent = Identify(conn, req);
  if (agent == 0) return Fail(conn, req, kResultNotLoggedIn, "会话无效，请重新登录");
  Json::Value body;
  if (!req.msg || !ParseJson(req.msg->body, &body) || !CheckCredentials(agent, body)) {
    return Fail(conn, req, kResultBadCredentials, "身份验证失败");
  }
  const std::string sex = TextOf(body, "sex");
  if (sex != "0" && sex != "1") return Fail(conn, req, kResultRejected, "性别无效");
  const std::string ageText = TextOf(body, "age");
  const auto age = ageText.empty() ? std::optional<std::int64_t>(0) : ParseInteger(ageText);
  if (!age || *age < 0 || *age > kMaxAge) return Fail(conn, req, kResultRejected, "年龄必须是0到150之间的数字");
  if (TextOf(body, "realname").empty()) return Fail(conn, req, kResultRejected, "姓名不能为空");
  const std::string email = TextOf(body, "email");
  if (!email.empty() && email.find('@') == std::string::npos) return Fail(conn, req, kResultRejected, "邮箱格式错误");
  AgentDetails& d = data_.FindByUid(agent)->details;
  d.sex = sex == "1" ? 1 : 0;
  d.age = static_cast<int>(*age);
  d.realname = TextOf(body, "realname");
  d.address = TextOf(body, "address");
  d.mobile = TextOf(body, "mobile");
  d.phone = TextOf(body, "phone");
  d.qq = TextOf(body, "qq");
  d.email = email;
  d.remark = TextOf(body, "remark");
  d.zipcode = TextOf(body, "zipcode");
  MsgFields f = req.msg.value_or(MsgFields{});
  f.body = "修改成功";
  Answer(conn, req, kResultOk, f);
}

void ChatService::HandleMemberInfo(ConnId conn, const Packet& req) {
  const std::int32_t agent = Identify(conn, req);
  if (agent == 0) return Fail(conn, req, kResultNotLoggedIn, "会话无效，请重新登录");
  if (!req.msg) return Fail(conn, req, kResultBadRequest, "请求格式错误");
  const SimVisitor* v = FindVisitor(req.msg->from);
  if (v == nullptr) return Fail(conn, req, kResultFailed, "访客不存在");
  MsgFields f = *req.msg;
  f.fromType = kMemberKindVisitor;
  f.body = CompactJson(v->ToJson());
  Answer(conn, req, kResultOk, f);
}

void ChatService::HandleCallPhone(ConnId conn, const Packet& req) {
  const std::int32_t agent = Identify(conn, req);
  if (agent == 0) return Fail(conn, req, kResultNotLoggedIn, "会话无效，请重新登录");
  Json::Value body;
  if (!req.msg || !ParseJson(req.msg->body, &body) || !body.isObject()) {
    return Fail(conn, req, kResultBadRequest, "请求格式错误");
  }
  const AgentAccount* a = data_.FindByUid(agent);
  const std::string number = TextOf(body, "to");
  int status = kCallbackSucceeded;
  static const std::regex kMobile("1[35789][0-9]{9}");
  if (TextOf(body, kAgentKeyUsername) != a->username || TextOf(body, kAgentKeyPassword) != a->password) {
    status = kCallbackLineRejected;
  } else if (std::find(data_.callback.blacklist.begin(), data_.callback.blacklist.end(), number) !=
             data_.callback.blacklist.end()) {
    status = kCallbackBlacklisted;
  } else if (!std::regex_match(number, kMobile)) {
    status = kCallbackBadNumber;
  } else if (callsPerNumber_[number] >= data_.callback.callsPerNumber) {
    status = kCallbackTooOftenByNumber;
  }
  if (forcedCallbackStatus_ != 0) {
    status = forcedCallbackStatus_;
    forcedCallbackStatus_ = 0;
  }
  if (status == kCallbackSucceeded) ++callsPerNumber_[number];
  MsgFields f = req.msg.value_or(MsgFields{});
  f.body = std::to_string(status);
  Answer(conn, req, kResultOk, f);
}

// ---------------------------------------------------------------- chat

void ChatService::HandleChat(ConnId conn, const Packet& req) {
  const std::int32_t agent = Identify(conn, req);
  if (agent == 0) return Fail(conn, req, kResultNotLoggedIn, "会话无效，请重新登录");
  agents_[agent].lastChatId = req.messageId;
  if (!req.msg) return Fail(conn, req, kResultBadRequest, "请求格式错误");
  if (req.msg->body.empty()) return Fail(conn, req, kResultRejected, "消息内容为空");
  if (req.msg->body.size() > kMaxChatBytes) return Fail(conn, req, kResultRejected, "消息过长");
  // The client addresses offline-message senders and guestbook authors by
  // kinds of its own; the id decides whom a line goes to.
  if (data_.FindByUid(req.msg->to) != nullptr) return AgentToAgent(conn, agent, req);
  return AgentToVisitor(conn, agent, req);
}

void ChatService::AgentToVisitor(ConnId conn, std::int32_t agent, const Packet& req) {
  auto it = visitors_.find(req.msg->to);
  if (it == visitors_.end() || it->second.state == kVisitorStateLeft) {
    return Fail(conn, req, kResultPeerOffline, req.msg->body);
  }
  SimVisitor& v = it->second;
  if (v.state == kVisitorStateEnded || (v.state == kVisitorStateTalking && v.agentId != agent)) {
    MsgFields f = *req.msg;
    out_.Note(conn, "访客不在与该客服交谈 visitor=" + std::to_string(v.id));
    return Answer(conn, req, kResultTalkEnded, f);
  }
  if (v.state != kVisitorStateTalking) StartTalk(v, agent);
  ScheduleVisitorReply(v.id);
}

void ChatService::AgentToAgent(ConnId conn, std::int32_t agent, const Packet& req) {
  const std::int32_t to = req.msg->to;
  const AgentAccount* sender = data_.FindByUid(agent);
  const AgentAccount* target = data_.FindByUid(to);
  if (to == agent || target->account != sender->account) {
    return Fail(conn, req, kResultFailed, "不能发送给该客服");
  }
  Packet line;
  line.command = kCommandChatMessage;
  MsgFields f = AgentMsg(*sender);
  f.fromType = kMemberKindAgent;
  f.to = to;
  f.toType = kMemberKindAgent;
  f.body = req.msg->body;
  line.msg = f;
  const AgentRuntime& rt = agents_[to];
  if (rt.session != 0) {
    DeliverToAgent(to, line);
    if (rt.presence == kPresenceAway) {
      return Fail(conn, req, kResultServerNotice, target->details.realname + " 暂时离开，消息已送达，稍后回复");
    }
    return;
  }
  if (target->scriptedPresence != kPresenceOffline) {
    ScheduleColleagueReply(to, agent);
    return;
  }
  OfflineMessage m;
  m.to = to;
  m.from = agent;
  m.time = Now();
  m.content = req.msg->body;
  offline_.push_back(m);
  Fail(conn, req, kResultPeerOffline, req.msg->body);
}

void ChatService::DeliverToAgent(std::int32_t agent, const Packet& packet) {
  AgentRuntime& rt = agents_[agent];
  Packet p = packet;
  p.sessionId = rt.session;
  if (rt.conn != 0) {
    out_.Send(rt.conn, p);
    return;
  }
  if (rt.session != 0) {
    // The client is reconnecting: the line waits for it.
    if (static_cast<std::int64_t>(rt.pending.size()) >= options_.pendingLimit) rt.pending.pop_front();
    rt.pending.push_back(p);
    return;
  }
  if (p.msg) {
    OfflineMessage m;
    m.to = agent;
    m.from = p.msg->from;
    m.time = Now();
    m.content = p.msg->body;
    if (const SimVisitor* v = FindVisitor(p.msg->from)) {
      m.source = v->source;
      m.currentPage = v->currentPage;
      m.area = v->area;
      m.ip = v->ip;
    }
    offline_.push_back(m);
  }
}

void ChatService::StartTalk(SimVisitor& visitor, std::int32_t agent) {
  visitor.state = kVisitorStateTalking;
  visitor.agentId = agent;
  CountTalk(visitor.id, agent);
  BroadcastVisitorState(visitor);
}

void ChatService::ScheduleVisitorReply(std::int32_t visitorId) {
  SimVisitor& v = visitors_[visitorId];
  std::string text;
  if (!v.replies.empty()) {
    text = v.replies.front();
    v.replies.pop_front();
  } else if (v.autoReply && !defaultReplies_.empty()) {
    text = defaultReplies_[defaultReplyIndex_++ % defaultReplies_.size()];
  } else {
    return;
  }
  scheduler_.After(options_.replyDelayMs, [this, visitorId, text] {
    const SimVisitor* v = FindVisitor(visitorId);
    if (v != nullptr && v->state == kVisitorStateTalking) VisitorSays(visitorId, text);
  });
}

void ChatService::ScheduleColleagueReply(std::int32_t colleague, std::int32_t to) {
  const AgentAccount* a = data_.FindByUid(colleague);
  if (a == nullptr || a->replies.empty()) return;
  AgentRuntime& rt = agents_[colleague];
  const std::string text = a->replies[rt.replyIndex++ % a->replies.size()];
  scheduler_.After(options_.replyDelayMs, [this, colleague, to, text] { ColleagueSays(colleague, to, text); });
}

bool ChatService::BuildChatLine(std::int32_t from, std::int32_t agent, const std::string& text, ConnId* conn,
                                Packet* packet) {
  const AgentAccount* target = data_.FindByUid(agent);
  if (target == nullptr || agents_[agent].conn == 0) return false;
  Packet line;
  line.command = kCommandChatMessage;
  line.sessionId = agents_[agent].session;
  MsgFields f;
  f.account = target->account;
  f.from = from;
  f.fromType = data_.FindByUid(from) != nullptr ? kMemberKindAgent : kMemberKindVisitor;
  f.to = agent;
  f.toType = kMemberKindAgent;
  f.body = text;
  line.msg = f;
  *conn = agents_[agent].conn;
  *packet = line;
  return true;
}

// ---------------------------------------------------------------- visitors

void ChatService::BroadcastVisitorState(const SimVisitor& v) {
  for (const auto& [uid, rt] : agents_) {
    if (rt.conn == 0) continue;
    const AgentAccount* a = data_.FindByUid(uid);
    Packet notice;
    notice.command = kCommandUpdateKFState;
    notice.sessionId = rt.session;
    MsgFields f;
    f.account = a->account;
    if (v.state == kVisitorStateInviting && v.agentId != 0 && v.agentId != uid) {
      // Another agent's invitation comes as that colleague's notice about
      // the visitor; the client turns it round.
      f.from = v.agentId;
      f.fromType = kMemberKindAgent;
      f.to = v.id;
      f.toType = kMemberKindVisitor;
    } else {
      f.from = v.id;
      f.fromType = kMemberKindVisitor;
      f.to = v.agentId;
      f.toType = kMemberKindAgent;
    }
    f.body = std::to_string(v.state);
    notice.msg = f;
    out_.Send(rt.conn, notice);
  }
}

void ChatService::BroadcastVisitorDetails(const SimVisitor& v) {
  for (const auto& [uid, rt] : agents_) {
    if (rt.conn == 0) continue;
    Packet notice;
    notice.command = kCommandUpdateKFState;
    notice.sessionId = rt.session;
    MsgFields f;
    f.account = data_.FindByUid(uid)->account;
    f.from = v.id;
    f.fromType = kMemberKindVisitor;
    f.to = uid;
    f.toType = kMemberKindAgent;
    f.body = CompactJson(v.ToJson());
    notice.msg = f;
    out_.Send(rt.conn, notice);
  }
}

std::int32_t ChatService::PickAgentFor(const SimVisitor& v) const {
  const auto held = agents_.find(v.agentId);
  if (held != agents_.end() && held->second.session != 0 && held->second.presence == kPresenceOnline) {
    return v.agentId;
  }
  if (v.preferredAgent != 0) return v.preferredAgent;
  // The online agent with the fewest conversations today takes the visitor.
  std::int32_t best = 0;
  std::size_t bestCount = 0;
  for (const auto& [uid, rt] : agents_) {
    if (rt.session == 0 || rt.presence != kPresenceOnline) continue;
    std::size_t count = 0;
    for (const auto& [date, visitor, who] : talks_) count += who == uid ? 1 : 0;
    if (best == 0 || count < bestCount) {
      best = uid;
      bestCount = count;
    }
  }
  return best;
}

std::string ChatService::VisitorArrives(SimVisitor visitor) {
  if (visitor.id <= 0) visitor.id = NextVisitorId();
  if (data_.FindByUid(visitor.id) != nullptr) return "该编号已是客服编号";
  if (visitor.onlineTime.empty()) visitor.onlineTime = Now();
  if (visitor.state == kVisitorStateLeft) visitor.state = kVisitorStateIdle;
  const auto existing = visitors_.find(visitor.id);
  if (existing != visitors_.end()) {
    // A returning visitor keeps the answers not yet given.
    if (visitor.replies.empty()) visitor.replies = existing->second.replies;
  }
  visitors_[visitor.id] = visitor;
  BroadcastVisitorDetails(visitors_[visitor.id]);
  return {};
}

std::string ChatService::VisitorUpdate(std::int32_t id, const std::map<std::string, std::string>& fields) {
  auto it = visitors_.find(id);
  if (it == visitors_.end()) return "访客不存在";
  SimVisitor& v = it->second;
  for (const auto& [key, value] : fields) {
    if (key == "area")
      v.area = value;
    else if (key == "page")
      v.currentPage = value;
    else if (key == "title")
      v.pageTitle = value;
    else if (key == "source")
      v.source = value;
    else if (key == "ip")
      v.ip = value;
    else if (key == "agent")
      v.preferredAgent = FindAgentUid(value);
    else
      return "未知的访客字段 " + key;
  }
  BroadcastVisitorDetails(v);
  return {};
}

std::string ChatService::Invite(std::int32_t visitor, std::int32_t agent) {
  auto it = visitors_.find(visitor);
  if (it == visitors_.end() || it->second.state == kVisitorStateLeft) return "访客不在线";
  if (data_.FindByUid(agent) == nullptr) return "客服不存在";
  if (it->second.state == kVisitorStateTalking) return "访客正在交谈中";
  it->second.state = kVisitorStateInviting;
  it->second.agentId = agent;
  BroadcastVisitorState(it->second);
  return {};
}

std::string ChatService::InviteAnswer(std::int32_t visitor, bool accepted) {
  auto it = visitors_.find(visitor);
  if (it == visitors_.end() || it->second.state != kVisitorStateInviting) return "访客没有被邀请";
  if (accepted) {
    StartTalk(it->second, it->second.agentId);
  } else {
    it->second.state = kVisitorStateRefused;
    BroadcastVisitorState(it->second);
  }
  return {};
}

std::string ChatService::VisitorSays(std::int32_t visitorId, const std::string& text) {
  auto it = visitors_.find(visitorId);
  if (it == visitors_.end()) return "访客不存在";
  SimVisitor& v = it->second;
  if (v.state == kVisitorStateLeft) {
    v.state = kVisitorStateIdle;
    BroadcastVisitorDetails(v);
  }
  if (v.state != kVisitorStateTalking) {
    const std::int32_t agent = PickAgentFor(v);
    if (agent == 0 || agents_[agent].session == 0) {
      // Nobody to talk to: the line waits as an offline message.
      const std::int32_t to =
          agent != 0 ? agent : (v.preferredAgent != 0 ? v.preferredAgent : data_.agents.front().uid);
      OfflineMessage m{to, v.id, Now(), v.source, v.currentPage, v.area, v.ip, text};
      offline_.push_back(m);
      return {};
    }
    StartTalk(v, agent);
  }
  const AgentAccount* a = data_.FindByUid(v.agentId);
  Packet line;
  line.command = kCommandChatMessage;
  MsgFields f;
  f.account = a->account;
  f.from = v.id;
  f.fromType = kMemberKindVisitor;
  f.to = a->uid;
  f.toType = kMemberKindAgent;
  f.body = text;
  line.msg = f;
  DeliverToAgent(a->uid, line);
  return {};
}

std::string ChatService::EndTalk(std::int32_t visitor) {
  auto it = visitors_.find(visitor);
  if (it == visitors_.end() || it->second.state != kVisitorStateTalking) return "访客不在交谈中";
  it->second.state = kVisitorStateEnded;
  BroadcastVisitorState(it->second);
  return {};
}

std::string ChatService::VisitorLeaves(std::int32_t visitor) {
  auto it = visitors_.find(visitor);
  if (it == visitors_.end() || it->second.state == kVisitorStateLeft) return "访客不在线";
  it->second.state = kVisitorStateLeft;
  BroadcastVisitorState(it->second);
  return {};
}

std::string ChatService::AddVisitorReply(std::int32_t visitor, const std::string& text) {
  auto it = visitors_.find(visitor);
  if (it == visitors_.end()) return "访客不存在";
  it->second.replies.push_back(text);
  return {};
}

void ChatService::AddDefaultReply(const std::string& text) { defaultReplies_.push_back(text); }

std::string ChatService::ColleagueSays(std::int32_t colleague, std::int32_t to, const std::string& text) {
  const AgentAccount* from = data_.FindByUid(colleague);
  const AgentAccount* target = data_.FindByUid(to);
  if (from == nullptr || target == nullptr) return "客服不存在";
  if (colleague == to) return "不能发给自己";
  Packet line;
  line.command = kCommandChatMessage;
  MsgFields f = AgentMsg(*from);
  f.fromType = kMemberKindAgent;
  f.to = to;
  f.toType = kMemberKindAgent;
  f.body = text;
  line.msg = f;
  if (agents_[to].session == 0) {
    OfflineMessage m;
    m.to = to;
    m.from = colleague;
    m.time = Now();
    m.content = text;
    offline_.push_back(m);
    return {};
  }
  DeliverToAgent(to, line);
  return {};
}

std::string ChatService::SetScriptedPresence(std::int32_t agent, int presence) {
  AgentAccount* a = data_.FindByUid(agent);
  if (a == nullptr) return "客服不存在";
  if (presence < kPresenceOffline || presence > kPresenceAway) return "状态只能是 1、2 或 3";
  if (agents_[agent].session != 0) return "该客服已由客户端登录";
  a->scriptedPresence = presence;
  BroadcastAgentPresence(agent, presence);
  return {};
}

std::string ChatService::AddOfflineMessage(OfflineMessage message) {
  if (data_.FindByUid(message.to) == nullptr) return "客服不存在";
  if (message.time.empty()) message.time = Now();
  offline_.push_back(std::move(message));
  return {};
}

std::string ChatService::AddGuestbookEntry(GuestbookEntry entry) {
  if (entry.to != 0 && data_.FindByUid(entry.to) == nullptr) return "客服不存在";
  if (entry.time.empty()) entry.time = Now();
  guestbook_.push_back(std::move(entry));
  return {};
}

std::string ChatService::KickAgent(std::int32_t agent) {
  const AgentAccount* a = data_.FindByUid(agent);
  if (a == nullptr) return "客服不存在";
  AgentRuntime& rt = agents_[agent];
  if (rt.conn == 0) return "该客服没有连接";
  Packet notice;
  notice.command = kCommandUpdateKFState;
  notice.sessionId = rt.session;
  MsgFields f = AgentMsg(*a);
  f.to = agent;
  f.toType = a->type;
  f.body = std::to_string(kNoticeLoggedInElsewhere);
  notice.msg = f;
  out_.Send(rt.conn, notice);
  Unbind(agent);
  rt.presence = kPresenceOffline;
  BroadcastAgentPresence(agent, EffectivePresence(agent));
  return {};
}

std::string ChatService::SendRawNotice(std::int32_t agent, std::int32_t command, const MsgFields& fields,
                                       std::uint8_t result, std::int64_t messageId, bool withMsg, int times) {
  const auto it = agents_.find(agent);
  if (it == agents_.end()) return "客服不存在";
  if (it->second.conn == 0) return "该客服没有连接";
  Packet p;
  p.messageId = messageId == kLastChatId ? it->second.lastChatId : messageId;
  p.command = command;
  p.result = result;
  p.sessionId = it->second.session;
  if (withMsg) p.msg = fields;
  for (int i = 0; i < times; ++i) out_.Send(it->second.conn, p);
  return {};
}

// ---------------------------------------------------------------- look-ups

std::int32_t ChatService::NextVisitorId() const {
  std::int32_t next = 3001;
  if (!visitors_.empty()) next = std::max(next, visitors_.rbegin()->first + 1);
  while (data_.FindByUid(next) != nullptr) ++next;
  return next;
}

std::int32_t ChatService::FindAgentUid(const std::string& nameOrUid) const {
  if (const auto uid = ParseInteger(nameOrUid)) {
    return data_.FindByUid(static_cast<std::int32_t>(*uid)) != nullptr ? static_cast<std::int32_t>(*uid) : 0;
  }
  for (const AgentAccount& a : data_.agents) {
    if (a.username == nameOrUid) return a.uid;
  }
  return 0;
}

ConnId ChatService::ConnectionOf(std::int32_t agent) const {
  const auto it = agents_.find(agent);
  return it == agents_.end() ? 0 : it->second.conn;
}

std::int32_t ChatService::AgentOf(ConnId conn) const {
  const auto it = connections_.find(conn);
  return it == connections_.end() ? 0 : it->second;
}

int ChatService::PresenceOf(std::int32_t agent) const { return EffectivePresence(agent); }

std::int64_t ChatService::CurrentSession(std::int32_t agent) const {
  const auto it = agents_.find(agent);
  return it == agents_.end() ? 0 : it->second.session;
}

const SimVisitor* ChatService::FindVisitor(std::int32_t id) const {
  const auto it = visitors_.find(id);
  return it == visitors_.end() ? nullptr : &it->second;
}

std::string ChatService::StatusText() const {
  std::ostringstream s;
  s << "客服:\n";
  for (const AgentAccount& a : data_.agents) {
    const AgentRuntime& rt = agents_.at(a.uid);
    s << "  " << a.uid << " " << a.username << " " << a.details.realname << " presence=" << EffectivePresence(a.uid)
      << " conn=" << rt.conn << (rt.session != 0 ? " 已登录" : "") << "\n";
  }
  s << "访客:\n";
  for (const auto& [id, v] : visitors_) {
    s << "  " << id << " state=" << v.state << " agent=" << v.agentId << " " << v.area << " " << v.currentPage << "\n";
  }
  s << "离线消息: " << offline_.size() << "  留言: " << guestbook_.size() << "  今日会话: " << talks_.size() << "\n";
  return s.str();
}

}  // namespace kanzo
