#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <filesystem>

#include "platform/process.h"
#include "platform/program_folder.h"
#include "support/temp_dir.h"

namespace kanzo::platform {
namespace {

TEST(ProcessTest, MissingProgramIsNotStarted) {
  test::TempDir dir;
  EXPECT_EQ(StartProcess(dir.File("Update_V1.0"), {"Kanzo"}), -1);
}

TEST(ProcessTest, FindsByNameWithoutRegardToCaseAndEnds) {
  test::TempDir dir;
  // A copy of sleep under a mixed-case name, as a program folder would hold.
  const std::string program = dir.File("SleepyKanzo");
  ASSERT_TRUE(std::filesystem::exists("/bin/sleep"));
  std::filesystem::copy_file("/bin/sleep", program);
  const pid_t pid = StartProcess(program, {"30"});
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(test::WaitFor([&] {
    const auto found = FindProcessesByName("sleepykanzo");
    return std::find(found.begin(), found.end(), pid) != found.end();
  }));
  EXPECT_TRUE(EndProcess(pid));
  EXPECT_TRUE(FindProcessesByName("SLEEPYKANZO").empty());
}

TEST(ProcessTest, ProgramFolderEndsWithSlash) {
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_EQ(ProgramPath().rfind(folder, 0), 0u);
}

}  // namespace
}  // namespace kanzo::platform
