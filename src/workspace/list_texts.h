#pragma once
// Texts and small readings shared by the visitor, conversation and
// colleague lists. Every text here is program (narrow) text; JSON values
// hold UTF-8, as they came off the wire.
#include <json/value.h>

#include <cstdint>
#include <string>

#include "records/name_table.h"

namespace kanzo {

// Id 0 stands for "no conversation" in the chat window: no list row or
// record may carry it.
inline constexpr std::int32_t kNoContactId = 0;

// A visit time as the server writes it: "2014-12-23 12:00:00".
inline constexpr std::size_t kVisitTimeLength = 19;

// "访客 %d": how a visitor is named before anything else is known.
std::string VisitorName(std::int32_t id);

// The agent's display name from the name table, else "客服%d".
std::string AgentDisplayName(const NameTable& names, std::int32_t agentId);

// The status line of a visitor in `state` whose agent is `agentName`; false
// (and `out` untouched) for a state that leaves the line as it was.
bool VisitorStatusText(std::int32_t state, const std::string& agentName, std::string* out);

// A JSON integer in 32 bits. A real such as 3.0 is no id.
bool IsJsonInt(const Json::Value& value);
// The member `key` of an object or null element as a 32-bit integer.
bool JsonIntMember(const Json::Value& element, const char* key, std::int32_t* out);
// The member `key` as the id of a visitor or agent: a 32-bit integer other
// than kNoContactId.
bool JsonIdMember(const Json::Value& element, const char* key, std::int32_t* out);
// The member `key` as program text; empty when it is not a string.
std::string JsonTextMember(const Json::Value& element, const char* key);

// Seconds since 1970 of a 19-character local date-time; 0 for a text of
// another length or one that is not a valid date-time.
std::int64_t VisitTimeSeconds(const std::string& text);

// How the conversation list shows lastTalkTime: a 19-character date-time as
// it stands, anything else read as seconds and shown as local "%02d:%02d:%02d"
// (text that is no number counts as 0).
std::string TalkTimeText(const std::string& lastTalkTime);

}  // namespace kanzo
