#pragma once
// The client's window vocabulary: every window message, first-parameter
// kind, timer id and registry name the client's windows exchange, with the
// type of each payload and who frees it. The controls and the updater have
// families of their own beside this one (control_vocabulary.h,
// update_vocabulary.h); the dispatcher's message is in
// network_vocabulary.h. Numbers are the ones the windows have always used.
//
// Payloads move only through the helpers of platform/window_payload.h:
// OwnedPayload is the receiver's to take (and freed by the helper when it
// does not), BorrowedPayload stays the sender's and is valid only during a
// synchronous send.
#include <json/value.h>

#include <cstdint>
#include <string>

#include "platform/window_payload.h"
#include "protocol/msg.h"
#include "windows/network_vocabulary.h"

namespace kanzo {

struct KeepAliveRecord;

// The platform's first private message number.
inline constexpr std::uint32_t kWmUser = 1024;

// ---- Registry names: a window enters itself under its name in the router.
inline constexpr const char* kMainWindowName = "MainDlg";
inline constexpr const char* kOnlinePaneName = "OnlineDlg";
inline constexpr const char* kContactPaneName = "ContactDlg";
inline constexpr const char* kSessionPaneName = "SessionDlg";
inline constexpr const char* kSettingBasicName = "SettingBasicDlg";
inline constexpr const char* kSignalCountName = "SignalCountDlg";
inline constexpr const char* kChatWindowName = "ChatDlg";  // one per process
// Windows made by a factory but not entered in the router under this name.
inline constexpr const char* kAgentCardFactoryName = "UserInfoDlg";
inline constexpr const char* kSettingWindowFactoryName = "SettingDlg";
inline constexpr const char* kQuickMsgEditFactoryName = "QuickMsgEditDlg";

// ---- 2024 to the list panes: the main window hands on what the server sent.
// Same number as the dispatcher's message; the panes register no commands.
inline constexpr std::uint32_t kPaneDataMessage = kNetworkWindowMessage;
// First parameters of kPaneDataMessage.
inline constexpr platform::WParam kPaneLoad = 1;  // ContactDlg: "users"; OnlineDlg: the online visitors (kPaneJson)
// A presence notice: OnlineDlg and SessionDlg get it as kPaneNoticeMsg;
// ContactDlg gets no payload (its records' states have already changed).
inline constexpr platform::WParam kPaneNotice = 2;
inline constexpr platform::WParam kPaneOfflineMessages = 3;  // SessionDlg: "offMsg" (kPaneJson)
inline constexpr platform::WParam kPaneGuestbook = 4;        // SessionDlg: "gbook" (kPaneJson)
inline constexpr platform::BorrowedPayload<Json::Value> kPaneJson{kPaneDataMessage};
inline constexpr platform::OwnedPayload<Msg> kPaneNoticeMsg{kPaneDataMessage};

// ---- To the conversation pane ("SessionDlg").
// Refresh: first parameter kSessionRedraw redraws, kSessionAddTalking lists
// the conversations the agent holds. No payload.
inline constexpr std::uint32_t kSessionRefreshMessage = 2034;
inline constexpr platform::WParam kSessionRedraw = 1;
inline constexpr platform::WParam kSessionAddTalking = 2;

// ---- To the colleague pane ("ContactDlg") and its tree.
// An unread colleague: the pane starts its tree blinking. No payload.
inline constexpr std::uint32_t kUnreadColleagueMessage = 2114;
inline constexpr platform::WParam kUnreadColleagueBlink = 1;
// From the pane to its tree (UserTreeCtrl): start blinking. No parameters.
inline constexpr std::uint32_t kStartBlinkMessage = 2224;

// ---- To the main window ("MainDlg").
// The login window's signal level: second parameter the level, no payload.
inline constexpr std::uint32_t kSignalLevelMessage = 3024;
// The login was renewed: no parameters.
inline constexpr std::uint32_t kLoginRenewedMessage = 7025;

// What the chat window hands the main window for every incoming chat line
// (first parameter: 0 when the line may sound, otherwise quiet).
struct ChatLineNotice {
  std::int32_t kind = 0;  // 0 for a line that arrived from the server
  std::int32_t senderType = 0;
  std::int32_t senderId = 0;
  std::string body;
};
inline constexpr std::uint32_t kChatLineMessage = 7026;
inline constexpr platform::OwnedPayload<ChatLineNotice> kChatLine{kChatLineMessage};

// The notification-area icon's callback: first parameter the icon id,
// second the mouse event.
inline constexpr std::uint32_t kTrayIconMessage = 2026;
inline constexpr platform::WParam kTrayIconId = 128;
inline constexpr platform::LParam kTrayDoubleClick = 515;
inline constexpr platform::LParam kTrayRightButtonUp = 517;

// Presence menu commands, the same in the login window and the main window.
inline constexpr int kPresenceMenuOnline = 2025;
inline constexpr int kPresenceMenuAway = 2026;

// ---- To the connection statistics window ("SignalCountDlg").
inline constexpr std::uint32_t kKeepAliveRecordMessage = 2044;
// First parameters; the record's address is its identity in the window.
inline constexpr platform::WParam kKeepAliveRecordAdded = 1;     // kKeepAliveRecordShown
inline constexpr platform::WParam kKeepAliveRecordAnswered = 2;  // kKeepAliveRecordShown
inline constexpr platform::WParam kKeepAliveRecordRemoved = 3;   // kKeepAliveRecordGone
inline constexpr platform::BorrowedPayload<KeepAliveRecord> kKeepAliveRecordShown{kKeepAliveRecordMessage};
inline constexpr platform::OwnedPayload<KeepAliveRecord> kKeepAliveRecordGone{kKeepAliveRecordMessage};

// ---- Inside the chat window: from the input and the transcript to their
// parent.
// The send key was pressed. No parameters.
inline constexpr std::uint32_t kMsgSendKeyPressed = kWmUser + 2001;  // 3025
// The conversation column (TalkListBox) to the chat window: a conversation
// was chosen (first parameter its record id), or the last one was closed
// (first parameter 0, second kTalkLastClosed). No payload.
inline constexpr std::uint32_t kMsgTalkChosen = 2026;
inline constexpr platform::LParam kTalkLastClosed = -1;
// A telephone-number link was clicked and the agent confirmed the call:
// first parameter kCallPhoneRequest, the number (narrow text) borrowed.
inline constexpr std::uint32_t kMsgCallPhone = kWmUser + 1009;  // 2033
inline constexpr platform::WParam kCallPhoneRequest = 1;
inline constexpr platform::BorrowedPayload<std::string> kCallPhone{kMsgCallPhone};

// ---- What the login window returns when it ends.
inline constexpr int kLoginResultClosed = 0;         // closed without logging in
inline constexpr int kLoginResultForcedOffline = 1;  // logged in elsewhere
inline constexpr int kLoginResultQuit = 2;           // the agent chose "退出"

// ---- Timers, by the window that sets them.
// Login window.
inline constexpr std::uint32_t kReloginTimerId = 1001;    // while the session is lost
inline constexpr std::uint32_t kKeepAliveTimerId = 1002;  // while logged in
// Main window.
inline constexpr std::uint32_t kTimerOnlineVisitor = 2124;
inline constexpr std::uint32_t kTimerQuickMessage = 2224;
inline constexpr std::uint32_t kTimerSessionCount = 2324;
// The colleague tree (UserTreeCtrl): blinking and the hover check.
inline constexpr std::uint32_t kTreeBlinkTimer = 2224;
inline constexpr std::uint32_t kTreeHoverTimer = 2025;
// The conversation list (SessionListBox): one timer per purpose; each
// remembers the row it watches, so that a timer of a removed row touches
// nothing.
inline constexpr std::uint32_t kSessionAvatarTimer = 4024;
inline constexpr std::uint32_t kSessionDeleteTimer = 5024;
inline constexpr std::uint32_t kSessionLeaveTimer = 6024;
// The visitor popup (CustomerInfoDlg): hides it once the pointer has left.
inline constexpr std::uint32_t kCustomerInfoHideTimer = 2324;

}  // namespace kanzo
