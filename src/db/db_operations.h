#pragma once
// The database operations as window logic reaches them: through the
// context, never by calling DBManager directly, so a window's logic states
// what it stores and a test can hand it a database of its own.
// StoredDatabase runs each statement of DBManager on the file the database
// layer is set to (db_access.h).
#include <utility>

#include "db/db_manager.h"
#include "platform/window_message.h"

namespace kanzo {

class DatabaseOperations {
 public:
  virtual ~DatabaseOperations() = default;
  virtual bool QueryByUid(const std::string& table, std::int32_t uid, DbRows* rows) = 0;
  virtual bool UpdateField(const std::string& table, const std::string& column, const std::string& value,
                           std::int32_t uid) = 0;
  virtual bool InsertSetting(std::int32_t uid) = 0;
  virtual bool UpdateFlickState(std::int32_t uid, std::int32_t value) = 0;
  virtual bool UpdateSoundState(std::int32_t uid, std::int32_t value) = 0;
  virtual bool QuerySetting(std::int32_t uid, DbRows* rows) = 0;
  virtual bool EnsureSetting(std::int32_t uid) = 0;
  virtual bool QuerySendMsgType(std::int32_t uid, DbRows* rows) = 0;
  virtual bool SaveSendMsgType(std::int32_t uid, const std::string& key, std::int32_t type) = 0;
  virtual int CountUserInfo(std::int32_t visitorId, const AgentTriple& agent) = 0;
  virtual bool UpdateUserInfo(const ContactRecord& visitor, const AgentTriple& agent) = 0;
  virtual bool InsertUserInfo(const ContactRecord& visitor, const AgentTriple& agent) = 0;
  virtual bool QueryCurrentDayUserInfoForList(const AgentTriple& agent,
                                              std::vector<std::unique_ptr<ContactRecord>>* list) = 0;
  virtual bool InsertTalkMessage(const TalkLine& line, std::int32_t visitorId, std::int32_t visitorType,
                                 const AgentTriple& agent) = 0;
  virtual bool QueryCurrentDayTalkMessageById(std::int32_t visitorId, const AgentTriple& agent,
                                              std::vector<std::string>* bodies) = 0;
  virtual bool DeleteUserTalkMessageById(std::int32_t visitorId, const AgentTriple& agent) = 0;
  virtual bool QueryStoredLogins(DbRows* rows) = 0;
  virtual bool QueryLoginByName(const std::string& userName, DbRows* rows) = 0;
  virtual bool SaveLogin(const LoginRecord& login) = 0;
  virtual bool MarkLoggedOut(const std::string& userName) = 0;
};

class StoredDatabase final : public DatabaseOperations {
  // Window logic reaches the database from the user-interface thread only;
  // the store thread runs its own statements. (Defined first: the
  // statements below deduce its type.)
  template <typename Statement, typename... Args>
  static auto OnUiThread(Statement statement, Args&&... args) {
    platform::CheckUiThread("StoredDatabase");
    return statement(std::forward<Args>(args)...);
  }

 public:
  bool QueryByUid(const std::string& table, std::int32_t uid, DbRows* rows) override {
    return OnUiThread(&DBManager::QueryByUid, table, uid, rows);
  }
  bool UpdateField(const std::string& table, const std::string& column, const std::string& value,
                   std::int32_t uid) override {
    return OnUiThread(&DBManager::UpdateField, table, column, value, uid);
  }
  bool InsertSetting(std::int32_t uid) override { return OnUiThread(&DBManager::InsertSetting, uid); }
  bool UpdateFlickState(std::int32_t uid, std::int32_t value) override {
    return OnUiThread(&DBManager::UpdateFlickState, uid, value);
  }
  bool UpdateSoundState(std::int32_t uid, std::int32_t value) override {
    return OnUiThread(&DBManager::UpdateSoundState, uid, value);
  }
  bool QuerySetting(std::int32_t uid, DbRows* rows) override { return OnUiThread(&DBManager::QuerySetting, uid, rows); }
  bool EnsureSetting(std::int32_t uid) override { return OnUiThread(&DBManager::EnsureSetting, uid); }
  bool QuerySendMsgType(std::int32_t uid, DbRows* rows) override {
    return OnUiThread(&DBManager::QuerySendMsgType, uid, rows);
  }
  bool SaveSendMsgType(std::int32_t uid, const std::string& key, std::int32_t type) override {
    return OnUiThread(&DBManager::SaveSendMsgType, uid, key, type);
  }
  int CountUserInfo(std::int32_t visitorId, const AgentTriple& agent) override {
    return OnUiThread(&DBManager::CountUserInfo, visitorId, agent);
  }
  bool UpdateUserInfo(const ContactRecord& visitor, const AgentTriple& agent) override {
    return OnUiThread(&DBManager::UpdateUserInfo, visitor, agent);
  }
  bool InsertUserInfo(const ContactRecord& visitor, const AgentTriple& agent) override {
    return OnUiThread(&DBManager::InsertUserInfo, visitor, agent);
  }
  bool QueryCurrentDayUserInfoForList(const AgentTriple& agent,
                                      std::vector<std::unique_ptr<ContactRecord>>* list) override {
    return OnUiThread(&DBManager::QueryCurrentDayUserInfoForList, agent, list);
  }
  bool InsertTalkMessage(const TalkLine& line, std::int32_t visitorId, std::int32_t visitorType,
                         const AgentTriple& agent) override {
    return OnUiThread(&DBManager::InsertTalkMessage, line, visitorId, visitorType, agent);
  }
  bool QueryCurrentDayTalkMessageById(std::int32_t visitorId, const AgentTriple& agent,
                                      std::vector<std::string>* bodies) override {
    return OnUiThread(&DBManager::QueryCurrentDayTalkMessageById, visitorId, agent, bodies);
  }
  bool DeleteUserTalkMessageById(std::int32_t visitorId, const AgentTriple& agent) override {
    return OnUiThread(&DBManager::DeleteUserTalkMessageById, visitorId, agent);
  }
  bool QueryStoredLogins(DbRows* rows) override { return OnUiThread(&DBManager::QueryStoredLogins, rows); }
  bool QueryLoginByName(const std::string& userName, DbRows* rows) override {
    return OnUiThread(&DBManager::QueryLoginByName, userName, rows);
  }
  bool SaveLogin(const LoginRecord& login) override { return OnUiThread(&DBManager::SaveLogin, login); }
  bool MarkLoggedOut(const std::string& userName) override { return OnUiThread(&DBManager::MarkLoggedOut, userName); }
};

}  // namespace kanzo
