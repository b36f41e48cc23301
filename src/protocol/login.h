#pragma once
// The login body: sent with a log-in and with a re-login using the stored
// credentials.
#include <cstdint>
#include <string>

#include "protocol/object_codec.h"
#include "protocol/wire_values.h"

namespace kanzo {

class Login final : public Object {
 public:
  TypeCode type() const override { return kTypeLogin; }

  std::string username;
  std::string password;
  std::int8_t state = 0;
};

class LoginCodec final : public TypedCodec<LoginCodec, Login> {
 public:
  static void encodeFields(ObjectIO& io, const Login& o);
  static void decodeFields(ObjectIO& io, Login& o);
};

}  // namespace kanzo
