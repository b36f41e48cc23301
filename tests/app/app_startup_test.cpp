#include <gtest/gtest.h>

#include "app/about_dlg.h"
#include "app/kanzo_app.h"
#include "log/cx_log.h"
#include "platform/message_box.h"
#include "support/temp_dir.h"

namespace kanzo {
namespace {

constexpr const char* kStartLine = "==================系统启动==================";
constexpr const char* kExitLine = "==================系统退出==================";

// What the process log gained while `run` ran.
std::string LogWrittenDuring(const std::function<void()>& run) {
  CxLog& log = CxLog::Instance();
  log.Flush();
  const std::size_t before = test::ReadFile(log.FilePath()).size();
  run();
  log.Flush();
  return test::ReadFile(log.FilePath()).substr(before);
}

TEST(AppStartupTest, UnresolvableHostShowsTheErrorBoxAndEndsWithoutExitLine) {
  test::TempDir dir;
  test::WriteFile(dir.File("config.ini"), "[Kanzo]\nSERVER_HOST=no-such-host.invalid\nLOG_LEVEL=info\n");
  platform::MessageBoxRecorder boxes;
  const std::string written = LogWrittenDuring([&] {
    CKanzoApp app({}, dir.path());
    EXPECT_FALSE(app.InitInstance());
  });
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "错误");
  EXPECT_EQ(boxes.Boxes()[0].text, "服务器地址解析失败，应用退出");
  EXPECT_EQ(boxes.Boxes()[0].icon, platform::MessageBoxIcon::Error);
  EXPECT_NE(written.find(std::string("Info kanzo_app.cpp(CKanzoApp::InitInstance, ")), std::string::npos) << written;
  EXPECT_NE(written.find(kStartLine), std::string::npos);
  EXPECT_NE(written.find("Error kanzo_app.cpp(CKanzoApp::GetAddressByHostName, "), std::string::npos) << written;
  EXPECT_NE(written.find("解析服务器域名：[no-such-host.invalid] 失败"), std::string::npos);
  EXPECT_EQ(written.find(kExitLine), std::string::npos);
}

TEST(AppStartupTest, RestartArgumentShowsTheForcedLogOffNoticeFirst) {
  test::TempDir dir;
  test::WriteFile(dir.File("config.ini"), "[Kanzo]\nSERVER_HOST=no-such-host.invalid\n");
  platform::MessageBoxRecorder boxes;
  CKanzoApp app({"xrestartx"}, dir.path());
  app.InitInstance();
  ASSERT_EQ(boxes.Count(), 2u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "提醒");
  EXPECT_EQ(boxes.Boxes()[0].text, "您的账户在其它地方登录，应用被迫下线");
  EXPECT_EQ(boxes.Boxes()[0].icon, platform::MessageBoxIcon::Error);
  EXPECT_EQ(boxes.Boxes()[1].caption, "错误");
}

TEST(AppStartupTest, LogLevelFromConfig) {
  test::TempDir dir;
  platform::MessageBoxRecorder boxes;
  const std::pair<const char*, std::int32_t> cases[] = {
      {"debug", kLogDebug}, {"ERROR", kLogError}, {"nonsense", kLogError /* unchanged */}, {"INFO", kLogInfo}};
  for (const auto& [word, level] : cases) {
    test::WriteFile(dir.File("config.ini"),
                    std::string("[Kanzo]\nSERVER_HOST=no-such-host.invalid\nLOG_LEVEL=") + word + "\n");
    CKanzoApp app({}, dir.path());
    app.InitInstance();
    EXPECT_EQ(CxLog::Instance().Level(), level) << word;
  }
  CxLog::Instance().SetLevel(kLogInfo);
}

TEST(AppStartupTest, AboutBoxLine) {
  EXPECT_EQ(AboutLineText("Kanzo 客服", "1.0.0.1"), "Kanzo 客服 1.0.0.1 Release版");
  AboutDlg about("Kanzo 客服", "1.0.0.1");
  EXPECT_EQ(about.windowTitle(), QString::fromUtf8("关于 Qimbo"));
  EXPECT_EQ(about.LineText(), QString::fromUtf8("Kanzo 客服 1.0.0.1 Release版"));
}

}  // namespace
}  // namespace kanzo
