// Screenshots of the login window and the statistics window, written to
// <build>/screenshots/workspace/ so that anyone can look at them.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <set>

#include "controls/skin_kit.h"
#include "db/db_access.h"
#include "db/db_manager.h"
#include "platform/clock.h"
#include "support/temp_dir.h"
#include "support/window_context_fixture.h"
#include "workspace/keep_alive_records.h"
#include "workspace/login_dlg.h"
#include "workspace/signal_count_dlg.h"

namespace kanzo {
namespace {

constexpr std::int64_t kShotMillis = 1'700'000'000'000;
constexpr std::int64_t kRefreshPeriodMillis = 10'000;
constexpr std::int64_t kAnswerDelayMillis = 38;

QString ShotFolder() {
  const QString folder = QString::fromUtf8(KANZO_BINARY_DIR) + "/screenshots/workspace/";
  QDir().mkpath(folder);
  return folder;
}

// Colours a picture uses; a blank or broken grab has one or two.
std::size_t ColourCount(const QImage& image) {
  std::set<QRgb> colours;
  for (int y = 0; y < image.height(); y += 2)
    for (int x = 0; x < image.width(); x += 2) colours.insert(image.pixel(x, y));
  return colours.size();
}

class WorkspaceGalleryTest : public testing::Test {
 protected:
  void SetUp() override {
    SetDatabasePath(dir_.File("qmb.db"));
    ASSERT_TRUE(DBManager::Init());
    SkinKit::SetPictureFolder(std::string(KANZO_SOURCE_DIR) + "/assets/program/");
    SetAutomaticLoginAllowed(false);
  }
  void TearDown() override {
    SetDatabasePath("");
    SetAutomaticLoginAllowed(true);
  }
  test::TempDir dir_;
};

TEST_F(WorkspaceGalleryTest, LoginWindow) {
  LoginRecord login;
  login.uid = 42;
  login.userName = "hanmeimei";
  login.password = "secret";
  login.keepPassword = true;
  ASSERT_TRUE(DBManager::SaveLogin(login));
  test::TestWindowContext windows;
  LoginDlg window(windows.context);
  window.show();
  const QImage idle = window.grab().toImage();
  ASSERT_TRUE(idle.save(ShotFolder() + "LoginDlg.png"));
  EXPECT_EQ(idle.size(), QSize(300, 250));
  EXPECT_GT(ColourCount(idle), 20u);

  window.OnBnClickedLoginSubmitButton();  // no server: stays waiting
  const QImage busy = window.grab().toImage();
  ASSERT_TRUE(busy.save(ShotFolder() + "LoginDlg_waiting.png"));
  EXPECT_NE(busy, idle);
}

TEST_F(WorkspaceGalleryTest, SignalCountWindow) {
  RequestRecords records;
  for (int i = 0; i < 12; ++i) {
    const std::int64_t sent = kShotMillis + i * kRefreshPeriodMillis;
    records.Add(i + 1, i == 6 ? kKeepAliveRelogin : kKeepAliveRefreshSession, sent);
    if (i % 5 != 4)
      records.Answer(i + 1, i == 6 ? kKeepAliveRelogin : kKeepAliveRefreshSession, sent + kAnswerDelayMillis);
  }
  test::TestWindowContext windows;
  SignalCountDlg window(nullptr, windows.context);
  window.SetRecords(&records);
  window.show();
  EXPECT_EQ(window.SentCounter()->text(), "发送次数：12");
  EXPECT_EQ(window.ReceivedCounter()->text(), "接收次数：10");
  const QImage shot = window.grab().toImage();
  ASSERT_TRUE(shot.save(ShotFolder() + "SignalCountDlg.png"));
  EXPECT_EQ(shot.size(), QSize(640, 480));
  EXPECT_GT(ColourCount(shot), 10u);
}

}  // namespace
}  // namespace kanzo
