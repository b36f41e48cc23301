// The process-wide codec registry.
#include <gtest/gtest.h>

#include <algorithm>

#include "protocol/buffer.h"
#include "protocol/codec_registry.h"
#include "protocol/primitive_codecs.h"
#include "protocol/startup_codecs.h"

namespace kanzo {
namespace {

// Codes no body of the protocol uses.
constexpr TypeCode kSpareCode = TypeCodeFromWire(0x7E01);
constexpr TypeCode kSpareNegativeCode = TypeCodeFromWire(0x8001);

TEST(CodecRegistry, KeepsTheFirstCodecOfACode) {
  EXPECT_TRUE(registerCodec(kSpareCode, &ByteCodec::Instance()));
  EXPECT_FALSE(registerCodec(kSpareCode, &ShortCodec::Instance()));
  EXPECT_EQ(FindCodec(kSpareCode), &ByteCodec::Instance());
  EXPECT_FALSE(registerCodec(TypeCodeFromWire(0x7E02), nullptr));
  EXPECT_EQ(FindCodec(TypeCodeFromWire(0x7E02)), nullptr);
}

TEST(CodecRegistry, StartupRegistrationIsRepeatable) {
  EXPECT_TRUE(RegisterStartupCodecs());
  EXPECT_TRUE(RegisterStartupCodecs());
  EXPECT_NE(FindCodec(kTypeLogin), nullptr);
  EXPECT_NE(FindCodec(kTypeMsg), nullptr);
  EXPECT_NE(FindCodec(kTypeRegist), nullptr);
  // The server's own bodies stay unregistered.
  for (TypeCode code : {kTypeChat, kTypeCustomer, kTypeFreecall, kTypeInit, kTypeMember, kTypeSession})
    EXPECT_EQ(FindCodec(code), nullptr) << TypeCodeName(code);
}

TEST(CodecRegistry, OrdersCodesAsSignedValues) {
  registerCodec(kSpareNegativeCode, &IntCodec::Instance());
  ASSERT_TRUE(RegisterStartupCodecs());
  const std::vector<TypeCode> codes = RegisteredTypeCodes();
  EXPECT_TRUE(std::is_sorted(codes.begin(), codes.end()));
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes.front(), kSpareNegativeCode);
}

// Primitive objects travel through writeObject/readObject once registered.
TEST(CodecRegistry, PrimitiveObjectsRoundTrip) {
  registerCodec(kTypeByte, &ByteCodec::Instance());
  registerCodec(kTypeShort, &ShortCodec::Instance());
  registerCodec(kTypeInt, &IntCodec::Instance());
  registerCodec(kTypeLong, &LongCodec::Instance());
  registerCodec(kTypeString, &StringCodec::Instance());
  Buffer buffer;
  NByte b(-1);
  Short s(-300);
  Int i(123456789);
  Long l(-9876543210LL);
  String t("文字");
  for (const Object* o : std::initializer_list<const Object*>{&b, &s, &i, &l, &t}) buffer.writeObject(o);
  EXPECT_EQ(dynamic_cast<NByte&>(*buffer.readObject()).value, -1);
  EXPECT_EQ(dynamic_cast<Short&>(*buffer.readObject()).value, -300);
  EXPECT_EQ(dynamic_cast<Int&>(*buffer.readObject()).value, 123456789);
  EXPECT_EQ(dynamic_cast<Long&>(*buffer.readObject()).value, -9876543210LL);
  EXPECT_EQ(dynamic_cast<String&>(*buffer.readObject()).value, "文字");
  EXPECT_EQ(buffer.length(), 0u);
  EXPECT_TRUE(buffer.ok());
}

}  // namespace
}  // namespace kanzo
