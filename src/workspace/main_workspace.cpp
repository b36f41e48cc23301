#include "workspace/main_workspace.h"

#include <cstdlib>
#include <map>
#include <string>

#include "log/cx_log.h"
#include "platform/narrow_text.h"
#include "protocol/wire_values.h"
#include "records/agent_requests.h"
#include "windows/window_links.h"
#include "workspace/agent_group.h"
#include "workspace/json_body.h"
#include "workspace/main_texts.h"

namespace kanzo {
namespace {

// A stored setting is taken only when it is one of the setting's values.
std::int32_t StoredSetting(const DbRow& row, std::size_t column, bool (*valid)(std::int32_t), std::int32_t fallback) {
  if (column >= row.size()) return fallback;
  char* end = nullptr;
  const long value = std::strtol(row[column].c_str(), &end, 10);
  if (end == row[column].c_str()) return fallback;
  const auto v = static_cast<std::int32_t>(value);
  return valid(v) ? v : fallback;
}

// Columns of a setting_info row.
constexpr std::size_t kFlickColumn = 1;
constexpr std::size_t kSoundColumn = 2;

}  // namespace

MainWorkspace::MainWorkspace(MainWorkspaceView& view, WindowContext& context) : view_(view), context_(context) {}

bool MainWorkspace::SendToPane(const char* name, platform::WParam kind) const {
  const platform::WindowId pane = context_.router.IdOf(name);
  if (pane == platform::kNoWindow) return false;
  platform::SendWindowMessage(pane, kPaneDataMessage, kind, 0);
  return true;
}

bool MainWorkspace::SendToPane(const char* name, platform::WParam kind, const Json::Value& data) const {
  const platform::WindowId pane = context_.router.IdOf(name);
  if (pane == platform::kNoWindow) return false;
  platform::SendPayload(pane, kPaneJson, kind, data);
  return true;
}

void MainWorkspace::SendAgentRequest(CommandCode code, const std::string& body, bool withTriple) {
  Msg msg = withTriple ? AgentRequest(context_.records.agent.Triple()) : Msg();
  msg.BODY = body;
  Message message(true);
  message.command = code;
  message.setBody(&msg);
  context_.send(message);
}

void MainWorkspace::LoadSessionCount() {
  KLOG_INFO("正在加载会话统计信息...");
  SendAgentRequest(kCommandLoadSessionCount, "", false);
}

void MainWorkspace::GetInitData() { SendAgentRequest(kCommandStartData, "", true); }

void MainWorkspace::GetOnlineVisitor() {
  KLOG_INFO("正在加载在线访客...");
  SendAgentRequest(kCommandGetOnlineVisitor, "", true);
}

void MainWorkspace::GetQuickMessage() {
  KLOG_INFO("正在加载快捷消息...");
  SendAgentRequest(kCommandGetQuickMessage, "", true);
}

void MainWorkspace::UpdateKFState(int presence) {
  if (presence == kPresenceAway) {
    KLOG_INFO("设置客服离开");
  } else {
    KLOG_INFO("设置客服上线");
  }
  SendAgentRequest(kCommandUpdateKFState, std::to_string(presence), true);
}

void MainWorkspace::OnNetworkMessage(std::unique_ptr<Message> message) {
  if (!message) return;
  const Msg* body = message->bodyAs<Msg>();
  switch (message->command) {
    case kCommandLoadSessionCount: ShowSessionCount(body); break;
    case kCommandStartData: InitLoadData(body); break;
    case kCommandGetOnlineVisitor: LoadOnlineVisitor(body); break;
    case kCommandGetQuickMessage:
      if (body) LoadQuickMessage(body);
      break;
    case kCommandUpdateKFState:
      if (body) {
        OnPresenceNotice(*body);
      } else {
        KLOG_WARN("状态通知没有消息体 MESSAGE_ID=%lld", static_cast<long long>(message->MESSAGE_ID));
      }
      break;
    default: break;
  }
}

void MainWorkspace::ShowSessionCount(const Msg* body) {
  // Without a body there is nothing to count; the line stays as it is.
  if (!body) return;
  Json::Value root;
  ParseJsonBody(body->BODY, &root);
  const std::int32_t total = JsonInt(JsonMember(root, "total_chat"));
  const std::int32_t mine = JsonInt(JsonMember(root, "my_chat"));
  const std::int32_t kind = context_.records.agent.Copy().agentKind;
  view_.ShowSessionCount(SessionCountText(total, mine, kind));
  KLOG_INFO("加载 会话统计信息：%s", body->BODY.c_str());
}

void MainWorkspace::OnLoginRenewed() {
  if (!startData_) GetInitData();
}

void MainWorkspace::InitLoadData(const Msg* body) {
  startData_ = true;
  Json::Value root;
  if (body && ParseJsonBody(body->BODY, &root)) {
    const Json::Value& users = JsonMember(root, kStartKeyUsers);
    const Json::Value& userstate = JsonMember(root, kStartKeyUserState);
    const Json::Value& guestbook = JsonMember(root, kStartKeyGuestbook);
    KLOG_DEBUG("加载 客服列表：%s", CompactJsonText(users).c_str());
    KLOG_DEBUG("加载 客服状态：%s", CompactJsonText(userstate).c_str());
    KLOG_DEBUG("加载 留言和离线消息：%s", CompactJsonText(guestbook).c_str());
    // The colleague pane loads groups from an object; any other value
    // would only be thrown away there.
    const std::string group = AgentGroupOf(users, context_.records.agent.AgentId());
    context_.records.agent.Update([&group](AgentRecord& r) { r.userGroup = group; });
    if (users.isObject()) SendToPane(kContactPaneName, kPaneLoad, users);
    if (!userstate.isNull()) LoadUserState(userstate);
    if (guestbook.isNull() || guestbook.isObject()) {
      const Json::Value& offMsg = JsonMember(guestbook, kStartKeyOfflineMessages);
      const Json::Value& gbook = JsonMember(guestbook, kStartKeyGuestbookEntries);
      if (offMsg.isArray() && offMsg.size() > 0) SendToPane(kSessionPaneName, kPaneOfflineMessages, offMsg);
      if (gbook.isArray() && gbook.size() > 0) SendToPane(kSessionPaneName, kPaneGuestbook, gbook);
    }
  }
  view_.ShowAgentDetails();
}

void MainWorkspace::LoadUserState(const Json::Value& userstate) {
  // The server sends the list as a JSON text inside the document.
  if (!userstate.isString()) return;
  Json::Value list;
  if (!ParseJsonBody(platform::Utf8ToNarrow(userstate.asString()), &list)) return;
  if (!list.isNull() && !list.isArray()) return;

  std::map<std::int32_t, std::int32_t> presence;
  for (const Json::Value& entry : list) {
    if (!entry.isArray() || entry.size() < 2) continue;
    // The first entry of an id counts.
    presence.emplace(JsonInt(entry[0]), JsonInt(entry[1]));
  }
  const auto presenceOf = [&presence](std::int32_t id) {
    const auto it = presence.find(id);
    return it == presence.end() ? kPresenceOffline : it->second;
  };

  context_.records.contacts.ForEach([&](ContactRecord& record) {
    if (record.kind == kContactKindAgent) record.state = presenceOf(record.id);
  });
  SendToPane(kContactPaneName, kPaneNotice);
  view_.ShowState(presenceOf(context_.records.agent.AgentId()));
}

void MainWorkspace::LoadOnlineVisitor(const Msg* body) {
  if (!body) return;
  KLOG_DEBUG("加载 在线访客列表：%s", body->BODY.c_str());
  Json::Value root;
  if (!ParseJsonBody(body->BODY, &root)) return;
  if (root.isNull() || root.isArray()) SendToPane(kOnlinePaneName, kPaneLoad, root);
}

void MainWorkspace::LoadQuickMessage(const Msg* body) {
  if (!body) return;
  KLOG_DEBUG("加载 快捷消息：%s", body->BODY.c_str());
  Json::Value root;
  if (!ParseJsonBody(body->BODY, &root)) return;
  if (!root.isNull() && !root.isObject()) return;
  if (auto* chat = context_.router.Find<ChatWindowLink>(kChatWindowName)) chat->LoadQuickMessage(root);
}

void MainWorkspace::OnPresenceNotice(const Msg& notice) {
  KLOG_INFO("状态通知：FROM_TYPE=%d FROM=%d TO_TYPE=%d TO=%d BODY=%s", notice.FROM_TYPE, notice.FROM, notice.TO_TYPE,
            notice.TO, notice.BODY.c_str());
  Json::Value value;
  const bool parsed = ParseJsonBody(notice.BODY, &value);
  const std::int32_t self = context_.records.agent.AgentId();

  // While nobody is logged in no notice can be about the agent.
  if (self != 0 && notice.FROM == self) {
    if (parsed && value.isInt() && value.asInt() == kNoticeLoggedInElsewhere) ForceOffline();
    return;
  }
  if (notice.FROM_TYPE == kMemberKindVisitor) {
    ForwardNotice(notice);
    return;
  }
  if (notice.FROM_TYPE != kMemberKindAgent || !parsed || !value.isInt()) return;

  const std::int32_t state = value.asInt();
  if (state == kNoticeForVisitorPanes) {
    Msg swapped = notice;
    std::swap(swapped.FROM, swapped.TO);
    std::swap(swapped.FROM_TYPE, swapped.TO_TYPE);
    ForwardNotice(swapped);
    return;
  }
  // A visitor that happens to share the id is not a colleague.
  bool changed = false;
  context_.records.contacts.Update(notice.FROM, [state, &changed](ContactRecord& record) {
    if (record.kind != kContactKindAgent) return;
    record.state = state;
    changed = true;
  });
  if (changed) SendToPane(kContactPaneName, kPaneNotice);
}

void MainWorkspace::ForwardNotice(const Msg& notice) {
  for (const char* pane : {kOnlinePaneName, kSessionPaneName}) {
    const platform::WindowId id = context_.router.IdOf(pane);
    if (id == platform::kNoWindow) continue;
    // Each pane may keep its own copy.
    platform::SendPayload(id, kPaneNoticeMsg, kPaneNotice, std::make_unique<Msg>(notice));
  }
  if (auto* chat = context_.router.Find<ChatWindowLink>(kChatWindowName)) chat->RepaintTalkList();
}

void MainWorkspace::ForceOffline() {
  KLOG_INFO("账户在其它地方登录，强制下线");
  // With agent id 0 the application neither sends the logout nor marks the
  // stored login as ended.
  context_.records.agent.Update([](AgentRecord& agent) { agent.triple.agentId = 0; });
  view_.EndForcedOffline();
}

void MainWorkspace::LoadSettings() {
  const std::int32_t uid = context_.records.agent.AgentId();
  std::int32_t flick = kFlickStateChatWindow;
  std::int32_t sound = kSoundStateOff;
  DbRows rows;
  if (context_.db.QuerySetting(uid, &rows) && !rows.empty()) {
    flick = StoredSetting(rows.front(), kFlickColumn, IsFlickState, flick);
    sound = StoredSetting(rows.front(), kSoundColumn, IsSoundState, sound);
  }
  context_.records.agent.Update([&](AgentRecord& agent) {
    agent.flickState = flick;
    agent.soundState = sound;
  });
}

bool MainWorkspace::ChangeSetting(std::int32_t value) {
  const std::int32_t uid = context_.records.agent.AgentId();
  const std::int32_t next = ToggledSetting(value);
  if (IsSoundState(value)) {
    if (!context_.db.UpdateSoundState(uid, next)) KLOG_ERROR("保存声音设置失败 uid=%d sound_state=%d", uid, next);
    context_.records.agent.Update([next](AgentRecord& agent) { agent.soundState = next; });
  } else if (IsFlickState(value)) {
    if (!context_.db.UpdateFlickState(uid, next)) KLOG_ERROR("保存提醒设置失败 uid=%d flick_state=%d", uid, next);
    context_.records.agent.Update([next](AgentRecord& agent) { agent.flickState = next; });
  } else {
    return false;
  }
  if (auto* settings = context_.router.Find<SettingBasicLink>(kSettingBasicName)) settings->RefreshSettings();
  view_.SettingsChanged();
  return true;
}

bool MainWorkspace::ShouldPlaySound(platform::WParam flag) const {
  return flag == 0 && context_.records.agent.Copy().soundState == kSoundStateOn;
}

}  // namespace kanzo
