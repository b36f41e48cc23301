#include "support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <thread>

#include "support/temp_dir.h"

extern char** environ;

namespace kanzo::test {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(10);
constexpr auto kEndGrace = std::chrono::seconds(5);
constexpr int kSignalExitBase = 128;
constexpr int kExecFailedCode = 127;

std::vector<std::string> MergedEnvironment(const EnvironmentChanges& changes) {
  std::map<std::string, std::string> merged;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const char* eq = std::strchr(*entry, '=');
    if (eq != nullptr) merged[std::string(*entry, static_cast<std::size_t>(eq - *entry))] = eq + 1;
  }
  for (const auto& [name, value] : changes) {
    if (value) {
      merged[name] = *value;
    } else {
      merged.erase(name);
    }
  }
  std::vector<std::string> result;
  for (const auto& [name, value] : merged) result.push_back(name + "=" + value);
  return result;
}

}  // namespace

ChildProcess::~ChildProcess() { End(); }

bool ChildProcess::Start(const std::string& path, const std::vector<std::string>& args,
                         const EnvironmentChanges& environment, const std::string& outputFile, std::string* error) {
  // Everything the child needs is prepared before fork: after it, only
  // async-signal-safe calls.
  std::vector<std::string> envStrings = MergedEnvironment(environment);
  std::vector<char*> envp;
  for (std::string& s : envStrings) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::vector<std::string> argStrings{path};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& s : argStrings) argv.push_back(s.data());
  argv.push_back(nullptr);

  const int out = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (out < 0) {
    *error = "cannot create " + outputFile + ": " + std::strerror(errno);
    return false;
  }
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open("/dev/null", O_RDONLY);
    if (in >= 0) dup2(in, STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    dup2(out, STDERR_FILENO);
    execve(argv[0], argv.data(), envp.data());
    _exit(kExecFailedCode);
  }
  close(out);
  if (pid < 0) {
    *error = std::string("fork failed: ") + std::strerror(errno);
    return false;
  }
  pid_ = pid;
  return true;
}

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds timeout) {
  if (pid_ <= 0) return std::nullopt;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      pid_ = -1;
      if (WIFSIGNALED(status)) return kSignalExitBase + WTERMSIG(status);
      return WEXITSTATUS(status);
    }
    if (done < 0 || std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(kPollInterval);
  }
}

void ChildProcess::End() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  if (Wait(std::chrono::duration_cast<std::chrono::milliseconds>(kEndGrace))) return;
  kill(pid_, SIGKILL);
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
}

RunResult RunProgram(const std::string& path, const std::vector<std::string>& args,
                     const EnvironmentChanges& environment, std::chrono::milliseconds timeout) {
  TempDir outputDir;
  const std::string outputFile = outputDir.File("output");
  RunResult result;
  ChildProcess child;
  std::string error;
  if (!child.Start(path, args, environment, outputFile, &error)) {
    result.output = error;
    return result;
  }
  result.exitCode = child.Wait(timeout);
  child.End();
  result.output = ReadFile(outputFile);
  return result;
}

std::string WaitingProgramCopy(const std::string& folder, const std::string& name) {
  namespace fs = std::filesystem;
  const std::string path = (fs::path(folder) / name).string();
  std::error_code error;
  fs::copy_file("/bin/sleep", path, error);
  if (!error) fs::permissions(path, fs::perms::owner_all, error);
  return error ? std::string() : path;
}

}  // namespace kanzo::test
