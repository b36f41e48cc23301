#pragma once
// What window logic may ask of other windows. A window derives from
// platform::Window and from the link of its name, and enters itself in the
// context's router with that link (WindowRouter::Enter); logic finds it by
// registry name (WindowRouter::Find<Link>) at the moment it needs it and
// does nothing when it is not there. Everything runs on the user-interface
// thread; ids are ContactRecord ids; no link keeps a record pointer across
// calls.
#include <json/value.h>

#include <cstdint>
#include <string>

#include "records/contact_record.h"

namespace kanzo {

// The chat window ("ChatDlg").
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
  // Selects the record's conversation, shows the window and brings it to
  // the front (double clicks in the lists, the bubble).
  virtual void OpenConversation(std::int32_t id) = 0;
  // Adds a line to the record's transcript (offline messages and guestbook
  // entries: incoming, message id 0).
  virtual void AppendTranscriptEntry(std::int32_t id, const std::string& displayMarkup, bool incoming,
                                     std::int64_t messageId) = 0;
  // The stock reply editor has added a reply: read the lists again.
  virtual void ReloadQuickLists() = 0;
  // Whether the conversation column lists the record.
  virtual bool IsTalkListed(std::int32_t id) = 0;
};

// The online visitors pane ("OnlineDlg").
class OnlinePaneLink {
 public:
  virtual ~OnlinePaneLink() = default;
  virtual void AddOrUpdate(const ContactRecord& record) = 0;
};

// The conversation pane ("SessionDlg").
class SessionPaneLink {
 public:
  virtual ~SessionPaneLink() = default;
  virtual void AddSession(std::int32_t id) = 0;
};

// The main window ("MainDlg").
class MainWindowLink {
 public:
  virtual ~MainWindowLink() = default;
  // The shown details and the agent card, after the agent's details changed.
  virtual void RefreshAgentDetails() = 0;
  // The tray tip and icon follow a change of the sound or alert setting.
  virtual void SettingsChanged() = 0;
  // Ends the workspace as the tray menu's "退出" does.
  virtual void Quit() = 0;
};

// The basic settings page ("SettingBasicDlg"): shows the stored values again.
class SettingBasicLink {
 public:
  virtual ~SettingBasicLink() = default;
  virtual void RefreshSettings() = 0;
};

// The agent's own card beside the avatar (made by its factory, not entered
// in the router): fills its texts from the current agent record.
class AgentCardLink {
 public:
  virtual ~AgentCardLink() = default;
  virtual void FillFromAgentRecord() = 0;
};

}  // namespace kanzo
