#pragma once
// The statements of the local database. Every operation opens the file for
// its statement and closes it again (db_access.h); all text values are
// bound. The agent's three numbers are passed in by the caller, read from
// the current agent record at the time of the call.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/db_access.h"
#include "db/talk_line.h"
#include "records/agent_record.h"
#include "records/contact_record.h"

namespace kanzo {

// What the login window remembers of an account after a login.
struct LoginRecord {
  std::int32_t uid = 0;
  std::string userName;
  std::string password;  // stored only when keepPassword is set
  bool keepPassword = false;
  bool autoLogin = false;
  std::int32_t state = kPresenceOnline;
};

// is_login values of login_info.
inline constexpr const char* kLoginStateLoggedIn = "1";
inline constexpr const char* kLoginStateLoggedOut = "2";

class DBManager {
 public:
  // Start-up: creates the seven tables and removes visitors and chat lines
  // older than the retention limit. False when any statement failed.
  static bool Init();

  // Settings window: "SELECT * FROM <table> WHERE uid=<uid>" and a one-column
  // update. Table and column must be plain names (letters, digits, '_').
  static bool QueryByUid(const std::string& table, std::int32_t uid, DbRows* rows);
  static bool UpdateField(const std::string& table, const std::string& column, const std::string& value,
                          std::int32_t uid);

  // setting_info: one row per agent with flick_state and sound_state.
  static bool InsertSetting(std::int32_t uid);
  static bool UpdateFlickState(std::int32_t uid, std::int32_t value);
  static bool UpdateSoundState(std::int32_t uid, std::int32_t value);
  static bool QuerySetting(std::int32_t uid, DbRows* rows);
  // Inserts the default row when the agent has none yet.
  static bool EnsureSetting(std::int32_t uid);

  // send_msg_type: the agent's send-key choice.
  static bool QuerySendMsgType(std::int32_t uid, DbRows* rows);
  static bool SaveSendMsgType(std::int32_t uid, const std::string& key, std::int32_t type);

  // user_info: the visitors this agent talked with. CountUserInfo gives the
  // number of rows, or -1 when the query failed.
  static int CountUserInfo(std::int32_t visitorId, const AgentTriple& agent);
  static bool UpdateUserInfo(const ContactRecord& visitor, const AgentTriple& agent);
  static bool InsertUserInfo(const ContactRecord& visitor, const AgentTriple& agent);
  // Appends a new record per visitor stored today for this agent.
  static bool QueryCurrentDayUserInfoForList(const AgentTriple& agent,
                                             std::vector<std::unique_ptr<ContactRecord>>* list);

  // talk_message: the chat lines.
  static bool InsertTalkMessage(const TalkLine& line, std::int32_t visitorId, std::int32_t visitorType,
                                const AgentTriple& agent);
  // Today's lines with the visitor, at most kTodayTalkLimit, newest first.
  static bool QueryCurrentDayTalkMessageById(std::int32_t visitorId, const AgentTriple& agent,
                                             std::vector<std::string>* bodies);
  static bool DeleteUserTalkMessageById(std::int32_t visitorId, const AgentTriple& agent);

  // login_info: the accounts that logged in on this machine. Rows of
  // QueryStoredLogins: username, password, keep_password, auto_login, state,
  // is_login, most recent login first.
  static bool QueryStoredLogins(DbRows* rows);
  static bool QueryLoginByName(const std::string& userName, DbRows* rows);
  // Updates the account's row, or inserts one, marking it logged in now.
  static bool SaveLogin(const LoginRecord& login);
  // Marks the account as ended cleanly (is_login 2).
  static bool MarkLoggedOut(const std::string& userName);

  static constexpr int kTodayTalkLimit = 50;
};

}  // namespace kanzo
