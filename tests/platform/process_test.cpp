#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <vector>

#include "platform/process.h"
#include "platform/program_folder.h"
#include "support/child_process.h"
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
  const std::string program = test::WaitingProgramCopy(dir.path(), "SleepyKanzo");
  ASSERT_FALSE(program.empty());
  const pid_t pid = StartProcess(program, {"30"});
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(test::WaitFor([&] {
    const auto found = FindProcessesByName("sleepykanzo");
    return std::find(found.begin(), found.end(), pid) != found.end();
  }));
  EXPECT_TRUE(EndProcess(pid));
  EXPECT_TRUE(FindProcessesByName("SLEEPYKANZO").empty());
}

TEST(ProcessTest, AProgramThatHadToBeForcedCountsAsEndedOnceItIsDead) {
  // The updater ends a client that is not its child and that may be slow to
  // go (it logs out first). Forced, the client is dead at once, but it stays
  // listed until its own parent reaps it; and that parent need not reap it.
  test::TempDir dir;
  const std::string program = test::WaitingProgramCopy(dir.path(), "StubbornKanzo");
  ASSERT_FALSE(program.empty());
  const pid_t parent = StartProcess("/bin/sh", {"-c", "trap '' TERM; '" + program + "' 30 & exec /bin/sleep 30"});
  ASSERT_GT(parent, 0);
  std::vector<pid_t> found;
  ASSERT_TRUE(test::WaitFor([&] { return !(found = FindProcessesByName("StubbornKanzo")).empty(); }));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_TRUE(EndProcess(found[0], 100));
  EXPECT_TRUE(FindProcessesByName("StubbornKanzo").empty());
  EXPECT_TRUE(EndProcess(parent, 0));
}

TEST(ProcessTest, ProgramFolderEndsWithSlash) {
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_EQ(ProgramPath().rfind(folder, 0), 0u);
}

}  // namespace
}  // namespace kanzo::platform
