#pragma once
// The display-markup lines of a conversation's transcript: own and incoming
// lines with their headers, the grey notices under a failed send, the
// window title of a conversation, and the names a sender is shown by.
#include <cstdint>
#include <string>
#include <string_view>

#include "records/name_table.h"

namespace kanzo {

// Colour of the notice under a failed send.
inline constexpr const char* kNoticeColour = "#999999";

// Notice texts of a failed send.
inline constexpr const char* kNoticeSendFailed = " 消息发送失败\n";
inline constexpr const char* kNoticeAgentOffline = " 客服已下线，消息将以离线的形式发送\n";
inline constexpr const char* kNoticeVisitorOffline = " 访客已下线，消息发送失败\n";
inline constexpr const char* kNoticeVisitorEnded = " 访客与您结束交谈\n";

// "hh:mm:ss" of `seconds` (since 1970) in the computer's local time.
std::string LocalClockText(std::int64_t seconds);

// The agent's own line: the realname and time in green over the text.
std::string OwnTranscriptLine(const std::string& realname, std::int64_t seconds, std::string_view markup);
// A line that arrived: the coloured name (already markup) and time over the
// text.
std::string IncomingTranscriptLine(const std::string& colouredName, std::int64_t seconds, std::string_view text);

// How the sender of an incoming line is shown: the coloured header name and
// the short name (the bubble's title). Names from the name table are
// cleaned of foreign pictures.
struct SenderNames {
  std::string coloured;
  std::string shortName;
};
SenderNames SenderNamesOf(std::int32_t senderId, const NameTable& names);

// The name of agent `agentId` from the name table, else "客服%d".
std::string AgentNameOrDefault(std::int32_t agentId, const NameTable& names);

// Centred grey notice line around `text`.
std::string NoticeLine(std::string_view text);

// The notice of a visitor who ended the conversation and talks with another
// agent (`agentName`, cleaned of foreign pictures).
std::string VisitorMovedNotice(const std::string& agentName);

// The title line of a conversation with a record of `kind` named `name`.
std::string ConversationTitle(std::int32_t kind, const std::string& name);

// Wire text with each face reduced to its name, for the bubble's plain text.
std::string WireTextWithFaceNames(std::string_view wire);

// The bubble's count of unread lines: empty for none, "（%d）" up to 99,
// "（99+）" beyond.
std::string BubbleCountText(std::int32_t unread);

}  // namespace kanzo
