#include "protocol/commands.h"

#include <algorithm>
#include <array>

namespace kanzo {
namespace {

constexpr const char* kNoWindow = "";
constexpr const char* kLoginWindow = "login window";
constexpr const char* kMainWindow = "main window";
constexpr const char* kChatWindow = "chat window";
constexpr const char* kQuickMsgEditor = "quick-message editor";
constexpr const char* kOwnDetailsPage = "own-details settings page";

constexpr std::array kCommands{
    CommandInfo{kCommandRegist, "Regist", kTypeRegist, "register a new account", kNoWindow, kNoWindow, true},
    CommandInfo{kCommandLogin, "Login", kTypeLogin, "log in", kLoginWindow, kLoginWindow, true},
    CommandInfo{kCommandRefreshSession, "LoginDlg::RefreshSession", kTypeMsg, "refresh the session (keep-alive)",
                kLoginWindow, kLoginWindow, true},
    CommandInfo{kCommandLoadSessionCount, "MainDlg::LoadSessionCount", kTypeMsg, "load the conversation counts",
                kMainWindow, kMainWindow, true},
    CommandInfo{kCommandUpdateKFState, "MainDlg::UpdateKFState", kTypeMsg,
                "set the agent's presence; BODY \"1\" at log-out", "main window, application", kMainWindow, true},
    CommandInfo{kCommandChatMessage, "ChatDlg::OnBnClickedChatSendButton", kTypeMsg, "send a chat message", kChatWindow,
                kChatWindow, true},
    CommandInfo{kCommandStartData, "StartData", kTypeMsg, "the agent's start data (agent triple only)", kMainWindow,
                kMainWindow, true},
    CommandInfo{kCommandCallPhone, "ChatDlg::CallPhone", kTypeMsg, "ask for a telephone call-back", kChatWindow,
                kChatWindow, true},
    CommandInfo{kCommandRefreshMemberInfo, "ChatDlg::RefreshMemberInfo", kTypeMsg, "refresh a visitor's details",
                kChatWindow, kChatWindow, true},
    CommandInfo{kCommandInviteVisitor, "InviteVisitor", kTypeMsg, "invite a visitor to chat", kNoWindow, kNoWindow,
                false},
    CommandInfo{kCommandQuickMsgClass, "QuickMsgEditDlg::QuickMsgClass", kTypeMsg,
                "ask for the quick-message categories", kQuickMsgEditor, kQuickMsgEditor, true},
    CommandInfo{kCommandRefreshLogin, "LoginDlg::RefreshLogin", kTypeLogin, "log in again with the stored credentials",
                kLoginWindow, kLoginWindow, true},
    CommandInfo{kCommandSaveAgentInfo, "SaveAgentInfo", kTypeMsg, "save the agent's own details", kOwnDetailsPage,
                kOwnDetailsPage, true},
    CommandInfo{kCommandGetOnlineVisitor, "MainDlg::GetOnlineVisitor", kTypeMsg, "load the online visitors",
                kMainWindow, kMainWindow, true},
    CommandInfo{kCommandSaveQuickMsg, "QuickMsgEditDlg::SaveInfo", kTypeMsg, "add a common message", kQuickMsgEditor,
                kQuickMsgEditor, true},
    CommandInfo{kCommandChatNotice, "ChatNotice", kTypeMsg, "server message for the chat window", kNoWindow,
                kChatWindow, true},
    CommandInfo{kCommandQuickMsgNotice, "QuickMsgNotice", kTypeMsg, "server message for the quick-message editor",
                kNoWindow, kQuickMsgEditor, true},
    CommandInfo{kCommandGetQuickMessage, "MainDlg::GetQuickMessage", kTypeMsg, "load the quick messages",
                "main window, chat window", kMainWindow, true},
};

constexpr bool StrictlyAscending() {
  for (std::size_t i = 1; i < kCommands.size(); ++i)
    if (kCommands[i - 1].code >= kCommands[i].code) return false;
  return true;
}
static_assert(StrictlyAscending(), "command table must be in ascending code order without repeats");

}  // namespace

std::span<const CommandInfo> CommandTable() { return kCommands; }

const CommandInfo* FindCommand(CommandCode code) {
  const auto it = std::lower_bound(kCommands.begin(), kCommands.end(), code,
                                   [](const CommandInfo& info, CommandCode c) { return info.code < c; });
  return it != kCommands.end() && it->code == code ? &*it : nullptr;
}

bool IsRoutedCommand(CommandCode code) {
  const CommandInfo* info = FindCommand(code);
  return info != nullptr && info->routed;
}

}  // namespace kanzo
