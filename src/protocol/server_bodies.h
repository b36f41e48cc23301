#pragma once
// Bodies of the chat server's own protocol. The client can encode and decode
// them but does not register their codecs, so a message carrying one arrives
// with an absent body; the chat-server simulator uses them as they are.
// The protocol fixes only their layout, so the fields are named by their
// place on the wire (field1 first).
#include <cstdint>
#include <string>

#include "protocol/object_codec.h"

namespace kanzo {

// 64-bit x4, string x4.
class Chat final : public Object {
 public:
  TypeCode type() const override { return kTypeChat; }
  std::int64_t field1 = 0;
  std::int64_t field2 = 0;
  std::int64_t field3 = 0;
  std::int64_t field4 = 0;
  std::string field5;
  std::string field6;
  std::string field7;
  std::string field8;
};

// 64-bit, string x3, 32-bit, string x3.
class Customer final : public Object {
 public:
  TypeCode type() const override { return kTypeCustomer; }
  std::int64_t field1 = 0;
  std::string field2;
  std::string field3;
  std::string field4;
  std::int32_t field5 = 0;
  std::string field6;
  std::string field7;
  std::string field8;
};

// string, 64-bit, string x8, 32-bit.
class Freecall final : public Object {
 public:
  TypeCode type() const override { return kTypeFreecall; }
  std::string field1;
  std::int64_t field2 = 0;
  std::string field3;
  std::string field4;
  std::string field5;
  std::string field6;
  std::string field7;
  std::string field8;
  std::string field9;
  std::string field10;
  std::int32_t field11 = 0;
};

// 64-bit x2, 32-bit, string x4, 32-bit, 64-bit, string x2.
class Init final : public Object {
 public:
  TypeCode type() const override { return kTypeInit; }
  std::int64_t field1 = 0;
  std::int64_t field2 = 0;
  std::int32_t field3 = 0;
  std::string field4;
  std::string field5;
  std::string field6;
  std::string field7;
  std::int32_t field8 = 0;
  std::int64_t field9 = 0;
  std::string field10;
  std::string field11;
};

// 64-bit x2, 32-bit, 64-bit, 32-bit, 64-bit x2, 32-bit, string.
class Member final : public Object {
 public:
  TypeCode type() const override { return kTypeMember; }
  std::int64_t field1 = 0;
  std::int64_t field2 = 0;
  std::int32_t field3 = 0;
  std::int64_t field4 = 0;
  std::int32_t field5 = 0;
  std::int64_t field6 = 0;
  std::int64_t field7 = 0;
  std::int32_t field8 = 0;
  std::string field9;
};

// 64-bit x2, 32-bit, 64-bit x2, 32-bit, 64-bit x3.
class Session final : public Object {
 public:
  TypeCode type() const override { return kTypeSession; }
  std::int64_t field1 = 0;
  std::int64_t field2 = 0;
  std::int32_t field3 = 0;
  std::int64_t field4 = 0;
  std::int64_t field5 = 0;
  std::int32_t field6 = 0;
  std::int64_t field7 = 0;
  std::int64_t field8 = 0;
  std::int64_t field9 = 0;
};

class ChatCodec final : public TypedCodec<ChatCodec, Chat> {
 public:
  static void encodeFields(ObjectIO& io, const Chat& o);
  static void decodeFields(ObjectIO& io, Chat& o);
};

class CustomerCodec final : public TypedCodec<CustomerCodec, Customer> {
 public:
  static void encodeFields(ObjectIO& io, const Customer& o);
  static void decodeFields(ObjectIO& io, Customer& o);
};

class FreecallCodec final : public TypedCodec<FreecallCodec, Freecall> {
 public:
  static void encodeFields(ObjectIO& io, const Freecall& o);
  static void decodeFields(ObjectIO& io, Freecall& o);
};

class InitCodec final : public TypedCodec<InitCodec, Init> {
 public:
  static void encodeFields(ObjectIO& io, const Init& o);
  static void decodeFields(ObjectIO& io, Init& o);
};

class MemberCodec final : public TypedCodec<MemberCodec, Member> {
 public:
  static void encodeFields(ObjectIO& io, const Member& o);
  static void decodeFields(ObjectIO& io, Member& o);
};

class SessionCodec final : public TypedCodec<SessionCodec, Session> {
 public:
  static void encodeFields(ObjectIO& io, const Session& o);
  static void decodeFields(ObjectIO& io, Session& o);
};

}  // namespace kanzo
