#pragma once
// What the main window does with the server, without a window: the
// requests about the agent, the handling of the answers and notices it
// registered for, the presence list of the colleagues and the agent's
// sound and alert settings. The window (MainDlg) supplies a view for what
// must be shown and forwards its clicks here.
//
// Panes and other windows are reached by name through the context's router
// and told nothing when they are absent. What goes to a pane with
// kPaneDataMessage (windows/client_vocabulary.h):
//   "ContactDlg"  kPaneLoad: the "users" JSON value; kPaneNotice: states changed
//   "OnlineDlg"   kPaneLoad: the online visitors (JSON array or null);
//                 kPaneNotice: a copy of the notice
//   "SessionDlg"  kPaneNotice: a copy of the notice; kPaneOfflineMessages:
//                 "offMsg" (JSON array); kPaneGuestbook: "gbook"
#include <json/value.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "protocol/commands.h"
#include "protocol/message.h"
#include "protocol/msg.h"
#include "windows/client_vocabulary.h"
#include "windows/window_context.h"

namespace kanzo {

// What the main window shows; implemented by the window (and by tests).
class MainWorkspaceView {
 public:
  virtual ~MainWorkspaceView() = default;
  // The conversation counts line (program text).
  virtual void ShowSessionCount(const std::string& text) = 0;
  virtual void ShowState(int presence) = 0;
  // The variable texts and the agent card, from the current agent record.
  virtual void ShowAgentDetails() = 0;
  // The account was logged in elsewhere: the agent id is already 0; remove
  // the tray icon and end the login window with the forced log-off result.
  virtual void EndForcedOffline() = 0;
  // sound_state or flick_state changed: rebuild the tip, update the icon.
  virtual void SettingsChanged() = 0;
};

class MainWorkspace {
 public:
  MainWorkspace(MainWorkspaceView& view, WindowContext& context);
  MainWorkspace(const MainWorkspace&) = delete;
  MainWorkspace& operator=(const MainWorkspace&) = delete;

  // Requests; none waits for its answer.
  void LoadSessionCount();
  void GetInitData();
  void GetOnlineVisitor();
  void GetQuickMessage();
  void UpdateKFState(int presence);

  // A received message (window message 2024, event 8); it is freed here
  // whatever it holds.
  void OnNetworkMessage(std::unique_ptr<Message> message);
  // The login was renewed (7025): ask for the start data if it never came.
  void OnLoginRenewed();
  bool HasStartData() const { return startData_; }

  void InitLoadData(const Msg* body);
  void LoadUserState(const Json::Value& userstate);
  void LoadOnlineVisitor(const Msg* body);
  void LoadQuickMessage(const Msg* body);
  void ForceOffline();

  // The agent's sound and alert settings into the current agent record:
  // sound off and chat window forced up, unless the database has the
  // agent's row.
  void LoadSettings();
  // Toggles the setting whose current value is `value`; false when `value`
  // is neither a sound_state nor a flick_state.
  bool ChangeSetting(std::int32_t value);
  // Whether an incoming chat line with `flag` plays the sound.
  bool ShouldPlaySound(platform::WParam flag) const;

 private:
  void SendAgentRequest(CommandCode code, const std::string& body, bool withTriple);
  void ShowSessionCount(const Msg* body);
  void OnPresenceNotice(const Msg& notice);
  void ForwardNotice(const Msg& notice);

  bool SendToPane(const char* name, platform::WParam kind) const;
  bool SendToPane(const char* name, platform::WParam kind, const Json::Value& data) const;

  MainWorkspaceView& view_;
  WindowContext& context_;
  bool startData_ = false;
};

}  // namespace kanzo
