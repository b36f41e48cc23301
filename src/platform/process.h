#pragma once
// Process creation and enumeration.
#include <sys/types.h>

#include <string>
#include <vector>

namespace kanzo::platform {

// Starts `path` with `args` (argv[1..]) without waiting for it; the child
// inherits no descriptors beyond the standard three. Returns the child's pid,
// or -1 when it could not be started (also when the file is missing or not
// executable).
pid_t StartProcess(const std::string& path, const std::vector<std::string>& args);

// Processes whose executable file name equals `name` without regard to case
// (read from /proc), the calling process excluded.
std::vector<pid_t> FindProcessesByName(const std::string& name);

// Asks a process to end (SIGTERM), then forces it (SIGKILL) if it is still
// there after graceMs. True when it has ended: gone, or dead and left for a
// parent other than this process to reap.
bool EndProcess(pid_t pid, int graceMs = 2000);

// Reaps finished children (started with StartProcess and not waited for).
void ReapChildren();

}  // namespace kanzo::platform
