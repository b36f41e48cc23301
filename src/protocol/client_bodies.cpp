#include "protocol/field_io.h"
#include "protocol/login.h"
#include "protocol/msg.h"
#include "protocol/regist.h"

namespace kanzo {
namespace {

// Each body's fields in wire order; encoding and decoding walk the same list.
constexpr auto kLoginFields = [](auto& visit, auto& body) {
  visit(body.username);
  visit(body.password);
  visit(body.state);
};

constexpr auto kMsgFields = [](auto& visit, auto& body) {
  visit(body.account);
  visit(body.FROM);
  visit(body.FROM_TYPE);
  visit(body.TO);
  visit(body.TO_TYPE);
  visit(body.BODY);
};

constexpr auto kRegistFields = [](auto& visit, auto& body) {
  visit(body.username);
  visit(body.password);
  visit(body.mobile);
};

}  // namespace

void LoginCodec::encodeFields(ObjectIO& io, const Login& o) { WriteFields(io, o, kLoginFields); }
void LoginCodec::decodeFields(ObjectIO& io, Login& o) { ReadFields(io, o, kLoginFields); }

void MsgCodec::encodeFields(ObjectIO& io, const Msg& o) { WriteFields(io, o, kMsgFields); }
void MsgCodec::decodeFields(ObjectIO& io, Msg& o) { ReadFields(io, o, kMsgFields); }

void RegistCodec::encodeFields(ObjectIO& io, const Regist& o) { WriteFields(io, o, kRegistFields); }
void RegistCodec::decodeFields(ObjectIO& io, Regist& o) { ReadFields(io, o, kRegistFields); }

}  // namespace kanzo
