// The Debian package as an agent's machine gets it: built with CPack,
// unpacked into a temporary root, and the launcher run with a temporary home
// on the offscreen platform, starting the real client.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace kanzo::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kStartLine = "==================系统启动==================";
constexpr auto kClientStartTimeout = std::chrono::seconds(60);

// Every log file of a program folder's log/, joined.
std::string LogText(const std::string& programFolder) {
  std::string text;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(programFolder + "log", ec)) text += ReadFile(entry.path().string());
  return text;
}

std::size_t Count(const std::string& text, const std::string& piece) {
  std::size_t n = 0;
  for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + piece.size())) ++n;
  return n;
}

class PackageInstallTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    work_ = new TempDir;
    const RunResult pack = RunProgram(
        KANZO_CPACK, {"-G", "DEB", "--config", KANZO_BINARY_DIR "/CPackConfig.cmake", "-B", work_->File("package")}, {},
        std::chrono::minutes(5));
    ASSERT_EQ(pack.exitCode, 0) << pack.output;
    for (const auto& entry : fs::directory_iterator(work_->File("package"))) {
      if (entry.path().extension() == ".deb") deb_ = entry.path().string();
    }
    ASSERT_FALSE(deb_.empty()) << pack.output;
    const RunResult unpack = RunProgram("/usr/bin/dpkg", {"-x", deb_, work_->File("root")}, {});
    ASSERT_EQ(unpack.exitCode, 0) << unpack.output;
  }
  static void TearDownTestSuite() {
    delete work_;
    work_ = nullptr;
  }
  void SetUp() override {
    if (deb_.empty()) GTEST_SKIP() << "no package was built";
  }

  static std::string Root(const std::string& path) { return work_->File("root/") + path; }

  static TempDir* work_;
  static std::string deb_;
};

TempDir* PackageInstallTest::work_ = nullptr;
std::string PackageInstallTest::deb_;

TEST_F(PackageInstallTest, ThePackageHoldsTheProgramFolderLauncherMenuEntryAndIcons) {
  for (const char* path : {"opt/kanzo/Kanzo", "opt/kanzo/Update_V1.0", "opt/kanzo/kanzo", "opt/kanzo/kanzo-version",
                           "opt/kanzo/config.ini", "opt/kanzo/talkmessage.wav", "opt/kanzo/Images/kanzo.png",
                           "opt/kanzo/Segment", "opt/kanzo/face", "usr/share/applications/kanzo.desktop"}) {
    EXPECT_TRUE(fs::exists(Root(path))) << path;
  }
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const std::string icon =
        "usr/share/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps/kanzo.png";
    EXPECT_TRUE(fs::exists(Root(icon))) << icon;
  }
  ASSERT_TRUE(fs::is_symlink(Root("usr/bin/kanzo")));
  EXPECT_EQ(fs::canonical(Root("usr/bin/kanzo")), fs::canonical(Root("opt/kanzo/kanzo")));
  EXPECT_FALSE(fs::exists(Root("opt/kanzo/log"))) << "nothing of a run in the pristine folder";

  const RunResult fields = RunProgram("/usr/bin/dpkg-deb", {"-f", deb_, "Package", "Depends"}, {});
  ASSERT_EQ(fields.exitCode, 0) << fields.output;
  EXPECT_NE(fields.output.find("Package: kanzo"), std::string::npos) << fields.output;
  for (const char* dependency : {"libqt6widgets6", "libqt6multimedia6", "libevent-2.1-7", "libsqlite3-0",
                                 "libjsoncpp25", "zlib1g", "libcurl4"}) {
    EXPECT_NE(fields.output.find(dependency), std::string::npos) << dependency << " in " << fields.output;
  }
}

TEST_F(PackageInstallTest, TheLauncherRunsTheClientFromTheUsersCopyAndANewerInstallationReplacesItsPrograms) {
  const std::string home = work_->File("home/");
  const std::string user = home + ".local/share/kanzo/";
  fs::create_directories(home);
  const EnvironmentChanges env{
      {"HOME", home}, {"XDG_DATA_HOME", std::nullopt}, {"QT_QPA_PLATFORM", std::string("offscreen")}};
  auto runClientUntilStartLine = [&](std::size_t startLines) {
    ChildProcess client;
    std::string error;
    ASSERT_TRUE(client.Start(Root("usr/bin/kanzo"), {}, env, work_->File("client.out"), &error)) << error;
    EXPECT_TRUE(WaitFor([&] { return Count(LogText(user), kStartLine) == startLines; }, kClientStartTimeout))
        << ReadFile(work_->File("client.out"));
    client.End();
  };

  runClientUntilStartLine(1);
  for (const char* name : {"Kanzo", "Update_V1.0", "config.ini", "talkmessage.wav", "Images/kanzo.png"}) {
    EXPECT_EQ(ReadFile(user + name), ReadFile(Root("opt/kanzo/") + name)) << name;
  }
  EXPECT_EQ(ReadFile(user + "kanzo-version"), ReadFile(Root("opt/kanzo/kanzo-version")));
  EXPECT_NE(ReadFile(work_->File("client.out")).find("copied Kanzo"), std::string::npos);
  EXPECT_FALSE(fs::exists(Root("opt/kanzo/log")));

  // The agent's own settings and a crash report; programs of an older build.
  const std::string config = ReadFile(user + "config.ini") + "; the agent's own line\n";
  WriteFile(user + "config.ini", config);
  fs::create_directories(user + "crash");
  WriteFile(user + "crash/report.dmp", "a report");
  for (const char* program : {"Kanzo", "Update_V1.0"}) std::ofstream(user + program, std::ios::app) << "an older build";
  WriteFile(Root("opt/kanzo/kanzo-version"), "99.0\n");

  runClientUntilStartLine(2);
  for (const char* program : {"Kanzo", "Update_V1.0"}) {
    EXPECT_EQ(ReadFile(user + program), ReadFile(Root("opt/kanzo/") + program)) << program;
  }
  EXPECT_EQ(ReadFile(user + "kanzo-version"), "99.0\n");
  EXPECT_EQ(ReadFile(user + "config.ini"), config);
  EXPECT_EQ(ReadFile(user + "crash/report.dmp"), "a report");
}

}  // namespace
}  // namespace kanzo::test
