#include "e2e/client_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string_view>
#include <thread>

#include "platform/process.h"
#include "support/temp_dir.h"

extern char** environ;

namespace kanzo::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDatabaseName = "qmb.db";
constexpr const char* kOutputName = "client.out";
constexpr const char* kLogFolderName = "log";
constexpr const char* kOffscreen = "QT_QPA_PLATFORM=offscreen";
constexpr const char* kPlatformVariable = "QT_QPA_PLATFORM=";
constexpr auto kWaitStep = std::chrono::milliseconds(20);
constexpr int kFileMode = 0644;
constexpr int kKeepPassword = 1;
constexpr int kAutoLogin = 1;
constexpr int kStateOnline = 2;
constexpr int kEndedCleanly = 2;

// The same settings an agent's machine has, the server being the simulator.
constexpr const char* kConfigText =
    "[Kanzo]\n"
    "SERVER_HOST=127.0.0.1\n"
    "LOG_LEVEL=DEBUG\n"
    "SOFT_NAME=Kanzo\n"
    "VERSION=1.0.0.1\n"
    "UPDATE_URL=http://127.0.0.1:58090/update.html\n";

// The client's own table, as a previous clean run leaves it.
constexpr const char* kLoginTable =
    "CREATE TABLE IF NOT EXISTS login_info(uid int,username varchar(20) UNIQUE, password varchar(20), "
    "keep_password int, auto_login int, state int, login_time int , is_login int)";
constexpr const char* kStoreLogin =
    "INSERT OR REPLACE INTO login_info (uid,username,password,keep_password,auto_login,state,login_time,is_login) "
    "VALUES(?,?,?,?,?,?,?,?)";

struct DbCloser {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StatementFinalizer {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using DbPtr = std::unique_ptr<sqlite3, DbCloser>;
using StatementPtr = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

DbPtr OpenDb(const std::string& path, int flags) {
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
  DbPtr db(raw);
  if (rc != SQLITE_OK) return nullptr;
  return db;
}

bool StoreLogin(const std::string& path, const StoredLogin& login, std::string* error) {
  DbPtr db = OpenDb(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  if (!db) {
    *error = "cannot create " + path;
    return false;
  }
  if (sqlite3_exec(db.get(), kLoginTable, nullptr, nullptr, nullptr) != SQLITE_OK) {
    *error = sqlite3_errmsg(db.get());
    return false;
  }
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db.get(), kStoreLogin, -1, &raw, nullptr) != SQLITE_OK) {
    *error = sqlite3_errmsg(db.get());
    return false;
  }
  StatementPtr statement(raw);
  sqlite3_bind_int(raw, 1, login.uid);
  sqlite3_bind_text(raw, 2, login.userName.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_text(raw, 3, login.password.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_int(raw, 4, kKeepPassword);
  sqlite3_bind_int(raw, 5, kAutoLogin);
  sqlite3_bind_int(raw, 6, kStateOnline);
  sqlite3_bind_int64(raw, 7, static_cast<sqlite3_int64>(::time(nullptr)));
  sqlite3_bind_int(raw, 8, kEndedCleanly);
  if (sqlite3_step(raw) != SQLITE_DONE) {
    *error = sqlite3_errmsg(db.get());
    return false;
  }
  return true;
}

std::string ExePath(pid_t pid) {
  std::error_code ec;
  const fs::path target = fs::read_symlink("/proc/" + std::to_string(pid) + "/exe", ec);
  return ec ? std::string() : target.string();
}

}  // namespace

bool PrepareProgramFolder(const std::string& folder, const StoredLogin& login, std::string* error) {
  std::error_code ec;
  fs::copy(KANZO_CLIENT_PROGRAM, folder + kClientProgramName, fs::copy_options::overwrite_existing, ec);
  if (ec) {
    *error = std::string("cannot copy the client program " KANZO_CLIENT_PROGRAM ": ") + ec.message();
    return false;
  }
  fs::copy(KANZO_CLIENT_ASSETS, folder, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
  if (ec) {
    *error = std::string("cannot copy the program pictures " KANZO_CLIENT_ASSETS ": ") + ec.message();
    return false;
  }
  WriteFile(folder + "config.ini", kConfigText);
  return StoreLogin(folder + kDatabaseName, login, error);
}

std::map<std::string, std::string> LoginInfoRow(const std::string& folder, const std::string& userName) {
  std::map<std::string, std::string> row;
  DbPtr db = OpenDb(folder + kDatabaseName, SQLITE_OPEN_READONLY);
  if (!db) return row;
  sqlite3_busy_timeout(db.get(), 2000);
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db.get(), "SELECT * FROM login_info WHERE username=?", -1, &raw, nullptr) != SQLITE_OK)
    return row;
  StatementPtr statement(raw);
  sqlite3_bind_text(raw, 1, userName.c_str(), -1, SQLITE_TRANSIENT);
  if (sqlite3_step(raw) != SQLITE_ROW) return row;
  for (int i = 0; i < sqlite3_column_count(raw); ++i) {
    const unsigned char* text = sqlite3_column_text(raw, i);
    row[sqlite3_column_name(raw, i)] = text ? reinterpret_cast<const char*>(text) : "";
  }
  return row;
}

std::optional<std::string> LoginInfoColumn(const std::string& folder, const std::string& userName,
                                           const std::string& column) {
  const auto row = LoginInfoRow(folder, userName);
  const auto it = row.find(column);
  if (it == row.end()) return std::nullopt;
  return it->second;
}

std::string ClientLogText(const std::string& folder) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder + kLogFolderName, ec))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  std::string text;
  for (const auto& file : files) text += ReadFile(file.string());
  return text;
}

std::vector<pid_t> ClientInstancesIn(const std::string& folder) {
  const std::string program = fs::weakly_canonical(folder + kClientProgramName).string();
  std::vector<pid_t> mine;
  for (const pid_t pid : platform::FindProcessesByName(kClientProgramName))
    if (ExePath(pid) == program) mine.push_back(pid);
  return mine;
}

std::vector<std::string> ProcessArguments(pid_t pid) {
  const std::string all = ReadFile("/proc/" + std::to_string(pid) + "/cmdline");
  std::vector<std::string> args;
  std::size_t start = 0;
  while (start < all.size()) {
    const std::size_t end = all.find('\0', start);
    args.push_back(all.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  if (!args.empty()) args.erase(args.begin());
  return args;
}

ClientProcess::~ClientProcess() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  int status = 0;
  ::waitpid(pid_, &status, 0);
}

bool ClientProcess::Start(const std::vector<std::string>& args, std::string* error) {
  const std::string program = folder_ + kClientProgramName;
  std::vector<std::string> argvText{program};
  argvText.insert(argvText.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : argvText) argv.push_back(a.data());
  argv.push_back(nullptr);

  // The test's environment, drawn offscreen whatever display it has.
  std::vector<std::string> envText{kOffscreen};
  for (char** e = environ; *e != nullptr; ++e)
    if (std::string_view(*e).rfind(kPlatformVariable, 0) != 0) envText.emplace_back(*e);
  std::vector<char*> envp;
  for (auto& e : envText) envp.push_back(e.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::string output = folder_ + kOutputName;
  posix_spawn_file_actions_addchdir_np(&actions, folder_.c_str());
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_APPEND, kFileMode);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  pid_t pid = -1;
  const int rc = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    *error = "cannot start " + program + ": " + std::strerror(rc);
    return false;
  }
  pid_ = pid;
  return true;
}

bool ClientProcess::Signal(int signalNumber) const { return pid_ > 0 && ::kill(pid_, signalNumber) == 0; }

std::optional<int> ClientProcess::WaitExit(std::chrono::milliseconds timeout) {
  if (pid_ <= 0) return std::nullopt;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    int status = 0;
    const pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      pid_ = -1;
      return status;
    }
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(kWaitStep);
  }
}

std::string ClientProcess::Output() const { return ReadFile(folder_ + kOutputName); }

}  // namespace kanzo::test
