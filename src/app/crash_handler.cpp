#include "app/crash_handler.h"

#include <fcntl.h>
#include <limits.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "app/crash_dump_name.h"
#include "app/crash_local_time.h"
#include "app/crash_report.h"
#include "app/signal_safe_writer.h"
#include "platform/program_folder.h"

extern char** environ;

namespace kanzo {
namespace {

constexpr int kFaultSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
// Room for the report writer, the stack walker and, in sanitizer builds,
// their larger frames.
constexpr std::size_t kAlternateStackSize = 256 * 1024;
constexpr mode_t kDumpFileMode = 0600;
// Writing a report takes well under a second. The stack walker may wait for
// the dynamic loader's lock, which a thread inside dlopen() could be holding
// for ever; rather than hang, the process then ends by SIGALRM.
constexpr unsigned kReportWatchdogSeconds = 30;
// Descriptors from this one on are not passed to the notice process.
constexpr int kFirstNonStandardFd = STDERR_FILENO + 1;

// Everything the handler reads, written completely before it is published.
struct CrashSettings {
  char title[kCrashPathCapacity];
  char folder[kCrashPathCapacity];
  char programPath[PATH_MAX];
  char noticeProgram[PATH_MAX];
  UtcOffsetTable offsets;
  posix_spawnattr_t spawnAttributes;
  // Closes every descriptor above the standard three in the notice process.
  posix_spawn_file_actions_t spawnActions;
  bool spawnReady = false;
};

// Two slots, so that a second installation never rewrites the settings a
// handler may be reading at that moment.
CrashSettings gSettings[2];
std::atomic<CrashSettings*> gActive{nullptr};
alignas(16) char gAlternateStack[kAlternateStackSize];

// The thread that is writing the report (0: none).
std::atomic<pid_t> gReportingThread{0};
char gNoticeProgram[PATH_MAX];
// Written inside the handler only; kept static to spare the alternate stack.
char gDumpPath[kCrashPathCapacity];

static_assert(std::atomic<CrashSettings*>::is_always_lock_free);
static_assert(std::atomic<pid_t>::is_always_lock_free);

pid_t CurrentThreadId() { return static_cast<pid_t>(syscall(SYS_gettid)); }

void CopyLimited(char* out, std::size_t capacity, const std::string& text) {
  const std::size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

bool PrepareSpawn(CrashSettings* s) {
  if (s->spawnReady) {
    posix_spawnattr_destroy(&s->spawnAttributes);
    posix_spawn_file_actions_destroy(&s->spawnActions);
  }
  s->spawnReady = false;
  if (posix_spawnattr_init(&s->spawnAttributes) != 0) return false;
  if (posix_spawn_file_actions_init(&s->spawnActions) != 0) {
    posix_spawnattr_destroy(&s->spawnAttributes);
    return false;
  }
  // The handler runs with the fault signals blocked and may have changed
  // SIGXFSZ; the notice process starts clean.
  sigset_t none;
  sigemptyset(&none);
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int sig : kFaultSignals) sigaddset(&defaults, sig);
  sigaddset(&defaults, SIGXFSZ);
  sigaddset(&defaults, SIGALRM);
  if (posix_spawnattr_setsigmask(&s->spawnAttributes, &none) != 0 ||
      posix_spawnattr_setsigdefault(&s->spawnAttributes, &defaults) != 0 ||
      posix_spawnattr_setflags(&s->spawnAttributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) != 0 ||
      posix_spawn_file_actions_addclosefrom_np(&s->spawnActions, kFirstNonStandardFd) != 0) {
    posix_spawnattr_destroy(&s->spawnAttributes);
    posix_spawn_file_actions_destroy(&s->spawnActions);
    return false;
  }
  s->spawnReady = true;
  return true;
}

void InstallAlternateStack() {
  stack_t stack{};
  stack.ss_sp = gAlternateStack;
  stack.ss_size = sizeof(gAlternateStack);
  stack.ss_flags = 0;
  sigaltstack(&stack, nullptr);
}

// Lets the platform handle the fault: with the default action restored, the
// signal raised here is delivered as soon as the handler returns (it is
// blocked until then), and a fault of the processor repeats anyway.
void FallBackToDefault(int signal) {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, nullptr);
  raise(signal);
}

// Without a notice process (or when it cannot start) a terminal or log that
// catches standard error still learns where the report is.
void WriteMessageToStandardError(CrashMessage message, unsigned errorCode) {
  SignalSafeWriter err(STDERR_FILENO);
  err.Text(kCrashTitle).Text(": ").Text(CrashMessageKindName(message)).Text(" \"").Text(gDumpPath).Char('"');
  if (message != CrashMessage::Success) err.Text(" Error: ").Unsigned(errorCode);
  err.Char('\n');
  err.Flush();
}

// Starts the notice process and waits until the user has closed its box.
void ShowCrashMessage(const CrashSettings& s, CrashMessage message, unsigned errorCode) {
  char code[kMaxNumberDigits + 1];
  FormatUnsigned(code, errorCode, 10);
  char* argv[] = {const_cast<char*>(s.noticeProgram),
                  const_cast<char*>(kCrashNoticeArgument),
                  const_cast<char*>(CrashMessageKindName(message)),
                  gDumpPath,
                  code,
                  nullptr};
  pid_t child = -1;
  if (!s.spawnReady || s.noticeProgram[0] == '\0' ||
      posix_spawn(&child, s.noticeProgram, &s.spawnActions, &s.spawnAttributes, argv, environ) != 0) {
    WriteMessageToStandardError(message, errorCode);
    return;
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

void SetCrashNoticeProgram(const std::string& path) { CopyLimited(gNoticeProgram, sizeof(gNoticeProgram), path); }

bool InstallCrashHandler(const std::string& crashFolder) {
  CrashSettings* current = gActive.load();
  CrashSettings* next = current == &gSettings[0] ? &gSettings[1] : &gSettings[0];

  CopyLimited(next->title, sizeof(next->title), kCrashTitle);
  std::string folder = crashFolder;
  platform::EnsureFolder(folder);
  if (folder.empty() || folder.back() != '/') folder += '/';
  CopyLimited(next->folder, sizeof(next->folder), folder);
  CopyLimited(next->programPath, sizeof(next->programPath), platform::ProgramPath());
  std::memcpy(next->noticeProgram, gNoticeProgram, sizeof(gNoticeProgram));
  next->offsets.Capture(static_cast<std::int64_t>(time(nullptr)));
  PrepareSpawn(next);
  PrimeCrashReport();
  gActive.store(next);

  // Without its own stack the handler still runs, only a stack overflow then
  // goes unreported.
  InstallAlternateStack();
  struct sigaction action {};
  action.sa_sigaction = WriteCrashDump;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  // No fault signal interrupts the report; a fault inside the handler itself
  // therefore ends the process with the default action.
  sigemptyset(&action.sa_mask);
  for (int sig : kFaultSignals) sigaddset(&action.sa_mask, sig);
  bool ok = true;
  for (int sig : kFaultSignals) ok = sigaction(sig, &action, nullptr) == 0 && ok;
  return ok;
}

void WriteCrashDump(int signal, siginfo_t* info, void* context) {
  const int savedErrno = errno;
  const pid_t self = CurrentThreadId();
  pid_t reporting = 0;
  if (!gReportingThread.compare_exchange_strong(reporting, self)) {
    if (reporting == self) {
      FallBackToDefault(signal);  // failed while reporting: give up
    } else {
      // Another thread reports and then ends the process; this one waits.
      for (;;) pause();
    }
    errno = savedErrno;
    return;
  }
  const CrashSettings* s = gActive.load();
  if (s == nullptr) {
    FallBackToDefault(signal);
    errno = savedErrno;
    return;
  }

  // A file-size limit should show as a failed write, not end the process.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGXFSZ, &ignore, nullptr);
  struct sigaction terminate {};
  terminate.sa_handler = SIG_DFL;
  sigemptyset(&terminate.sa_mask);
  sigaction(SIGALRM, &terminate, nullptr);
  alarm(kReportWatchdogSeconds);

  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  const std::int64_t utcOffset = s->offsets.OffsetAt(now.tv_sec);
  BuildCrashDumpPath(s->folder, s->title, CivilFromSeconds(now.tv_sec + utcOffset), gDumpPath);

  CrashMessage message = CrashMessage::CreateFailure;
  unsigned errorCode = 0;
  bool handled = false;
  const int fd = open(gDumpPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kDumpFileMode);
  if (fd < 0) {
    errorCode = static_cast<unsigned>(errno);
  } else {
    CrashReportInput input;
    input.programPath = s->programPath;
    input.signal = signal;
    input.info = info;
    input.context = context;
    input.pid = getpid();
    input.tid = self;
    input.utcSeconds = now.tv_sec;
    input.utcOffset = utcOffset;
    int error = WriteCrashReport(fd, input);
    if (close(fd) != 0 && error == 0) error = errno;
    if (error == 0) {
      message = CrashMessage::Success;
      handled = true;
    } else {
      message = CrashMessage::WriteFailure;
      errorCode = static_cast<unsigned>(error);
    }
  }

  // The user may take as long as he likes over the box.
  alarm(0);
  ShowCrashMessage(*s, message, errorCode);
  if (handled) _exit(0);
  FallBackToDefault(signal);
  errno = savedErrno;
}

}  // namespace kanzo
