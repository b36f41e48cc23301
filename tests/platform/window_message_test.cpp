#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/window_message.h"

namespace kanzo::platform {
namespace {

constexpr std::uint32_t kTestMessage = 2024;

class RecordingWindow final : public Window {
 public:
  MessageResult OnWindowMessage(std::uint32_t message, WParam w, LParam l) override {
    received.push_back({message, w, l});
    onUiThread = onUiThread && IsUiThread();
    return static_cast<MessageResult>(w) + 1;
  }
  struct Entry {
    std::uint32_t message;
    WParam w;
    LParam l;
  };
  std::vector<Entry> received;
  bool onUiThread = true;
};

TEST(WindowMessageTest, NotifyFromOtherThreadsArrivesInOrderOnTheUiThread) {
  ManualUiLoop loop;
  SetUiLoop(&loop);
  RecordingWindow window;
  constexpr int kCount = 500;
  std::thread sender([&] {
    for (int i = 0; i < kCount; ++i) NotifyWindow(window.Id(), kTestMessage, static_cast<WParam>(i), 0);
  });
  ASSERT_TRUE(loop.RunUntil([&] { return window.received.size() == kCount; }, 10000));
  sender.join();
  for (int i = 0; i < kCount; ++i) EXPECT_EQ(window.received[i].w, static_cast<WParam>(i));
  EXPECT_TRUE(window.onUiThread);
  SetUiLoop(nullptr);
}

TEST(WindowMessageTest, SendIsSynchronousAndFindsNothingOnceTheWindowIsGone) {
  WindowId id;
  {
    RecordingWindow window;
    id = window.Id();
    EXPECT_EQ(SendWindowMessage(id, kTestMessage, 41, 0), 42);
    EXPECT_EQ(FindWindow(id), &window);
  }
  EXPECT_EQ(FindWindow(id), nullptr);
  EXPECT_EQ(SendWindowMessage(id, kTestMessage, 41, 0), 0);
}

#ifdef KANZO_THREAD_CHECKS
TEST(WindowMessageDeathTest, SendFromAnotherThreadStopsWhileALoopRuns) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  auto sendFromWorker = [] {
    ManualUiLoop loop;
    SetUiLoop(&loop);
    RecordingWindow window;
    std::thread([&] { SendWindowMessage(window.Id(), kTestMessage, 0, 0); }).join();
  };
  EXPECT_DEATH(sendFromWorker(), "SendWindowMessage called off the user-interface thread");
  // Without a loop there is no user-interface thread yet: any thread may send.
  RecordingWindow window;
  std::thread([&] { EXPECT_EQ(SendWindowMessage(window.Id(), kTestMessage, 1, 0), 2); }).join();
}
#endif

TEST(WindowMessageTest, IdsAreNeverReused) {
  WindowId first;
  {
    RecordingWindow a;
    first = a.Id();
  }
  RecordingWindow b;
  EXPECT_NE(b.Id(), first);
}

}  // namespace
}  // namespace kanzo::platform
