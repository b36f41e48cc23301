#include "workspace/main_texts.h"

#include <cstdio>
#include <ctime>

#include "platform/narrow_text.h"

namespace kanzo {
namespace {

constexpr const char* kCountsAllFormat = "总会话：%d 我的会话：%d";
constexpr const char* kCountsMineFormat = "我的会话：%d";
constexpr const char* kTipFormat = "Qimbo:%s( %s )\n声音:%s\n会话消息:%s";
constexpr const char* kSoundOff = "关闭";
constexpr const char* kSoundOn = "开启";
constexpr const char* kNoFlash = "任务栏不闪动";
constexpr const char* kFlash = "任务栏闪动";
constexpr const char* kDateFormat = "%Y%m%d";
constexpr const char* kBackOfficeFormat = "http://%s/kanzo/login/dologin.shtml?random=%s%s&id=%lld";
constexpr long long kBackOfficeIdOffset = 10'000'000;

// Presence button frames ("Images/LoginState").
constexpr int kButtonOnline = 0;
constexpr int kButtonOffline = 2;
constexpr int kButtonAway = 4;
constexpr const char* kPictureOffline = "Images/big_offline_logo.png";
constexpr const char* kPictureOnline = "Images/big_def_logo.png";
constexpr const char* kPictureAway = "Images/big_outline_logo.png";

// printf into a string of any length.
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

}  // namespace

std::string SessionCountText(std::int32_t totalChat, std::int32_t myChat, std::int32_t agentKind) {
  if (agentKind == kAgentKindSeesTotal) return Format(Narrow(kCountsAllFormat), totalChat, myChat);
  return Format(Narrow(kCountsMineFormat), myChat);
}

std::string NarrowPrefixWithin(std::string_view narrow, std::size_t maxBytes) {
  if (narrow.size() <= maxBytes) return std::string(narrow);
  if (platform::NarrowIsUtf8()) return std::string(platform::Utf8PrefixWithin(narrow, maxBytes));
  // Another code page: walk whole characters through UTF-8 and keep those
  // whose narrow form still fits.
  const std::string utf8 = platform::NarrowToUtf8(narrow);
  std::string kept;
  std::size_t i = 0;
  while (i < utf8.size()) {
    std::size_t next = i + 1;
    while (next < utf8.size() && (static_cast<unsigned char>(utf8[next]) & 0xC0) == 0x80) ++next;
    const std::string piece = platform::Utf8ToNarrow(std::string_view(utf8).substr(i, next - i));
    if (kept.size() + piece.size() > maxBytes) break;
    kept += piece;
    i = next;
  }
  return kept;
}

std::string TrayTipText(const AgentRecord& agent) {
  const std::string sound = Narrow(agent.soundState == kSoundStateOff ? kSoundOff : kSoundOn);
  const std::string flash = Narrow(agent.flickState == kFlickStateChatWindow ? kNoFlash : kFlash);
  const std::string tip =
      Format(Narrow(kTipFormat), agent.userName.c_str(), agent.realname.c_str(), sound.c_str(), flash.c_str());
  return NarrowPrefixWithin(tip, kTrayTipMaxBytes);
}

PresenceLook PresenceLookOf(int presence) {
  switch (presence) {
    case kPresenceOffline: return {kButtonOffline, false, kPictureOffline, kPresenceOffline};
    case kPresenceOnline: return {kButtonOnline, false, kPictureOnline, kPresenceOnline};
    case kPresenceAway: return {kButtonAway, true, kPictureAway, kPresenceAway};
    default: return {kButtonOnline, false, nullptr, kPresenceOnline};
  }
}

std::int32_t ToggledSetting(std::int32_t value) {
  switch (value) {
    case kSoundStateOn: return kSoundStateOff;
    case kSoundStateOff: return kSoundStateOn;
    case kFlickStateBubble: return kFlickStateChatWindow;
    case kFlickStateChatWindow: return kFlickStateBubble;
    default: return value;
  }
}

std::string LocalDateText(std::int64_t seconds) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm local{};
  if (!localtime_r(&t, &local)) return {};
  char buf[32];
  const std::size_t n = std::strftime(buf, sizeof(buf), kDateFormat, &local);
  return std::string(buf, n);
}

std::string BackOfficeAddress(const std::string& host, const std::string& userName, const std::string& password,
                              std::int32_t agentId, const std::string& date, const Sha1HexDigest& digest) {
  const std::string a = digest ? digest(userName + "=" + date) : std::string();
  const std::string b = digest ? digest(password + "=" + date) : std::string();
  long long day = 0;
  if (!date.empty()) std::sscanf(date.c_str(), "%lld", &day);
  // Wide enough that a large agent id cannot overflow the sum.
  const long long id = day + agentId + kBackOfficeIdOffset;
  return Format(std::string(kBackOfficeFormat), host.c_str(), a.c_str(), b.c_str(), id);
}

}  // namespace kanzo
