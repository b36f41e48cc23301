#pragma once
// What the login window does, apart from showing it: the login request and
// its cancelling, the answers to login (2), session refresh (5) and re-login
// (27), the current agent record and the stored login filled from a
// successful login, and the keeping of the session afterwards: a refresh
// every 10 seconds, and a re-login every 10 seconds once no answer has come
// for more than 60 seconds. Every keep-alive request is recorded; the
// records give the signal level for the main window and the rows of the
// statistics window.
//
// User-interface thread only. The window supplies the dispatcher and its
// timers through LoginSessionHost and shows what the outcomes say.
#include <json/value.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "protocol/message.h"
#include "windows/client_vocabulary.h"
#include "windows/window_context.h"
#include "workspace/keep_alive_records.h"

namespace kanzo {

// The login window's timers kReloginTimerId and kKeepAliveTimerId run with
// this period.
inline constexpr int kKeepAlivePeriodMs = 10000;
// Longer than this without an answer and the session counts as lost.
inline constexpr std::int64_t kSessionLostAfterSeconds = 60;

// The login window tells the main window kLoginRenewedMessage and
// kSignalLevelMessage, and the statistics window kKeepAliveRecordMessage
// (windows/client_vocabulary.h), finding both through the router.

// The presence button's picture per presence.
inline constexpr int kPresenceButtonOnline = 0;
inline constexpr int kPresenceButtonAway = 4;
int PresenceButtonState(std::int32_t presence);

// Caption and texts of the login window's message boxes.
inline constexpr const char* kLoginBoxCaption = "Kanzo";
inline constexpr const char* kNeedUserNameText = "请输入用户名";
inline constexpr const char* kNeedPasswordText = "请输入密码";
inline constexpr const char* kLoginFailedText = "登录失败";

// The values of the login form's controls.
struct LoginForm {
  std::string userName;
  std::string password;
  bool rememberPassword = false;
  bool autoLogin = false;
};

// The timers of the session's window.
class LoginSessionHost {
 public:
  virtual ~LoginSessionHost() = default;
  virtual void SetTimer(std::uint32_t id, int periodMs) = 0;
  virtual void KillTimer(std::uint32_t id) = 0;
};

enum class SubmitResult {
  kMissingUserName,  // the box "请输入用户名" was shown
  kMissingPassword,  // the box "请输入密码" was shown
  kCancelled,        // a login under way was given up; back to idle
  kSent,             // the login went out; waiting for its answer
};

struct AnswerOutcome {
  enum class Kind {
    kIgnored,           // nothing for the window to do
    kLoginFailed,       // back to idle (the box has been shown)
    kLoggedIn,          // hide, show the main window, then StartKeepAlive()
    kSessionRefreshed,  // agentStates may hold the answer's document
    kRelogged,
  };
  Kind kind = Kind::kIgnored;
  // The session refresh answer's BODY when it is JSON: the agents' presence
  // for the main window.
  bool hasAgentStates = false;
  Json::Value agentStates;
};

class LoginSession {
 public:
  LoginSession(LoginSessionHost& host, WindowContext& context);
  ~LoginSession();
  LoginSession(const LoginSession&) = delete;
  LoginSession& operator=(const LoginSession&) = delete;

  // 2 online, 3 away; online at first.
  std::int32_t Presence() const { return presence_; }
  void SetPresence(std::int32_t presence);
  // A presence menu command; false for another command.
  bool OnPresenceCommand(int command);

  // A login is under way: the controls are disabled, 1047 reads "取消".
  bool Waiting() const { return waiting_; }
  // A login has succeeded in this run.
  bool LoggedIn() const { return loggedIn_; }

  // The login button (and the Enter key).
  SubmitResult Submit(const LoginForm& form);
  // A received message (window message 2024, event 8); freed here.
  AnswerOutcome OnNetworkMessage(std::unique_ptr<Message> message);

  // Starts timer 1002 after the login.
  void StartKeepAlive();
  void OnTimer(std::uint32_t timerId);
  void RefreshSession();
  void RefreshLogin();

  const RequestRecords& Records() const { return records_; }

 private:
  // A login as it was sent: its answer stores what was sent, even if the
  // form changed after a cancel.
  struct SentLogin {
    LoginForm form;
    std::int32_t presence = 0;
  };
  static constexpr std::size_t kMaxSentLogins = 16;

  AnswerOutcome OnLoginAnswer(const Message& message);
  AnswerOutcome OnRefreshSessionAnswer(const Message& message);
  AnswerOutcome OnReloginAnswer(const Message& message);
  AnswerOutcome LoginFailed(const std::string* text);
  bool TakeSentLogin(std::int64_t messageId, SentLogin* out);
  void RenewSession(const Message& message);

  void AddRecord(std::int64_t messageId, std::int32_t type);
  void AnswerRecord(std::int64_t messageId, std::int32_t type);
  void TellSignalLevel();

  LoginSessionHost& host_;
  WindowContext& context_;
  std::int32_t presence_;
  bool waiting_ = false;
  bool loggedIn_ = false;
  std::map<std::int64_t, SentLogin> sentLogins_;
  RequestRecords records_;
};

}  // namespace kanzo
