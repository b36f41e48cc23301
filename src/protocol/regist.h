#pragma once
// The body of an account registration. No window of the client sends it;
// its codec is registered so that such a message can still be read.
#include <string>

#include "protocol/object_codec.h"

namespace kanzo {

class Regist final : public Object {
 public:
  TypeCode type() const override { return kTypeRegist; }

  std::string username;
  std::string password;
  std::string mobile;
};

class RegistCodec final : public TypedCodec<RegistCodec, Regist> {
 public:
  static void encodeFields(ObjectIO& io, const Regist& o);
  static void decodeFields(ObjectIO& io, Regist& o);
};

}  // namespace kanzo
