#include "chat/transcript_lines.h"

#include <cstdio>
#include <ctime>

#include "chat/wire_display.h"
#include "records/contact_record.h"

namespace kanzo {
namespace {

constexpr const char* kOwnLine = "\n[#549954]%s\n[>00C8]%s\n";
constexpr const char* kIncomingLine = "\n%s\n[>00C8]%s\n";
constexpr const char* kHeader = "%s (%s)";
constexpr const char* kKnownSender = "[#4895E1]%s";
constexpr const char* kVisitorSender = "[#4895E1]访客%d";
constexpr const char* kVisitorShortName = "访客(%d)";
constexpr const char* kAgentDefaultName = "客服%d";
constexpr const char* kNoticeLine = "[C][%s]%s";
constexpr const char* kVisitorMoved = " 访客与您结束交谈，与[C][#2183D2]%s[C][%s]客服交谈...\n";
constexpr const char* kTitleOffline = "（%s）离线消息";
constexpr const char* kTitleGuestbook = "（%s）留言";
constexpr const char* kTitleTalk = "与（%s）交谈中";
constexpr std::string_view kWireFaceOpen = "[FACE]";
constexpr std::string_view kWireFaceClose = "[/FACE]";

// printf into a string of whatever length the result takes.
template <typename... Args>
std::string Format(const char* format, Args... args) {
  const int size = std::snprintf(nullptr, 0, format, args...);
  if (size <= 0) return std::string();
  std::string out(static_cast<std::size_t>(size) + 1, '\0');
  std::snprintf(out.data(), out.size(), format, args...);
  out.resize(static_cast<std::size_t>(size));
  return out;
}

std::string Header(const std::string& name, std::int64_t seconds) {
  return Format(kHeader, name.c_str(), LocalClockText(seconds).c_str());
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

}  // namespace

std::string LocalClockText(std::int64_t seconds) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm local{};
  localtime_r(&t, &local);
  return Format("%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
}

std::string OwnTranscriptLine(const std::string& realname, std::int64_t seconds, std::string_view markup) {
  const std::string text(markup);
  return Format(kOwnLine, Header(realname, seconds).c_str(), text.c_str());
}

std::string IncomingTranscriptLine(const std::string& colouredName, std::int64_t seconds, std::string_view text) {
  const std::string body(text);
  return Format(kIncomingLine, Header(colouredName, seconds).c_str(), body.c_str());
}

SenderNames SenderNamesOf(std::int32_t senderId, const NameTable& names) {
  std::string name;
  if (names.Lookup(senderId, &name)) {
    name = RemoveForeignPictures(name);
    return {Format(kKnownSender, name.c_str()), name};
  }
  return {Format(kVisitorSender, senderId), Format(kVisitorShortName, senderId)};
}

std::string AgentNameOrDefault(std::int32_t agentId, const NameTable& names) {
  std::string name;
  if (names.Lookup(agentId, &name) && !name.empty()) return name;
  return Format(kAgentDefaultName, agentId);
}

std::string NoticeLine(std::string_view text) {
  const std::string body(text);
  return Format(kNoticeLine, kNoticeColour, body.c_str());
}

std::string VisitorMovedNotice(const std::string& agentName) {
  const std::string clean = RemoveForeignPictures(agentName);
  return Format(kVisitorMoved, clean.c_str(), kNoticeColour);
}

std::string ConversationTitle(std::int32_t kind, const std::string& name) {
  const char* format = kTitleTalk;
  if (kind == kContactKindOfflineSender) format = kTitleOffline;
  if (kind == kContactKindGuestbookAuthor) format = kTitleGuestbook;
  return Format(format, name.c_str());
}

std::string WireTextWithFaceNames(std::string_view wire) {
  return ReplaceAll(ReplaceAll(std::string(wire), kWireFaceOpen, ""), kWireFaceClose, "");
}

std::string BubbleCountText(std::int32_t unread) {
  constexpr std::int32_t kMostCounted = 99;
  if (unread <= 0) return std::string();
  if (unread > kMostCounted) return "（99+）";
  return Format("（%d）", unread);
}

}  // namespace kanzo
