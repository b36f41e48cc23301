// Run parameters of the updater, the version file's address, and the names
// and request objects of listed files.
#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "update/file_download.h"
#include "update/update_params.h"

namespace kanzo {
namespace {

using test::TempDir;
using test::WriteFile;

TEST(UpdateRunParams, ArgumentCountDecidesTheSource) {
  TempDir dir;
  WriteFile(dir.File("config.ini"),
            "[Kanzo]\nSOFT_NAME=KanzoPro\nVERSION=2.1\nUPDATE_URL=http://update.example.com:8080/v/update.ini\n");
  const std::string url = "http://127.0.0.1:9/update.html?random=17";
  struct Case {
    std::vector<std::string> args;
    UpdateArgsOutcome outcome;
    std::string name, version, address;
    bool silent;
  } cases[] = {
      {{}, UpdateArgsOutcome::Run, "KanzoPro", "2.1", "http://update.example.com:8080/v/update.ini", false},
      {{"Kanzo"}, UpdateArgsOutcome::Usage, "", "", "", false},
      {{"Kanzo", "1.0"}, UpdateArgsOutcome::Usage, "", "", "", false},
      {{"Kanzo", "1.0", url}, UpdateArgsOutcome::Run, "Kanzo", "1.0", url, true},
      {{"Kanzo", "1.0", url, "extra", "more"}, UpdateArgsOutcome::Run, "Kanzo", "1.0", url, true},
      {{"Kanzo", "1.0", "https://127.0.0.1/update.html"},
       UpdateArgsOutcome::NotHttp,
       "Kanzo",
       "1.0",
       "https://127.0.0.1/update.html",
       true},
      {{"Kanzo", "1.0", "ftp://127.0.0.1/update.ini"},
       UpdateArgsOutcome::NotHttp,
       "Kanzo",
       "1.0",
       "ftp://127.0.0.1/update.ini",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.size());
    const UpdateArgsResult r = ReadUpdateRunParams(c.args, dir.path());
    EXPECT_EQ(r.outcome, c.outcome);
    if (c.outcome == UpdateArgsOutcome::Usage) continue;
    EXPECT_EQ(r.params.programName, c.name);
    EXPECT_EQ(r.params.currentVersion, c.version);
    EXPECT_EQ(r.params.versionFileUrl, c.address);
    EXPECT_EQ(r.params.silent, c.silent);
  }
}

TEST(UpdateRunParams, MissingConfigGivesTheDefaults) {
  TempDir dir;
  const UpdateArgsResult r = ReadUpdateRunParams({}, dir.path());
  EXPECT_EQ(r.outcome, UpdateArgsOutcome::Run);
  EXPECT_EQ(r.params.programName, "Kanzo");
  EXPECT_EQ(r.params.currentVersion, "1.0");
  EXPECT_EQ(r.params.versionFileUrl, DefaultVersionFileUrl());
  EXPECT_EQ(r.url.object, "/update.html");
  EXPECT_FALSE(r.params.silent);
}

TEST(UpdateRunParams, SplitsHttpAddresses) {
  struct Case {
    std::string url;
    bool ok;
    std::string host;
    int port;
    std::string object;
  } cases[] = {
      {"http://update.example.com/update.html?random=5", true, "update.example.com", 80, "/update.html?random=5"},
      {"HTTP://Example.com:8080/a/b.ini", true, "Example.com", 8080, "/a/b.ini"},
      {"http://127.0.0.1:58090", true, "127.0.0.1", 58090, "/"},
      {"http://host?x=1", true, "host", 80, "/?x=1"},
      {"http://host/p#frag", true, "host", 80, "/p"},
      {"http://user:pw@host:81/p", true, "host", 81, "/p"},
      {"http://[::1]:8000/u.ini", true, "[::1]", 8000, "/u.ini"},
      {"https://host/u.ini", false, "", 0, ""},
      {"host/u.ini", false, "", 0, ""},
      {"http:///u.ini", false, "", 0, ""},
      {"http://host:0/u.ini", false, "", 0, ""},
      {"http://host:65536/u.ini", false, "", 0, ""},
      {"http://host:80x/u.ini", false, "", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    HttpUrlParts parts;
    ASSERT_EQ(SplitHttpUrl(c.url, &parts), c.ok);
    if (!c.ok) continue;
    EXPECT_EQ(parts.host, c.host);
    EXPECT_EQ(parts.port, c.port);
    EXPECT_EQ(parts.object, c.object);
  }
}

TEST(ListedFileNames, OnlyNamesInsideTheProgramFolderAreSafe) {
  struct Case {
    std::string name;
    bool safe;
  } cases[] = {
      {"Kanzo", true},
      {"Images/skin/logo.png", true},
      {"Images\\logo.png", true},
      {"./face/1.gif", true},
      {"a..b/c..", true},
      {"../evil", false},
      {"Images/../../evil", false},
      {"Images\\..\\..\\evil", false},
      {"..", false},
      {"/etc/passwd", false},
      {"\\evil", false},
      {"C:\\Windows\\evil.dll", false},
      {"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsSafeListedName(c.name), c.safe);
  }
  EXPECT_EQ(NormalizeListedName("Images\\skin\\a.png"), "Images/skin/a.png");
}

TEST(ListedFileNames, RequestObjectCarriesTheTimeStamp) {
  EXPECT_EQ(DownloadObjectFor("Kanzo", 1700000000), "/Kanzo?random=1700000000");
  EXPECT_EQ(DownloadObjectFor("Images/a.png", 5), "/Images/a.png?random=5");
  EXPECT_EQ(DownloadObjectFor("get.php?f=Kanzo", 5), "/get.php?f=Kanzo&random=5");
  // A '?' in the first place does not count as a query.
  EXPECT_EQ(DownloadObjectFor("?odd", 5), "/?odd?random=5");
}

}  // namespace
}  // namespace kanzo
