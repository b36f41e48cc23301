#include "control.h"

#include <sstream>

#include "packet_codec.h"
#include "sim_commands.h"
#include "sim_text.h"

namespace kanzo {

namespace {

constexpr std::size_t kDefaultFrameLines = 20;
constexpr std::size_t kDefaultGarbageBytes = 16;
constexpr std::size_t kDefaultSplitBytes = 3;
constexpr std::int64_t kMillisPerSecond = 1000;
// The most copies one notice command sends.
constexpr std::int64_t kMaxNoticeRepeats = 10;
constexpr const char* kConnPrefix = "conn:";

ControlAnswer Ok(std::string text = {}) { return ControlAnswer{true, std::move(text)}; }
ControlAnswer Err(std::string text) { return ControlAnswer{false, std::move(text)}; }
ControlAnswer FromReason(const std::string& reason, std::string okText = {}) {
  return reason.empty() ? Ok(std::move(okText)) : Err(reason);
}

// The free text of a command: the words at the given indices joined as
// written, from the first such index to the end of the line.
std::string FreeText(const CommandWords& w, const std::vector<std::size_t>& rest, std::size_t skip) {
  if (rest.size() <= skip) return {};
  // Options after the text belong to the text: a line is "cmd args text".
  std::string text = w.TextFrom(rest[skip]);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"' && rest.size() == skip + 1) {
    return w.words[rest[skip]];
  }
  return text;
}

}  // namespace

ControlCommands::ControlCommands(ChatService& service, SimServer& server, FrameLog& log, SimScheduler& clock)
    : service_(service), server_(server), log_(log), clock_(clock) {}

const char* ControlCommands::HelpText() {
  return "help                                   本说明\n"
         "status                                 客服、访客、连接一览\n"
         "visitor [id] [area= page= title= source= ip= agent= autoreply=0|1]   访客到达（或更新）\n"
         "update <visitor> key=value...          修改访客信息（area page title source ip agent）\n"
         "invite <visitor> <agent>               客服邀请访客（101）\n"
         "accept <visitor> | refuse <visitor>    访客接受（105）或拒绝（102）邀请\n"
         "say <visitor> <text>                   访客发一句话（必要时分配客服）\n"
         "reply <visitor> <text>                 客服发给该访客后访客的回答（依次使用）\n"
         "autoreply <text>                       访客没有专门回答时的通用回答\n"
         "end <visitor> | leave <visitor>        结束交谈（104）| 访客离开（1）\n"
         "colleague <agent> to=<agent> <text>    同事发来一句话\n"
         "presence <agent> <1|2|3>               未登录同事的状态（离线、在线、离开）\n"
         "offmsg <from> to=<agent> [time= area= page= source= ip=] <text>   离线消息\n"
         "gbook <visitor> [to=<agent>] name= phone= [time= area= page= source= ip=] <text>   留言\n"
         "kick <agent>                           强制下线（命令8，BODY 4）\n"
         "notice <agent> [cmd=8] [result=0] [id=N|last] [msg=none] [times=N] from= fromtype= to= totype= [account=] "
         "<body>   任意通知\n"
         "quicklists <agent>                     推送快捷消息（分类逆序，quick 中夹一个数字）\n"
         "callback <status>                      下一次回拨请求回答的状态码\n"
         "compress <bytes>|off                   超过该长度的帧用gzip压缩\n"
         "fault close <target>                   关闭连接\n"
         "fault garbage <target> [bytes]         发送垃圾数据\n"
         "fault huge <target>                    发送长度超大的帧头\n"
         "fault split <target> <bytes>|off       帧拆成小段发送\n"
         "fault delay <target> <ms>|off          延迟回答\n"
         "fault mute <seconds>                   这段时间内不回答刷新SESSION和重新登录\n"
         "fault hang <target> [off]              连接保持打开，但什么都不回答\n"
         "flood <agent> <count> [from=<id>] [text]   尽快发送大量聊天消息\n"
         "frames [n]                             帧日志最后n行\n"
         "quit                                   退出模拟器\n"
         "<target>: conn:N | 客服用户名或编号 | all";
}

std::int32_t ControlCommands::Agent(const std::string& nameOrUid, std::string* error) const {
  const std::int32_t uid = service_.FindAgentUid(nameOrUid);
  if (uid == 0) *error = "客服不存在: " + nameOrUid;
  return uid;
}

std::int32_t ControlCommands::VisitorId(const std::string& text, std::string* error) const {
  const auto id = ParseInteger(text);
  if (!id || *id <= 0 || *id > INT32_MAX) {
    *error = "访客编号无效: " + text;
    return 0;
  }
  return static_cast<std::int32_t>(*id);
}

std::vector<ConnId> ControlCommands::Targets(const std::string& target, std::string* error) const {
  if (target == "all") return server_.Connections();
  if (target.rfind(kConnPrefix, 0) == 0) {
    const auto id = ParseInteger(target.substr(std::string(kConnPrefix).size()));
    if (!id || !server_.HasConnection(static_cast<ConnId>(*id))) {
      *error = "连接不存在: " + target;
      return {};
    }
    return {static_cast<ConnId>(*id)};
  }
  const std::int32_t uid = Agent(target, error);
  if (uid == 0) return {};
  const ConnId conn = service_.ConnectionOf(uid);
  if (conn == 0) {
    *error = "该客服没有连接: " + target;
    return {};
  }
  return {conn};
}

ControlAnswer ControlCommands::Execute(const std::string& line) {
  CommandWords w;
  std::string error;
  if (!SplitCommandLine(line, &w, &error)) return Err(error);
  if (w.size() == 0 || w.at(0)[0] == '#') return Ok();
  const std::string& cmd = w.at(0);
  std::vector<std::size_t> rest;
  const auto options = TakeOptions(w, 1, &rest);
  auto arg = [&](std::size_t i) -> std::string { return i < rest.size() ? w.words[rest[i]] : std::string(); };

  if (cmd == "help") return Ok(HelpText());
  if (cmd == "status") {
    return Ok(service_.StatusText() + "连接:\n" + server_.ConnectionsText() +
              "压缩阈值: " + std::to_string(server_.compressAbove()));
  }
  if (cmd == "visitor") return Visitor(w);
  if (cmd == "update") {
    const std::int32_t id = VisitorId(arg(0), &error);
    if (id == 0) return Err(error);
    return FromReason(service_.VisitorUpdate(id, options));
  }
  if (cmd == "invite") {
    const std::int32_t id = VisitorId(arg(0), &error);
    const std::int32_t agent = id != 0 ? Agent(arg(1), &error) : 0;
    if (agent == 0) return Err(error);
    return FromReason(service_.Invite(id, agent));
  }
  if (cmd == "accept" || cmd == "refuse") {
    const std::int32_t id = VisitorId(arg(0), &error);
    if (id == 0) return Err(error);
    return FromReason(service_.InviteAnswer(id, cmd == "accept"));
  }
  if (cmd == "say" || cmd == "reply") {
    const std::int32_t id = VisitorId(arg(0), &error);
    if (id == 0) return Err(error);
    const std::string text = FreeText(w, rest, 1);
    if (text.empty()) return Err("缺少消息内容");
    return FromReason(cmd == "say" ? service_.VisitorSays(id, text) : service_.AddVisitorReply(id, text));
  }
  if (cmd == "autoreply") {
    const std::string text = w.TextFrom(1);
    if (text.empty()) return Err("缺少回答内容");
    service_.AddDefaultReply(text);
    return Ok();
  }
  if (cmd == "end" || cmd == "leave") {
    const std::int32_t id = VisitorId(arg(0), &error);
    if (id == 0) return Err(error);
    return FromReason(cmd == "end" ? service_.EndTalk(id) : service_.VisitorLeaves(id));
  }
  if (cmd == "colleague") {
    const std::int32_t from = Agent(arg(0), &error);
    const std::int32_t to = from != 0 ? Agent(options.count("to") ? options.at("to") : "", &error) : 0;
    if (to == 0) return Err(error);
    const std::string text = FreeText(w, rest, 1);
    if (text.empty()) return Err("缺少消息内容");
    return FromReason(service_.ColleagueSays(from, to, text));
  }
  if (cmd == "presence") {
    const std::int32_t agent = Agent(arg(0), &error);
    if (agent == 0) return Err(error);
    const auto presence = ParseInteger(arg(1));
    if (!presence) return Err("状态无效: " + arg(1));
    return FromReason(service_.SetScriptedPresence(agent, static_cast<int>(*presence)));
  }
  if (cmd == "offmsg") return Offline(w);
  if (cmd == "gbook") return Guestbook(w);
  if (cmd == "kick") {
    const std::int32_t agent = Agent(arg(0), &error);
    if (agent == 0) return Err(error);
    return FromReason(service_.KickAgent(agent));
  }
  if (cmd == "notice") return Notice(w);
  if (cmd == "quicklists") {
    const std::int32_t agent = Agent(arg(0), &error);
    if (agent == 0) return Err(error);
    return FromReason(service_.PushUnorderedQuickLists(agent));
  }
  if (cmd == "callback") {
    const auto status = ParseInteger(arg(0));
    if (!status) return Err("状态码无效: " + arg(0));
    service_.ForceNextCallbackStatus(static_cast<int>(*status));
    return Ok();
  }
  if (cmd == "compress") {
    if (arg(0) == "off") {
      server_.SetCompressAbove(kNeverCompress);
      return Ok();
    }
    const auto bytes = ParseInteger(arg(0));
    if (!bytes || *bytes < 0 || *bytes > INT32_MAX) return Err("长度无效: " + arg(0));
    server_.SetCompressAbove(static_cast<std::int32_t>(*bytes));
    return Ok();
  }
  if (cmd == "fault") return Fault(w);
  if (cmd == "flood") return Flood(w);
  if (cmd == "frames") {
    const auto n = arg(0).empty() ? std::optional<std::int64_t>(kDefaultFrameLines) : ParseInteger(arg(0));
    if (!n || *n <= 0) return Err("行数无效: " + arg(0));
    std::string text;
    for (const std::string& l : log_.Tail(static_cast<std::size_t>(*n))) text += (text.empty() ? "" : "\n") + l;
    return Ok(text);
  }
  if (cmd == "quit") {
    if (quit_) quit_();
    return Ok("再见");
  }
  return Err("未知命令: " + cmd + "（help 列出全部命令）");
}

ControlAnswer ControlCommands::Visitor(const CommandWords& w) {
  std::vector<std::size_t> rest;
  const auto options = TakeOptions(w, 1, &rest);
  SimVisitor v;
  std::string error;
  if (!rest.empty()) {
    v.id = VisitorId(w.words[rest[0]], &error);
    if (v.id == 0) return Err(error);
  }
  for (const auto& [key, value] : options) {
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
    else if (key == "time")
      v.onlineTime = value;
    else if (key == "autoreply")
      v.autoReply = value != "0";
    else if (key == "agent") {
      v.preferredAgent = Agent(value, &error);
      if (v.preferredAgent == 0) return Err(error);
    } else {
      return Err("未知的访客字段 " + key);
    }
  }
  if (v.id == 0) v.id = service_.NextVisitorId();
  const std::int32_t id = v.id;
  return FromReason(service_.VisitorArrives(std::move(v)), "访客 " + std::to_string(id));
}

ControlAnswer ControlCommands::Offline(const CommandWords& w) {
  std::vector<std::size_t> rest;
  const auto options = TakeOptions(w, 1, &rest);
  std::string error;
  OfflineMessage m;
  const auto from = ParseInteger(rest.empty() ? "" : w.words[rest[0]]);
  if (!from || *from <= 0) return Err("发送者编号无效");
  m.from = static_cast<std::int32_t>(*from);
  m.to = Agent(options.count("to") ? options.at("to") : "", &error);
  if (m.to == 0) return Err(error);
  if (options.count("time")) m.time = options.at("time");
  if (options.count("area")) m.area = options.at("area");
  if (options.count("page")) m.currentPage = options.at("page");
  if (options.count("source")) m.source = options.at("source");
  if (options.count("ip")) m.ip = options.at("ip");
  m.content = FreeText(w, rest, 1);
  if (m.content.empty()) return Err("缺少消息内容");
  return FromReason(service_.AddOfflineMessage(std::move(m)));
}

ControlAnswer ControlCommands::Guestbook(const CommandWords& w) {
  std::vector<std::size_t> rest;
  const auto options = TakeOptions(w, 1, &rest);
  std::string error;
  GuestbookEntry e;
  e.visitor = VisitorId(rest.empty() ? "" : w.words[rest[0]], &error);
  if (e.visitor == 0) return Err(error);
  if (options.count("to")) {
    e.to = Agent(options.at("to"), &error);
    if (e.to == 0) return Err(error);
  }
  auto take = [&](const char* key, std::string* field) {
    if (options.count(key)) *field = options.at(key);
  };
  take("name", &e.name);
  take("phone", &e.phone);
  take("time", &e.time);
  take("area", &e.area);
  take("page", &e.currentPage);
  take("source", &e.source);
  take("ip", &e.ip);
  e.content = FreeText(w, rest, 1);
  if (e.content.empty()) return Err("缺少留言内容");
  return FromReason(service_.AddGuestbookEntry(std::move(e)));
}

ControlAnswer ControlCommands::Notice(const CommandWords& w) {
  std::vector<std::size_t> rest;
  const auto options = TakeOptions(w, 1, &rest);
  std::string error;
  const std::int32_t agent = Agent(rest.empty() ? "" : w.words[rest[0]], &error);
  if (agent == 0) return Err(error);
  auto number = [&](const char* key, std::int64_t fallback, bool* ok) -> std::int64_t {
    if (!options.count(key)) return fallback;
    const auto v = ParseInteger(options.at(key));
    if (!v) *ok = false;
    return v.value_or(0);
  };
  bool ok = true;
  MsgFields f;
  const std::int64_t command = number("cmd", kCommandUpdateKFState, &ok);
  const std::int64_t result = number("result", 0, &ok);
  f.account = static_cast<std::int32_t>(number("account", 0, &ok));
  f.from = static_cast<std::int32_t>(number("from", 0, &ok));
  f.fromType = static_cast<std::int8_t>(number("fromtype", 0, &ok));
  f.to = static_cast<std::int32_t>(number("to", agent, &ok));
  f.toType = static_cast<std::int8_t>(number("totype", kMemberKindAgent, &ok));
  std::int64_t messageId = 0;
  if (options.count("id")) {
    messageId = options.at("id") == "last" ? ChatService::kLastChatId : number("id", 0, &ok);
  }
  const bool withMsg = !options.count("msg") || options.at("msg") != "none";
  const std::int64_t times = number("times", 1, &ok);
  if (!ok || result < 0 || result > UINT8_MAX || messageId < ChatService::kLastChatId || times < 1 ||
      times > kMaxNoticeRepeats)
    return Err("数字参数无效");
  f.body = FreeText(w, rest, 1);
  return FromReason(service_.SendRawNotice(agent, static_cast<std::int32_t>(command), f,
                                           static_cast<std::uint8_t>(result), messageId, withMsg,
                                           static_cast<int>(times)));
}

ControlAnswer ControlCommands::Fault(const CommandWords& w) {
  if (w.size() < 2) return Err("用法: fault close|garbage|huge|split|delay|mute|hang ...");
  const std::string& kind = w.at(1);
  std::string error;
  if (kind == "mute") {
    const auto seconds = ParseInteger(w.size() > 2 ? w.at(2) : "");
    if (!seconds || *seconds < 0) return Err("秒数无效");
    service_.MuteKeepAlive(clock_.NowMillis() + *seconds * kMillisPerSecond);
    log_.Note(0, "故障：" + std::to_string(*seconds) + " 秒内不回答刷新SESSION和重新登录");
    return Ok();
  }
  if (w.size() < 3) return Err("缺少目标（conn:N、客服或 all）");
  const std::vector<ConnId> targets = Targets(w.at(2), &error);
  if (targets.empty()) return Err(error.empty() ? "没有连接" : error);
  const std::string value = w.size() > 3 ? w.at(3) : "";
  for (const ConnId conn : targets) {
    std::string reason;
    if (kind == "close") {
      reason = server_.CloseConnection(conn);
    } else if (kind == "garbage") {
      const auto bytes = value.empty() ? std::optional<std::int64_t>(kDefaultGarbageBytes) : ParseInteger(value);
      if (!bytes || *bytes <= 0) return Err("字节数无效");
      reason = server_.SendGarbage(conn, static_cast<std::size_t>(*bytes));
    } else if (kind == "huge") {
      reason = server_.SendHugeLength(conn);
    } else if (kind == "split") {
      const auto bytes = value == "off"
                             ? std::optional<std::int64_t>(0)
                             : (value.empty() ? std::optional<std::int64_t>(kDefaultSplitBytes) : ParseInteger(value));
      if (!bytes || *bytes < 0) return Err("字节数无效");
      reason = server_.SetSplit(conn, static_cast<std::size_t>(*bytes));
    } else if (kind == "hang") {
      if (!value.empty() && value != "off") return Err("用法: fault hang <target> [off]");
      reason = server_.SetHang(conn, value.empty());
    } else if (kind == "delay") {
      const auto ms = value == "off" ? std::optional<std::int64_t>(0) : ParseInteger(value);
      if (!ms || *ms < 0) return Err("毫秒数无效");
      reason = server_.SetDelay(conn, *ms);
    } else {
      return Err("未知故障: " + kind);
    }
    if (!reason.empty()) return Err(reason);
  }
  return Ok();
}

ControlAnswer ControlCommands::Flood(const CommandWords& w) {
  std::vector<std::size_t> rest;
  const auto options = TakeOptions(w, 1, &rest);
  std::string error;
  const std::int32_t agent = Agent(rest.empty() ? "" : w.words[rest[0]], &error);
  if (agent == 0) return Err(error);
  const auto count = ParseInteger(rest.size() > 1 ? w.words[rest[1]] : "");
  if (!count || *count <= 0) return Err("数量无效");
  std::int32_t from = service_.NextVisitorId();
  if (options.count("from")) {
    const auto f = ParseInteger(options.at("from"));
    if (!f || *f <= 0) return Err("发送者编号无效");
    from = static_cast<std::int32_t>(*f);
  }
  std::string text = FreeText(w, rest, 2);
  if (text.empty()) text = "压力测试消息";
  ConnId conn = 0;
  Packet line;
  if (!service_.BuildChatLine(from, agent, text, &conn, &line)) return Err("该客服没有连接");
  return FromReason(server_.Flood(conn, line, *count), "conn:" + std::to_string(conn));
}

}  // namespace kanzo
