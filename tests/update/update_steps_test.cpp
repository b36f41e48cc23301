// The updater's steps against a real HTTP server on 127.0.0.1 and real files
// in a temporary program folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "platform/clock.h"
#include "platform/process.h"
#include "support/child_process.h"
#include "support/temp_dir.h"
#include "update/file_download.h"
#include "update/file_install.h"
#include "update/http_client.h"
#include "update/recording_progress.h"
#include "update/test_http_server.h"
#include "update/update_run.h"
#include "update/version_check.h"

namespace kanzo {
namespace {

using test::ReadFile;
using test::RecordingProgress;
using test::TempDir;
using test::TestHttpAnswer;
using test::TestHttpServer;
using test::WriteFile;
namespace fs = std::filesystem;

constexpr std::int64_t kNow = 1700000000;
constexpr const char* kVersionPath = "/update.html";

bool Exists(const std::string& path) { return fs::exists(fs::symlink_status(path)); }

class UpdateStepsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock_.SetSeconds(kNow);
    platform::SetCurrentClock(&clock_);
    client_ = HttpClient::Open("127.0.0.1", server_.port());
    ASSERT_NE(client_, nullptr);
  }
  void TearDown() override { platform::SetCurrentClock(nullptr); }

  VersionCheckResult Check(const std::string& current = "1.0") {
    return CheckVersion(*client_, std::string(kVersionPath) + "?random=5", "Kanzo", current, dir_.path(), progress_);
  }
  void ServeVersionFile(const std::string& text) { server_.Serve(kVersionPath, TestHttpAnswer{200, text}); }
  // The version file as the check leaves it in the program folder.
  void SaveVersionFile(const std::string& text) { WriteFile(dir_.File(kVersionFileName), text); }
  bool Update() { return RunUpdate(*client_, UpdateJob{dir_.path(), "Kanzo", "2.0", false}, progress_); }
  std::vector<std::string> FileRequests() const {
    std::vector<std::string> out;
    for (const auto& r : server_.Requests())
      if (r.rfind(kVersionPath, 0) != 0) out.push_back(r);
    return out;
  }

  platform::SettableClock clock_;
  TempDir dir_;
  TestHttpServer server_;
  std::unique_ptr<HttpClient> client_;
  RecordingProgress progress_;
};

TEST_F(UpdateStepsTest, NewVersionIsSavedAndItsSummaryFramed) {
  const std::string text =
      "[kanzo]\nVERSION=2.0\nUPDATE_INTRO1=修复了登录问题\nUPDATE_INTRO2=新增表情\nUPDATE_INTRO4=not read\nFILE1=Kanzo\n";
  ServeVersionFile(text);
  const VersionCheckResult r = Check();
  EXPECT_EQ(r.outcome, VersionCheckOutcome::NewVersion);
  EXPECT_EQ(r.offeredVersion, "2.0");
  EXPECT_EQ(r.finalStatus, "发现新的版本:Kanzo 2.0");
  EXPECT_EQ(r.summaryLines, (std::vector<std::string>{"==============V2.0更新摘要==============", "修复了登录问题",
                                                      "新增表情", "=========================================="}));
  EXPECT_EQ(progress_.statuses(), (std::vector<std::string>{"正在连接到服务器", "读取版本信息", "检查版本信息"}));
  EXPECT_EQ(ReadFile(dir_.File(kVersionFileName)), text);
  EXPECT_EQ(server_.Requests(), std::vector<std::string>{"/update.html?random=5"});
}

TEST_F(UpdateStepsTest, VersionComparisonIsByteForByte) {
  struct Case {
    std::string file, current;
    VersionCheckOutcome outcome;
  } cases[] = {
      {"[Kanzo]\nVERSION=1.0.0.1\n", "1.0.0.1", VersionCheckOutcome::SameVersion},
      {"[Kanzo]\nVERSION=1.0.0.0\n", "1.0.0.1", VersionCheckOutcome::NewVersion},  // older counts as new
      {"[Kanzo]\n", "1.0", VersionCheckOutcome::SameVersion},                      // missing means "1.0"
      {"[Other]\nVERSION=9\n", "1.0.0.1", VersionCheckOutcome::NewVersion},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ServeVersionFile(c.file);
    const VersionCheckResult r = Check(c.current);
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_TRUE(r.summaryLines.empty());  // no "UPDATE_INTRO1"
    if (c.outcome == VersionCheckOutcome::SameVersion)
      EXPECT_EQ(r.finalStatus, "您现在使用的版本已经是最新的！");
    else
      EXPECT_EQ(r.finalStatus.rfind("发现新的版本:Kanzo ", 0), 0u);
  }
}

TEST_F(UpdateStepsTest, VersionFileFailures) {
  struct Case {
    const char* what;
    TestHttpAnswer answer;
    VersionCheckOutcome outcome;
    const char* status;
  } cases[] = {
      {"missing", {404, "gone"}, VersionCheckOutcome::NotOk, "读取服务器资源失败！"},
      {"redirect", {302, "", {{"Location", "/moved.ini"}}}, VersionCheckOutcome::NotOk, "读取服务器资源失败！"},
      {"short", {200, "[Kanzo]\nVERSION=2", {}, false, 400}, VersionCheckOutcome::SaveFailed, "读取版本信息失败！"},
      {"past the bound",
       {200, "[Kanzo]\nVERSION=2.0\n" + std::string(kMaxVersionFileBytes, ';')},
       VersionCheckOutcome::SaveFailed,
       "读取版本信息失败！"},
      {"past the bound, sent in chunks",
       {200, "[Kanzo]\nVERSION=2.0\n" + std::string(kMaxVersionFileBytes, ';'), {}, true},
       VersionCheckOutcome::SaveFailed,
       "读取版本信息失败！"},
  };
  server_.Serve("/moved.ini", TestHttpAnswer{200, "[Kanzo]\nVERSION=2.0\n"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::size_t before = server_.Requests().size();
    server_.Serve(kVersionPath, c.answer);
    const VersionCheckResult r = Check();
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_EQ(r.finalStatus, c.status);
    EXPECT_FALSE(Exists(dir_.File(kVersionFileName)));
    // The redirect is not followed.
    EXPECT_EQ(server_.Requests().size(), before + 1);
  }
}

TEST_F(UpdateStepsTest, UnwritableFolderFailsTheCheck) {
  ServeVersionFile("[Kanzo]\nVERSION=2.0\n");
  const VersionCheckResult r =
      CheckVersion(*client_, kVersionPath, "Kanzo", "1.0", dir_.File("no/such/folder/"), progress_);
  EXPECT_EQ(r.outcome, VersionCheckOutcome::SaveFailed);
  EXPECT_EQ(r.finalStatus, "读取版本信息失败！");
}

TEST(UpdateConnection, NobodyListeningIsASendFailureWithADescription) {
  int port = 0;
  { port = TestHttpServer().port(); }
  TempDir dir;
  RecordingProgress progress;
  auto client = HttpClient::Open("127.0.0.1", port);
  const VersionCheckResult r = CheckVersion(*client, kVersionPath, "Kanzo", "1.0", dir.path(), progress);
  EXPECT_EQ(r.outcome, VersionCheckOutcome::NotSent);
  EXPECT_EQ(r.finalStatus, "连接服务器失败！");
  EXPECT_FALSE(r.errorDescription.empty());
}

TEST_F(UpdateStepsTest, NoFileKeysInstallNothingAndSucceed) {
  SaveVersionFile("[Kanzo]\nVERSION=2.0\nFILE2=skipped\n");
  EXPECT_TRUE(Update());
  EXPECT_TRUE(FileRequests().empty());
  EXPECT_EQ(progress_.lines(), std::vector<std::string>{"更新后的应用版本：Kanzo 2.0"});
  EXPECT_EQ(progress_.statuses(), std::vector<std::string>{"更新完成！"});
  EXPECT_FALSE(Exists(dir_.File(kVersionFileName)));
}

TEST_F(UpdateStepsTest, FilesAreDownloadedIntoSubfoldersAndInstalled) {
  const std::string big(10000, 'k');
  WriteFile(dir_.File("Kanzo"), "old client");
  SaveVersionFile("[Kanzo]\nVERSION=2.0\nFILE1=Kanzo\nFILE2=Images\\skin\\logo.png\nFILE3=face/微笑 1.gif\n");
  server_.Serve("/Kanzo", TestHttpAnswer{200, big});
  server_.Serve("/Images/skin/logo.png", TestHttpAnswer{200, "png"});
  server_.Serve("/face/%E5%BE%AE%E7%AC%91%201.gif", TestHttpAnswer{200, "gif"});

  EXPECT_TRUE(Update());
  EXPECT_EQ(ReadFile(dir_.File("Kanzo")), big);
  EXPECT_EQ(ReadFile(dir_.File("Images/skin/logo.png")), "png");
  EXPECT_EQ(ReadFile(dir_.File("face/微笑 1.gif")), "gif");
  for (const char* name : {"Kanzo", "Images/skin/logo.png", "face/微笑 1.gif"}) {
    EXPECT_FALSE(Exists(dir_.File(name) + ".upg")) << name;
    EXPECT_FALSE(Exists(dir_.File(name) + ".bak")) << name;
  }
  EXPECT_FALSE(Exists(dir_.File(kVersionFileName)));
  EXPECT_EQ(FileRequests(),
            (std::vector<std::string>{"/Kanzo?random=1700000000", "/Images/skin/logo.png?random=1700000000",
                                      "/face/%E5%BE%AE%E7%AC%91%201.gif?random=1700000000"}));
  EXPECT_EQ(progress_.lines(),
            (std::vector<std::string>{"Kanzo下载完成", "Images/skin/logo.png下载完成", "face/微笑 1.gif下载完成",
                                      "Kanzo 更新成功", "Images/skin/logo.png 更新成功", "face/微笑 1.gif 更新成功",
                                      "更新后的应用版本：Kanzo 2.0"}));
  // The bar moves through the large file and ends full for each file.
  const std::vector<int> percents = progress_.percents();
  EXPECT_GT(percents.size(), 6u);
  EXPECT_TRUE(std::is_sorted(percents.begin(), percents.begin() + static_cast<long>(percents.size()) - 4));
  EXPECT_EQ(percents.back(), 100);
  EXPECT_TRUE(progress_.errors().empty());
}

TEST_F(UpdateStepsTest, AFailingInstallRestoresWhatItReplaced) {
  WriteFile(dir_.File("a.txt"), "old a");  // replaced, then restored
  WriteFile(dir_.File("b.txt"), "old b");  // replaced, then restored
  // c.txt cannot be moved aside: a folder over a backup folder that is not empty.
  fs::create_directories(dir_.File("c.txt/inner"));
  fs::create_directories(dir_.File("c.txt.bak/inner"));
  // d.txt comes after the failure; its leftover backup from an earlier run
  // must not replace the current file.
  WriteFile(dir_.File("d.txt"), "current d");
  WriteFile(dir_.File("d.txt.bak"), "stale d");
  SaveVersionFile("[Kanzo]\nVERSION=2.0\nFILE1=a.txt\nFILE2=b.txt\nFILE3=c.txt\nFILE4=d.txt\n");
  for (const char* name : {"/a.txt", "/b.txt", "/c.txt", "/d.txt"}) server_.Serve(name, TestHttpAnswer{200, "new"});

  EXPECT_FALSE(Update());
  EXPECT_EQ(ReadFile(dir_.File("a.txt")), "old a");
  EXPECT_EQ(ReadFile(dir_.File("b.txt")), "old b");
  EXPECT_EQ(ReadFile(dir_.File("d.txt")), "current d");
  for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) EXPECT_FALSE(Exists(dir_.File(name) + ".upg")) << name;
  EXPECT_FALSE(Exists(dir_.File("a.txt.bak")));
  EXPECT_FALSE(Exists(dir_.File("b.txt.bak")));
  const std::vector<std::string> lines = progress_.lines();
  ASSERT_GE(lines.size(), 5u);
  const std::vector<std::string> tail(lines.end() - 5, lines.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"a.txt 更新成功", "b.txt 更新成功", "c.txt 更新失败", "开始恢复文件",
                                            "恢复文件完成"}));
  EXPECT_EQ(progress_.statuses(), std::vector<std::string>{"更新未完成！"});
  EXPECT_FALSE(Exists(dir_.File(kVersionFileName)));
}

TEST_F(UpdateStepsTest, BadDownloadsFailBeforeAnythingIsInstalled) {
  const std::string outside =
      fs::path(dir_.path()).parent_path().parent_path().string() + "/kanzo-evil-" + std::to_string(getpid());
  struct Case {
    const char* what;
    std::string secondName;
    TestHttpAnswer answer;
    std::string line;
    std::size_t fileRequests;
    // A line that says why, where the last one alone does not tell.
    std::string reason = "";
  } cases[] = {
      {"error page", "b.txt", {404, "<html>not here</html>"}, "b.txt下载失败", 2},
      {"server error", "b.txt", {500, "oops"}, "b.txt下载失败", 2},
      {"short body", "b.txt", {200, "partial", {}, false, 1000}, "b.txt下载失败", 2},
      {"empty body", "b.txt", {200, ""}, "b.txt下载失败", 2},
      {"empty chunked body", "b.txt", {200, "", {}, true}, "b.txt下载失败", 2},
      {"larger than any program",
       "b.txt",
       {200, "big", {}, false, kMaxDownloadBytes + 1},
       "b.txt下载失败",
       2,
       "网络文件b.txt超出允许的大小，已拒绝"},
      {"parent folder",
       "../kanzo-evil-" + std::to_string(getpid()),
       {200, "evil"},
       "文件名../kanzo-evil-" + std::to_string(getpid()) + "不合法，已拒绝更新",
       0},
      {"absolute", outside, {200, "evil"}, "文件名" + outside + "不合法，已拒绝更新", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RecordingProgress progress;
    WriteFile(dir_.File("a.txt"), "old a");
    WriteFile(dir_.File("b.txt"), "old b");
    SaveVersionFile("[Kanzo]\nVERSION=2.0\nFILE1=a.txt\nFILE2=" + c.secondName + "\n");
    server_.Serve("/a.txt", TestHttpAnswer{200, "new a"});
    server_.Serve("/b.txt", c.answer);
    const std::size_t before = FileRequests().size();

    EXPECT_FALSE(RunUpdate(*client_, UpdateJob{dir_.path(), "Kanzo", "2.0", false}, progress));
    EXPECT_EQ(FileRequests().size() - before, c.fileRequests);
    EXPECT_EQ(ReadFile(dir_.File("a.txt")), "old a");
    EXPECT_EQ(ReadFile(dir_.File("b.txt")), "old b");
    EXPECT_FALSE(Exists(dir_.path() + "../kanzo-evil-" + std::to_string(getpid())));
    EXPECT_FALSE(Exists(outside));
    ASSERT_FALSE(progress.lines().empty());
    EXPECT_EQ(progress.lines().back(), c.line);
    if (!c.reason.empty()) EXPECT_THAT(progress.lines(), testing::Contains(c.reason));
    EXPECT_EQ(progress.statuses(), std::vector<std::string>{"更新未完成！"});
    EXPECT_FALSE(Exists(dir_.File("a.txt.upg")));
    EXPECT_FALSE(Exists(dir_.File("b.txt.upg")));
  }
}

TEST_F(UpdateStepsTest, DownloadingStopsAtTheFirstFailure) {
  SaveVersionFile("[Kanzo]\nVERSION=2.0\nFILE1=a.txt\nFILE2=missing.txt\nFILE3=c.txt\n");
  server_.Serve("/a.txt", TestHttpAnswer{200, "new a"});
  server_.Serve("/c.txt", TestHttpAnswer{200, "new c"});
  EXPECT_FALSE(Update());
  EXPECT_EQ(FileRequests().size(), 2u);
  // Nothing is put in place, and nothing downloaded is left lying.
  EXPECT_FALSE(Exists(dir_.File("a.txt.upg")));
  EXPECT_FALSE(Exists(dir_.File("a.txt")));
  EXPECT_FALSE(Exists(dir_.File("c.txt.upg")));
  EXPECT_EQ(progress_.lines(), (std::vector<std::string>{"a.txt下载完成", "missing.txt下载失败"}));
}

TEST_F(UpdateStepsTest, AnswersWithoutALengthAreStillInstalled) {
  SaveVersionFile("[Kanzo]\nVERSION=2.0\nFILE1=chunked.txt\n");
  server_.Serve("/chunked.txt", TestHttpAnswer{200, "sent in chunks", {}, true});
  EXPECT_TRUE(Update());
  EXPECT_EQ(ReadFile(dir_.File("chunked.txt")), "sent in chunks");
  EXPECT_EQ(progress_.lines().front(), "chunked.txt下载完成");
  for (int p : progress_.percents()) EXPECT_LE(p, 100);
}

TEST_F(UpdateStepsTest, AnEmptyAnswerNeverReplacesTheClient) {
  WriteFile(dir_.File("Kanzo"), "old client");
  SaveVersionFile("[Kanzo]\nVERSION=2.0\nFILE1=Kanzo\n");
  server_.Serve("/Kanzo", TestHttpAnswer{200, ""});
  EXPECT_FALSE(Update());
  EXPECT_EQ(ReadFile(dir_.File("Kanzo")), "old client");
  EXPECT_EQ(progress_.lines(), (std::vector<std::string>{"网络文件Kanzo不存在", "Kanzo下载失败"}));
  EXPECT_EQ(progress_.statuses(), std::vector<std::string>{"更新未完成！"});
}

TEST_F(UpdateStepsTest, InstalledFilesKeepTheModeTheyReplaceOrGetTheirKindsDefault) {
  struct Case {
    const char* name;
    int oldMode;  // -1: no file yet
    fs::perms expected;
  } cases[] = {
      {"Kanzo", 0755, fs::perms(0755)},
      {"Update_V1.0", 0750, fs::perms(0750)},
      {"private.ini", 0600, fs::perms(0600)},
      {"newtool/Kanzo", -1, fs::perms(0644)},  // only the programs in the folder itself
      {"Kanzo2", -1, fs::perms(0644)},
  };
  std::string list = "[Kanzo]\nVERSION=2.0\n";
  int n = 1;
  for (const Case& c : cases) {
    if (c.oldMode >= 0) {
      WriteFile(dir_.File(c.name), "old");
      fs::permissions(dir_.File(c.name), fs::perms(c.oldMode));
    }
    list += "FILE" + std::to_string(n++) + "=" + c.name + "\n";
    server_.Serve(std::string("/") + c.name, TestHttpAnswer{200, "new"});
  }
  SaveVersionFile(list);
  ASSERT_TRUE(Update());
  for (const Case& c : cases) {
    EXPECT_EQ(ReadFile(dir_.File(c.name)), "new") << c.name;
    EXPECT_EQ(fs::status(dir_.File(c.name)).permissions() & fs::perms::all, c.expected) << c.name;
  }
  // A first install of the two programs makes them runnable.
  TempDir fresh;
  WriteFile(fresh.File(kVersionFileName), "[Kanzo]\nVERSION=2.0\nFILE1=Kanzo\nFILE2=Update_V1.0\n");
  server_.Serve("/Update_V1.0", TestHttpAnswer{200, "new"});
  ASSERT_TRUE(RunUpdate(*client_, UpdateJob{fresh.path(), "Kanzo", "2.0", false}, progress_));
  for (const char* name : {"Kanzo", "Update_V1.0"})
    EXPECT_EQ(fs::status(fresh.File(name)).permissions() & fs::perms::all, fs::perms(0755)) << name;
}

TEST_F(UpdateStepsTest, AFolderThatCannotBeMadeFailsTheDownload) {
  WriteFile(dir_.File("Images"), "a file where a folder should be");
  SaveVersionFile("[Kanzo]\nVERSION=2.0\nFILE1=Images/logo.png\n");
  server_.Serve("/Images/logo.png", TestHttpAnswer{200, "png"});
  EXPECT_FALSE(Update());
  EXPECT_EQ(progress_.lines(),
            (std::vector<std::string>{"创建目录" + dir_.File("Images") + "失败", "Images/logo.png下载失败"}));
}

TEST(UpdateRunningClient, FoundWithoutRegardToCaseAndEnded) {
  TempDir dir;
  const std::string name = "KzUpdTest" + std::to_string(getpid());
  const std::string path = test::WaitingProgramCopy(dir.path(), name);
  ASSERT_FALSE(path.empty());
  const pid_t child = platform::StartProcess(path, {"30"});
  ASSERT_GT(child, 0);
  std::string upper = name;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  ASSERT_TRUE(test::WaitFor([&] { return FindRunningProgram(upper).has_value(); }));
  EXPECT_EQ(*FindRunningProgram(upper), child);
  EXPECT_EQ(RunningProgramQuestion("Kanzo"),
            "Kanzo已在运行！\n请先关闭程序才能进行更新！\n如果选择确定将强行关闭程序！");

  // The update ends it before it touches a file.
  WriteFile(dir.File("update.ini"), "[Kanzo]\nVERSION=2.0\n");
  auto client = HttpClient::Open("127.0.0.1", 9);
  RecordingProgress progress;
  EXPECT_TRUE(RunUpdate(*client, UpdateJob{dir.path(), name, "2.0", true}, progress));
  EXPECT_FALSE(FindRunningProgram(name).has_value());
}

TEST(UpdateRunningClient, FoundAgainRightBeforeItIsEnded) {
  TempDir dir;
  const std::string name = "KzUpdAgain" + std::to_string(getpid());
  const std::string path = test::WaitingProgramCopy(dir.path(), name);
  ASSERT_FALSE(path.empty());
  const pid_t asked = platform::StartProcess(path, {"30"});
  ASSERT_GT(asked, 0);
  ASSERT_TRUE(test::WaitFor([&] { return FindRunningProgram(name) == asked; }));
  // While the question is shown the agent closes the client and starts it
  // again: the process asked about is not the one running now.
  ASSERT_TRUE(platform::EndProcess(asked));
  const pid_t running = platform::StartProcess(path, {"30"});
  ASSERT_GT(running, 0);
  ASSERT_TRUE(test::WaitFor([&] { return FindRunningProgram(name) == running; }));

  WriteFile(dir.File("update.ini"), "[Kanzo]\nVERSION=2.0\n");
  auto client = HttpClient::Open("127.0.0.1", 9);
  RecordingProgress progress;
  EXPECT_TRUE(RunUpdate(*client, UpdateJob{dir.path(), name, "2.0", true}, progress));
  EXPECT_FALSE(FindRunningProgram(name).has_value());
  if (FindRunningProgram(name)) platform::EndProcess(running, 0);
}

}  // namespace
}  // namespace kanzo
