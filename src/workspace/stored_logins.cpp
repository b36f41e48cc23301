#include "workspace/stored_logins.h"

#include <atomic>
#include <cstdlib>

#include "db/db_operations.h"

namespace kanzo {
namespace {

enum StoredLoginColumn {
  kColumnUserName,
  kColumnPassword,
  kColumnKeepPassword,
  kColumnAutoLogin,
  kColumnState,
  kColumnIsLogin,
  kStoredLoginColumns,
};

constexpr std::int32_t kIsLoginLoggedIn = 1;

std::int32_t Number(const std::string& text) {
  return static_cast<std::int32_t>(std::strtol(text.c_str(), nullptr, 10));
}

std::atomic<bool> gAutomaticLoginAllowed{true};

}  // namespace

bool StoredLogins::Load(DatabaseOperations& db) {
  DbRows rows;
  const bool ok = db.QueryStoredLogins(&rows);
  Assign(rows);
  return ok;
}

void StoredLogins::Assign(const std::vector<std::vector<std::string>>& rows) {
  rows_.clear();
  for (const auto& row : rows) {
    // A row the query did not shape is not offered.
    if (row.size() < kStoredLoginColumns) continue;
    StoredLogin login;
    login.userName = row[kColumnUserName];
    login.password = row[kColumnPassword];
    login.keepPassword = Number(row[kColumnKeepPassword]) != 0;
    login.autoLogin = Number(row[kColumnAutoLogin]) != 0;
    login.state = Number(row[kColumnState]) == kPresenceAway ? kPresenceAway : kPresenceOnline;
    login.isLogin = Number(row[kColumnIsLogin]);
    rows_.push_back(std::move(login));
  }
}

StoredLoginFields StoredLogins::FieldsFor(int index) const {
  StoredLoginFields fields;
  if (index < 0 || index >= Count()) return fields;
  const StoredLogin& login = rows_[static_cast<std::size_t>(index)];
  fields.index = index;
  if (login.keepPassword) fields.password = login.password;
  fields.rememberPassword = login.keepPassword;
  fields.autoLogin = login.autoLogin;
  fields.presence = login.state;
  return fields;
}

int StoredLogins::Match(const std::string& typed) const {
  if (typed.empty()) return -1;
  for (int i = 0; i < Count(); ++i) {
    if (rows_[static_cast<std::size_t>(i)].userName == typed) return i;
  }
  return -1;
}

bool StoredLogins::WantsAutomaticLogin() const {
  return !rows_.empty() && rows_.front().autoLogin && rows_.front().isLogin != kIsLoginLoggedIn;
}

bool AutomaticLoginAllowed() { return gAutomaticLoginAllowed.load(); }
void SetAutomaticLoginAllowed(bool allowed) { gAutomaticLoginAllowed.store(allowed); }

}  // namespace kanzo
