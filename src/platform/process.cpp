#include "platform/process.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <thread>

extern char** environ;

namespace kanzo::platform {
namespace {

constexpr int kFirstNonStandardFd = STDERR_FILENO + 1;

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::string ExecutableNameOf(const std::string& pidDir) {
  char buf[4096];
  const ssize_t n = readlink((pidDir + "/exe").c_str(), buf, sizeof(buf) - 1);
  std::string path;
  if (n > 0) {
    path.assign(buf, static_cast<size_t>(n));
    const std::string deleted = " (deleted)";
    if (path.size() > deleted.size() && path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0)
      path.resize(path.size() - deleted.size());
  } else {
    // Processes of other users hide their exe link; argv[0] still names them.
    std::ifstream cmd(pidDir + "/cmdline", std::ios::binary);
    std::getline(cmd, path, '\0');
  }
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A killed process is dead once the kernel has handled the signal, which
// takes a moment; it stays a zombie until its parent reaps it.
constexpr int kForcedEndWaitMs = 2000;
constexpr int kEndPollMs = 20;

// Dead: no such process, or a zombie (it runs no more and holds no file; only
// its parent's wait is missing, and that parent may not be this process).
bool HasEnded(pid_t pid) {
  if (kill(pid, 0) != 0) return errno == ESRCH;
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(stat, line);
  // "pid (name) state ...": the name may hold spaces and parentheses.
  const auto close = line.rfind(')');
  return close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z';
}

// Polls for the end of `pid` for up to `waitMs`, reaping it when it is a child.
bool WaitUntilGone(pid_t pid, int waitMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (;;) {
    waitpid(pid, nullptr, WNOHANG);
    if (HasEnded(pid)) {
      waitpid(pid, nullptr, WNOHANG);
      return true;
    }
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(kEndPollMs));
  }
}

}  // namespace

pid_t StartProcess(const std::string& path, const std::vector<std::string>& args) {
  if (access(path.c_str(), X_OK) != 0) return -1;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // Descriptors are opened close-on-exec throughout the program; closing the
  // rest in the child also covers those a library opened without the flag,
  // so only the standard three reach it.
  if (posix_spawn_file_actions_addclosefrom_np(&actions, kFirstNonStandardFd) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return -1;
  }
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

std::vector<pid_t> FindProcessesByName(const std::string& name) {
  std::vector<pid_t> found;
  const std::string wanted = Lower(name);
  DIR* proc = opendir("/proc");
  if (!proc) return found;
  const pid_t self = getpid();
  while (dirent* e = readdir(proc)) {
    if (!std::isdigit(static_cast<unsigned char>(e->d_name[0]))) continue;
    const pid_t pid = static_cast<pid_t>(std::stol(e->d_name));
    if (pid == self) continue;
    if (Lower(ExecutableNameOf(std::string("/proc/") + e->d_name)) == wanted) found.push_back(pid);
  }
  closedir(proc);
  return found;
}

bool EndProcess(pid_t pid, int graceMs) {
  if (kill(pid, SIGTERM) != 0) return errno == ESRCH;
  if (WaitUntilGone(pid, graceMs)) return true;
  kill(pid, SIGKILL);
  return WaitUntilGone(pid, kForcedEndWaitMs);
}

void ReapChildren() {
  while (waitpid(-1, nullptr, WNOHANG) > 0) {
  }
}

}  // namespace kanzo::platform
