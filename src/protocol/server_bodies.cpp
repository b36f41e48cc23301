#include "protocol/server_bodies.h"

#include "protocol/field_io.h"

namespace kanzo {
namespace {

// Each body's fields in wire order; encoding and decoding walk the same list.
constexpr auto kChatFields = [](auto& visit, auto& body) {
  visit(body.field1);
  visit(body.field2);
  visit(body.field3);
  visit(body.field4);
  visit(body.field5);
  visit(body.field6);
  visit(body.field7);
  visit(body.field8);
};

constexpr auto kCustomerFields = [](auto& visit, auto& body) {
  visit(body.field1);
  visit(body.field2);
  visit(body.field3);
  visit(body.field4);
  visit(body.field5);
  visit(body.field6);
  visit(body.field7);
  visit(body.field8);
};

constexpr auto kFreecallFields = [](auto& visit, auto& body) {
  visit(body.field1);
  visit(body.field2);
  visit(body.field3);
  visit(body.field4);
  visit(body.field5);
  visit(body.field6);
  visit(body.field7);
  visit(body.field8);
  visit(body.field9);
  visit(body.field10);
  visit(body.field11);
};

constexpr auto kInitFields = [](auto& visit, auto& body) {
  visit(body.field1);
  visit(body.field2);
  visit(body.field3);
  visit(body.field4);
  visit(body.field5);
  visit(body.field6);
  visit(body.field7);
  visit(body.field8);
  visit(body.field9);
  visit(body.field10);
  visit(body.field11);
};

constexpr auto kMemberFields = [](auto& visit, auto& body) {
  visit(body.field1);
  visit(body.field2);
  visit(body.field3);
  visit(body.field4);
  visit(body.field5);
  visit(body.field6);
  visit(body.field7);
  visit(body.field8);
  visit(body.field9);
};

constexpr auto kSessionFields = [](auto& visit, auto& body) {
  visit(body.field1);
  visit(body.field2);
  visit(body.field3);
  visit(body.field4);
  visit(body.field5);
  visit(body.field6);
  visit(body.field7);
  visit(body.field8);
  visit(body.field9);
};

}  // namespace

void ChatCodec::encodeFields(ObjectIO& io, const Chat& o) { WriteFields(io, o, kChatFields); }
void ChatCodec::decodeFields(ObjectIO& io, Chat& o) { ReadFields(io, o, kChatFields); }

void CustomerCodec::encodeFields(ObjectIO& io, const Customer& o) { WriteFields(io, o, kCustomerFields); }
void CustomerCodec::decodeFields(ObjectIO& io, Customer& o) { ReadFields(io, o, kCustomerFields); }

void FreecallCodec::encodeFields(ObjectIO& io, const Freecall& o) { WriteFields(io, o, kFreecallFields); }
void FreecallCodec::decodeFields(ObjectIO& io, Freecall& o) { ReadFields(io, o, kFreecallFields); }

void InitCodec::encodeFields(ObjectIO& io, const Init& o) { WriteFields(io, o, kInitFields); }
void InitCodec::decodeFields(ObjectIO& io, Init& o) { ReadFields(io, o, kInitFields); }

void MemberCodec::encodeFields(ObjectIO& io, const Member& o) { WriteFields(io, o, kMemberFields); }
void MemberCodec::decodeFields(ObjectIO& io, Member& o) { ReadFields(io, o, kMemberFields); }

void SessionCodec::encodeFields(ObjectIO& io, const Session& o) { WriteFields(io, o, kSessionFields); }
void SessionCodec::decodeFields(ObjectIO& io, Session& o) { ReadFields(io, o, kSessionFields); }

}  // namespace kanzo
