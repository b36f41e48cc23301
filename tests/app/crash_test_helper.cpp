// A small program for the crash tests: it installs the crash handler exactly
// as the client does and then fails the way its command line asks.
//   crash_test_helper <crash folder> <fault> [--file-size-limit=<bytes>] [--wait]
// With --wait it faults only after a byte arrives on standard input, so that
// a test can time the fault exactly.
// Like the client it also serves the notice mode; its box goes to the file
// named by KANZO_CRASH_NOTICE_RECORD (caption, icon and text, each followed
// by a NUL byte) instead of a window.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/crash_handler.h"
#include "platform/message_box.h"
#include "platform/narrow_text.h"
#include "platform/program_folder.h"

namespace {

constexpr int kExitBadUsage = 64;
constexpr int kExitInstallFailed = 65;
constexpr int kExitNoFault = 66;
constexpr std::size_t kRecursionFrameBytes = 1024;
constexpr const char* kRecordVariable = "KANZO_CRASH_NOTICE_RECORD";
constexpr const char* kFileSizeLimitOption = "--file-size-limit=";
constexpr const char* kWaitOption = "--wait";

#define KANZO_NO_SANITIZE __attribute__((noinline, no_sanitize("address", "undefined")))

KANZO_NO_SANITIZE void WriteThroughNull() {
  volatile int* volatile target = nullptr;
  *target = 1;
}

KANZO_NO_SANITIZE void DivideByZero() {
  volatile int dividend = 1;
  volatile int zero = 0;
  volatile int quotient = dividend / zero;
  (void)quotient;
}

KANZO_NO_SANITIZE int Recurse(int depth) {
  volatile char frame[kRecursionFrameBytes];
  frame[0] = static_cast<char>(depth);
  return Recurse(depth + 1) + frame[0];
}

// Touching a shared mapping beyond the end of its (empty) file.
KANZO_NO_SANITIZE void TouchPastEndOfFile() {
  char path[] = "/tmp/kanzo-crash-bus-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return;
  unlink(path);
  const long page = sysconf(_SC_PAGESIZE);
  void* map = mmap(nullptr, static_cast<std::size_t>(page), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (map == MAP_FAILED) return;
  *static_cast<volatile char*>(map) = 1;
}

void Fault(const std::string& kind) {
  if (kind == "null-write") WriteThroughNull();
  if (kind == "abort") std::abort();
  if (kind == "trap") __builtin_trap();
  if (kind == "divide") DivideByZero();
  if (kind == "stack-overflow") Recurse(0);
  if (kind == "bus") TouchPastEndOfFile();
  if (kind == "thread-null-write") std::thread(WriteThroughNull).join();
}

kanzo::platform::MessageBoxResult RecordBox(const kanzo::platform::MessageBoxRequest& box) {
  const char* record = std::getenv(kRecordVariable);
  if (record != nullptr) {
    std::ofstream out(record, std::ios::binary | std::ios::trunc);
    out << box.caption << '\0' << static_cast<int>(box.icon) << '\0' << box.text << '\0';
  }
  return kanzo::platform::MessageBoxResult::Ok;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (kanzo::IsCrashNoticeCommand(args)) {
    // The failed instance may have run under a file-size limit that the
    // record must not inherit.
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0) {
      limit.rlim_cur = limit.rlim_max;
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    kanzo::platform::InitNarrowEncoding();
    kanzo::platform::SetMessageBoxHandler(RecordBox);
    return kanzo::RunCrashNotice(args);
  }
  if (args.size() < 2) return kExitBadUsage;

  kanzo::SetCrashNoticeProgram(kanzo::platform::ProgramPath());
  if (!kanzo::InstallCrashHandler(args[0])) return kExitInstallFailed;
  for (std::size_t i = 2; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (option.rfind(kFileSizeLimitOption, 0) == 0) {
      rlimit limit{};
      getrlimit(RLIMIT_FSIZE, &limit);
      limit.rlim_cur =
          static_cast<rlim_t>(std::strtoull(option.c_str() + std::strlen(kFileSizeLimitOption), nullptr, 10));
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return kExitBadUsage;
    } else if (option == kWaitOption) {
      char go = 0;
      if (read(STDIN_FILENO, &go, 1) != 1) return kExitBadUsage;
    } else {
      return kExitBadUsage;
    }
  }
  Fault(args[1]);
  return kExitNoFault;
}
