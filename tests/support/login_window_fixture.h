#pragma once
// What every test of the login window and the windows it opens sets up
// before it connects: the codecs, a database file in a folder of its own,
// the program's pictures, requests through the dispatcher, no session and no
// automatic login. TearDown puts the process back; a test closes its windows
// before it calls TearDown here, because the dispatcher ends here.
#include <gtest/gtest.h>

#include <string>

#include "controls/skin_kit.h"
#include "db/db_access.h"
#include "db/db_manager.h"
#include "net/network_startup.h"
#include "net/session_id.h"
#include "platform/message_box.h"
#include "protocol/startup_codecs.h"
#include "support/demo_accounts.h"
#include "support/temp_dir.h"
#include "support/window_context_fixture.h"
#include "workspace/login_dlg.h"
#include "workspace/stored_logins.h"

namespace kanzo::test {

class LoginWindowFixture : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(RegisterStartupCodecs());
    SetDatabasePath(DatabasePath());
    ASSERT_TRUE(DBManager::Init());
    SkinKit::SetPictureFolder(std::string(KANZO_SOURCE_DIR) + "/assets/program/");
    windows_.SendThroughDispatcher();
    SetCurrentSessionId(0);
    SetAutomaticLoginAllowed(false);
  }
  void TearDown() override {
    StopNetwork();
    SetDatabasePath("");
    SetCurrentSessionId(0);
    SetAutomaticLoginAllowed(true);
  }

  std::string DatabasePath() const { return dir_.File("qmb.db"); }

  // Types the account into `window` and presses its login button.
  static void SubmitLogin(LoginDlg& window, const char* user, const char* password) {
    window.UserNameBox()->setEditText(user);
    window.PasswordEdit()->setText(password);
    window.SubmitButton()->click();
  }

  TempDir dir_;
  platform::MessageBoxRecorder boxes_;
  TestWindowContext windows_;
};

}  // namespace kanzo::test
