#include "details/basic_settings.h"

#include <string>

#include "db/db_manager.h"
#include "log/cx_log.h"

namespace kanzo {
namespace {

constexpr const char* kLoginTable = "login_info";
constexpr const char* kSettingTable = "setting_info";
constexpr const char* kKeepPasswordColumn = "keep_password";
constexpr const char* kAutoLoginColumn = "auto_login";
constexpr const char* kPasswordColumn = "password";
constexpr const char* kFlickColumn = "flick_state";
constexpr const char* kSoundColumn = "sound_state";
constexpr const char* kOn = "1";
constexpr const char* kOff = "0";

// Columns of "SELECT * FROM login_info": uid, username, password,
// keep_password, auto_login, ...
constexpr std::size_t kKeepPasswordIndex = 3;
constexpr std::size_t kAutoLoginIndex = 4;

bool ColumnIsOn(const DbRow& row, std::size_t index) { return index < row.size() && row[index] == kOn; }

void Store(const char* table, const char* column, const std::string& value, std::int32_t uid) {
  // The page does not wait on the database: a failed write is only logged.
  if (!DBManager::UpdateField(table, column, value, uid))
    KLOG_ERROR("保存设置失败 %s.%s=%s uid=%d", table, column, value.c_str(), uid);
}

}  // namespace

bool BasicSettingsState::Checked(int id) const {
  switch (id) {
    case kRememberPasswordId: return keepPassword;
    case kForgetPasswordId: return !keepPassword;
    case kAutoLoginId: return autoLogin;
    case kNoAutoLoginId: return !autoLogin;
    case kBubbleAlertId: return flickState == kFlickStateBubble;
    case kForceWindowAlertId: return flickState != kFlickStateBubble;
    case kSoundOnId: return soundState == kSoundStateOn;
    case kSoundOffId: return soundState != kSoundStateOn;
    default: return false;
  }
}

void BasicSettings::Load() {
  const AgentRecord agent = agent_.Copy();
  DbRows rows;
  state_.keepPassword = false;
  state_.autoLogin = false;
  if (DBManager::QueryByUid(kLoginTable, agent.triple.agentId, &rows) && !rows.empty()) {
    state_.keepPassword = ColumnIsOn(rows.front(), kKeepPasswordIndex);
    state_.autoLogin = ColumnIsOn(rows.front(), kAutoLoginIndex);
  }
  state_.flickState = agent.flickState;
  state_.soundState = agent.soundState;
}

void BasicSettings::SetKeepPassword(bool keep, std::int32_t uid) {
  Store(kLoginTable, kKeepPasswordColumn, keep ? kOn : kOff, uid);
  // A password that is no longer to be remembered must not stay on disk.
  if (!keep) Store(kLoginTable, kPasswordColumn, "", uid);
  state_.keepPassword = keep;
}

void BasicSettings::SetAutoLogin(bool on, std::int32_t uid) {
  Store(kLoginTable, kAutoLoginColumn, on ? kOn : kOff, uid);
  state_.autoLogin = on;
}

BasicSettingsClick BasicSettings::Click(int id) {
  const std::int32_t uid = agent_.AgentId();
  BasicSettingsClick result;
  result.handled = true;
  switch (id) {
    case kRememberPasswordId: SetKeepPassword(true, uid); break;
    case kForgetPasswordId:
      // Logging in by itself needs the password: both go off.
      SetKeepPassword(false, uid);
      SetAutoLogin(false, uid);
      break;
    case kAutoLoginId:
      SetAutoLogin(true, uid);
      SetKeepPassword(true, uid);
      break;
    case kNoAutoLoginId:
      // Only its own pair, as in the login window: the remembered password
      // stays remembered, on the page and in the database alike.
      SetAutoLogin(false, uid);
      break;
    case kBubbleAlertId:
    case kForceWindowAlertId: {
      const std::int32_t flick = id == kBubbleAlertId ? kFlickStateBubble : kFlickStateChatWindow;
      Store(kSettingTable, kFlickColumn, std::to_string(flick), uid);
      agent_.Update([flick](AgentRecord& r) { r.flickState = flick; });
      state_.flickState = flick;
      result.agentSettingsChanged = true;
      break;
    }
    case kSoundOnId:
    case kSoundOffId: {
      const std::int32_t sound = id == kSoundOnId ? kSoundStateOn : kSoundStateOff;
      Store(kSettingTable, kSoundColumn, std::to_string(sound), uid);
      agent_.Update([sound](AgentRecord& r) { r.soundState = sound; });
      state_.soundState = sound;
      result.agentSettingsChanged = true;
      break;
    }
    default: result.handled = false; break;
  }
  return result;
}

}  // namespace kanzo
