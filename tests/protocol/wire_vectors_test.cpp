// The exact bytes of the typed operations, objects and messages.
#include <gtest/gtest.h>

#include <functional>

#include "protocol/buffer.h"
#include "protocol/codec_registry.h"
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
using test::Hex;

struct WriteCase {
  const char* name;
  std::function<void(ObjectIO&)> write;
  Bytes expected;
};

class WireVectors : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WireVectors, WritesExactBytes) {
  Buffer buffer;
  GetParam().write(buffer);
  EXPECT_EQ(Hex(test::Peek(buffer)), Hex(GetParam().expected));
}

Bytes LoginBodyBytes() { return {0x28, 0xEF, 0x00, 0x01, 0x61, 0x00, 0x01, 0x62, 0x02}; }

INSTANTIATE_TEST_SUITE_P(
    Primitives, WireVectors,
    ::testing::Values(
        WriteCase{"EmptyString", [](ObjectIO& io) { io.writeString(""); }, {0x00, 0x00}},
        WriteCase{"Abc", [](ObjectIO& io) { io.writeString("abc"); }, {0x00, 0x03, 0x61, 0x62, 0x63}},
        WriteCase{"IntOne", [](ObjectIO& io) { io.writeInt(1); }, {0x00, 0x00, 0x00, 0x01}},
        WriteCase{"ShortMinusTwo", [](ObjectIO& io) { io.writeShort(-2); }, {0xFF, 0xFE}},
        WriteCase{"LongOne", [](ObjectIO& io) { io.writeLong(1); }, {0, 0, 0, 0, 0, 0, 0, 0x01}},
        WriteCase{"LongWords",
                  [](ObjectIO& io) { io.writeLong(0x0102030405060708LL); },
                  {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08}},
        WriteCase{
            "LongMinusOne", [](ObjectIO& io) { io.writeLong(-1); }, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        WriteCase{"IntMin", [](ObjectIO& io) { io.writeInt(INT32_MIN); }, {0x80, 0x00, 0x00, 0x00}},
        WriteCase{"ByteMinusOne", [](ObjectIO& io) { io.writeByte(-1); }, {0xFF}},
        WriteCase{"NullObjectWritesNothing", [](ObjectIO& io) { io.writeObject(nullptr); }, {}},
        WriteCase{"LoginBody",
                  [](ObjectIO& io) {
                    RegisterStartupCodecs();
                    Login login;
                    login.username = "a";
                    login.password = "b";
                    login.state = kPresenceOnline;
                    io.writeObject(&login);
                  },
                  LoginBodyBytes()},
        WriteCase{"RequestWithoutBody",
                  [](ObjectIO& io) {
                    Message m(false);
                    m.MESSAGE_ID = 0x0102;
                    m.command = kCommandRefreshSession;
                    m.SESSION_ID = 7;
                    writeMessage(io, m);
                  },
                  {0x00, 0, 0, 0, 0, 0, 0, 0x01, 0x02, 0, 0, 0, 0x05, 0x00, 0, 0, 0, 0, 0, 0, 0, 0x07, 0x00, 0x00}},
        WriteCase{"UnregisteredTypeWritesCodeOnly",
                  [](ObjectIO& io) {
                    Chat chat;
                    chat.field1 = 9;
                    io.writeObject(&chat);
                  },
                  {0xE4, 0xFD}}),
    [](const auto& info) { return std::string(info.param.name); });

struct ReadCase {
  const char* name;
  Bytes input;
  std::function<void(ObjectIO&)> check;
  std::size_t leftOver;
};

class ReadVectors : public ::testing::TestWithParam<ReadCase> {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(RegisterStartupCodecs()); }
};

TEST_P(ReadVectors, ReadsAndLeavesTheRest) {
  Buffer buffer;
  test::Fill(buffer, GetParam().input);
  GetParam().check(buffer);
  EXPECT_EQ(buffer.length(), GetParam().leftOver);
}

INSTANTIATE_TEST_SUITE_P(
    Reads, ReadVectors,
    ::testing::Values(
        ReadCase{"ShortMinusTwo", {0xFF, 0xFE}, [](ObjectIO& io) { EXPECT_EQ(io.readShort(), -2); }, 0},
        ReadCase{"LongHighWordFirst",
                 {0x80, 0, 0, 0, 0, 0, 0, 0x01},
                 [](ObjectIO& io) { EXPECT_EQ(io.readLong(), INT64_MIN + 1); },
                 0},
        ReadCase{
            "StringAbc", {0x00, 0x03, 'a', 'b', 'c', 0x7F}, [](ObjectIO& io) { EXPECT_EQ(io.readString(), "abc"); }, 1},
        ReadCase{"ZeroLengthString", {0x00, 0x00, 'x'}, [](ObjectIO& io) { EXPECT_EQ(io.readString(), ""); }, 1},
        ReadCase{"NegativeLengthLeavesBytes",
                 {0x80, 0x00, 'a', 'b'},
                 [](ObjectIO& io) {
                   EXPECT_EQ(io.readString(), "");
                   EXPECT_TRUE(io.ok());
                 },
                 2},
        ReadCase{"LengthFFFFLeavesBytes", {0xFF, 0xFF, 'a'}, [](ObjectIO& io) { EXPECT_EQ(io.readString(), ""); }, 1},
        ReadCase{"AbsentObject", {0x00, 0x00, 0x01}, [](ObjectIO& io) { EXPECT_EQ(io.readObject(), nullptr); }, 1},
        ReadCase{"UnregisteredCodeTakesTwoBytes",
                 {0xE4, 0xFD, 0, 0, 0, 0, 0, 0, 0, 1},
                 [](ObjectIO& io) { EXPECT_EQ(io.readObject(), nullptr); },
                 8},
        ReadCase{"LoginBody", LoginBodyBytes(),
                 [](ObjectIO& io) {
                   auto object = io.readObject();
                   auto* login = dynamic_cast<Login*>(object.get());
                   ASSERT_NE(login, nullptr);
                   EXPECT_EQ(login->username, "a");
                   EXPECT_EQ(login->password, "b");
                   EXPECT_EQ(login->state, kPresenceOnline);
                 },
                 0},
        ReadCase{"IntShortOfBytesIsZero",
                 {0x12, 0x34},
                 [](ObjectIO& io) {
                   EXPECT_EQ(io.readInt(), 0);
                   EXPECT_FALSE(io.ok());
                 },
                 0},
        ReadCase{"StringShortOfBytesIsEmpty",
                 {0x00, 0x05, 'a', 'b'},
                 [](ObjectIO& io) {
                   EXPECT_EQ(io.readString(), "");
                   EXPECT_FALSE(io.ok());
                 },
                 0},
        ReadCase{"ByteFromEmptyIsZero",
                 {},
                 [](ObjectIO& io) {
                   EXPECT_EQ(io.readByte(), 0);
                   EXPECT_FALSE(io.ok());
                 },
                 0}),
    [](const auto& info) { return std::string(info.param.name); });

// A Chat answer: the header is read, the body is absent, the message is
// whole as far as the stream goes.
TEST(MessageVectors, ChatBodyArrivesAbsent) {
  ASSERT_TRUE(RegisterStartupCodecs());
  Buffer out;
  {
    Message m(false);
    m.command = kCommandChatMessage;
    m.RESULT = 0xFF;
    m.SESSION_ID = -5;
    Chat chat;
    chat.field5 = "hello";
    m.setBody(&chat);
    writeMessage(out, m);
  }
  const Bytes bytes = test::Peek(out);
  ASSERT_EQ(bytes.size(), 24u);
  EXPECT_EQ(bytes[22], 0xE4);
  EXPECT_EQ(bytes[23], 0xFD);

  auto read = readMessage(out);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->body(), nullptr);
  EXPECT_EQ(read->command, kCommandChatMessage);
  EXPECT_EQ(read->RESULT, 0xFF);
  EXPECT_TRUE(read->failed());
  EXPECT_EQ(read->SESSION_ID, -5);
  EXPECT_TRUE(out.ok());
}

TEST(MessageVectors, MsgRoundTripOwnsBody) {
  ASSERT_TRUE(RegisterStartupCodecs());
  Buffer buffer;
  Msg msg;
  msg.account = 100;
  msg.FROM = 7;
  msg.FROM_TYPE = kMemberKindAgent;
  msg.TO = -3;
  msg.TO_TYPE = kMemberKindVisitor;
  msg.BODY = R"({"a":1})";
  Message request(true);
  request.command = kCommandChatMessage;
  request.setBody(&msg);
  EXPECT_FALSE(request.ownsBody());
  writeMessage(buffer, request);

  auto answer = readMessage(buffer);
  EXPECT_TRUE(buffer.ok());
  EXPECT_EQ(buffer.length(), 0u);
  EXPECT_EQ(answer->MESSAGE_ID, request.MESSAGE_ID);
  EXPECT_TRUE(answer->ownsBody());
  const Msg* got = answer->bodyAs<Msg>();
  ASSERT_NE(got, nullptr);
  EXPECT_EQ(got->account, 100);
  EXPECT_EQ(got->FROM, 7);
  EXPECT_EQ(got->FROM_TYPE, kMemberKindAgent);
  EXPECT_EQ(got->TO, -3);
  EXPECT_EQ(got->TO_TYPE, kMemberKindVisitor);
  EXPECT_EQ(got->BODY, msg.BODY);
  EXPECT_EQ(answer->bodyAs<Login>(), nullptr);
}

}  // namespace
}  // namespace kanzo
