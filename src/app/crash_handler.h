#pragma once
// Crash reports: when the program fails with a fault nothing else handles,
// a report of the process is written to the crash folder, the user is told
// where it is, and the process ends.
//
// The handler runs on an alternate stack (so that a stack overflow is
// reported too) and is async-signal-safe throughout: every text it needs is
// prepared at installation, files are written with write(2), numbers are
// formatted by hand, and the local time comes from offsets learnt at
// installation. The box is shown by a separate process, the program started
// again with kCrashNoticeArgument (see crash_notice.h).
//
// In sanitizer builds the handler takes the place of the sanitizer's own
// SEGV/BUS report (the sanitizers let a program install its own handler);
// faults are then reported here, the sanitizer's checks stay as they are.
// Only the installing thread gets the alternate stack, so a stack overflow
// on another thread ends the process without a report.
#include <csignal>
#include <string>

#include "app/crash_notice.h"

namespace kanzo {

// The crash folder's name in the program folder.
inline constexpr const char* kCrashFolderName = "crash";

// Names the program that shows the box after a fault: it is started as
// `<program> --crash-notice <kind> <path> <code>`, so only a program whose
// main() serves kCrashNoticeArgument may be named (the client names itself).
// Takes effect at the next InstallCrashHandler. Without a notice program the
// message is written to standard error instead.
void SetCrashNoticeProgram(const std::string& path);

// Installs WriteCrashDump for SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGABRT.
// Creates `crashFolder` when it is missing (a failure is only noticed at the
// fault, where it becomes the creation-failure message), keeps it with a
// trailing "/" and prepares the notice process. The
// alternate stack serves the calling thread, so install from the main thread.
// Meant to be called once, first thing at start-up; a later call replaces the
// folder. Returns false when the handler could not be installed.
bool InstallCrashHandler(const std::string& crashFolder);

// The handler of unhandled faults. Writes the dump file, shows the message
// through the notice process and waits until the user has closed it; then
// ends the process with exit code 0 after a written dump, or restores the
// default action and lets the fault take its course when none was written.
void WriteCrashDump(int signal, siginfo_t* info, void* context);

}  // namespace kanzo
