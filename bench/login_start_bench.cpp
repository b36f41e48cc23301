// From start to the login window: how long the client takes from the start
// of its process until its login window is shown, measured end to end. The
// program runs from a fresh program folder whose database holds an account
// that logs in by itself, so the window sends its login request the moment
// it is shown; the time until that request reaches the chat server's end
// (a listener on 127.0.0.1 at the client's fixed port) is the figure. The
// baseline, measured in the same run, is a bare Qt dialog of the same size
// started the same way that connects once when it is shown.
//
// After the last run the login is answered, and the client's resident
// memory and CPU use while it idles with its session timers are read from
// /proc.
//
//   login_start_bench [runs]
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/config.h"
#include "bench_report.h"
#include "db/db_access.h"
#include "db/db_manager.h"
#include "protocol/buffer.h"
#include "protocol/commands.h"
#include "protocol/message.h"
#include "protocol/msg.h"
#include "protocol/startup_codecs.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kDefaultRuns = 5;
constexpr int kMaxRuns = 50;
constexpr int kStartDeadlineMs = 20000;
constexpr int kIdleSettleMs = 3000;
constexpr int kIdleMeasureMs = 10000;  // one keep-alive tick falls inside
constexpr int kBaselineWidth = 300;
constexpr int kBaselineHeight = 250;
constexpr std::uint32_t kFrameMagic = 0x6743;
constexpr std::size_t kFrameHeaderBytes = 8;
constexpr std::int32_t kAgentId = 42;
constexpr const char* kAccount = "bench";
constexpr const char* kBaselineMode = "--baseline";

struct Fd {
  int fd = -1;
  explicit Fd(int f = -1) : fd(f) {}
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
};

int Listen(std::uint16_t port, std::uint16_t* bound) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  const int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || ::listen(fd, 4) != 0) {
    ::close(fd);
    return -1;
  }
  socklen_t length = sizeof(address);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  *bound = ntohs(address.sin_port);
  return fd;
}

bool WaitReadable(int fd, Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  if (left <= 0) return false;
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, static_cast<int>(left)) > 0;
}

int Accept(int listener, Clock::time_point deadline) {
  if (!WaitReadable(listener, deadline)) return -1;
  return ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
}

bool ReadExactly(int fd, std::size_t count, std::string* out, Clock::time_point deadline) {
  out->assign(count, '\0');
  std::size_t got = 0;
  while (got < count) {
    if (!WaitReadable(fd, deadline)) return false;
    const ssize_t n = ::recv(fd, out->data() + got, count - got, 0);
    if (n <= 0) return false;
    got += static_cast<std::size_t>(n);
  }
  return true;
}

std::uint32_t BigEndian32(const char* bytes) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes);
  return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) | b[3];
}

std::string BigEndian32Bytes(std::uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (24 - 8 * i)) & 0xFF);
  return bytes;
}

// Reads frames until one carries `command`; that message, or null.
std::unique_ptr<kanzo::Message> ReadUntil(int fd, std::int32_t command, Clock::time_point deadline) {
  for (;;) {
    std::string head, payload;
    if (!ReadExactly(fd, kFrameHeaderBytes, &head, deadline)) return nullptr;
    if (!ReadExactly(fd, BigEndian32(head.data() + 4), &payload, deadline)) return nullptr;
    kanzo::Buffer buffer;
    buffer.write(payload.data(), static_cast<std::int32_t>(payload.size()));
    std::unique_ptr<kanzo::Message> message = kanzo::readMessage(buffer);
    if (message && message->command == command) return message;
  }
}

bool SendLoginAnswer(int fd, const kanzo::Message& request) {
  kanzo::Msg body;
  body.account = 5000;
  body.FROM = kAgentId;
  body.FROM_TYPE = 1;
  body.BODY = R"({"realname":"测试","type":1})";
  kanzo::Message answer;
  answer.command = kanzo::kCommandLogin;
  answer.MESSAGE_ID = request.MESSAGE_ID;
  answer.SESSION_ID = 1;
  answer.setBody(&body);
  kanzo::Buffer buffer;
  kanzo::writeMessage(buffer, answer);
  std::string payload(buffer.length(), '\0');
  buffer.read(payload.data(), static_cast<std::int32_t>(payload.size()));
  const std::string frame =
      BigEndian32Bytes(kFrameMagic) + BigEndian32Bytes(static_cast<std::uint32_t>(payload.size())) + payload;
  return ::send(fd, frame.data(), frame.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(frame.size());
}

// Starts `program` in `folder` with the offscreen platform.
pid_t Start(const std::string& program, const std::vector<std::string>& args, const std::string& folder) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  if (::chdir(folder.c_str()) != 0) _exit(127);
  const int null = ::open("/dev/null", O_WRONLY);
  if (null >= 0) {
    ::dup2(null, STDOUT_FILENO);
    ::dup2(null, STDERR_FILENO);
  }
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::setenv("LC_ALL", "C.UTF-8", 1);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  ::execv(program.c_str(), argv.data());
  _exit(127);
}

void Stop(pid_t pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
}

double Millis(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? -1 : values[values.size() / 2];
}

// A fresh program folder: the program, its pictures and a config.ini that
// points at the loopback listener.
bool PrepareFolder(const fs::path& folder) {
  std::error_code error;
  fs::create_directories(folder, error);
  fs::copy_file(KANZO_PROGRAM, folder / "Kanzo", fs::copy_options::overwrite_existing, error);
  if (error) return false;
  fs::permissions(folder / "Kanzo", fs::perms::owner_all, error);
  for (const char* assets : {"Images", "Segment", "face"}) {
    fs::create_directory_symlink(fs::path(KANZO_ASSET_FOLDER) / assets, folder / assets, error);
  }
  std::ofstream(folder / "config.ini") << "[Kanzo]\nSERVER_HOST=127.0.0.1\nLOG_LEVEL=INFO\n";
  return true;
}

// The database of a machine where `kAccount` last logged out cleanly and
// asked to log in by itself.
bool PrepareDatabase(const fs::path& folder) {
  std::error_code error;
  fs::remove(folder / kanzo::kDatabaseFileName, error);
  kanzo::SetDatabasePath((folder / kanzo::kDatabaseFileName).string());
  kanzo::LoginRecord login;
  login.uid = kAgentId;
  login.userName = kAccount;
  login.password = "secret";
  login.keepPassword = true;
  login.autoLogin = true;
  const bool ok =
      kanzo::DBManager::Init() && kanzo::DBManager::SaveLogin(login) && kanzo::DBManager::MarkLoggedOut(kAccount);
  kanzo::SetDatabasePath("");
  return ok;
}

long ResidentKilobytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

// User and system CPU time of the process, in clock ticks.
long CpuTicks(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  long utime = 0, stime = 0;
  for (int i = 3; fields >> field; ++i) {
    if (i == 14) utime = std::strtol(field.c_str(), nullptr, 10);
    if (i == 15) {
      stime = std::strtol(field.c_str(), nullptr, 10);
      break;
    }
  }
  return utime + stime;
}

// The baseline child: a bare dialog that connects once when shown.
int RunBaseline(int argc, char** argv, std::uint16_t port) {
  QApplication application(argc, argv);
  QDialog dialog;
  dialog.resize(kBaselineWidth, kBaselineHeight);
  dialog.show();
  QTimer::singleShot(0, [port] {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0) {
      const char byte = 1;
      (void)::send(fd, &byte, 1, MSG_NOSIGNAL);
    }
  });
  return application.exec();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], kBaselineMode) == 0) {
    return RunBaseline(argc, argv, static_cast<std::uint16_t>(std::atoi(argv[2])));
  }
  const int runs = std::clamp(argc >= 2 ? std::atoi(argv[1]) : kDefaultRuns, 1, kMaxRuns);
  kanzo::RegisterStartupCodecs();

  std::uint16_t port = 0;
  Fd listener(Listen(kanzo::kChatServerPort, &port));
  if (listener.fd < 0) {
    std::printf("login_start_bench: port %d on 127.0.0.1 is taken; nothing measured\n", kanzo::kChatServerPort);
    return 1;
  }
  std::uint16_t baselinePort = 0;
  Fd baselineListener(Listen(0, &baselinePort));
  const fs::path folder = fs::temp_directory_path() / ("kanzo_login_bench_" + std::to_string(::getpid()));
  if (!PrepareFolder(folder)) {
    std::printf("login_start_bench: cannot prepare %s\n", folder.c_str());
    return 1;
  }
  const std::string self = fs::read_symlink("/proc/self/exe").string();

  std::vector<double> client, baseline;
  long residentKb = -1;
  double idleCpuPercent = -1;
  for (int run = 0; run < runs; ++run) {
    // Baseline first, then the client, alternating so drift hits both.
    {
      const auto start = Clock::now();
      const pid_t pid = Start(self, {kBaselineMode, std::to_string(baselinePort)}, folder.string());
      const auto deadline = start + std::chrono::milliseconds(kStartDeadlineMs);
      Fd connection(Accept(baselineListener.fd, deadline));
      std::string byte;
      if (connection.fd >= 0 && ReadExactly(connection.fd, 1, &byte, deadline))
        baseline.push_back(Millis(Clock::now() - start));
      Stop(pid);
    }
    if (!PrepareDatabase(folder)) {
      std::printf("login_start_bench: cannot write the database\n");
      break;
    }
    const auto start = Clock::now();
    const pid_t pid = Start((folder / "Kanzo").string(), {}, folder.string());
    const auto deadline = start + std::chrono::milliseconds(kStartDeadlineMs);
    Fd connection(Accept(listener.fd, deadline));
    std::unique_ptr<kanzo::Message> login =
        connection.fd >= 0 ? ReadUntil(connection.fd, kanzo::kCommandLogin, deadline) : nullptr;
    if (login) client.push_back(Millis(Clock::now() - start));
    if (login && run == runs - 1 && SendLoginAnswer(connection.fd, *login)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(kIdleSettleMs));
      const long before = CpuTicks(pid);
      std::this_thread::sleep_for(std::chrono::milliseconds(kIdleMeasureMs));
      const long after = CpuTicks(pid);
      residentKb = ResidentKilobytes(pid);
      idleCpuPercent = 100.0 * static_cast<double>(after - before) / static_cast<double>(::sysconf(_SC_CLK_TCK)) /
                       (kIdleMeasureMs / 1000.0);
    }
    Stop(pid);
  }
  std::error_code error;
  fs::remove_all(folder, error);

  if (client.empty() || baseline.empty()) {
    std::printf("login_start_bench: no complete run (client %zu, baseline %zu)\n", client.size(), baseline.size());
    return 1;
  }
  const double clientMs = Median(client);
  const double baselineMs = Median(baseline);
  std::printf("start to login window shown (login request at the server), median of %zu: %.1f ms\n", client.size(),
              clientMs);
  std::printf("baseline: bare Qt dialog shown and connected, median of %zu: %.1f ms\n", baseline.size(), baselineMs);
  std::printf("ratio client / baseline: %.2f\n", clientMs / baselineMs);
  kanzo::bench::ReportFigure({"start to login window shown", clientMs, "ms", baselineMs, {}});
  if (residentKb >= 0) {
    std::printf("idle after login: resident %.1f MB, CPU %.2f %% over %d s\n", residentKb / 1024.0, idleCpuPercent,
                kIdleMeasureMs / 1000);
    kanzo::bench::ReportFigure({"login window idle: resident memory", residentKb / 1024.0, "MB", NAN, {}});
    kanzo::bench::ReportFigure({"login window idle: CPU", idleCpuPercent, "%", NAN, {}});
  }
  return 0;
}
