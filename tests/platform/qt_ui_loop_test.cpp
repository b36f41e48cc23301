#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTextDocument>
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

// Texts from a visitor or the server that a rich-text widget would turn into
// a link or fetch as a picture.
const char* const kMarkupLookingTexts[] = {
    "<b>1</b>",
    "<a href=\"http://evil.example/call?n=1\">点我</a>",
    "<img src=\"/etc/passwd\">",
    "即将拨打电话：<a href='tel:1'><img src=x onerror=y>13812345678</a>",
};

// Tooltips show what the server or a visitor wrote as it is: read back as
// rich text, the tooltip gives the written text, with no link and no picture.
TEST(QtMessageBoxTest, TooltipsThatLookLikeMarkupShowTheirText) {
  EXPECT_EQ(PlainToolTip(QStringLiteral("张三\n声音:开启")), QStringLiteral("张三\n声音:开启"));
  for (const char* text : kMarkupLookingTexts) {
    SCOPED_TRACE(text);
    const QString written = QString::fromUtf8(text);
    QTextDocument shown;
    shown.setHtml(PlainToolTip(written));
    EXPECT_EQ(shown.toPlainText(), written);
    EXPECT_FALSE(shown.toHtml().contains(QStringLiteral("<a ")));
    EXPECT_FALSE(shown.toHtml().contains(QStringLiteral("<img")));
  }
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

// Box texts may carry what a visitor or the server wrote: markup in them
// stays text.
TEST(QtUiLoopTest, RealBoxesShowTheirTextAsPlainText) {
  const MessageBoxHandler previous = SetMessageBoxHandler(nullptr);
  InstallQtMessageBoxHandler();
  for (const char* text : kMarkupLookingTexts) {
    SCOPED_TRACE(text);
    Qt::TextFormat format = Qt::AutoText;
    QString shown;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      format = box->textFormat();
      shown = box->text();
      box->button(QMessageBox::Cancel)->click();
    });
    EXPECT_EQ(ShowMessageBox("拨打电话", text, MessageBoxIcon::Question, MessageBoxButtons::OkCancel),
              MessageBoxResult::Cancel);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(shown, QString::fromUtf8(text));
  }
  SetMessageBoxHandler(previous);
}

}  // namespace
}  // namespace kanzo::platform
