#include "protocol/login.h"
#include "protocol/msg.h"
#include "protocol/regist.h"

namespace kanzo {

void LoginCodec::encodeFields(ObjectIO& io, const Login& o) {
  io.writeString(o.username);
  io.writeString(o.password);
  io.writeByte(o.state);
}

void LoginCodec::decodeFields(ObjectIO& io, Login& o) {
  o.username = io.readString();
  o.password = io.readString();
  o.state = io.readByte();
}

void MsgCodec::encodeFields(ObjectIO& io, const Msg& o) {
  io.writeInt(o.account);
  io.writeInt(o.FROM);
  io.writeByte(o.FROM_TYPE);
  io.writeInt(o.TO);
  io.writeByte(o.TO_TYPE);
  io.writeString(o.BODY);
}

void MsgCodec::decodeFields(ObjectIO& io, Msg& o) {
  o.account = io.readInt();
  o.FROM = io.readInt();
  o.FROM_TYPE = io.readByte();
  o.TO = io.readInt();
  o.TO_TYPE = io.readByte();
  o.BODY = io.readString();
}

void RegistCodec::encodeFields(ObjectIO& io, const Regist& o) {
  io.writeString(o.username);
  io.writeString(o.password);
  io.writeString(o.mobile);
}

void RegistCodec::decodeFields(ObjectIO& io, Regist& o) {
  o.username = io.readString();
  o.password = io.readString();
  o.mobile = io.readString();
}

}  // namespace kanzo
