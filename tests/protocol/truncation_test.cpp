// A message cut at any length reads as a message with what was there and
// no body, and never reads past the bytes it was given.
#include <gtest/gtest.h>

#include "protocol/buffer.h"
#include "protocol/commands.h"
#include "protocol/login.h"
#include "protocol/message.h"
#include "protocol/msg.h"
#include "protocol/server_bodies.h"
#include "protocol/startup_codecs.h"
#include "protocol/wire_bytes.h"

namespace kanzo {
namespace {

using test::Bytes;

constexpr std::size_t kHeaderBytes = 1 + 8 + 4 + 1 + 8;

struct Sample {
  const char* name;
  Bytes wire;
  std::int64_t id;
  std::int32_t command;
  std::int64_t session;
};

std::vector<Sample> Samples() {
  EXPECT_TRUE(RegisterStartupCodecs());
  std::vector<Sample> samples;
  auto add = [&](const char* name, std::int32_t command, Object* body) {
    Message m(true);
    m.command = command;
    m.SESSION_ID = 0x1122334455667788LL;
    m.setBody(body);
    Buffer b;
    writeMessage(b, m);
    samples.push_back({name, test::Peek(b), m.MESSAGE_ID, command, m.SESSION_ID});
  };
  Msg msg;
  msg.account = 9;
  msg.FROM = 1;
  msg.BODY = R"({"msg":"在吗？"})";
  add("Msg", kCommandChatMessage, &msg);
  Login login;
  login.username = "客服1";
  login.password = "pw";
  login.state = kPresenceOnline;
  add("Login", kCommandLogin, &login);
  add("NoBody", kCommandRefreshSession, nullptr);
  Chat chat;
  add("Chat", kCommandChatMessage, &chat);
  return samples;
}

TEST(Truncation, EveryPrefixYieldsAMessageWithoutBody) {
  for (const Sample& s : Samples()) {
    SCOPED_TRACE(s.name);
    for (std::size_t cut = 0; cut < s.wire.size(); ++cut) {
      SCOPED_TRACE(cut);
      Buffer in;
      in.write(s.wire.data(), static_cast<std::int32_t>(cut));
      auto m = readMessage(in);
      ASSERT_NE(m, nullptr);
      EXPECT_FALSE(in.ok());
      EXPECT_EQ(m->body(), nullptr);
      EXPECT_EQ(in.length(), 0u);
      if (cut >= kHeaderBytes) {
        EXPECT_EQ(m->MESSAGE_ID, s.id);
        EXPECT_EQ(m->command, s.command);
        EXPECT_EQ(m->SESSION_ID, s.session);
      }
    }
    // The whole message reads cleanly.
    Buffer in;
    test::Fill(in, s.wire);
    auto m = readMessage(in);
    EXPECT_TRUE(in.ok());
    EXPECT_EQ(m->MESSAGE_ID, s.id);
    EXPECT_EQ(in.length(), 0u);
  }
}

TEST(Truncation, ShortReadStaysVisibleUntilReset) {
  Buffer in;
  in.writeByte(1);
  EXPECT_EQ(in.readInt(), 0);
  EXPECT_FALSE(in.ok());
  in.writeInt(5);
  EXPECT_EQ(in.readInt(), 5);
  EXPECT_FALSE(in.ok());
  in.resetOk();
  EXPECT_TRUE(in.ok());
}

}  // namespace
}  // namespace kanzo
