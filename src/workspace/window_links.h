#pragma once
// What the main window asks of windows that are built elsewhere and found by
// name in the window registry. Each of those windows derives from
// platform::Window and from the link below, and enters itself under its
// name; the main window looks it up at the moment it needs it and does
// nothing when it is not there.
#include <json/value.h>

#include <cstdint>
#include <string>

#include "workspace/contact_record.h"

namespace kanzo {

// Registry names.
inline constexpr const char* kMainWindowName = "MainDlg";
inline constexpr const char* kOnlinePaneName = "OnlineDlg";
inline constexpr const char* kContactPaneName = "ContactDlg";
inline constexpr const char* kSessionPaneName = "SessionDlg";
inline constexpr const char* kSettingBasicName = "SettingBasicDlg";
inline constexpr const char* kSignalCountName = "SignalCountDlg";
// The chat window exists once per process; it enters itself under this name.
inline constexpr const char* kChatWindowName = "ChatDlg";

// The chat window, as the main window uses it.
class ChatWindowLink {
 public:
  virtual ~ChatWindowLink() = default;
  // Redraws the column of open conversations (TalkListBox).
  virtual void RepaintTalkList() = 0;
  // Hands the stock replies (a JSON object, or null) to the reply tree; the
  // value is the caller's and only valid during the call.
  virtual void LoadQuickMessage(const Json::Value& root) = 0;
  // Loads today's stored conversations; the main window asks once per run.
  virtual void LoadTodayConversations() = 0;
  // Selects the conversation with the record `id`, shows the window and
  // brings it to the front (the lists' double clicks and the bubble).
  virtual void OpenConversation(std::int32_t id) = 0;
  // Appends a display-markup entry to the transcript of the record `id`
  // (offline messages and guestbook entries: incoming, MESSAGE_ID 0).
  virtual void AppendTranscriptEntry(std::int32_t id, const std::string& displayMarkup, bool incoming,
                                     std::int64_t messageId) = 0;
  // Asks the server for the quick lists again (after an edit).
  virtual void ReloadQuickLists() = 0;
  // Whether the conversation column lists the record `id`.
  virtual bool IsTalkListed(std::int32_t id) = 0;
};

// The visitor list ("OnlineDlg"): enters the visitor in the contact table
// (or updates the record there) and lists it.
class OnlinePaneLink {
 public:
  virtual ~OnlinePaneLink() = default;
  virtual void AddOrUpdate(const ContactRecord& record) = 0;
};

// The conversation list ("SessionDlg"): lists the record of `id`.
class SessionPaneLink {
 public:
  virtual ~SessionPaneLink() = default;
  virtual void AddSession(std::int32_t id) = 0;
};

// The main window, as the settings window uses it.
class MainWindowLink {
 public:
  virtual ~MainWindowLink() = default;
  // The shown details, the tray tip and the agent card, from the current
  // agent record (after the agent's details were saved).
  virtual void RefreshAgentDetails() = 0;
  // sound_state or flick_state changed: the tray tip and icon follow.
  virtual void SettingsChanged() = 0;
};

// The basic settings page: shows the stored values again.
class SettingBasicLink {
 public:
  virtual ~SettingBasicLink() = default;
  virtual void RefreshSettings() = 0;
};

// The agent's own card beside the avatar (created by its factory, not
// entered in the registry): fills its texts from the current agent record.
class AgentCardLink {
 public:
  virtual ~AgentCardLink() = default;
  virtual void FillFromAgentRecord() = 0;
};

// What the chat window hands the main window with 7026 for every incoming
// chat line. The main window owns and frees it.
struct ChatLineNotice {
  std::int32_t kind = 0;  // 0 for a line that arrived from the server
  std::int32_t senderType = 0;
  std::int32_t senderId = 0;
  std::string body;
};

}  // namespace kanzo
