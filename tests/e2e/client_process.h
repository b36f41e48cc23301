#pragma once
// The real client program in a program folder of its own, as an agent's
// machine has it: the built program copied beside a config.ini pointing at
// 127.0.0.1, the pictures and emoticons, and a qmb.db holding a stored login
// with automatic login. It runs offscreen with that folder as its working
// folder (the database opens there) and its output in "client.out".
#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kanzo::test {

inline constexpr const char* kClientProgramName = "Kanzo";

struct StoredLogin {
  std::int32_t uid = 0;
  std::string userName;
  std::string password;
};

// Makes `folder` (with trailing '/') a program folder; false with `error`.
bool PrepareProgramFolder(const std::string& folder, const StoredLogin& login, std::string* error);

// One column of the login_info row of `userName` in `folder`'s qmb.db, as
// text; nullopt when the database, the table or the row is missing.
std::optional<std::string> LoginInfoColumn(const std::string& folder, const std::string& userName,
                                           const std::string& column);
// The whole row, column name to text (empty when missing).
std::map<std::string, std::string> LoginInfoRow(const std::string& folder, const std::string& userName);

// Every log file of the client's log folder, oldest first, joined.
std::string ClientLogText(const std::string& folder);

// Running instances of the program copied into `folder` (by name, then by
// the executable they run), the calling process excluded.
std::vector<pid_t> ClientInstancesIn(const std::string& folder);
// The arguments a process was started with (argv[1..]).
std::vector<std::string> ProcessArguments(pid_t pid);

class ClientProcess {
 public:
  explicit ClientProcess(std::string folder) : folder_(std::move(folder)) {}
  ~ClientProcess();
  ClientProcess(const ClientProcess&) = delete;
  ClientProcess& operator=(const ClientProcess&) = delete;

  bool Start(const std::vector<std::string>& args, std::string* error);
  pid_t pid() const { return pid_; }
  bool running() const { return pid_ > 0; }

  bool Signal(int signalNumber) const;
  // Waits for the process to end; its wait status, or nullopt on timeout.
  std::optional<int> WaitExit(std::chrono::milliseconds timeout);
  // What the program wrote to its standard output and error.
  std::string Output() const;

 private:
  std::string folder_;
  pid_t pid_ = -1;
};

}  // namespace kanzo::test
