#pragma once
// The dump file's contents on this platform: a plain-text process report
// with the fault (signal, code, address), the faulting thread, its registers
// and stack, every thread of the process and the memory map. Together with
// the memory map the stack frames (module + offset) can be resolved to
// source lines later with the program's debug information.
#include <sys/types.h>

#include <csignal>
#include <cstdint>

namespace kanzo {

struct CrashReportInput {
  const char* programPath = "";
  int signal = 0;
  const siginfo_t* info = nullptr;
  const void* context = nullptr;  // the handler's ucontext_t
  pid_t pid = 0;
  pid_t tid = 0;  // the faulting thread
  std::int64_t utcSeconds = 0;
  std::int64_t utcOffset = 0;  // seconds east of UTC at the fault
};

// Writes the report to `fd`. Async-signal-safe; must not run on two threads
// at once (it uses static scratch space). Returns 0, or the errno of the
// write that failed.
int WriteCrashReport(int fd, const CrashReportInput& input);

// Primes what the report needs that may allocate on first use (the stack
// walker loads its unwinder lazily). Called at installation.
void PrimeCrashReport();

// The name of a signal ("SIGSEGV"), or "signal" when unknown.
const char* CrashSignalName(int signal);

}  // namespace kanzo
