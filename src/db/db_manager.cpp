#include "db/db_manager.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "db/db_time.h"
#include "log/cx_log.h"
#include "platform/clock.h"

namespace kanzo {
namespace {

constexpr const char* kCreateTables[] = {
    "CREATE TABLE IF NOT EXISTS login_info(uid int,username varchar(20) UNIQUE, password varchar(20), "
    "keep_password int, auto_login int, state int, login_time int , is_login int)",
    "CREATE TABLE IF NOT EXISTS sys_message(id int,type int,body varchar(1000),datetime int)",
    "CREATE TABLE IF NOT EXISTS leave_message(id int,uid int,body varchar(2000),datetime int)",
    "CREATE TABLE IF NOT EXISTS setting_info( uid int, flick_state int default 3,sound_state int default 1)",
    "CREATE TABLE IF NOT EXISTS send_msg_type( uid int, key varchar(20),type int default 0)",
    "CREATE TABLE IF NOT EXISTS user_info( uid int,type int,name varchar(50),area varchar(50),source "
    "varchar(255),currentPage varchar(255),pageTitle varchar(100),ip varchar(20),phone varchar(20),remark "
    "varchar(100),onlineTime varchar(30),lastTalkTime varchar(30),currTime INTEGER,lgn_account int,lgn_uid "
    "int,lgn_type int)",
    "CREATE TABLE IF NOT EXISTS talk_message( uid int,type int,fromMember int,fromType int,toMember int,toType "
    "int,body TEXT,currTime INTEGER,lgn_account int,lgn_uid int,lgn_type int)",
};
constexpr const char* kDeleteOldUserInfo = "DELETE FROM user_info WHERE currTime < %lld";
constexpr const char* kDeleteOldTalkMessages = "DELETE FROM talk_message WHERE currTime < %lld";

constexpr const char* kQueryByUid = "SELECT * FROM %s WHERE uid=%d";
constexpr const char* kUpdateField = "update  %s set %s = ? where uid= ?";

constexpr const char* kInsertSetting = "insert into setting_info (uid) values (?)";
constexpr const char* kUpdateFlickState = "update  setting_info set flick_state = ? where uid= ?";
constexpr const char* kUpdateSoundState = "update  setting_info set sound_state = ? where uid= ?";
constexpr const char* kQuerySetting = "SELECT * FROM setting_info WHERE uid=%d";

constexpr const char* kQuerySendMsgType = "SELECT * FROM send_msg_type WHERE uid=%d";
constexpr const char* kUpdateSendMsgType = "UPDATE send_msg_type SET key=?, type=?  WHERE uid=?";
constexpr const char* kInsertSendMsgType = "INSERT INTO send_msg_type (uid,key,type) VALUES(?,?,?)";

// The statements the store thread runs for every chat line bind every value,
// numbers included (as integers): their text never changes, so a run of lines
// prepares each of them once.
// The visitor's details being bound also means a quote in a page title or a
// remark can neither end a literal nor change the statement.
// Only the number of rows is wanted: a constant for each row spares SQLite
// reading and copying every column of the visitor's row for every line.
constexpr const char* kCountUserInfo =
    "SELECT 1 FROM user_info WHERE uid=? AND lgn_account=? AND lgn_uid=? AND lgn_type=?";
constexpr const char* kUpdateUserInfo =
    "UPDATE user_info SET area=?,source=?,currentPage=?,pageTitle=?,ip=?,phone=?,remark=?,onlineTime=?,"
    "currTime=? WHERE uid=? AND lgn_account=? AND lgn_uid=? AND lgn_type=?";
constexpr const char* kInsertUserInfo =
    "INSERT INTO user_info (uid,type,name,area,source,currentPage,pageTitle,ip,phone,remark,onlineTime,"
    "lastTalkTime,currTime,lgn_account,lgn_uid,lgn_type) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
// Today includes its first second: a line stored at 00:00:00 UTC is today's.
constexpr const char* kQueryCurrentDayUserInfo =
    "SELECT uid,type,name,area,source,currentPage,pageTitle,ip,phone,remark,onlineTime,lastTalkTime FROM "
    "user_info WHERE currTime>=%lld AND lgn_account=%d AND lgn_uid=%d AND lgn_type=%d";

constexpr const char* kInsertTalkMessage =
    "INSERT INTO talk_message (uid,type,fromMember,fromType,toMember,toType,body,currTime,lgn_account,lgn_uid,"
    "lgn_type) values (?,?,?,?,?,?,?,?,?,?,?)";
constexpr const char* kQueryCurrentDayTalkMessages =
    "SELECT body FROM talk_message WHERE currTime>=%lld AND uid=%d AND lgn_account=%d AND lgn_uid=%d AND "
    "lgn_type=%d ORDER BY rowid DESC LIMIT %d";
constexpr const char* kDeleteUserTalkMessages =
    "DELETE FROM talk_message WHERE uid = %d AND lgn_uid = %d AND lgn_type = %d AND lgn_account =%d";

constexpr const char* kQueryStoredLogins =
    "SELECT username, password, keep_password, auto_login, state, is_login FROM login_info ORDER BY login_time "
    "DESC";
constexpr const char* kQueryLoginByName = "SELECT * FROM login_info WHERE username=?";
constexpr const char* kUpdateLogin =
    "UPDATE login_info SET password=?, keep_password=?, auto_login=?, state=? , login_time=? , is_login=? WHERE "
    "username=?";
constexpr const char* kInsertLogin =
    "INSERT INTO login_info (uid,username,password,keep_password,auto_login,state ,login_time,is_login) "
    "VALUES(?,?,?,?,?,?,?,?)";
constexpr const char* kMarkLoggedOut = "UPDATE login_info SET is_login=? WHERE username=?";

constexpr const char* kSucceeded = "成功";
constexpr const char* kFailed = "失败";

// Columns of the today query of user_info.
enum UserInfoColumn {
  kColUid,
  kColType,
  kColName,
  kColArea,
  kColSource,
  kColCurrentPage,
  kColPageTitle,
  kColIp,
  kColPhone,
  kColRemark,
  kColOnlineTime,
  kColLastTalkTime,
  kUserInfoColumns,
};

const char* Outcome(bool ok) { return ok ? kSucceeded : kFailed; }

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text;
  if (size > 0) {
    text.resize(static_cast<std::size_t>(size) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<std::size_t>(size));
  }
  va_end(args);
  return text;
}

int Flag(bool set) { return set ? 1 : 0; }

long long NowSeconds() { return static_cast<long long>(platform::CurrentClock().NowSeconds()); }

// Table and column names cannot be bound; only plain names are accepted.
bool IsPlainName(const std::string& name) {
  if (name.empty()) return false;
  for (const char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    if (!ok) return false;
  }
  return true;
}

std::int32_t ToInt32(const std::string& text) {
  return static_cast<std::int32_t>(std::strtol(text.c_str(), nullptr, 10));
}

}  // namespace

bool DBManager::Init() {
  bool ok = true;
  for (const char* create : kCreateTables) ok = DbExec(create) && ok;
  const long long limit = static_cast<long long>(RetentionLimit(NowSeconds()));
  ok = DbExec(Format(kDeleteOldUserInfo, limit)) && ok;
  ok = DbExec(Format(kDeleteOldTalkMessages, limit)) && ok;
  return ok;
}

bool DBManager::QueryByUid(const std::string& table, std::int32_t uid, DbRows* rows) {
  if (!IsPlainName(table)) return false;
  return DbQuery(Format(kQueryByUid, table.c_str(), uid), rows);
}

bool DBManager::UpdateField(const std::string& table, const std::string& column, const std::string& value,
                            std::int32_t uid) {
  if (!IsPlainName(table) || !IsPlainName(column)) return false;
  return DbExecBind(Format(kUpdateField, table.c_str(), column.c_str()), {value, uid});
}

bool DBManager::InsertSetting(std::int32_t uid) { return DbExecBind(kInsertSetting, {uid}); }

bool DBManager::UpdateFlickState(std::int32_t uid, std::int32_t value) {
  return DbExecBind(kUpdateFlickState, {value, uid});
}

bool DBManager::UpdateSoundState(std::int32_t uid, std::int32_t value) {
  return DbExecBind(kUpdateSoundState, {value, uid});
}

bool DBManager::QuerySetting(std::int32_t uid, DbRows* rows) { return DbQuery(Format(kQuerySetting, uid), rows); }

bool DBManager::EnsureSetting(std::int32_t uid) {
  DbRows rows;
  if (!QuerySetting(uid, &rows)) return false;
  return !rows.empty() || InsertSetting(uid);
}

bool DBManager::QuerySendMsgType(std::int32_t uid, DbRows* rows) {
  return DbQuery(Format(kQuerySendMsgType, uid), rows);
}

bool DBManager::SaveSendMsgType(std::int32_t uid, const std::string& key, std::int32_t type) {
  DbRows rows;
  if (!QuerySendMsgType(uid, &rows)) return false;
  if (!rows.empty()) return DbExecBind(kUpdateSendMsgType, {key, type, uid});
  return DbExecBind(kInsertSendMsgType, {uid, key, type});
}

int DBManager::CountUserInfo(std::int32_t visitorId, const AgentTriple& agent) {
  const long long rows = DbCountRowsBind(kCountUserInfo, {visitorId, agent.account, agent.agentId, agent.agentType});
  return rows < 0 ? -1 : static_cast<int>(rows);
}

bool DBManager::UpdateUserInfo(const ContactRecord& visitor, const AgentTriple& agent) {
  const bool ok =
      DbExecBind(kUpdateUserInfo, {visitor.area, visitor.source, visitor.currentPage, visitor.pageTitle, visitor.ip,
                                   visitor.phone, visitor.remark, visitor.onlineTime, NowSeconds(), visitor.id,
                                   agent.account, agent.agentId, agent.agentType});
  KLOG_INFO("更新[用户ID=%d]交谈的用户信息%s", visitor.id, Outcome(ok));
  return ok;
}

bool DBManager::InsertUserInfo(const ContactRecord& visitor, const AgentTriple& agent) {
  const bool ok = DbExecBind(kInsertUserInfo,
                             {visitor.id, visitor.kind, visitor.name, visitor.area, visitor.source, visitor.currentPage,
                              visitor.pageTitle, visitor.ip, visitor.phone, visitor.remark, visitor.onlineTime,
                              visitor.lastTalkTime, NowSeconds(), agent.account, agent.agentId, agent.agentType});
  KLOG_INFO("插入[用户ID=%d]交谈的用户信息%s", visitor.id, Outcome(ok));
  return ok;
}

bool DBManager::QueryCurrentDayUserInfoForList(const AgentTriple& agent,
                                               std::vector<std::unique_ptr<ContactRecord>>* list) {
  DbRows rows;
  const std::string sql = Format(kQueryCurrentDayUserInfo, static_cast<long long>(StartOfTodayUtc(NowSeconds())),
                                 agent.account, agent.agentId, agent.agentType);
  const bool ok = DbQuery(sql, &rows);
  int read = 0;
  for (const DbRow& row : rows) {
    if (row.size() < kUserInfoColumns) continue;
    auto record = std::make_unique<ContactRecord>();
    record->id = ToInt32(row[kColUid]);
    record->kind = ToInt32(row[kColType]);
    record->name = row[kColName];
    record->area = row[kColArea];
    record->source = row[kColSource];
    record->currentPage = row[kColCurrentPage];
    record->pageTitle = row[kColPageTitle];
    record->ip = row[kColIp];
    record->phone = row[kColPhone];
    record->remark = row[kColRemark];
    record->onlineTime = row[kColOnlineTime];
    record->lastTalkTime = row[kColLastTalkTime];
    if (list) list->push_back(std::move(record));
    ++read;
  }
  KLOG_INFO("查询今日历史聊天会话用户记录%s 查询总记录数%d", Outcome(ok), read);
  return ok;
}

bool DBManager::InsertTalkMessage(const TalkLine& line, std::int32_t visitorId, std::int32_t visitorType,
                                  const AgentTriple& agent) {
  const bool ok = DbExecBind(kInsertTalkMessage,
                             {visitorId, visitorType, line.fromMember, line.fromType, line.toMember, line.toType,
                              line.body, NowSeconds(), agent.account, agent.agentId, agent.agentType});
  KLOG_INFO("插入[用户ID=%d,用户类型=%d]聊天信息%s", visitorId, visitorType, Outcome(ok));
  return ok;
}

bool DBManager::QueryCurrentDayTalkMessageById(std::int32_t visitorId, const AgentTriple& agent,
                                               std::vector<std::string>* bodies) {
  DbRows rows;
  const std::string sql = Format(kQueryCurrentDayTalkMessages, static_cast<long long>(StartOfTodayUtc(NowSeconds())),
                                 visitorId, agent.account, agent.agentId, agent.agentType, kTodayTalkLimit);
  const bool ok = DbQuery(sql, &rows);
  if (bodies) {
    for (DbRow& row : rows)
      if (!row.empty()) bodies->push_back(std::move(row.front()));
  }
  KLOG_INFO("查询[用户ID=%d]今日历史聊天记录%s", visitorId, Outcome(ok));
  return ok;
}

bool DBManager::DeleteUserTalkMessageById(std::int32_t visitorId, const AgentTriple& agent) {
  const bool ok = DbExec(Format(kDeleteUserTalkMessages, visitorId, agent.agentId, agent.agentType, agent.account));
  KLOG_INFO("删除[用户ID=%d]史聊天记录%s", visitorId, Outcome(ok));
  return ok;
}

bool DBManager::QueryStoredLogins(DbRows* rows) { return DbQuery(kQueryStoredLogins, rows); }

bool DBManager::QueryLoginByName(const std::string& userName, DbRows* rows) {
  return DbQueryBind(kQueryLoginByName, {userName}, rows);
}

bool DBManager::SaveLogin(const LoginRecord& login) {
  DbRows existing;
  if (!QueryLoginByName(login.userName, &existing)) return false;
  const std::string password = login.keepPassword ? login.password : std::string();
  const long long now = NowSeconds();
  if (!existing.empty()) {
    return DbExecBind(kUpdateLogin, {password, Flag(login.keepPassword), Flag(login.autoLogin), login.state, now,
                                     kLoginStateLoggedIn, login.userName});
  }
  return DbExecBind(kInsertLogin, {login.uid, login.userName, password, Flag(login.keepPassword), Flag(login.autoLogin),
                                   login.state, now, kLoginStateLoggedIn});
}

bool DBManager::MarkLoggedOut(const std::string& userName) {
  return DbExecBind(kMarkLoggedOut, {kLoginStateLoggedOut, userName});
}

}  // namespace kanzo
