#pragma once
// The command codes of the chat-server protocol. The server answers with the
// code of the request; server notices (a visitor's chat line, a presence
// change) use the code of the window that handles them. Each constant says
// what the command does, who sends it and who handles the answer; the same
// facts are in CommandTable() for logs, routing and the simulator.
#include <cstdint>
#include <span>

#include "protocol/body_types.h"

namespace kanzo {

using CommandCode = std::int32_t;

// Register a new account. Body Regist. Sent by no window of the client.
inline constexpr CommandCode kCommandRegist = 1;
// Log in. Body Login. Sent and handled by the login window.
inline constexpr CommandCode kCommandLogin = 2;
// Refresh the session (keep-alive). Body Msg. Sent and handled by the login
// window.
inline constexpr CommandCode kCommandRefreshSession = 5;
// Load the conversation counts (MainDlg::LoadSessionCount). Body Msg. Sent
// and handled by the main window.
inline constexpr CommandCode kCommandLoadSessionCount = 7;
// Set the agent's presence (MainDlg::UpdateKFState); also sent at log-out
// with BODY "1". Body Msg. Sent by the main window and the application,
// handled by the main window.
inline constexpr CommandCode kCommandUpdateKFState = 8;
// Send a chat message (ChatDlg::OnBnClickedChatSendButton); visitors' lines
// arrive with it too. Body Msg. Sent and handled by the chat window.
inline constexpr CommandCode kCommandChatMessage = 11;
// The agent's start data, asked with the agent triple only. Body Msg. Sent
// and handled by the main window.
inline constexpr CommandCode kCommandStartData = 13;
// Ask for a telephone call-back (ChatDlg::CallPhone). Body Msg. Sent and
// handled by the chat window.
inline constexpr CommandCode kCommandCallPhone = 14;
// Refresh a visitor's details (ChatDlg::RefreshMemberInfo). Body Msg. Sent
// and handled by the chat window.
inline constexpr CommandCode kCommandRefreshMemberInfo = 15;
// Invite a visitor to chat. Body Msg. Sent by no window; not routed.
inline constexpr CommandCode kCommandInviteVisitor = 21;
// Ask for the quick-message categories (QuickMsgEditDlg::QuickMsgClass).
// Body Msg. Sent and handled by the quick-message editor.
inline constexpr CommandCode kCommandQuickMsgClass = 23;
// Log in again with the stored credentials (LoginDlg::RefreshLogin). Body
// Login. Sent and handled by the login window.
inline constexpr CommandCode kCommandRefreshLogin = 27;
// Save the agent's own details. Body Msg. Sent and handled by the
// own-details settings page.
inline constexpr CommandCode kCommandSaveAgentInfo = 28;
// Load the online visitors (MainDlg::GetOnlineVisitor). Body Msg. Sent and
// handled by the main window.
inline constexpr CommandCode kCommandGetOnlineVisitor = 29;
// Add a common message (QuickMsgEditDlg::SaveInfo). Body Msg. Sent and
// handled by the quick-message editor.
inline constexpr CommandCode kCommandSaveQuickMsg = 40;
// Server message for the chat window. Body Msg. Sent by no window.
inline constexpr CommandCode kCommandChatNotice = 41;
// Server message for the quick-message editor. Body Msg. Sent by no window.
inline constexpr CommandCode kCommandQuickMsgNotice = 42;
// Load the quick messages (MainDlg::GetQuickMessage). Body Msg. Sent by the
// main window and the chat window, handled by the main window.
inline constexpr CommandCode kCommandGetQuickMessage = 43;

struct CommandInfo {
  CommandCode code;
  const char* name;  // the method that sends it where there is one, else a short name
  TypeCode body;     // the body type of the request
  const char* purpose;
  const char* sender;   // "" when no window of the client sends it
  const char* handler;  // the window its answers are routed to; "" for none
  bool routed;          // the dispatcher hands it to a registered window
};

// Every command, in ascending code order.
std::span<const CommandInfo> CommandTable();

// The entry of `code`, or null for a code the protocol does not define.
const CommandInfo* FindCommand(CommandCode code);

// True for the codes the dispatcher routes to registered windows.
bool IsRoutedCommand(CommandCode code);

}  // namespace kanzo
