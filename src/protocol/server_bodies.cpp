#include "protocol/server_bodies.h"

namespace kanzo {

void ChatCodec::encodeFields(ObjectIO& io, const Chat& o) {
  io.writeLong(o.field1);
  io.writeLong(o.field2);
  io.writeLong(o.field3);
  io.writeLong(o.field4);
  io.writeString(o.field5);
  io.writeString(o.field6);
  io.writeString(o.field7);
  io.writeString(o.field8);
}

void ChatCodec::decodeFields(ObjectIO& io, Chat& o) {
  o.field1 = io.readLong();
  o.field2 = io.readLong();
  o.field3 = io.readLong();
  o.field4 = io.readLong();
  o.field5 = io.readString();
  o.field6 = io.readString();
  o.field7 = io.readString();
  o.field8 = io.readString();
}

void CustomerCodec::encodeFields(ObjectIO& io, const Customer& o) {
  io.writeLong(o.field1);
  io.writeString(o.field2);
  io.writeString(o.field3);
  io.writeString(o.field4);
  io.writeInt(o.field5);
  io.writeString(o.field6);
  io.writeString(o.field7);
  io.writeString(o.field8);
}

void CustomerCodec::decodeFields(ObjectIO& io, Customer& o) {
  o.field1 = io.readLong();
  o.field2 = io.readString();
  o.field3 = io.readString();
  o.field4 = io.readString();
  o.field5 = io.readInt();
  o.field6 = io.readString();
  o.field7 = io.readString();
  o.field8 = io.readString();
}

void FreecallCodec::encodeFields(ObjectIO& io, const Freecall& o) {
  io.writeString(o.field1);
  io.writeLong(o.field2);
  io.writeString(o.field3);
  io.writeString(o.field4);
  io.writeString(o.field5);
  io.writeString(o.field6);
  io.writeString(o.field7);
  io.writeString(o.field8);
  io.writeString(o.field9);
  io.writeString(o.field10);
  io.writeInt(o.field11);
}

void FreecallCodec::decodeFields(ObjectIO& io, Freecall& o) {
  o.field1 = io.readString();
  o.field2 = io.readLong();
  o.field3 = io.readString();
  o.field4 = io.readString();
  o.field5 = io.readString();
  o.field6 = io.readString();
  o.field7 = io.readString();
  o.field8 = io.readString();
  o.field9 = io.readString();
  o.field10 = io.readString();
  o.field11 = io.readInt();
}

void InitCodec::encodeFields(ObjectIO& io, const Init& o) {
  io.writeLong(o.field1);
  io.writeLong(o.field2);
  io.writeInt(o.field3);
  io.writeString(o.field4);
  io.writeString(o.field5);
  io.writeString(o.field6);
  io.writeString(o.field7);
  io.writeInt(o.field8);
  io.writeLong(o.field9);
  io.writeString(o.field10);
  io.writeString(o.field11);
}

void InitCodec::decodeFields(ObjectIO& io, Init& o) {
  o.field1 = io.readLong();
  o.field2 = io.readLong();
  o.field3 = io.readInt();
  o.field4 = io.readString();
  o.field5 = io.readString();
  o.field6 = io.readString();
  o.field7 = io.readString();
  o.field8 = io.readInt();
  o.field9 = io.readLong();
  o.field10 = io.readString();
  o.field11 = io.readString();
}

void MemberCodec::encodeFields(ObjectIO& io, const Member& o) {
  io.writeLong(o.field1);
  io.writeLong(o.field2);
  io.writeInt(o.field3);
  io.writeLong(o.field4);
  io.writeInt(o.field5);
  io.writeLong(o.field6);
  io.writeLong(o.field7);
  io.writeInt(o.field8);
  io.writeString(o.field9);
}

void MemberCodec::decodeFields(ObjectIO& io, Member& o) {
  o.field1 = io.readLong();
  o.field2 = io.readLong();
  o.field3 = io.readInt();
  o.field4 = io.readLong();
  o.field5 = io.readInt();
  o.field6 = io.readLong();
  o.field7 = io.readLong();
  o.field8 = io.readInt();
  o.field9 = io.readString();
}

void SessionCodec::encodeFields(ObjectIO& io, const Session& o) {
  io.writeLong(o.field1);
  io.writeLong(o.field2);
  io.writeInt(o.field3);
  io.writeLong(o.field4);
  io.writeLong(o.field5);
  io.writeInt(o.field6);
  io.writeLong(o.field7);
  io.writeLong(o.field8);
  io.writeLong(o.field9);
}

void SessionCodec::decodeFields(ObjectIO& io, Session& o) {
  o.field1 = io.readLong();
  o.field2 = io.readLong();
  o.field3 = io.readInt();
  o.field4 = io.readLong();
  o.field5 = io.readLong();
  o.field6 = io.readInt();
  o.field7 = io.readLong();
  o.field8 = io.readLong();
  o.field9 = io.readLong();
}

}  // namespace kanzo
