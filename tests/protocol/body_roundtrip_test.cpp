// Every body type and primitive object survives encode and decode, with the
// layout widths of the protocol.
#include <gtest/gtest.h>

#include <functional>

#include "protocol/buffer.h"
#include "protocol/codec_registry.h"
#include "protocol/login.h"
#include "protocol/message.h"
#include "protocol/msg.h"
#include "protocol/primitive_codecs.h"
#include "protocol/regist.h"
#include "protocol/server_bodies.h"
#include "protocol/startup_codecs.h"
#include "protocol/wire_bytes.h"

namespace kanzo {
namespace {

using test::Bytes;

struct BodyCase {
  const char* name;
  const ObjectCodec* codec;
  TypeCode code;
  // A default object and one with every field set to a distinct value.
  std::function<std::unique_ptr<Object>()> makeEmpty;
  std::function<std::unique_ptr<Object>()> makeFilled;
  std::size_t emptyBytes;  // encoding of a default object: the layout's widths
};

template <typename T>
std::function<std::unique_ptr<Object>()> Empty() {
  return [] { return std::make_unique<T>(); };
}

template <typename T>
std::function<std::unique_ptr<Object>()> Filled(std::function<void(T&)> fill) {
  return [fill] {
    auto o = std::make_unique<T>();
    fill(*o);
    return o;
  };
}

Bytes Encode(const ObjectCodec& codec, const Object& o) {
  Buffer b;
  codec.encode(b, o);
  return test::Peek(b);
}

class BodyRoundTrip : public ::testing::TestWithParam<BodyCase> {};

TEST_P(BodyRoundTrip, DefaultObjectHasLayoutWidth) {
  const auto& c = GetParam();
  auto empty = c.makeEmpty();
  EXPECT_EQ(empty->type(), c.code);
  EXPECT_EQ(Encode(*c.codec, *empty).size(), c.emptyBytes);
}

TEST_P(BodyRoundTrip, DecodesWhatItEncodes) {
  const auto& c = GetParam();
  auto filled = c.makeFilled();
  const Bytes wire = Encode(*c.codec, *filled);
  ASSERT_NE(wire, Encode(*c.codec, *c.makeEmpty())) << "the filled object must differ from the default";

  Buffer in;
  test::Fill(in, wire);
  std::unique_ptr<Object> created(c.codec->decode(in, nullptr));
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(created->type(), c.code);
  EXPECT_TRUE(in.ok());
  EXPECT_EQ(in.length(), 0u);
  EXPECT_EQ(test::Hex(Encode(*c.codec, *created)), test::Hex(wire));

  // Decoding into an existing object fills that object.
  auto target = c.makeEmpty();
  test::Fill(in, wire);
  EXPECT_EQ(c.codec->decode(in, target.get()), target.get());
  EXPECT_EQ(test::Hex(Encode(*c.codec, *target)), test::Hex(wire));
}

TEST_P(BodyRoundTrip, RefusesTargetOfAnotherClass) {
  const auto& c = GetParam();
  Buffer in;
  test::Fill(in, Encode(*c.codec, *c.makeFilled()));
  const std::size_t before = in.length();
  class Foreign final : public Object {
   public:
    int value = 5;
  } other;
  EXPECT_EQ(c.codec->decode(in, &other), nullptr);
  EXPECT_EQ(other.value, 5);
  EXPECT_EQ(in.length(), before);
}

const char kChinese[] = "您好，请问有什么可以帮您？";

INSTANTIATE_TEST_SUITE_P(
    Bodies, BodyRoundTrip,
    ::testing::Values(
        BodyCase{"Login", &LoginCodec::Instance(), kTypeLogin, Empty<Login>(), Filled<Login>([](Login& o) {
                   o.username = "agent01";
                   o.password = kChinese;
                   o.state = kPresenceAway;
                 }),
                 5},
        BodyCase{"Msg", &MsgCodec::Instance(), kTypeMsg, Empty<Msg>(), Filled<Msg>([](Msg& o) {
                   o.account = 0x01020304;
                   o.FROM = -2;
                   o.FROM_TYPE = kMemberKindAgent;
                   o.TO = 77;
                   o.TO_TYPE = kMemberKindVisitor;
                   o.BODY = std::string(R"({"content":")") + kChinese + "\"}";
                 }),
                 16},
        BodyCase{"Regist", &RegistCodec::Instance(), kTypeRegist, Empty<Regist>(), Filled<Regist>([](Regist& o) {
                   o.username = "u";
                   o.password = "p";
                   o.mobile = "13800000000";
                 }),
                 6},
        BodyCase{"Chat", &ChatCodec::Instance(), kTypeChat, Empty<Chat>(), Filled<Chat>([](Chat& o) {
                   o.field1 = 1;
                   o.field2 = -2;
                   o.field3 = INT64_MAX;
                   o.field4 = INT64_MIN;
                   o.field5 = "e";
                   o.field6 = "ff";
                   o.field7 = kChinese;
                   o.field8 = "hhhh";
                 }),
                 4 * 8 + 4 * 2},
        BodyCase{"Customer", &CustomerCodec::Instance(), kTypeCustomer, Empty<Customer>(),
                 Filled<Customer>([](Customer& o) {
                   o.field1 = 11;
                   o.field2 = "b";
                   o.field3 = "cc";
                   o.field4 = "ddd";
                   o.field5 = -5;
                   o.field6 = "f";
                   o.field7 = "gg";
                   o.field8 = "hhh";
                 }),
                 8 + 3 * 2 + 4 + 3 * 2},
        BodyCase{"Freecall", &FreecallCodec::Instance(), kTypeFreecall, Empty<Freecall>(),
                 Filled<Freecall>([](Freecall& o) {
                   o.field1 = "a";
                   o.field2 = 2;
                   o.field3 = "c";
                   o.field4 = "d";
                   o.field5 = "e";
                   o.field6 = "f";
                   o.field7 = "g";
                   o.field8 = "h";
                   o.field9 = "i";
                   o.field10 = "j";
                   o.field11 = 11;
                 }),
                 2 + 8 + 8 * 2 + 4},
        BodyCase{"Init", &InitCodec::Instance(), kTypeInit, Empty<Init>(), Filled<Init>([](Init& o) {
                   o.field1 = 1;
                   o.field2 = 2;
                   o.field3 = 3;
                   o.field4 = "d";
                   o.field5 = "e";
                   o.field6 = "f";
                   o.field7 = "g";
                   o.field8 = 8;
                   o.field9 = 9;
                   o.field10 = "j";
                   o.field11 = "k";
                 }),
                 8 + 8 + 4 + 4 * 2 + 4 + 8 + 2 * 2},
        BodyCase{"Member", &MemberCodec::Instance(), kTypeMember, Empty<Member>(), Filled<Member>([](Member& o) {
                   o.field1 = 1;
                   o.field2 = 2;
                   o.field3 = 3;
                   o.field4 = 4;
                   o.field5 = 5;
                   o.field6 = 6;
                   o.field7 = 7;
                   o.field8 = 8;
                   o.field9 = "i";
                 }),
                 8 + 8 + 4 + 8 + 4 + 8 + 8 + 4 + 2},
        BodyCase{"Session", &SessionCodec::Instance(), kTypeSession, Empty<Session>(), Filled<Session>([](Session& o) {
                   o.field1 = 1;
                   o.field2 = 2;
                   o.field3 = 3;
                   o.field4 = 4;
                   o.field5 = 5;
                   o.field6 = 6;
                   o.field7 = 7;
                   o.field8 = 8;
                   o.field9 = 9;
                 }),
                 8 + 8 + 4 + 8 + 8 + 4 + 8 + 8 + 8},
        BodyCase{"NByte", &ByteCodec::Instance(), kTypeByte, Empty<NByte>(),
                 Filled<NByte>([](NByte& o) { o.value = -128; }), 1},
        BodyCase{"Short", &ShortCodec::Instance(), kTypeShort, Empty<Short>(),
                 Filled<Short>([](Short& o) { o.value = INT16_MIN; }), 2},
        BodyCase{"Int", &IntCodec::Instance(), kTypeInt, Empty<Int>(), Filled<Int>([](Int& o) { o.value = -7; }), 4},
        BodyCase{"Long", &LongCodec::Instance(), kTypeLong, Empty<Long>(),
                 Filled<Long>([](Long& o) { o.value = 0x0102030405060708LL; }), 8},
        BodyCase{"String", &StringCodec::Instance(), kTypeString, Empty<String>(),
                 Filled<String>([](String& o) { o.value = kChinese; }), 2}),
    [](const auto& info) { return std::string(info.param.name); });

// The three client bodies travel inside messages through the registry.
TEST(MessageBodies, ClientBodiesTravelInsideMessages) {
  ASSERT_TRUE(RegisterStartupCodecs());
  Login login;
  login.username = "张三";
  login.password = "secret";
  login.state = kPresenceOnline;
  Regist regist;
  regist.mobile = "139";
  Msg msg;
  msg.BODY = "1";
  for (Object* body : {static_cast<Object*>(&login), static_cast<Object*>(&regist), static_cast<Object*>(&msg)}) {
    Buffer buffer;
    Message request(true);
    request.setBody(body);
    writeMessage(buffer, request);
    auto received = readMessage(buffer);
    ASSERT_NE(received->body(), nullptr) << TypeCodeName(body->type());
    EXPECT_EQ(received->body()->type(), body->type());
    EXPECT_EQ(buffer.length(), 0u);
  }
  Buffer buffer;
  Message request(true);
  request.setBody(&login);
  writeMessage(buffer, request);
  auto received = readMessage(buffer);
  ASSERT_NE(received->bodyAs<Login>(), nullptr);
  EXPECT_EQ(received->bodyAs<Login>()->username, "张三");
  EXPECT_EQ(received->bodyAs<Login>()->state, kPresenceOnline);
}

// An object whose type code is taken by another class's codec still gets a
// content of the codec's width, so the rest of the stream stays in step.
TEST(MessageBodies, ForeignClassUnderACodeKeepsStreamInStep) {
  ASSERT_TRUE(RegisterStartupCodecs());
  class Impostor final : public Object {
   public:
    TypeCode type() const override { return kTypeMsg; }
  } impostor;
  Buffer buffer;
  buffer.writeObject(&impostor);
  buffer.writeInt(0x5A5A5A5A);
  auto read = buffer.readObject();
  ASSERT_NE(dynamic_cast<Msg*>(read.get()), nullptr);
  EXPECT_EQ(buffer.readInt(), 0x5A5A5A5A);
  EXPECT_TRUE(buffer.ok());
}

}  // namespace
}  // namespace kanzo
