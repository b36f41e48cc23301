#pragma once
// The general body of nearly every command: who speaks to whom, and the
// command's text (mostly a JSON document, sometimes plain text or a number).
// The logged-in agent is the triple account, FROM, FROM_TYPE.
#include <cstdint>
#include <string>

#include "protocol/object_codec.h"
#include "protocol/wire_values.h"

namespace kanzo {

class Msg final : public Object {
 public:
  TypeCode type() const override { return kTypeMsg; }

  std::int32_t account = 0;
  std::int32_t FROM = 0;
  std::int8_t FROM_TYPE = 0;
  std::int32_t TO = 0;
  std::int8_t TO_TYPE = 0;
  std::string BODY;
};

class MsgCodec final : public TypedCodec<MsgCodec, Msg> {
 public:
  static void encodeFields(ObjectIO& io, const Msg& o);
  static void decodeFields(ObjectIO& io, Msg& o);
};

}  // namespace kanzo
