#include "net/network.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "net/frame_bytes.h"
#include "net/frame_format.h"
#include "net/session_id.h"
#include "net/test_peer.h"
#include "protocol/buffer.h"
#include "protocol/commands.h"
#include "protocol/msg.h"
#include "protocol/startup_codecs.h"
#include "support/server_messages.h"
#include "support/temp_dir.h"

namespace kanzo {
namespace {

using test::BigEndian32;
using test::CompressedPayload;
using test::FrameOf;
using test::kCompressedHeader;
using test::TestPeer;
using test::WaitFor;

constexpr const char* kLoopback = "127.0.0.1";

// Collects what the dispatcher delivers.
class RecordingFuture : public NetworkFuture {
 public:
  RecordingFuture() : NetworkFuture(kAllNetworkEvents) {}
  void deliver(NetworkEvent event, std::unique_ptr<Message> message) override {
    std::lock_guard lock(mutex_);
    events_.push_back(event);
    messages_.push_back(std::move(message));
  }
  std::size_t count() {
    std::lock_guard lock(mutex_);
    return messages_.size();
  }
  // The command codes received so far, in order.
  std::vector<std::int32_t> commands() {
    std::lock_guard lock(mutex_);
    std::vector<std::int32_t> codes;
    for (const auto& m : messages_) codes.push_back(m->command);
    return codes;
  }
  std::string bodyText(std::size_t i) {
    std::lock_guard lock(mutex_);
    const Msg* msg = messages_.at(i)->bodyAs<Msg>();
    return msg ? msg->BODY : "<no body>";
  }
  std::vector<NetworkEvent> events() {
    std::lock_guard lock(mutex_);
    return events_;
  }

 private:
  std::mutex mutex_;
  std::vector<NetworkEvent> events_;
  std::vector<std::unique_ptr<Message>> messages_;
};

// The payload bytes of a server message with a Msg body.
std::string MessageBytes(std::int32_t command, const std::string& text, std::int64_t id = 0) {
  return test::MessageBytes(*test::ServerMessage({.command = command, .id = id}, test::MsgBody(text)));
}

class NetworkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(RegisterStartupCodecs());
    ASSERT_TRUE(peer.listening());
    ASSERT_TRUE(network.connect(kLoopback, peer.port()));
    ASSERT_TRUE(peer.Accept());
  }
  void TearDown() override { SetCurrentSessionId(0); }

  TestPeer peer;
  RecordingFuture future;
  Network network{&future};
};

TEST_F(NetworkTest, SendsFramesInOrderWithConsecutiveIdsAndTheSessionId) {
  SetCurrentSessionId(0x1122334455667788LL);
  Msg body;
  body.account = 7;
  body.BODY = "你好";
  Message first(true), second(true);
  first.command = second.command = 11;
  first.SESSION_ID = 99;  // replaced at send time
  first.setBody(&body);
  second.setBody(&body);
  ASSERT_EQ(network.send(first), 0);
  ASSERT_EQ(network.send(second), 0);
  EXPECT_EQ(second.MESSAGE_ID, first.MESSAGE_ID + 1);

  for (const Message* sent : {&first, &second}) {
    std::string payload;
    std::uint32_t header = 0;
    ASSERT_TRUE(peer.ReadFrame(&payload, &header));
    EXPECT_EQ(header, 0x00006743u);
    Buffer buffer;
    buffer.write(payload.data(), static_cast<std::int32_t>(payload.size()));
    std::unique_ptr<Message> got = readMessage(buffer);
    EXPECT_TRUE(buffer.ok());
    EXPECT_EQ(buffer.length(), 0u);
    EXPECT_EQ(got->MESSAGE_ID, sent->MESSAGE_ID);
    EXPECT_EQ(got->command, 11);
    EXPECT_EQ(got->SESSION_ID, 0x1122334455667788LL);
    ASSERT_NE(got->bodyAs<Msg>(), nullptr);
    EXPECT_EQ(got->bodyAs<Msg>()->BODY, "你好");
    EXPECT_EQ(got->bodyAs<Msg>()->account, 7);
  }
}

TEST_F(NetworkTest, DecodesWhatTheServerSendsWhateverTheFraming) {
  const std::string one = FrameOf(MessageBytes(11, "one"));
  const std::string two = FrameOf(MessageBytes(13, "two"));
  // Garbage, a frame split over three sends, then two frames in one send.
  ASSERT_TRUE(peer.Send(std::string("\x01\x02\x03\x04", 4) + one.substr(0, 5)));
  ASSERT_TRUE(WaitFor([&] { return network.state() == SocketClient::kConnected; }));
  ASSERT_TRUE(peer.Send(one.substr(5, 9)));
  ASSERT_TRUE(peer.Silent(50));
  EXPECT_EQ(future.count(), 0u);
  ASSERT_TRUE(peer.Send(one.substr(14)));
  ASSERT_TRUE(WaitFor([&] { return future.count() == 1; }));
  ASSERT_TRUE(peer.Send(two + FrameOf(MessageBytes(29, "flags"), 0x0F006743)));
  ASSERT_TRUE(WaitFor([&] { return future.count() == 3; }));
  EXPECT_EQ(future.commands(), (std::vector<std::int32_t>{11, 13, 29}));
  EXPECT_EQ(future.bodyText(0), "one");
  EXPECT_EQ(future.bodyText(1), "two");
  EXPECT_EQ(future.bodyText(2), "flags");
  for (NetworkEvent event : future.events()) EXPECT_EQ(event, kNetworkEventMessage);
}

TEST_F(NetworkTest, InflatesGzipFramesAndDropsOnesThatFail) {
  const std::string big(30000, 'z');  // within what a string field carries
  std::string corrupt = CompressedPayload(MessageBytes(11, "bad"));
  corrupt[corrupt.size() - 6] = static_cast<char>(corrupt[corrupt.size() - 6] ^ 0xFF);
  ASSERT_TRUE(peer.Send(FrameOf(CompressedPayload(MessageBytes(11, big)), kCompressedHeader) +
                        FrameOf(corrupt, kCompressedHeader) +
                        FrameOf(CompressedPayload(MessageBytes(11, "huge"), 0x40000000), kCompressedHeader) +
                        FrameOf(std::string(10, '\0')) +  // too short for a message
                        FrameOf(MessageBytes(7, "after"))));
  ASSERT_TRUE(WaitFor([&] { return future.count() == 2; }));
  EXPECT_TRUE(peer.Silent(50));
  EXPECT_EQ(future.commands(), (std::vector<std::int32_t>{11, 7}));
  EXPECT_TRUE(future.bodyText(0) == big) << "inflated body differs";
  EXPECT_EQ(future.bodyText(1), "after");
}

TEST_F(NetworkTest, AMessageTornInsideItsBodyIsDroppedNotDeliveredBare) {
  // Delivered bare, a login answer would read as a failed login.
  std::string torn = MessageBytes(kCommandLogin, "a login answer's body");
  torn.resize(torn.size() - 5);
  ASSERT_TRUE(peer.Send(FrameOf(torn) + FrameOf(MessageBytes(13, "whole"))));
  ASSERT_TRUE(WaitFor([&] { return future.count() >= 1; }));
  EXPECT_TRUE(peer.Silent(50));
  EXPECT_EQ(future.commands(), (std::vector<std::int32_t>{13}));
  EXPECT_EQ(future.bodyText(0), "whole");
}

TEST_F(NetworkTest, ABadLengthDropsTheConnectionAndTheClientComesBack) {
  const std::uint32_t badLengths[] = {0xFFFFFFFF, static_cast<std::uint32_t>(kMaxFrameLength) + 1};
  std::int32_t command = 40;
  for (std::uint32_t length : badLengths) {
    ASSERT_TRUE(peer.Send(BigEndian32(0x6743) + BigEndian32(length) + MessageBytes(11, "never")));
    // The client hangs up, then connects again after its pause.
    std::string byte;
    EXPECT_FALSE(peer.ReadExactly(1, &byte, 3000)) << length;
    ASSERT_TRUE(peer.Accept(3 * SocketClient::kReconnectDelayMs)) << length;
    ASSERT_TRUE(peer.Send(FrameOf(MessageBytes(command, "fresh"))));
    ASSERT_TRUE(WaitFor([&] { return !future.commands().empty() && future.commands().back() == command; }));
    ++command;
  }
  EXPECT_EQ(future.commands(), (std::vector<std::int32_t>{40, 41}));
}

TEST_F(NetworkTest, APartFrameDiesWithItsConnection) {
  const std::string frame = FrameOf(MessageBytes(11, "cut"));
  ASSERT_TRUE(peer.Send(frame.substr(0, 12)));
  ASSERT_TRUE(WaitFor([&] { return network.state() == SocketClient::kConnected; }));
  ASSERT_TRUE(peer.Silent(50));
  peer.CloseConnection();
  ASSERT_TRUE(peer.Accept(3 * SocketClient::kReconnectDelayMs));
  ASSERT_TRUE(peer.Send(FrameOf(MessageBytes(13, "whole"))));
  ASSERT_TRUE(WaitFor([&] { return future.count() == 1; }));
  EXPECT_EQ(future.commands(), (std::vector<std::int32_t>{13}));
}

TEST(NetworkSendTest, QueuesBeforeConnectingAndRefusesAfterShutdown) {
  ASSERT_TRUE(RegisterStartupCodecs());
  Network network(nullptr);
  Msg body;
  body.BODY = std::string(20000, 'x');
  Message message(true);
  message.setBody(&body);
  // Queued before any connection exists.
  EXPECT_EQ(network.send(message), 0);
  network.shutdown();
  EXPECT_EQ(network.send(message), -1);
}

}  // namespace
}  // namespace kanzo
