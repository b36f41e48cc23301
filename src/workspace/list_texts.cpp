#include "workspace/list_texts.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/narrow_text.h"

namespace kanzo {
namespace {

constexpr const char* kVisitorNameFormat = "访客 %d";
constexpr const char* kAgentFallbackFormat = "客服%d";
constexpr const char* kStatusLeft = "访客已经离开";
constexpr const char* kStatusInvitingFormat = "访客被%s邀请中";
constexpr const char* kStatusRefusedFormat = "访客拒绝了%s邀请";
constexpr const char* kStatusEndedFormat = "与%s交谈结束";
constexpr const char* kStatusTalkingFormat = "访客与%s交谈中";
constexpr const char* kClockFormat = "%02d:%02d:%02d";
constexpr int kLastHour = 23;

template <typename... Args>
std::string Format(const std::string& format, Args... args) {
  const int size = std::snprintf(nullptr, 0, format.c_str(), args...);
  if (size <= 0) return {};
  std::string out(static_cast<std::size_t>(size) + 1, '\0');
  std::snprintf(out.data(), out.size(), format.c_str(), args...);
  out.resize(static_cast<std::size_t>(size));
  return out;
}

// The texts of this file are written in UTF-8; the program holds narrow text.
std::string Narrow(const char* utf8) { return platform::Utf8ToNarrow(utf8); }

bool IsDigits(const std::string& text, std::size_t from, std::size_t count) {
  for (std::size_t i = from; i < from + count; ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  return true;
}

int Number(const std::string& text, std::size_t from, std::size_t count) {
  int value = 0;
  for (std::size_t i = from; i < from + count; ++i) value = value * 10 + (text[i] - '0');
  return value;
}

}  // namespace

std::string VisitorName(std::int32_t id) { return Format(Narrow(kVisitorNameFormat), id); }

std::string AgentDisplayName(const NameTable& names, std::int32_t agentId) {
  std::string name;
  if (names.Lookup(agentId, &name)) return name;
  return Format(Narrow(kAgentFallbackFormat), agentId);
}

bool VisitorStatusText(std::int32_t state, const std::string& agentName, std::string* out) {
  const char* format = nullptr;
  switch (state) {
    case 1: *out = Narrow(kStatusLeft); return true;
    case 2: out->clear(); return true;
    case 101: format = kStatusInvitingFormat; break;
    case 102: format = kStatusRefusedFormat; break;
    case 104: format = kStatusEndedFormat; break;
    case 105: format = kStatusTalkingFormat; break;
    default: return false;
  }
  *out = Format(Narrow(format), agentName.c_str());
  return true;
}

bool IsJsonInt(const Json::Value& value) {
  return (value.type() == Json::intValue || value.type() == Json::uintValue) && value.isInt();
}

bool JsonIntMember(const Json::Value& element, const char* key, std::int32_t* out) {
  if (!element.isObject()) return false;
  const Json::Value* member = element.find(key, key + std::char_traits<char>::length(key));
  if (member == nullptr || !IsJsonInt(*member)) return false;
  *out = member->asInt();
  return true;
}

bool JsonIdMember(const Json::Value& element, const char* key, std::int32_t* out) {
  std::int32_t id = kNoContactId;
  if (!JsonIntMember(element, key, &id) || id == kNoContactId) return false;
  *out = id;
  return true;
}

std::string JsonTextMember(const Json::Value& element, const char* key) {
  if (!element.isObject()) return {};
  const Json::Value* member = element.find(key, key + std::char_traits<char>::length(key));
  if (member == nullptr || !member->isString()) return {};
  return platform::Utf8ToNarrow(member->asString());
}

std::int64_t VisitTimeSeconds(const std::string& text) {
  // "YYYY-MM-DD HH:MM:SS", every field checked: mktime would otherwise
  // carry "2014-13-45" into another month and call it valid. The hour is
  // not compared after mktime, which moves it across a daylight-saving gap.
  if (text.size() != kVisitTimeLength) return 0;
  if (!IsDigits(text, 0, 4) || text[4] != '-' || !IsDigits(text, 5, 2) || text[7] != '-' || !IsDigits(text, 8, 2) ||
      text[10] != ' ' || !IsDigits(text, 11, 2) || text[13] != ':' || !IsDigits(text, 14, 2) || text[16] != ':' ||
      !IsDigits(text, 17, 2))
    return 0;
  if (Number(text, 11, 2) > kLastHour) return 0;
  std::tm parts{};
  parts.tm_year = Number(text, 0, 4) - 1900;
  parts.tm_mon = Number(text, 5, 2) - 1;
  parts.tm_mday = Number(text, 8, 2);
  parts.tm_hour = Number(text, 11, 2);
  parts.tm_min = Number(text, 14, 2);
  parts.tm_sec = Number(text, 17, 2);
  parts.tm_isdst = -1;
  const std::tm asked = parts;
  const std::time_t seconds = std::mktime(&parts);
  if (seconds == static_cast<std::time_t>(-1)) return 0;
  if (parts.tm_year != asked.tm_year || parts.tm_mon != asked.tm_mon || parts.tm_mday != asked.tm_mday ||
      parts.tm_min != asked.tm_min || parts.tm_sec != asked.tm_sec)
    return 0;
  return seconds < 0 ? 0 : static_cast<std::int64_t>(seconds);
}

std::string TalkTimeText(const std::string& lastTalkTime) {
  if (lastTalkTime.size() == kVisitTimeLength) return lastTalkTime;
  errno = 0;
  const long long parsed = std::strtoll(lastTalkTime.c_str(), nullptr, 10);
  const std::time_t seconds = errno == 0 ? static_cast<std::time_t>(parsed) : 0;
  std::tm local{};
  if (localtime_r(&seconds, &local) == nullptr) return Format(kClockFormat, 0, 0, 0);
  return Format(kClockFormat, local.tm_hour, local.tm_min, local.tm_sec);
}

}  // namespace kanzo
