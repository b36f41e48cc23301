// Compression, faults on demand, bad input, the flood mode, and the HTTP and
// control sides.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "net/event_handles.h"
#include "net/frame_format.h"
#include "protocol/buffer.h"
#include "protocol/commands.h"
#include "sim_commands.h"
#include "simulator/sim_fixture.h"

namespace kanzo::test {
namespace {

constexpr int kCompressAbove = 64;
constexpr int kSocketWaitMs = 3000;

// A plain TCP connection for bytes no client would send.
class RawSocket {
 public:
  explicit RawSocket(int port) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    connected_ = ::connect(fd_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  bool connected() const { return connected_; }
  void Send(const std::string& bytes) {
    ASSERT_EQ(::send(fd_.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
  }
  // Reads until the peer closes or `until` is in what was read.
  std::string Read(const std::string& until = "") {
    std::string got;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSocketWaitMs);
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd p{fd_.get(), POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) continue;
      char buffer[4096];
      const ssize_t n = ::recv(fd_.get(), buffer, sizeof buffer, 0);
      if (n <= 0) break;
      got.append(buffer, static_cast<std::size_t>(n));
      if (!until.empty() && got.find(until) != std::string::npos) break;
    }
    return got;
  }

 private:
  UniqueFd fd_;
  bool connected_ = false;
};

std::string FrameBytes(std::int32_t command, const Msg* body, std::int64_t id = 7) {
  Message message(false);
  message.MESSAGE_ID = id;
  message.command = command;
  Msg copy;
  if (body != nullptr) {
    copy = *body;
    message.setBody(&copy);
  }
  EvBufferPtr payload = NewEvBuffer();
  Buffer stream(payload.get());
  writeMessage(stream, message);
  EvBufferPtr frame = NewEvBuffer();
  AppendFrame(frame.get(), payload.get());
  std::string bytes(evbuffer_get_length(frame.get()), '\0');
  evbuffer_remove(frame.get(), bytes.data(), bytes.size());
  return bytes;
}

class CompressionTest : public SimulatorTest {
 protected:
  void Configure(SimOptions& options) override { options.server.compressAbove = kCompressAbove; }
};

TEST_F(CompressionTest, LargeFramesGoCompressedAndTheClientReadsThem) {
  Control("offmsg 3101 to=demo 一条足够长的离线消息，让开始数据超过压缩阈值。一条足够长的离线消息。");
  auto agent = Connect(kDemoUser);
  const std::unique_ptr<Message> start = agent->Answer(kCommandStartData, agent->SendAsAgent(kCommandStartData, ""));
  ASSERT_NE(start, nullptr);
  EXPECT_EQ(BodyJson(*start)["guestbook"]["offMsg"][0]["B7"].asInt(), 3101);
  EXPECT_FALSE(Frames("SEND conn=1 header=0x10006743").empty());
  bool startCompressed = false;
  for (const std::string& line : Frames("header=0x10006743"))
    startCompressed |= line.find("command=13") != std::string::npos;
  EXPECT_TRUE(startCompressed);
  // Small frames stay plain; "compress off" turns it off.
  Control("presence liuyang 3");
  ASSERT_NE(agent->Notice(kCommandUpdateKFState, [](const Msg& m) { return m.FROM == 2005 && m.BODY == "3"; }),
            nullptr);
  EXPECT_FALSE(Frames("SEND conn=1 header=0x00006743").empty());
  Control("compress off");
  const std::size_t before = Frames("header=0x10006743").size();
  ASSERT_NE(agent->Answer(kCommandStartData, agent->SendAsAgent(kCommandStartData, "")), nullptr);
  EXPECT_EQ(Frames("header=0x10006743").size(), before);
}

using FaultTest = SimulatorTest;

TEST_F(FaultTest, GarbageAndSplitFramesAreSurvivedByTheClient) {
  auto agent = Connect(kDemoUser);
  Control("fault garbage demo 100");
  Control("colleague liuyang to=demo 垃圾之后");
  EXPECT_NE(agent->Notice(kCommandChatMessage, [](const Msg& m) { return m.BODY == "垃圾之后"; }), nullptr);
  Control("fault split demo 3");
  const std::unique_ptr<Message> start = agent->Answer(kCommandStartData, agent->SendAsAgent(kCommandStartData, ""));
  ASSERT_NE(start, nullptr);
  EXPECT_TRUE(BodyJson(*start)["users"].isObject());
  Control("fault split demo off");
  EXPECT_EQ(agent->connectionsLost(), 0);
}

TEST_F(FaultTest, DelayedAnswersArriveLater) {
  auto agent = Connect(kDemoUser);
  Control("fault delay demo 300");
  const auto sent = std::chrono::steady_clock::now();
  ASSERT_NE(agent->Answer(kCommandGetOnlineVisitor, agent->SendAsAgent(kCommandGetOnlineVisitor, "")), nullptr);
  EXPECT_GE(std::chrono::steady_clock::now() - sent, std::chrono::milliseconds(300));
  Control("fault delay demo off");
}

TEST_F(FaultTest, AClosedOrBrokenConnectionComesBackAndItsSessionIsKept) {
  auto agent = Connect(kDemoUser);
  for (const char* fault : {"fault close demo", "fault huge demo"}) {
    const int lostBefore = agent->connectionsLost();
    Control(fault);
    ASSERT_TRUE(WaitFor([&] { return agent->connectionsLost() > lostBefore; })) << fault;
    // The client reconnects by itself; its refresh carries the session.
    Msg refresh;
    refresh.account = agent->account;
    refresh.FROM_TYPE = agent->type;
    refresh.TO = agent->uid;
    const std::int64_t id = agent->SendMsg(kCommandRefreshSession, refresh, agent->session);
    const std::unique_ptr<Message> answer = agent->Answer(kCommandRefreshSession, id);
    ASSERT_NE(answer, nullptr) << fault;
    agent->session = answer->SESSION_ID;
    EXPECT_FALSE(Frames("会话恢复 uid=2001").empty());
  }
}

TEST_F(FaultTest, MutedKeepAlivesAreNotAnsweredUntilTheMuteEnds) {
  auto agent = Connect(kDemoUser);
  Control("fault mute 1");
  Msg refresh;
  refresh.TO = agent->uid;
  const std::int64_t muted = agent->SendMsg(kCommandRefreshSession, refresh, agent->session);
  EXPECT_EQ(agent->Answer(kCommandRefreshSession, muted, std::chrono::milliseconds(300)), nullptr);
  const std::int64_t relogin = agent->SendLogin(kCommandRefreshLogin, kDemoUser, kDemoPassword, 2, agent->session);
  EXPECT_EQ(agent->Answer(kCommandRefreshLogin, relogin, std::chrono::milliseconds(300)), nullptr);
  std::unique_ptr<Message> answer;
  ASSERT_TRUE(WaitFor([&] {
    answer = agent->Answer(kCommandRefreshSession, agent->SendMsg(kCommandRefreshSession, refresh, agent->session),
                           std::chrono::milliseconds(200));
    return answer != nullptr;
  }));
}

TEST_F(FaultTest, AHungServerIsLeftAndTheReLoginGoesOverANewConnection) {
  SocketClient::Deadlines deadlines;
  deadlines.silenceMs = 300;
  deadlines.reconnectMs = 50;
  auto agent = Connect(kDemoUser, kDemoPassword, deadlines);
  Control("fault hang demo");
  Msg refresh;
  refresh.TO = agent->uid;
  const std::int64_t unanswered = agent->SendMsg(kCommandRefreshSession, refresh, agent->session);
  // The connection stays open, yet the client gives it up and connects again.
  ASSERT_TRUE(WaitFor([&] { return agent->connectionsLost() > 0; }));
  EXPECT_FALSE(Frames("故障：连接保持打开，但不再回答").empty());
  EXPECT_EQ(agent->Answer(kCommandRefreshSession, unanswered, std::chrono::milliseconds(0)), nullptr);
  const std::int64_t relogin = agent->SendLogin(kCommandRefreshLogin, kDemoUser, kDemoPassword, 2, agent->session);
  const std::unique_ptr<Message> answer = agent->Answer(kCommandRefreshLogin, relogin);
  ASSERT_NE(answer, nullptr);
  EXPECT_NE(answer->SESSION_ID, 0);
}

TEST_F(FaultTest, BadInputIsAnsweredOrDroppedAndOtherClientsAreServed) {
  RawSocket raw(sim_->port());
  ASSERT_TRUE(raw.connected());
  raw.Send("\x01\x02\x03\x04 not a frame at all");
  raw.Send(FrameBytes(99, nullptr, 41));
  EXPECT_TRUE(WaitFor([&] { return !Frames("command=99 RESULT=10").empty(); }));
  raw.Send(FrameBytes(kCommandChatMessage, nullptr, 42));  // no body, no session
  // A payload that ends inside the message header.
  raw.Send(std::string("\x00\x00\x67\x43\x00\x00\x00\x05\x00\x00\x00\x00\x00", 13));
  // A message whose header is whole but whose body is torn.
  std::string torn = FrameBytes(kCommandLogin, nullptr, 43);
  torn[7] = static_cast<char>(torn[7] + 4);
  torn += std::string("\x28\xEF\x00\x09", 4);
  raw.Send(torn);
  EXPECT_TRUE(WaitFor([&] { return !Frames("无法解析的消息").empty(); }));
  EXPECT_TRUE(WaitFor([&] { return !Frames("command=2 RESULT=2").empty(); }));
  // A length no frame can have ends that connection only.
  raw.Send(std::string("\x00\x00\x67\x43\x7F\xFF\xFF\xFF", 8));
  raw.Read();
  EXPECT_TRUE(WaitFor([&] { return !Frames("帧长度无效").empty(); }));
  auto agent = Connect(kDemoUser);
  EXPECT_NE(agent->session, 0);
}

TEST_F(FaultTest, FloodDeliversEveryLine) {
  constexpr int kLines = 2000;
  auto agent = Connect(kDemoUser);
  Control("flood demo " + std::to_string(kLines) + " from=3999 压力测试");
  ASSERT_TRUE(agent->WaitForDelivered(kLines, std::chrono::seconds(10)));
  // Every line, once, in the order sent.
  for (int i = 1; i <= kLines; ++i) {
    const std::unique_ptr<Message> line =
        agent->Notice(kCommandChatMessage, [](const Msg& m) { return m.FROM == 3999; });
    ASSERT_NE(line, nullptr) << i;
    ASSERT_EQ(BodyText(*line), "压力测试 #" + std::to_string(i));
  }
  EXPECT_EQ(agent->Notice(
                kCommandChatMessage, [](const Msg& m) { return m.FROM == 3999; }, std::chrono::milliseconds(100)),
            nullptr);
  EXPECT_TRUE(WaitFor([&] { return !Frames("洪水模式结束").empty(); }));
}

class HttpTest : public SimulatorTest {
 protected:
  void Configure(SimOptions& options) override {
    WriteFile(dir_.File("update.ini"), "[Kanzo]\nVERSION=9.9\nFILE1=bin/new.txt\n");
    std::filesystem::create_directories(dir_.File("bin"));
    WriteFile(dir_.File("bin/new.txt"), "新文件");
    options.updateDir = dir_.path();
  }
  std::string Get(const std::string& path) {
    RawSocket raw(sim_->httpPort());
    EXPECT_TRUE(raw.connected());
    raw.Send("GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    return raw.Read();
  }
};

TEST_F(HttpTest, ServesTheVersionFileAndTheListedFilesOnly) {
  const std::string version = Get("/update.html?random=1716200000");
  EXPECT_EQ(version.rfind("HTTP/1.1 200", 0), 0u) << version;
  EXPECT_NE(version.find("VERSION=9.9"), std::string::npos);
  const std::string file = Get("/bin/new.txt?random=1716200000");
  EXPECT_EQ(file.rfind("HTTP/1.1 200", 0), 0u);
  EXPECT_NE(file.find("Content-Length: 9"), std::string::npos);
  EXPECT_NE(file.find("新文件"), std::string::npos);
  EXPECT_EQ(Get("/missing.txt").rfind("HTTP/1.1 404", 0), 0u);
  EXPECT_EQ(Get("/bin/../../etc/passwd").rfind("HTTP/1.1 400", 0), 0u);
  EXPECT_EQ(Get("/%2e%2e/frames.log").rfind("HTTP/1.1 400", 0), 0u);
  EXPECT_EQ(Get("/bin/").rfind("HTTP/1.1 400", 0), 0u);
}

using ControlPortTest = SimulatorTest;

TEST_F(ControlPortTest, CommandsOnTheControlPortAreAnsweredWithOkOrErr) {
  RawSocket raw(sim_->controlPort());
  ASSERT_TRUE(raw.connected());
  raw.Send("visitor 3001 area=上海市\n");
  EXPECT_EQ(raw.Read("OK\n"), "访客 3001\nOK\n");
  raw.Send("say 3001\n");
  EXPECT_EQ(raw.Read("\n"), "ERR 缺少消息内容\n");
  raw.Send("status\r\n");
  const std::string status = raw.Read("OK\n");
  EXPECT_NE(status.find("3001 state=2"), std::string::npos) << status;
}

}  // namespace
}  // namespace kanzo::test
