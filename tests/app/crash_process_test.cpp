// Programs that really fail: the helper installs the crash handler exactly as
// the client does and then faults; the client itself is made to fail while
// its toolkit starts, before the application object exists.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <ostream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "crash_texts_expected.h"
#include "support/temp_dir.h"

namespace kanzo {
namespace {

namespace fs = std::filesystem;

constexpr auto kChildTimeout = std::chrono::seconds(30);
constexpr const char* kRecordVariable = "KANZO_CRASH_NOTICE_RECORD";
constexpr int kNoticeIconInformation = 1;  // platform::MessageBoxIcon::Information
constexpr int kSameSecondAttempts = 5;

struct ChildResult {
  bool finished = false;
  int status = 0;
  bool exitedWith(int code) const { return finished && WIFEXITED(status) && WEXITSTATUS(status) == code; }
  bool killedBy(int signal) const { return finished && WIFSIGNALED(status) && WTERMSIG(status) == signal; }
};

std::string Describe(const ChildResult& r) {
  if (!r.finished) return "did not finish";
  if (WIFEXITED(r.status)) return "exit " + std::to_string(WEXITSTATUS(r.status));
  if (WIFSIGNALED(r.status)) return "signal " + std::to_string(WTERMSIG(r.status));
  return "status " + std::to_string(r.status);
}

// A program started with extra environment entries, no core files and, on
// request, a pipe on its standard input; waiting for it is bounded, and a
// child that hangs is killed.
class Child {
 public:
  Child(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv, bool stdinPipe = false) {
    std::vector<std::string> env;
    // The extra entries replace inherited ones of the same name: the first
    // of two equal names is the one a program sees.
    const auto overridden = [&](const std::string& entry) {
      const std::string name = entry.substr(0, entry.find('=') + 1);
      for (const auto& extra : extraEnv)
        if (extra.compare(0, name.size(), name) == 0) return true;
      return false;
    };
    for (char** e = environ; *e != nullptr; ++e)
      if (!overridden(*e)) env.emplace_back(*e);
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> argvPtrs;
    for (const auto& a : argv) argvPtrs.push_back(const_cast<char*>(a.c_str()));
    argvPtrs.push_back(nullptr);
    std::vector<char*> envPtrs;
    for (const auto& e : env) envPtrs.push_back(const_cast<char*>(e.c_str()));
    envPtrs.push_back(nullptr);

    int fds[2] = {-1, -1};
    if (stdinPipe && pipe2(fds, O_CLOEXEC) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      const rlimit noCore{0, 0};
      setrlimit(RLIMIT_CORE, &noCore);
      if (stdinPipe) dup2(fds[0], STDIN_FILENO);
      execve(argvPtrs[0], argvPtrs.data(), envPtrs.data());
      _exit(127);
    }
    if (stdinPipe) {
      close(fds[0]);
      stdin_ = fds[1];
    }
  }
  ~Child() {
    if (stdin_ >= 0) close(stdin_);
    if (pid_ > 0 && !result_.finished) Wait();
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // Lets a child started with --wait fault now.
  bool Release() {
    const char go = 'g';
    return stdin_ >= 0 && write(stdin_, &go, 1) == 1;
  }

  ChildResult Wait() {
    if (pid_ <= 0 || result_.finished) return result_;
    const auto deadline = std::chrono::steady_clock::now() + kChildTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
      if (waitpid(pid_, &result_.status, WNOHANG) == pid_) {
        result_.finished = true;
        return result_;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, &result_.status, 0);
    pid_ = -1;
    return result_;
  }

 private:
  pid_t pid_ = -1;
  int stdin_ = -1;
  ChildResult result_;
};

ChildResult RunChild(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv) {
  return Child(argv, extraEnv).Wait();
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) names.push_back(entry.path().filename().string());
  return names;
}

struct NoticeBox {
  bool shown = false;
  std::string caption;
  int icon = -1;
  std::string text;
};

NoticeBox ReadNotice(const std::string& record) {
  NoticeBox box;
  const std::string raw = test::ReadFile(record);
  const auto first = raw.find('\0');
  const auto second = first == std::string::npos ? first : raw.find('\0', first + 1);
  if (second == std::string::npos || raw.back() != '\0') return box;
  box.shown = true;
  box.caption = raw.substr(0, first);
  box.icon = std::atoi(raw.substr(first + 1, second - first - 1).c_str());
  box.text = raw.substr(second + 1, raw.size() - second - 2);
  return box;
}

std::string LocalStamp(std::time_t t) {
  struct tm local {};
  localtime_r(&t, &local);
  char text[32];
  std::strftime(text, sizeof(text), "%Y%m%d-%H%M%S", &local);
  return text;
}

// True when the name is "Crash_<local time>.dmp" for a moment in [from, to].
bool NamedForTimeBetween(const std::string& name, std::time_t from, std::time_t to) {
  for (std::time_t t = from; t <= to; ++t)
    if (name == "Crash_" + LocalStamp(t) + ".dmp") return true;
  return false;
}

class CrashProcessTest : public ::testing::Test {
 protected:
  std::string CrashFolder() const { return dir_.path() + "crash"; }
  std::string Record() const { return dir_.File("notice"); }

  ChildResult Fault(const std::string& kind, const std::string& folder, const std::string& option = "") {
    std::vector<std::string> argv = {KANZO_CRASH_HELPER, folder, kind};
    if (!option.empty()) argv.push_back(option);
    return RunChild(argv, {std::string(kRecordVariable) + "=" + Record()});
  }

  test::TempDir dir_;
};

struct FaultCase {
  const char* kind;
  int signal;
  const char* signalLine;
  const char* codeName;  // "" when the code comes from a sender
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.kind; }

class CrashFaultTest : public CrashProcessTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(CrashFaultTest, LeavesOneDumpNamedForTheLocalTimeAndEndsWithZero) {
  const FaultCase& c = GetParam();
  const std::time_t before = std::time(nullptr);
  const ChildResult result = Fault(c.kind, CrashFolder());
  const std::time_t after = std::time(nullptr);
  ASSERT_TRUE(result.exitedWith(0)) << Describe(result);

  // The folder did not exist before the handler was installed.
  const auto files = FilesIn(CrashFolder());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_TRUE(NamedForTimeBetween(files[0], before, after)) << files[0];
  const std::string path = CrashFolder() + "/" + files[0];
  const std::string dump = test::ReadFile(path);

  EXPECT_NE(dump.find(std::string("signal: ") + c.signalLine + "\n"), std::string::npos) << dump.substr(0, 400);
  if (*c.codeName != '\0') EXPECT_NE(dump.find(std::string("(") + c.codeName + ")"), std::string::npos);
  EXPECT_NE(dump.find("process: "), std::string::npos);
  EXPECT_NE(dump.find("\nregisters:\n  rax"), std::string::npos);
  // The stack reaches back into the program that failed, frame by frame.
  const auto stack = dump.find("\nstack:\n  #0 0x");
  ASSERT_NE(stack, std::string::npos);
  const auto threads = dump.find("\nthreads (", stack);
  ASSERT_NE(threads, std::string::npos);
  EXPECT_NE(dump.substr(stack, threads - stack).find("/crash_test_helper+0x"), std::string::npos)
      << dump.substr(stack, threads - stack);
  EXPECT_NE(dump.find("\nmemory map:\n"), std::string::npos);
  EXPECT_NE(dump.find("crash_test_helper\n", dump.find("\nmemory map:\n")), std::string::npos);
  EXPECT_EQ(dump.substr(dump.size() - 14), "end of report\n");

  // The faulting thread is named and marked in the thread list.
  std::smatch m;
  ASSERT_TRUE(std::regex_search(dump, m, std::regex("\nthread: (\\d+)\n")));
  const std::string tid = m[1];
  EXPECT_NE(dump.find("\n* " + tid + " ", threads), std::string::npos);
  ASSERT_TRUE(std::regex_search(dump, m, std::regex("\nprocess: (\\d+)\n")));
  if (std::string(c.kind) == "thread-null-write") {
    EXPECT_NE(tid, std::string(m[1]));
  } else {
    EXPECT_EQ(tid, std::string(m[1]));
  }

  const NoticeBox box = ReadNotice(Record());
  ASSERT_TRUE(box.shown);
  EXPECT_EQ(box.caption, "Crash");
  EXPECT_EQ(box.icon, kNoticeIconInformation);
  EXPECT_EQ(box.text, test::ExpectedCrashText("success", path, 0));
}

INSTANTIATE_TEST_SUITE_P(Faults, CrashFaultTest,
                         ::testing::Values(FaultCase{"null-write", SIGSEGV, "11 (SIGSEGV)", "SEGV_MAPERR"},
                                           FaultCase{"abort", SIGABRT, "6 (SIGABRT)", ""},
                                           FaultCase{"trap", SIGILL, "4 (SIGILL)", "ILL_ILLOPN"},
                                           FaultCase{"divide", SIGFPE, "8 (SIGFPE)", "FPE_INTDIV"},
                                           FaultCase{"bus", SIGBUS, "7 (SIGBUS)", "BUS_ADRERR"},
                                           FaultCase{"stack-overflow", SIGSEGV, "11 (SIGSEGV)", ""},
                                           FaultCase{"thread-null-write", SIGSEGV, "11 (SIGSEGV)", "SEGV_MAPERR"}),
                         [](const ::testing::TestParamInfo<FaultCase>& info) {
                           std::string name = info.param.kind;
                           for (char& ch : name)
                             if (ch == '-') ch = '_';
                           return name;
                         });

TEST_F(CrashProcessTest, TwoFaultsInOneSecondLeaveTheSecondReport) {
  const std::string endLine = "end of report\n";
  for (int attempt = 0; attempt < kSameSecondAttempts; ++attempt) {
    // Both programs are started and have installed the handler before the
    // clock is watched, so only the faults themselves need to share a second.
    Child first({KANZO_CRASH_HELPER, CrashFolder(), "thread-null-write", "--wait"},
                {std::string(kRecordVariable) + "=" + dir_.File("notice-1")}, true);
    Child second({KANZO_CRASH_HELPER, CrashFolder(), "abort", "--wait"},
                 {std::string(kRecordVariable) + "=" + dir_.File("notice-2")}, true);
    const std::time_t start = std::time(nullptr);
    while (std::time(nullptr) == start) std::this_thread::sleep_for(std::chrono::milliseconds(1));

    ASSERT_TRUE(first.Release());
    std::string firstDump;
    ASSERT_TRUE(test::WaitFor([&] {
      const auto files = FilesIn(CrashFolder());
      if (files.size() != 1) return false;
      firstDump = test::ReadFile(CrashFolder() + "/" + files[0]);
      return firstDump.size() > endLine.size() && firstDump.substr(firstDump.size() - endLine.size()) == endLine;
    }));
    ASSERT_TRUE(second.Release());
    ASSERT_TRUE(first.Wait().exitedWith(0));
    ASSERT_TRUE(second.Wait().exitedWith(0));

    const auto files = FilesIn(CrashFolder());
    if (files.size() != 1) {  // the second began meanwhile; try again
      fs::remove_all(CrashFolder());
      continue;
    }
    const std::string path = CrashFolder() + "/" + files[0];
    EXPECT_EQ(ReadNotice(dir_.File("notice-1")).text, test::ExpectedCrashText("success", path, 0));
    EXPECT_EQ(ReadNotice(dir_.File("notice-2")).text, test::ExpectedCrashText("success", path, 0));
    const std::string dump = test::ReadFile(path);
    EXPECT_NE(firstDump.find("signal: 11 (SIGSEGV)"), std::string::npos);
    EXPECT_NE(dump.find("signal: 6 (SIGABRT)"), std::string::npos);
    EXPECT_EQ(dump.find("SIGSEGV"), std::string::npos);
    // Created anew, not overwritten in place: nothing of the longer first
    // report (two threads) is left behind the second.
    EXPECT_EQ(dump.find("Kanzo crash report", 1), std::string::npos);
    EXPECT_EQ(dump.find(endLine), dump.size() - endLine.size());
    return;
  }
  FAIL() << "no two faults fell into the same second in " << kSameSecondAttempts << " attempts";
}

TEST_F(CrashProcessTest, UncreatableFolderGivesTheCreationFailureAndTheDefaultAction) {
  // A crash folder below a plain file can be neither created nor written.
  test::WriteFile(dir_.File("plain"), "x");
  const std::string folder = dir_.File("plain") + "/crash";
  const ChildResult result = Fault("null-write", folder);
  EXPECT_TRUE(result.killedBy(SIGSEGV)) << Describe(result);

  const NoticeBox box = ReadNotice(Record());
  ASSERT_TRUE(box.shown);
  EXPECT_EQ(box.caption, "Crash");
  EXPECT_EQ(box.icon, kNoticeIconInformation);
  std::smatch m;
  ASSERT_TRUE(std::regex_search(box.text, m, std::regex("\"([^\"]*)\"")));
  const std::string path = m[1];
  EXPECT_EQ(path.rfind(folder + "/Crash_", 0), 0u) << path;
  EXPECT_EQ(box.text, test::ExpectedCrashText("create", path, ENOTDIR));
  EXPECT_TRUE(fs::is_regular_file(dir_.File("plain")));
}

TEST_F(CrashProcessTest, FailedWriteGivesTheWriteFailureAndTheDefaultAction) {
  // A file-size limit lets the file be created but not written whole.
  constexpr std::uintmax_t kLimit = 100;
  const ChildResult result = Fault("null-write", CrashFolder(), "--file-size-limit=" + std::to_string(kLimit));
  EXPECT_TRUE(result.killedBy(SIGSEGV)) << Describe(result);

  const auto files = FilesIn(CrashFolder());
  ASSERT_EQ(files.size(), 1u);
  const std::string path = CrashFolder() + "/" + files[0];
  EXPECT_EQ(fs::file_size(path), kLimit);
  const NoticeBox box = ReadNotice(Record());
  ASSERT_TRUE(box.shown);
  EXPECT_EQ(box.text, test::ExpectedCrashText("write", path, EFBIG));
}

#ifdef KANZO_PROGRAM
// The handler is the first thing the client sets up: a failure inside the
// toolkit's start (a platform plugin that does not exist makes it abort),
// long before the application object and its start-up run, is reported in
// the crash folder beside the program.
TEST_F(CrashProcessTest, ClientReportsFaultsBeforeItsWindowsStart) {
  const std::string program = dir_.File("Kanzo");
  fs::copy_file(KANZO_PROGRAM, program);
  fs::permissions(program, fs::perms::owner_all);
  const std::time_t before = std::time(nullptr);
  const ChildResult result =
      RunChild({program}, {"QT_QPA_PLATFORM=kanzo-no-such-platform", "QT_QPA_PLATFORM_PLUGIN_PATH=" + dir_.path()});
  const std::time_t after = std::time(nullptr);
  ASSERT_TRUE(result.exitedWith(0)) << Describe(result);

  const auto files = FilesIn(dir_.File("crash"));
  ASSERT_EQ(files.size(), 1u);
  EXPECT_TRUE(NamedForTimeBetween(files[0], before, after)) << files[0];
  const std::string dump = test::ReadFile(dir_.File("crash/" + files[0]));
  EXPECT_NE(dump.find("signal: 6 (SIGABRT)"), std::string::npos);
  EXPECT_NE(dump.find("program: " + program + "\n"), std::string::npos);
  // Nothing of the start-up after the toolkit ran: no log folder yet.
  EXPECT_FALSE(fs::exists(dir_.File("log")));
}
#endif

}  // namespace
}  // namespace kanzo
