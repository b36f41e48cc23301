#pragma once
// A program run as a child of the test with an environment of its own, its
// standard output and error collected in a file. The destructor ends a child
// that is still running.
#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kanzo::test {

// Changes to the test's own environment: a value sets the variable, nullopt
// removes it.
using EnvironmentChanges = std::map<std::string, std::optional<std::string>>;

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts `path` with `args` (argv[1..]) in the current folder; standard
  // output and error go to `outputFile`. False with `error` when it cannot.
  bool Start(const std::string& path, const std::vector<std::string>& args, const EnvironmentChanges& environment,
             const std::string& outputFile, std::string* error);
  // The exit code once it has ended (128 + n for signal n), nullopt on timeout.
  std::optional<int> Wait(std::chrono::milliseconds timeout);
  // SIGTERM, then SIGKILL after a grace period; waits for it.
  void End();
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
};

struct RunResult {
  std::optional<int> exitCode;  // nullopt when it had to be ended
  std::string output;           // standard output and error together
};

// A program that only waits for as many seconds as its argument says (a
// copy of sleep), under `name` in `folder` as a program folder would hold
// the client; its path. Empty when it cannot be made.
std::string WaitingProgramCopy(const std::string& folder, const std::string& name);

// Runs a program to its end (ending it after `timeout`).
RunResult RunProgram(const std::string& path, const std::vector<std::string>& args,
                     const EnvironmentChanges& environment,
                     std::chrono::milliseconds timeout = std::chrono::seconds(60));

}  // namespace kanzo::test
