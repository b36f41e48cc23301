#pragma once
// Command codes the simulator serves and sends, and the result codes of its
// answers.
#include <cstdint>

namespace kanzo {

inline constexpr std::int32_t kSimCmdRegist = 1;
inline constexpr std::int32_t kSimCmdLogin = 2;
inline constexpr std::int32_t kSimCmdRefreshSession = 5;
inline constexpr std::int32_t kSimCmdSessionCount = 7;
inline constexpr std::int32_t kSimCmdState = 8;
inline constexpr std::int32_t kSimCmdChat = 11;
inline constexpr std::int32_t kSimCmdInitData = 13;
inline constexpr std::int32_t kSimCmdCallPhone = 14;
inline constexpr std::int32_t kSimCmdMemberInfo = 15;
inline constexpr std::int32_t kSimCmdInvite = 21;
inline constexpr std::int32_t kSimCmdQuickClass = 23;
inline constexpr std::int32_t kSimCmdRefreshLogin = 27;
inline constexpr std::int32_t kSimCmdSaveSelf = 28;
inline constexpr std::int32_t kSimCmdOnlineVisitor = 29;
inline constexpr std::int32_t kSimCmdAddCommon = 40;
inline constexpr std::int32_t kSimCmdQuickMessage = 43;

// RESULT values of the simulator's answers. 6, 7 and 8 are the send
// failures the chat window tells apart; the rest only need to be non-zero.
inline constexpr std::uint8_t kResultOk = 0;
inline constexpr std::uint8_t kResultFailed = 1;
inline constexpr std::uint8_t kResultBadRequest = 2;
inline constexpr std::uint8_t kResultBadCredentials = 3;
inline constexpr std::uint8_t kResultRejected = 4;
inline constexpr std::uint8_t kResultUnknownUser = 5;
inline constexpr std::uint8_t kResultPeerOffline = 6;
inline constexpr std::uint8_t kResultServerNotice = 7;
inline constexpr std::uint8_t kResultTalkEnded = 8;
inline constexpr std::uint8_t kResultNotLoggedIn = 9;
inline constexpr std::uint8_t kResultUnknownCommand = 10;

// Integer bodies of presence notices (command 8).
inline constexpr int kNoticeLoggedOut = 1;
inline constexpr int kNoticeForcedOffline = 4;

// Visitor states.
inline constexpr int kVisitorLeft = 1;
inline constexpr int kVisitorIdle = 2;
inline constexpr int kVisitorInvited = 101;
inline constexpr int kVisitorRefused = 102;
inline constexpr int kVisitorTalkEnded = 104;
inline constexpr int kVisitorTalking = 105;

}  // namespace kanzo
