#include <gtest/gtest.h>

#include <filesystem>

#include "app/command_line.h"
#include "app/config.h"
#include "app/host_resolver.h"
#include "app/module_version.h"
#include "app/updater_launch.h"
#include "platform/message_box.h"
#include "support/temp_dir.h"

namespace kanzo {
namespace {

TEST(AppCoreTest, ConfigKeysWithDefaults) {
  test::TempDir dir;
  EXPECT_EQ(ReadConfigStringIn(dir.path(), kConfigServerHost, "built.in"), "built.in");  // no file
  test::WriteFile(dir.File(kConfigFileName), "[KANZO]\nserver_host = 10.1.2.3\n");
  EXPECT_EQ(ReadConfigStringIn(dir.path(), kConfigServerHost, "built.in"), "10.1.2.3");
  EXPECT_EQ(ReadConfigStringIn(dir.path(), kConfigLogLevel, kDefaultLogLevelWord), "INFO");
  const std::string longHost(400, 'h');
  test::WriteFile(dir.File(kConfigFileName), "[Kanzo]\nSERVER_HOST=" + longHost + "\n");
  EXPECT_EQ(ReadConfigStringIn(dir.path(), kConfigServerHost, "").size(), 259u);
}

TEST(AppCoreTest, RestartAnywhereOnTheCommandLine) {
  const std::pair<std::vector<std::string>, bool> cases[] = {
      {{}, false},
      {{"restart"}, true},
      {{"--forcedrestarted"}, true},  // inside a longer word
      {{"a", "b restart c"}, true},
      {{"Restart"}, false},
  };
  for (const auto& [args, expected] : cases) EXPECT_EQ(CommandLineRequestsRestart(args), expected);
}

TEST(AppCoreTest, HostResolution) {
  EXPECT_EQ(ResolveHostIPv4("127.0.0.1"), "127.0.0.1");
  EXPECT_EQ(ResolveHostIPv4("10.20.30.40"), "10.20.30.40");  // dotted resolves to itself, no lookup
  EXPECT_EQ(ResolveHostIPv4("localhost"), "127.0.0.1");
  EXPECT_EQ(ResolveHostIPv4("no-such-host.invalid"), "");
  EXPECT_EQ(ResolveHostIPv4(""), "");
}

TEST(AppCoreTest, VersionStrings) {
  platform::MessageBoxRecorder boxes;
  EXPECT_EQ(GetModuleVersionString(kVersionFileVersion), "1.0.0.1");
  EXPECT_FALSE(GetModuleVersionString(kVersionFileDescription).empty());
  EXPECT_EQ(boxes.Count(), 0u);
  EXPECT_EQ(GetModuleVersionString("NoSuchString"), kVersionError);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Function <VerQueryValue> for StringFileInfo unsuccessful!");
}

TEST(AppCoreTest, UpdaterCommandLine) {
  const UpdaterCommand c = BuildUpdaterCommand("/opt/kanzo/", "1.0.0.1", "update.example:8080", 1700000000);
  EXPECT_EQ(c.path, "/opt/kanzo/Update_V1.0");
  ASSERT_EQ(c.args.size(), 3u);
  EXPECT_EQ(c.args[0], "Kanzo");
  EXPECT_EQ(c.args[1], "1.0.0.1");
  EXPECT_EQ(c.args[2], "http://update.example:8080/update.html?random=1700000000");
  EXPECT_EQ(c.commandLine,
            "/opt/kanzo/Update_V1.0 Kanzo 1.0.0.1 http://update.example:8080/update.html?random=1700000000");
  // A folder without the trailing slash gives the same path.
  EXPECT_EQ(BuildUpdaterCommand("/opt/kanzo", "1", "h", 0).path, "/opt/kanzo/Update_V1.0");
}

TEST(AppCoreTest, MissingUpdaterIsNotAFailureThatStopsAnything) {
  test::TempDir dir;
  EXPECT_FALSE(StartUpdater(BuildUpdaterCommand(dir.path(), "1.0.0.1", "127.0.0.1:1", 0)));
}

TEST(AppCoreTest, UpdaterStartsWithItsThreeArguments) {
  test::TempDir dir;
  // A stand-in updater that writes its arguments where the test can read them.
  const std::string out = dir.File("args.txt");
  test::WriteFile(dir.File("Update_V1.0"), "#!/bin/sh\necho \"$@\" > '" + out + "'\n");
  std::filesystem::permissions(dir.File("Update_V1.0"), std::filesystem::perms::owner_all);
  EXPECT_TRUE(StartUpdater(BuildUpdaterCommand(dir.path(), "1.0.0.1", "127.0.0.1:58090", 42)));
  ASSERT_TRUE(test::WaitFor([&] { return !test::ReadFile(out).empty(); }));
  EXPECT_EQ(test::ReadFile(out), "Kanzo 1.0.0.1 http://127.0.0.1:58090/update.html?random=42\n");
}

}  // namespace
}  // namespace kanzo
