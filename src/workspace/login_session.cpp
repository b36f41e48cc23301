#include "workspace/login_session.h"

#include <cstdlib>
#include <utility>

#include "log/cx_log.h"
#include "net/session_id.h"
#include "platform/message_box.h"
#include "protocol/commands.h"
#include "protocol/login.h"
#include "protocol/msg.h"
#include "records/agent_requests.h"
#include "workspace/login_answer.h"

namespace kanzo {
namespace {

// Column of send_msg_type that holds the send key type.
constexpr std::size_t kSendMsgTypeColumn = 2;

long long AsLongLong(std::int64_t value) { return static_cast<long long>(value); }

}  // namespace

int PresenceButtonState(std::int32_t presence) {
  return presence == kPresenceAway ? kPresenceButtonAway : kPresenceButtonOnline;
}

LoginSession::LoginSession(LoginSessionHost& host, WindowContext& context)
    : host_(host), context_(context), presence_(kPresenceOnline) {
  SetLoginRequestRecords(&records_);
}

LoginSession::~LoginSession() {
  if (LoginRequestRecords() == &records_) SetLoginRequestRecords(nullptr);
}

void LoginSession::SetPresence(std::int32_t presence) {
  presence_ = presence == kPresenceAway ? kPresenceAway : kPresenceOnline;
}

bool LoginSession::OnPresenceCommand(int command) {
  if (command == kPresenceMenuOnline) {
    SetPresence(kPresenceOnline);
  } else if (command == kPresenceMenuAway) {
    SetPresence(kPresenceAway);
  } else {
    return false;
  }
  return true;
}

SubmitResult LoginSession::Submit(const LoginForm& form) {
  if (form.userName.empty()) {
    platform::ShowMessageBox(kLoginBoxCaption, kNeedUserNameText, platform::MessageBoxIcon::Warning);
    return SubmitResult::kMissingUserName;
  }
  if (form.password.empty()) {
    platform::ShowMessageBox(kLoginBoxCaption, kNeedPasswordText, platform::MessageBoxIcon::Warning);
    return SubmitResult::kMissingPassword;
  }
  if (waiting_) {
    // The request already sent stays out; its answer is still handled.
    waiting_ = false;
    KLOG_INFO("用户取消登录");
    return SubmitResult::kCancelled;
  }
  waiting_ = true;
  KLOG_INFO("用户登录");
  Login body = LoginBody(form.userName, form.password, presence_);
  Message request(true);
  request.command = kCommandLogin;
  request.setBody(&body);
  if (context_.send(request) != 0) KLOG_WARN("登录请求无法发送：MESSAGE_ID=%lld", AsLongLong(request.MESSAGE_ID));
  sentLogins_[request.MESSAGE_ID] = SentLogin{form, presence_};
  while (sentLogins_.size() > kMaxSentLogins) sentLogins_.erase(sentLogins_.begin());
  return SubmitResult::kSent;
}

AnswerOutcome LoginSession::OnNetworkMessage(std::unique_ptr<Message> message) {
  if (!message) return {};
  switch (message->command) {
    case kCommandLogin: return OnLoginAnswer(*message);
    case kCommandRefreshSession: return OnRefreshSessionAnswer(*message);
    case kCommandRefreshLogin: return OnReloginAnswer(*message);
    default: return {};
  }
}

bool LoginSession::TakeSentLogin(std::int64_t messageId, SentLogin* out) {
  if (sentLogins_.empty()) return false;
  auto it = sentLogins_.find(messageId);
  // A server that does not echo the request's id answers the newest login.
  if (it == sentLogins_.end()) it = std::prev(sentLogins_.end());
  *out = std::move(it->second);
  sentLogins_.erase(it);
  return true;
}

AnswerOutcome LoginSession::LoginFailed(const std::string* text) {
  if (text) {
    KLOG_INFO("登录失败:%s", text->c_str());
  } else {
    KLOG_INFO("登录失败");
  }
  // The agent works in the main window by now: an old attempt that failed
  // is no news to show over it.
  if (loggedIn_) return {};
  // A failure without words still says what happened, never an empty box.
  const bool hasWords = text && text->find_first_not_of(" \t\r\n") != std::string::npos;
  platform::ShowMessageBox(kLoginBoxCaption, hasWords ? *text : std::string(kLoginFailedText),
                           platform::MessageBoxIcon::Warning);
  waiting_ = false;
  AnswerOutcome outcome;
  outcome.kind = AnswerOutcome::Kind::kLoginFailed;
  return outcome;
}

AnswerOutcome LoginSession::OnLoginAnswer(const Message& message) {
  const Msg* answer = message.bodyAs<Msg>();
  if (message.failed()) {
    SentLogin ignored;
    TakeSentLogin(message.MESSAGE_ID, &ignored);
    return LoginFailed(answer ? &answer->BODY : nullptr);
  }
  SentLogin sent;
  const bool wasSent = TakeSentLogin(message.MESSAGE_ID, &sent);
  // Without its body the answer names no account and no agent: nothing to
  // log in with.
  if (!answer) return LoginFailed(nullptr);
  if (!wasSent) {
    KLOG_WARN("登录应答没有对应的登录请求：MESSAGE_ID=%lld", AsLongLong(message.MESSAGE_ID));
    return {};
  }

  KLOG_INFO("%s", answer->BODY.c_str());
  const std::int32_t agentId = answer->FROM;
  context_.records.agent.Update([&](AgentRecord& r) {
    r.userName = sent.form.userName;
    r.password = sent.form.password;
    r.presence = sent.presence;
    r.triple.account = answer->account;
    r.triple.agentId = agentId;
    r.triple.agentType = static_cast<std::int32_t>(answer->FROM_TYPE);
    r.lastSessionTime = context_.clock.NowSeconds();
  });

  DbRows sendKey;
  if (context_.db.QuerySendMsgType(agentId, &sendKey) && !sendKey.empty() &&
      sendKey.front().size() > kSendMsgTypeColumn) {
    const auto type = static_cast<std::int32_t>(std::strtol(sendKey.front()[kSendMsgTypeColumn].c_str(), nullptr, 10));
    context_.records.agent.Update([&](AgentRecord& r) { r.sendKeyType = type; });
  }

  KLOG_INFO("登陆成功 加载用户信息：%s", answer->BODY.c_str());
  LoginAgentDetails details;
  const bool parsed = ReadAgentDetails(answer->BODY, &details);
  context_.records.agent.Update([&](AgentRecord& r) { ApplyAgentDetails(details, r); });
  if (parsed) context_.records.names.Set(agentId, details.realname);

  LoginRecord stored;
  stored.uid = agentId;
  stored.userName = sent.form.userName;
  stored.password = sent.form.password;
  stored.keepPassword = sent.form.rememberPassword;
  stored.autoLogin = sent.form.autoLogin;
  stored.state = sent.presence;
  context_.db.SaveLogin(stored);
  context_.db.EnsureSetting(agentId);

  SetCurrentSessionId(message.SESSION_ID);
  // Re-logins ask for the presence this login asked for.
  presence_ = sent.presence;
  loggedIn_ = true;
  AnswerOutcome outcome;
  outcome.kind = AnswerOutcome::Kind::kLoggedIn;
  return outcome;
}

void LoginSession::RenewSession(const Message& message) {
  SetCurrentSessionId(message.SESSION_ID);
  context_.records.agent.Update([this](AgentRecord& r) { r.lastSessionTime = context_.clock.NowSeconds(); });
}

AnswerOutcome LoginSession::OnRefreshSessionAnswer(const Message& message) {
  RenewSession(message);
  AnswerRecord(message.MESSAGE_ID, kKeepAliveRefreshSession);
  AnswerOutcome outcome;
  outcome.kind = AnswerOutcome::Kind::kSessionRefreshed;
  if (const Msg* body = message.bodyAs<Msg>(); body && ParseJsonText(body->BODY, &outcome.agentStates)) {
    outcome.hasAgentStates = true;
    KLOG_INFO("客服状态更新 %s", body->BODY.c_str());
  }
  KLOG_INFO("刷新SESSION成功  MESSAGE_ID=%lld SESSION_ID=%lld RESULT=%d", AsLongLong(message.MESSAGE_ID),
            AsLongLong(message.SESSION_ID), static_cast<int>(message.RESULT));
  return outcome;
}

AnswerOutcome LoginSession::OnReloginAnswer(const Message& message) {
  RenewSession(message);
  host_.KillTimer(kReloginTimerId);
  host_.SetTimer(kKeepAliveTimerId, kKeepAlivePeriodMs);
  const platform::WindowId mainWindow = context_.router.IdOf(kMainWindowName);
  if (mainWindow != platform::kNoWindow) platform::NotifyWindow(mainWindow, kLoginRenewedMessage, 0, 0);
  AnswerRecord(message.MESSAGE_ID, kKeepAliveRelogin);
  KLOG_INFO("重新登录成功  MESSAGE_ID=%lld SESSION_ID=%lld", AsLongLong(message.MESSAGE_ID),
            AsLongLong(message.SESSION_ID));
  AnswerOutcome outcome;
  outcome.kind = AnswerOutcome::Kind::kRelogged;
  return outcome;
}

void LoginSession::StartKeepAlive() {
  host_.SetTimer(kKeepAliveTimerId, kKeepAlivePeriodMs);
  // The main window is there by now; the login itself was just answered.
  TellSignalLevel();
}

void LoginSession::OnTimer(std::uint32_t timerId) {
  if (timerId == kKeepAliveTimerId) {
    const std::int64_t last = context_.records.agent.Copy().lastSessionTime;
    if (context_.clock.NowSeconds() - last <= kSessionLostAfterSeconds) {
      RefreshSession();
    } else {
      host_.KillTimer(kKeepAliveTimerId);
      RefreshLogin();
      host_.SetTimer(kReloginTimerId, kKeepAlivePeriodMs);
    }
  } else if (timerId == kReloginTimerId) {
    RefreshLogin();
  }
}

void LoginSession::RefreshSession() {
  const AgentTriple triple = context_.records.agent.Triple();
  Msg body = AgentRequest(triple);
  // A refresh names the agent as the addressee, not as the sender.
  body.FROM = 0;
  body.TO = triple.agentId;
  body.TO_TYPE = 0;
  Message request(true);
  request.command = kCommandRefreshSession;
  request.setBody(&body);
  context_.send(request);
  AddRecord(request.MESSAGE_ID, kKeepAliveRefreshSession);
  KLOG_INFO("尝试刷新SESSION  MESSAGE_ID=%lld SESSION_ID=%lld", AsLongLong(request.MESSAGE_ID),
            AsLongLong(request.SESSION_ID));
}

void LoginSession::RefreshLogin() {
  const AgentRecord agent = context_.records.agent.Copy();
  Login body = LoginBody(agent.userName, agent.password, presence_);
  Message request(true);
  request.command = kCommandRefreshLogin;
  request.setBody(&body);
  context_.send(request);
  AddRecord(request.MESSAGE_ID, kKeepAliveRelogin);
  KLOG_INFO("尝试重新登录  MESSAGE_ID=%lld SESSION_ID=%lld", AsLongLong(request.MESSAGE_ID),
            AsLongLong(request.SESSION_ID));
}

void LoginSession::AddRecord(std::int64_t messageId, std::int32_t type) {
  RequestRecords::Added added = records_.Add(messageId, type, context_.clock.NowMillis());
  const platform::WindowId statistics = context_.router.IdOf(kSignalCountName);
  const bool told = statistics != platform::kNoWindow;
  // The statistics window removes the row and may keep the record until it
  // has; the helper frees it either way.
  if (added.removed && told)
    platform::SendPayload(statistics, kKeepAliveRecordGone, kKeepAliveRecordRemoved, std::move(added.removed));
  if (added.record && told)
    platform::SendPayload(statistics, kKeepAliveRecordShown, kKeepAliveRecordAdded, *added.record);
  TellSignalLevel();
}

void LoginSession::AnswerRecord(std::int64_t messageId, std::int32_t type) {
  if (KeepAliveRecord* record = records_.Answer(messageId, type, context_.clock.NowMillis())) {
    const platform::WindowId statistics = context_.router.IdOf(kSignalCountName);
    if (statistics != platform::kNoWindow)
      platform::SendPayload(statistics, kKeepAliveRecordShown, kKeepAliveRecordAnswered, *record);
  }
  TellSignalLevel();
}

void LoginSession::TellSignalLevel() {
  const platform::WindowId mainWindow = context_.router.IdOf(kMainWindowName);
  if (mainWindow == platform::kNoWindow) return;
  // Right after a login no keep-alive has been asked yet; the login's own
  // answer shows the line is good.
  const int level = records_.Size() == 0 && loggedIn_ ? kMaxSignalLevel : records_.Level();
  platform::NotifyWindow(mainWindow, kSignalLevelMessage, 0, static_cast<platform::LParam>(level));
}

}  // namespace kanzo
