#pragma once
// The page "基础设置" without a window: four pairs of radio buttons, what
// each click stores in the local database at once, and the alert and sound
// choices copied into the current agent record so that the next message
// already follows them.
#include <cstdint>

#include "records/agent_record.h"

namespace kanzo {

// Radio buttons of the page, in pairs.
inline constexpr int kRememberPasswordId = 1018;  // "记住密码"
inline constexpr int kForgetPasswordId = 1019;    // "取消记住密码"
inline constexpr int kAutoLoginId = 1036;         // "自动登录"
inline constexpr int kNoAutoLoginId = 1037;       // "取消自动登录"
inline constexpr int kBubbleAlertId = 1023;       // "气泡消息"
inline constexpr int kForceWindowAlertId = 1024;  // "强制弹窗"
inline constexpr int kSoundOnId = 1025;           // "开启"
inline constexpr int kSoundOffId = 1026;          // "关闭"

// Which button of each pair is checked.
struct BasicSettingsState {
  bool keepPassword = false;
  bool autoLogin = false;
  std::int32_t flickState = 0;  // kFlickStateBubble or kFlickStateChatWindow
  std::int32_t soundState = 0;  // kSoundStateOn or kSoundStateOff

  // Whether radio button `id` is checked in this state.
  bool Checked(int id) const;
  friend bool operator==(const BasicSettingsState&, const BasicSettingsState&) = default;
};

// What a click changed.
struct BasicSettingsClick {
  bool handled = false;  // `id` is one of the page's buttons
  // flick_state or sound_state changed: the main window's tray tip and icon
  // must follow.
  bool agentSettingsChanged = false;
};

class BasicSettings {
 public:
  explicit BasicSettings(SharedAgentRecord& agent) : agent_(agent) {}

  // Reads the logged-in agent's login_info row and the current agent
  // record's alert and sound choices. An agent without a row shows neither
  // remembering nor automatic login.
  void Load();
  const BasicSettingsState& State() const { return state_; }

  // Stores the clicked button's value (and its couplings') at once for the
  // logged-in agent.
  BasicSettingsClick Click(int id);

 private:
  void SetKeepPassword(bool keep, std::int32_t uid);
  void SetAutoLogin(bool on, std::int32_t uid);

  SharedAgentRecord& agent_;
  BasicSettingsState state_;
};

}  // namespace kanzo
