#pragma once
// One visitor or colleague as every list, the chat window and the database
// see it. Text fields hold the program's narrow text; numbers are the
// server's 32-bit values.
#include <cstdint>
#include <string>

#include "protocol/wire_values.h"

namespace kanzo {

// Kinds of a record (the member kinds of the wire plus two made for people
// known only from an offline message or a guestbook entry).
inline constexpr std::int32_t kContactKindAgent = kMemberKindAgent;
inline constexpr std::int32_t kContactKindVisitor = kMemberKindVisitor;
inline constexpr std::int32_t kContactKindOfflineSender = 144;
inline constexpr std::int32_t kContactKindGuestbookAuthor = 145;

// A visitor record's state is one of the wire's kVisitorState* values.

// States of an agent record: its presence (any other value counts as online).
inline constexpr std::int32_t kAgentStateOffline = kPresenceOffline;
inline constexpr std::int32_t kAgentStateAway = kPresenceAway;

struct ContactRecord {
  std::string name;      // "访客 %d" for visitors, the full name for agents
  std::string reserved;  // kept empty
  std::string area;
  std::string source;
  std::string currentPage;
  std::string pageTitle;
  std::string ip;
  std::string onlineTime;  // "2014-12-23 12:00:00"
  std::string phone;       // guestbook authors only
  std::string remark;
  std::int32_t id = 0;
  std::int32_t kind = 0;
  std::int32_t state = kVisitorStateIdle;
  std::int32_t agentId = 0;  // visitors: the agent of the last state change
  std::string statusText;
  std::int32_t unread = 0;
  std::string lastTalkTime;  // seconds ("%ld") or a 19-character date-time
  std::string lastMessage;
};

}  // namespace kanzo
