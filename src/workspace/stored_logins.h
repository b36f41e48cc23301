#pragma once
// The accounts that logged in on this machine before, as the login window
// offers them: the rows of login_info, newest first, what the form shows for
// each, the matching of a typed name, and the one automatic login per run.
#include <cstdint>
#include <string>
#include <vector>

#include "db/db_operations.h"
#include "records/agent_record.h"

namespace kanzo {

// One row of the login query.
struct StoredLogin {
  std::string userName;
  std::string password;  // empty when it was not remembered
  bool keepPassword = false;
  bool autoLogin = false;
  std::int32_t state = kPresenceOnline;
  std::int32_t isLogin = 0;  // 1 while logged in, 2 after a clean exit
};

// What the login form shows for a stored login, or for none.
struct StoredLoginFields {
  int index = -1;  // the entry selected in the user-name list; -1 for none
  std::string password;
  bool rememberPassword = false;
  bool autoLogin = false;
  std::int32_t presence = kPresenceOnline;
};

class StoredLogins {
 public:
  // Runs the login query and keeps its rows; the list is empty when the
  // query fails. False on failure.
  bool Load(DatabaseOperations& db);
  // Takes rows as the login query gives them (columns username, password,
  // keep_password, auto_login, state, is_login).
  void Assign(const std::vector<std::vector<std::string>>& rows);

  const std::vector<StoredLogin>& Rows() const { return rows_; }
  int Count() const { return static_cast<int>(rows_.size()); }

  // The fields of stored login `index`; an index outside the list gives the
  // fields of no login.
  StoredLoginFields FieldsFor(int index) const;
  // The first stored login whose user name equals `typed` exactly; -1 for
  // none (and for an empty text).
  int Match(const std::string& typed) const;
  // The newest stored login asks to log in by itself and the run before it
  // ended cleanly.
  bool WantsAutomaticLogin() const;

 private:
  std::vector<StoredLogin> rows_;
};

// The one automatic login a run allows: set when the program starts, cleared
// by the login it made.
bool AutomaticLoginAllowed();
void SetAutomaticLoginAllowed(bool allowed);

}  // namespace kanzo
