// The kanzo launcher against real folders: an installed program folder with a
// stand-in client, a home folder, and the per-user copy the launcher makes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace kanzo::test {
namespace {

namespace fs = std::filesystem;

const std::string kLauncher = KANZO_BINARY_DIR "/packaging/kanzo";
const std::string kFakeClient = KANZO_FAKE_CLIENT;

class LauncherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(install_ + "Images");
    fs::create_directories(install_ + "face");
    fs::create_directories(home_);
    fs::copy_file(kFakeClient, install_ + "Kanzo");
    fs::copy_file(kLauncher, install_ + "kanzo");
    WriteFile(install_ + "Update_V1.0", "updater 1");
    WriteFile(install_ + "Images/kanzo.png", "icon 1");
    WriteFile(install_ + "face/00.gif", "face 1");
    WriteFile(install_ + "talkmessage.wav", "chime 1");
    WriteFile(install_ + "config.ini", "installed config");
    SetInstalledVersion("1.0.0.1");
    // The name on the PATH is a relative link, as the package has it.
    fs::create_directories(dir_.File("usr/bin"));
    fs::create_symlink("../../opt/kanzo/kanzo", onPath_);
  }

  void SetInstalledVersion(const std::string& version) { WriteFile(install_ + "kanzo-version", version + "\n"); }

  RunResult Launch(const std::vector<std::string>& args = {}, EnvironmentChanges env = {}) {
    env.emplace("HOME", dir_.File("home"));
    env.emplace("XDG_DATA_HOME", std::nullopt);
    return RunProgram(onPath_, args, env);
  }

  // The lines the stand-in client wrote: its folder, then its arguments.
  std::vector<std::string> Starts(const std::string& folder) const {
    std::vector<std::string> lines;
    std::string text = ReadFile(folder + "started.txt"), line;
    for (char c : text) {
      if (c == '\n') {
        lines.push_back(line);
        line.clear();
      } else {
        line += c;
      }
    }
    return lines;
  }

  TempDir dir_;
  const std::string install_ = dir_.File("opt/kanzo/");
  const std::string home_ = dir_.File("home/");
  const std::string user_ = home_ + ".local/share/kanzo/";
  const std::string onPath_ = dir_.File("usr/bin/kanzo");
};

TEST_F(LauncherTest, FirstStartCopiesTheInstallationAndStartsTheClientFromTheCopy) {
  const RunResult run = Launch({"restart", "two words"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("copied Kanzo 1.0.0.1 into " + home_ + ".local/share/kanzo"), std::string::npos)
      << run.output;

  for (const char* name : {"Update_V1.0", "Images/kanzo.png", "face/00.gif", "talkmessage.wav", "config.ini"}) {
    EXPECT_EQ(ReadFile(user_ + name), ReadFile(install_ + name)) << name;
  }
  EXPECT_EQ(ReadFile(user_ + "kanzo-version"), "1.0.0.1\n");
  EXPECT_FALSE(fs::exists(user_ + "kanzo")) << "the launcher stays in the installation";
  EXPECT_TRUE(access((user_ + "Kanzo").c_str(), X_OK) == 0) << "programs stay executable";

  const std::vector<std::string> expected{fs::path(user_).parent_path().string(), "restart", "two words"};
  EXPECT_EQ(Starts(user_), expected);
}

TEST_F(LauncherTest, TheUsersFolderFollowsXdgDataHome) {
  struct Case {
    std::optional<std::string> dataHome;
    std::string expectedFolder;
  };
  const std::vector<Case> cases = {
      {dir_.File("data"), dir_.File("data/kanzo/")},
      {std::string("relative/data"), user_},  // relative: invalid, ignored
      {std::string(""), user_},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dataHome.value_or("(unset)"));
    const RunResult run = Launch({}, {{"XDG_DATA_HOME", c.dataHome}});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(ReadFile(c.expectedFolder + "kanzo-version"), "1.0.0.1\n");
    EXPECT_EQ(Starts(c.expectedFolder).size(), 1u);
    fs::remove_all(c.expectedFolder);
  }
}

// After a first start the user (and the updater) changed the copy; then the
// installation changed to another version.
TEST_F(LauncherTest, OnlyANewerInstalledVersionReplacesProgramsAndAssetsButNeverTheUsersFiles) {
  struct Case {
    std::string copied;     // the version of the user's copy
    std::string installed;  // the version installed afterwards
    bool replaced;
  };
  const std::vector<Case> cases = {
      {"1.0.0.1", "1.0.0.2", true}, {"1.0.0.1", "1.0.0.1", false}, {"1.0.0.2", "1.0.0.1", false},
      {"1.0.9", "1.0.10", true},    {"1.0.10", "1.0.9", false},    {"1.0.0.9", "1.1", true},
      {"1.1", "1.1.0.0", false},    {"", "1.0.0.1", true},  // a copy that broke off before its stamp
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.copied + " then " + c.installed);
    fs::remove_all(user_);
    SetInstalledVersion(c.copied.empty() ? "1.0.0.1" : c.copied);
    WriteFile(install_ + "Update_V1.0", "updater 1");
    ASSERT_EQ(Launch().exitCode, 0);
    if (c.copied.empty()) fs::remove(user_ + "kanzo-version");

    WriteFile(user_ + "Update_V1.0", "replaced by the updater");
    WriteFile(user_ + "config.ini", "the agent's config");
    WriteFile(user_ + "qmb.db", "the agent's database");
    fs::create_directories(user_ + "log");
    fs::create_directories(user_ + "crash");
    WriteFile(user_ + "log/20261207.log", "a log line");
    WriteFile(user_ + "crash/20261207.dmp", "a report");
    WriteFile(user_ + "update.ini", "left by the updater");
    SetInstalledVersion(c.installed);
    WriteFile(install_ + "Update_V1.0", "updater 2");
    WriteFile(install_ + "Images/kanzo.png", "icon 2");

    const RunResult run = Launch();
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(ReadFile(user_ + "Update_V1.0"), c.replaced ? "updater 2" : "replaced by the updater");
    EXPECT_EQ(ReadFile(user_ + "Images/kanzo.png"), c.replaced ? "icon 2" : "icon 1");
    EXPECT_EQ(ReadFile(user_ + "kanzo-version"), (c.replaced ? c.installed : c.copied) + "\n");
    EXPECT_EQ(ReadFile(user_ + "config.ini"), "the agent's config");
    EXPECT_EQ(ReadFile(user_ + "qmb.db"), "the agent's database");
    EXPECT_EQ(ReadFile(user_ + "log/20261207.log"), "a log line");
    EXPECT_EQ(ReadFile(user_ + "crash/20261207.dmp"), "a report");
    EXPECT_EQ(ReadFile(user_ + "update.ini"), "left by the updater");
    EXPECT_EQ(Starts(user_).size(), 2u) << "the client starts either way";
    SetInstalledVersion("1.0.0.1");
    WriteFile(install_ + "Images/kanzo.png", "icon 1");
  }
}

TEST_F(LauncherTest, ARunningClientIsNotCopiedOverUntilItHasEnded) {
  ChildProcess open;
  std::string error;
  ASSERT_TRUE(open.Start(onPath_, {"--stay"}, {{"HOME", dir_.File("home")}, {"XDG_DATA_HOME", std::nullopt}},
                         dir_.File("open.out"), &error))
      << error;
  ASSERT_TRUE(WaitFor([&] { return Starts(user_).size() == 2; }, std::chrono::seconds(60)))
      << ReadFile(dir_.File("open.out"));

  SetInstalledVersion("1.0.0.2");
  WriteFile(install_ + "Update_V1.0", "updater 2");
  RunResult run = Launch();
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("is in use"), std::string::npos) << run.output;
  EXPECT_EQ(ReadFile(user_ + "Update_V1.0"), "updater 1");
  EXPECT_EQ(ReadFile(user_ + "kanzo-version"), "1.0.0.1\n");

  open.End();
  run = Launch();
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(ReadFile(user_ + "Update_V1.0"), "updater 2");
  EXPECT_EQ(ReadFile(user_ + "kanzo-version"), "1.0.0.2\n");
}

}  // namespace
}  // namespace kanzo::test
