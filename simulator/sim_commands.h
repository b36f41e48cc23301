#pragma once
// The result codes of the simulator's answers and the integer bodies of its
// notices. Command codes are the protocol's (protocol/commands.h).
#include <cstdint>

#include "protocol/commands.h"

namespace kanzo {

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
