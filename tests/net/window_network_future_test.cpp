#include "net/window_network_future.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "net/frame_bytes.h"
#include "net/network.h"
#include "net/network_startup.h"
#include "net/test_peer.h"
#include "platform/window_message.h"
#include "protocol/msg.h"
#include "protocol/startup_codecs.h"
#include "support/server_messages.h"
#include "support/temp_dir.h"

namespace kanzo {
namespace {

using test::FrameOf;
using test::TestPeer;

constexpr int kWaitMs = 5000;

// A window that keeps every network message it is handed.
class RecordingWindow : public platform::Window {
 public:
  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override {
    if (message == kNetworkWindowMessage && wParam == kNetworkEventMessage) {
      received.push_back(platform::TakePayload(kNetworkMessage, lParam));
    }
    return 0;
  }
  std::vector<std::int32_t> commands() const {
    std::vector<std::int32_t> codes;
    for (const auto& m : received) codes.push_back(m->command);
    return codes;
  }
  std::vector<std::unique_ptr<Message>> received;
};

std::unique_ptr<Message> Incoming(std::int32_t command, std::int64_t id = 0) {
  return test::ServerMessage({.command = command, .id = id});
}

class WindowNetworkFutureTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetUiLoop(&loop); }
  void TearDown() override { platform::SetUiLoop(nullptr); }

  platform::ManualUiLoop loop;
  WindowNetworkFuture future;
};

TEST_F(WindowNetworkFutureTest, RoutesRegisteredCodesAndKeepsTheRest) {
  RecordingWindow chat, main;
  ASSERT_TRUE(future.registerWindow({11, 15, 14, 41}, chat.Id()));
  ASSERT_TRUE(future.registerWindow({13, 8, 29, 43, 7}, main.Id()));

  future.deliver(kNetworkEventMessage, Incoming(11));
  future.deliver(kNetworkEventMessage, Incoming(8));    // a server notice nobody asked for
  future.deliver(kNetworkEventMessage, Incoming(21));   // routed to no window
  future.deliver(kNetworkEventMessage, Incoming(2));    // routable, but nobody registered
  future.deliver(kNetworkEventMessage, Incoming(999));  // not a routed code
  future.deliver(kNetworkEvent1, Incoming(11));         // not a message event: let go

  EXPECT_TRUE(chat.received.empty()) << "handed over only on the user-interface thread's turn";
  loop.RunPending();
  EXPECT_EQ(chat.commands(), std::vector<std::int32_t>{11});
  EXPECT_EQ(main.commands(), std::vector<std::int32_t>{8});
  EXPECT_EQ(future.undeliveredCommands(), (std::vector<std::int32_t>{21, 2, 999}));
}

TEST_F(WindowNetworkFutureTest, ACodeStaysWithItsFirstWindowUntilThatWindowIsGone) {
  auto first = std::make_unique<RecordingWindow>();
  RecordingWindow second;
  ASSERT_TRUE(future.registerWindow(2, first->Id()));
  EXPECT_FALSE(future.registerWindow(2, second.Id()));
  EXPECT_TRUE(future.registerWindow(2, first->Id())) << "registering again is harmless";
  future.deliver(kNetworkEventMessage, Incoming(2));
  loop.RunPending();
  EXPECT_EQ(first->commands(), std::vector<std::int32_t>{2});
  EXPECT_TRUE(second.received.empty());

  // Closing and reopening the editor: the new window receives the code.
  future.unregisterWindow(first->Id());
  first.reset();
  EXPECT_EQ(future.routeOf(2), platform::kNoWindow);
  RecordingWindow reopened;
  ASSERT_TRUE(future.registerWindow(2, reopened.Id()));
  future.deliver(kNetworkEventMessage, Incoming(2));
  loop.RunPending();
  EXPECT_EQ(reopened.commands(), std::vector<std::int32_t>{2});
}

TEST_F(WindowNetworkFutureTest, AWindowGoneWithoutUnregisteringLosesItsRoutes) {
  auto editor = std::make_unique<RecordingWindow>();
  ASSERT_TRUE(future.registerWindow({42, 40, 23}, editor->Id()));
  editor.reset();
  future.deliver(kNetworkEventMessage, Incoming(40));
  EXPECT_EQ(future.undeliveredCommands(), std::vector<std::int32_t>{40});
  RecordingWindow next;
  EXPECT_TRUE(future.registerWindow({42, 40, 23}, next.Id()));
  future.deliver(kNetworkEventMessage, Incoming(23));
  loop.RunPending();
  EXPECT_EQ(next.commands(), std::vector<std::int32_t>{23});
}

TEST_F(WindowNetworkFutureTest, AMessageForAWindowThatGoesBeforeItsTurnIsFreed) {
  // Run under the address sanitizer, a leak or a use after free fails here.
  auto chat = std::make_unique<RecordingWindow>();
  ASSERT_TRUE(future.registerWindow(11, chat->Id()));
  future.deliver(kNetworkEventMessage, Incoming(11));
  future.deliver(kNetworkEventMessage, Incoming(11));
  chat.reset();
  EXPECT_EQ(loop.RunPending(), 2u);
  EXPECT_EQ(future.undeliveredCount(), 0u);
}

TEST_F(WindowNetworkFutureTest, KeepsOnlyTheNewestUndeliveredMessages) {
  const std::size_t extra = 25;
  for (std::size_t i = 0; i < WindowNetworkFuture::kMaxUndelivered + extra; ++i) {
    future.deliver(kNetworkEventMessage, Incoming(static_cast<std::int32_t>(1000 + i)));
  }
  EXPECT_EQ(future.undeliveredCount(), WindowNetworkFuture::kMaxUndelivered);
  EXPECT_EQ(future.droppedUndelivered(), extra);
  const auto commands = future.undeliveredCommands();
  EXPECT_EQ(commands.front(), static_cast<std::int32_t>(1000 + extra));
  EXPECT_EQ(commands.back(), static_cast<std::int32_t>(1000 + WindowNetworkFuture::kMaxUndelivered + extra - 1));
}

TEST_F(WindowNetworkFutureTest, WithoutAUserInterfaceLoopTheMessageIsFreed) {
  RecordingWindow chat;
  ASSERT_TRUE(future.registerWindow(11, chat.Id()));
  platform::SetUiLoop(nullptr);
  future.deliver(kNetworkEventMessage, Incoming(11));
  EXPECT_EQ(future.undeliveredCount(), 0u);
}

TEST_F(WindowNetworkFutureTest, InstanceIsOnePerProcessUntilReleased) {
  WindowNetworkFuture& one = WindowNetworkFuture::instance();
  EXPECT_EQ(&one, &WindowNetworkFuture::instance());
  EXPECT_EQ(one.events(), kAllNetworkEvents);
  ReleaseWindowNetworkFuture();
  WindowNetworkFuture::release();  // twice is harmless
}

// From the server's socket to the window's handler, through the start-up
// functions the application calls.
TEST_F(WindowNetworkFutureTest, AServerMessageReachesItsWindowThroughTheDispatcher) {
  ASSERT_TRUE(RegisterStartupCodecs());
  TestPeer peer;
  ASSERT_TRUE(StartNetwork("127.0.0.1", peer.port()));
  ASSERT_NE(CurrentNetwork(), nullptr);
  ASSERT_TRUE(peer.Accept());

  RecordingWindow chat;
  ASSERT_TRUE(WindowNetworkFuture::instance().registerWindow(11, chat.Id()));
  const std::string bytes =
      test::MessageBytes(*test::ServerMessage({.command = 11, .id = 42}, test::MsgBody("访客的消息")));
  ASSERT_TRUE(peer.Send(FrameOf(bytes) + FrameOf(bytes)));

  ASSERT_TRUE(loop.RunUntil([&] { return chat.received.size() == 2; }, kWaitMs));
  EXPECT_EQ(chat.received[0]->MESSAGE_ID, 42);
  ASSERT_NE(chat.received[0]->bodyAs<Msg>(), nullptr);
  EXPECT_EQ(chat.received[0]->bodyAs<Msg>()->BODY, "访客的消息");

  // And a request goes the other way.
  Message request(true);
  request.command = 43;
  EXPECT_EQ(SendNetworkMessage(request), 0);
  std::string payload;
  ASSERT_TRUE(peer.ReadFrame(&payload));

  StopNetwork();
  EXPECT_EQ(CurrentNetwork(), nullptr);
  EXPECT_EQ(SendNetworkMessage(request), -1);
  ReleaseWindowNetworkFuture();
}

}  // namespace
}  // namespace kanzo
