// The page "基础设置" against a real database file: what each click stores,
// that the page and the database agree afterwards, and the agent record's
// alert and sound choices.
#include "details/basic_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/db_manager.h"
#include "db/db_test_support.h"
#include "records/records.h"

namespace kanzo {
namespace {

constexpr std::int32_t kSelf = 1001;
constexpr const char* kUser = "agent1";
constexpr const char* kPassword = "secret";

class BasicSettingsTest : public ::testing::Test {
 protected:
  Records records;

  void SetUp() override {
    ASSERT_TRUE(DBManager::Init());
    records.agent.Update([](AgentRecord& r) {
      r.triple.agentId = kSelf;
      r.userName = kUser;
      r.flickState = kFlickStateBubble;
      r.soundState = kSoundStateOn;
    });
    ASSERT_TRUE(DBManager::EnsureSetting(kSelf));
  }
  void TearDown() override { records.agent.Reset(); }

  void StoreLogin(bool keep, bool autoLogin) {
    LoginRecord login;
    login.uid = kSelf;
    login.userName = kUser;
    login.password = keep ? kPassword : "";
    login.keepPassword = keep;
    login.autoLogin = autoLogin;
    ASSERT_TRUE(DBManager::SaveLogin(login));
  }
  // keep_password, auto_login, password of the agent's row.
  std::vector<std::string> LoginRow() {
    auto rows = test::RawQuery(db.Path(), "SELECT keep_password, auto_login, password FROM login_info WHERE uid=1001");
    return rows.empty() ? std::vector<std::string>{} : rows[0];
  }
  std::vector<std::string> SettingRow() {
    auto rows = test::RawQuery(db.Path(), "SELECT flick_state, sound_state FROM setting_info WHERE uid=1001");
    return rows.empty() ? std::vector<std::string>{} : rows[0];
  }

  test::DbFixtureState db;
};

TEST_F(BasicSettingsTest, LoadsTheStoredChoicesAndTheRecordsAlerts) {
  StoreLogin(true, true);
  records.agent.Update([](AgentRecord& r) {
    r.flickState = kFlickStateChatWindow;
    r.soundState = kSoundStateOff;
  });
  BasicSettings page(records.agent);
  page.Load();
  for (int id : {kRememberPasswordId, kAutoLoginId, kForceWindowAlertId, kSoundOffId})
    EXPECT_TRUE(page.State().Checked(id)) << id;
  for (int id : {kForgetPasswordId, kNoAutoLoginId, kBubbleAlertId, kSoundOnId})
    EXPECT_FALSE(page.State().Checked(id)) << id;
}

TEST_F(BasicSettingsTest, AnAgentWithoutAStoredLoginRemembersNothing) {
  BasicSettings page(records.agent);
  page.Load();
  EXPECT_TRUE(page.State().Checked(kForgetPasswordId));
  EXPECT_TRUE(page.State().Checked(kNoAutoLoginId));
}

struct LoginClickCase {
  const char* what;
  bool keepBefore;
  bool autoBefore;
  int click;
  std::vector<std::string> row;  // keep_password, auto_login, password afterwards
};

TEST_F(BasicSettingsTest, LoginClicksStoreTheirCouplingsAndThePageAgreesWithTheDatabase) {
  const std::vector<LoginClickCase> cases = {
      // Forgetting the password also ends automatic login and clears it.
      {"取消记住密码", true, true, kForgetPasswordId, {"0", "0", ""}},
      // Automatic login needs the password remembered.
      {"自动登录", false, false, kAutoLoginId, {"1", "1", ""}},
      // Only its own pair: the remembered password stays.
      {"取消自动登录", true, true, kNoAutoLoginId, {"1", "0", kPassword}},
      {"记住密码", false, false, kRememberPasswordId, {"1", "0", ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    StoreLogin(c.keepBefore, c.autoBefore);
    BasicSettings page(records.agent);
    page.Load();
    const BasicSettingsClick click = page.Click(c.click);
    EXPECT_TRUE(click.handled);
    EXPECT_FALSE(click.agentSettingsChanged);
    EXPECT_EQ(LoginRow(), c.row);
    EXPECT_TRUE(page.State().Checked(c.click));
    BasicSettings reread(records.agent);
    reread.Load();
    EXPECT_EQ(reread.State(), page.State());
  }
}

TEST_F(BasicSettingsTest, AlertAndSoundClicksReachTheRecordAtOnce) {
  BasicSettings page(records.agent);
  page.Load();
  struct Case {
    int click;
    std::vector<std::string> row;  // flick_state, sound_state
    std::int32_t flick;
    std::int32_t sound;
  };
  const std::vector<Case> cases = {
      {kForceWindowAlertId, {"4", "1"}, kFlickStateChatWindow, kSoundStateOn},
      {kSoundOffId, {"4", "2"}, kFlickStateChatWindow, kSoundStateOff},
      {kBubbleAlertId, {"3", "2"}, kFlickStateBubble, kSoundStateOff},
      {kSoundOnId, {"3", "1"}, kFlickStateBubble, kSoundStateOn},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.click);
    EXPECT_TRUE(page.Click(c.click).agentSettingsChanged);
    EXPECT_EQ(SettingRow(), c.row);
    const AgentRecord agent = records.agent.Copy();
    EXPECT_EQ(agent.flickState, c.flick);
    EXPECT_EQ(agent.soundState, c.sound);
    EXPECT_TRUE(page.State().Checked(c.click));
  }
  EXPECT_FALSE(page.Click(0).handled);
}

}  // namespace
}  // namespace kanzo
