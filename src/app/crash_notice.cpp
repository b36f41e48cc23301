#include "app/crash_notice.h"

#include <cerrno>
#include <cstdlib>

#include "platform/message_box.h"
#include "platform/narrow_text.h"

namespace kanzo {
namespace {

constexpr const char* kKindDumped = "dumped";
constexpr const char* kKindWriteFailed = "write-failed";
constexpr const char* kKindCreateFailed = "create-failed";

// The notice command line: the argument, the kind, the path, the code.
constexpr std::size_t kNoticeArgumentCount = 4;
constexpr std::size_t kKindIndex = 1;
constexpr std::size_t kPathIndex = 2;
constexpr std::size_t kCodeIndex = 3;

constexpr const char* kLineEnd = "\r\n";
constexpr const char* kQuote = "\"";
constexpr const char* kTerminated = "Qimbo程序出现错误已终止运行。";
constexpr const char* kSavedAt = "我们已经创建了一个错误报告,保存在您的电脑 ";
constexpr const char* kSavedAtEnd = " 目录下。";
constexpr const char* kPleaseSend = "您可以将它发送给我们，以帮助我们找出问题。";
constexpr const char* kAtYourComputer = "在您的电脑 ";
constexpr const char* kWriteFailedEnd = " 目录保存错误报告操作失败了。";
constexpr const char* kCreateFailedEnd = " 目录下创建错误报告文件操作失败了。";
constexpr const char* kPleaseContact = "请联系我们的客服，以帮助我们找出问题。";
constexpr const char* kErrorPrefix = "Error: ";

bool ParseUnsigned(const std::string& text, unsigned* value) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long parsed = std::strtoul(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || parsed > static_cast<unsigned long>(static_cast<unsigned>(-1))) return false;
  *value = static_cast<unsigned>(parsed);
  return true;
}

}  // namespace

const char* CrashMessageKindName(CrashMessage message) {
  switch (message) {
    case CrashMessage::Success: return kKindDumped;
    case CrashMessage::WriteFailure: return kKindWriteFailed;
    case CrashMessage::CreateFailure: return kKindCreateFailed;
  }
  return kKindCreateFailed;
}

bool ParseCrashMessageKind(const std::string& word, CrashMessage* message) {
  for (const CrashMessage m : {CrashMessage::Success, CrashMessage::WriteFailure, CrashMessage::CreateFailure}) {
    if (word == CrashMessageKindName(m)) {
      *message = m;
      return true;
    }
  }
  return false;
}

std::string FormatCrashMessage(CrashMessage message, const std::string& path, unsigned errorCode) {
  using platform::Utf8ToNarrow;
  const std::string lineEnd = kLineEnd;
  const std::string quotedPath = kQuote + path + kQuote;
  std::string text = Utf8ToNarrow(kTerminated) + lineEnd + lineEnd;
  switch (message) {
    case CrashMessage::Success:
      text += Utf8ToNarrow(kSavedAt) + quotedPath + Utf8ToNarrow(kSavedAtEnd) + lineEnd + lineEnd +
              Utf8ToNarrow(kPleaseSend) + lineEnd;
      break;
    case CrashMessage::WriteFailure:
    case CrashMessage::CreateFailure:
      text += Utf8ToNarrow(kAtYourComputer) + quotedPath +
              Utf8ToNarrow(message == CrashMessage::WriteFailure ? kWriteFailedEnd : kCreateFailedEnd) + lineEnd +
              lineEnd + Utf8ToNarrow(kPleaseContact) + lineEnd + lineEnd + kErrorPrefix + std::to_string(errorCode);
      break;
  }
  const std::size_t limit = kCrashMessageCapacity - 1;
  if (text.size() > limit) {
    // Never leave half a character at the cut.
    text.resize(platform::NarrowIsUtf8() ? platform::Utf8PrefixWithin(text, limit).size() : limit);
  }
  return text;
}

bool IsCrashNoticeCommand(const std::vector<std::string>& args) {
  return !args.empty() && args.front() == kCrashNoticeArgument;
}

int RunCrashNotice(const std::vector<std::string>& args) {
  CrashMessage message = CrashMessage::Success;
  unsigned code = 0;
  if (args.size() != kNoticeArgumentCount || !IsCrashNoticeCommand(args) ||
      !ParseCrashMessageKind(args[kKindIndex], &message) || !ParseUnsigned(args[kCodeIndex], &code))
    return kCrashNoticeBadCommand;
  platform::ShowMessageBox(kCrashTitle, FormatCrashMessage(message, args[kPathIndex], code),
                           platform::MessageBoxIcon::Information);
  return 0;
}

}  // namespace kanzo
