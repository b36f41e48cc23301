#pragma once
// What the user is told after a fault. A crashed process cannot run its
// windows any more, so the fault handler starts the program once more in a
// notice mode:
//   Kanzo --crash-notice <kind> <dump path> <error code>
// and that process formats the message and shows it in a box titled "Crash".
#include <cstddef>
#include <string>
#include <vector>

namespace kanzo {

inline constexpr const char* kCrashTitle = "Crash";
inline constexpr const char* kCrashNoticeArgument = "--crash-notice";
// The formatted message is cut to fit a buffer of this size (terminator
// included).
inline constexpr std::size_t kCrashMessageCapacity = 1283;
// Exit code of a notice process whose command line makes no sense.
inline constexpr int kCrashNoticeBadCommand = 2;

enum class CrashMessage {
  Success,        // the dump was written
  WriteFailure,   // the dump file was created but could not be written
  CreateFailure,  // the dump file could not be created
};

// The word for `message` on the notice command line; a string literal, so
// the fault handler may use it.
const char* CrashMessageKindName(CrashMessage message);
bool ParseCrashMessageKind(const std::string& word, CrashMessage* message);

// The message text in the narrow encoding. `path` is the dump file's full
// path (narrow), `errorCode` the errno of the failed step.
std::string FormatCrashMessage(CrashMessage message, const std::string& path, unsigned errorCode);

// True when `args` (the arguments after the program path) ask for the notice.
bool IsCrashNoticeCommand(const std::vector<std::string>& args);

// Shows the box the command line describes through platform::ShowMessageBox
// and returns the process's exit code (0, or kCrashNoticeBadCommand when the
// command line is not a valid notice; then nothing is shown).
int RunCrashNotice(const std::vector<std::string>& args);

}  // namespace kanzo
