#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <thread>
#include <vector>

#include "platform/message_box.h"
#include "platform/qt/qt_message_box.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/window_timers.h"
#include "platform/window_message.h"
#include "support/qt_pump.h"

namespace kanzo::platform {
namespace {

constexpr std::uint32_t kTestMessage = 7026;
constexpr std::uint32_t kTestTimer = 1001;

class OrderWindow final : public Window {
 public:
  MessageResult OnWindowMessage(std::uint32_t, WParam w, LParam) override {
    seen.push_back(w);
    allOnUi = allOnUi && IsUiThread();
    return 0;
  }
  void OnTimer(std::uint32_t id) override { ticks.push_back(id); }
  std::vector<WParam> seen;
  std::vector<std::uint32_t> ticks;
  bool allOnUi = true;
};

using ::kanzo::test::PumpUntil;

// Tooltips show what the server or a visitor wrote as it is.
TEST(QtMessageBoxTest, TooltipsThatLookLikeMarkupAreEscaped) {
  EXPECT_EQ(PlainToolTip(QStringLiteral("张三\n声音:开启")), QStringLiteral("张三\n声音:开启"));
  const QString escaped = PlainToolTip(QStringLiteral("<b>x</b>\n<img src=/a>"));
  EXPECT_FALSE(escaped.contains(QStringLiteral("<b>")));
  EXPECT_FALSE(escaped.contains(QStringLiteral("<img")));
  EXPECT_TRUE(escaped.contains(QStringLiteral("&lt;b&gt;x&lt;/b&gt;")));
}

TEST(QtUiLoopTest, NotifyFromWorkerThreadsKeepsOrderOnTheUiThread) {
  OrderWindow window;
  constexpr int kPerThread = 300;
  std::thread a([&] {
    for (int i = 0; i < kPerThread; ++i) NotifyWindow(window.Id(), kTestMessage, static_cast<WParam>(i), 0);
  });
  a.join();
  std::thread b([&] {
    for (int i = kPerThread; i < 2 * kPerThread; ++i)
      NotifyWindow(window.Id(), kTestMessage, static_cast<WParam>(i), 0);
  });
  b.join();
  ASSERT_TRUE(PumpUntil([&] { return window.seen.size() == 2 * kPerThread; }));
  for (int i = 0; i < 2 * kPerThread; ++i) EXPECT_EQ(window.seen[i], static_cast<WParam>(i));
  EXPECT_TRUE(window.allOnUi);
}

TEST(QtUiLoopTest, TimersTickByIdUntilKilled) {
  OrderWindow window;
  WindowTimers timers(window);
  timers.SetTimer(kTestTimer, 5);
  ASSERT_TRUE(PumpUntil([&] { return window.ticks.size() >= 2; }));
  EXPECT_EQ(window.ticks.front(), kTestTimer);
  timers.KillTimer(kTestTimer);
  EXPECT_FALSE(timers.IsRunning(kTestTimer));
  const auto count = window.ticks.size();
  QCoreApplication::processEvents(QEventLoop::AllEvents, 30);
  EXPECT_EQ(window.ticks.size(), count);
}

TEST(QtUiLoopTest, RecorderAnswersBoxesWithoutShowingThem) {
  MessageBoxRecorder recorder(MessageBoxResult::Cancel);
  recorder.QueueAnswer(MessageBoxResult::Ok);
  EXPECT_EQ(ShowMessageBox("拨打电话", "即将拨打电话：1", MessageBoxIcon::Question, MessageBoxButtons::OkCancel),
            MessageBoxResult::Ok);
  EXPECT_EQ(ShowMessageBox("c", "t"), MessageBoxResult::Cancel);
  ASSERT_EQ(recorder.Count(), 2u);
  EXPECT_EQ(recorder.Boxes()[0].caption, "拨打电话");
  EXPECT_EQ(recorder.Boxes()[0].icon, MessageBoxIcon::Question);
}

// Box texts may carry what a visitor wrote: markup in them stays text.
TEST(QtUiLoopTest, RealBoxesShowTheirTextAsPlainText) {
  const MessageBoxHandler previous = SetMessageBoxHandler(nullptr);
  InstallQtMessageBoxHandler();
  Qt::TextFormat format = Qt::AutoText;
  QString shown;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    format = box->textFormat();
    shown = box->text();
    box->button(QMessageBox::Cancel)->click();
  });
  EXPECT_EQ(ShowMessageBox("拨打电话", "即将拨打电话：<b>1</b>", MessageBoxIcon::Question, MessageBoxButtons::OkCancel),
            MessageBoxResult::Cancel);
  EXPECT_EQ(format, Qt::PlainText);
  EXPECT_EQ(shown, QString::fromUtf8("即将拨打电话：<b>1</b>"));
  SetMessageBoxHandler(previous);
}

}  // namespace
}  // namespace kanzo::platform
