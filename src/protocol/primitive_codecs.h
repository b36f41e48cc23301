#pragma once
// Codecs of the primitive objects; each carries its one value with the
// typed operation of the value's width.
#include "protocol/field_io.h"
#include "protocol/object_codec.h"

namespace kanzo {

template <typename Derived, typename T>
class ValueCodec : public TypedCodec<Derived, T> {
 public:
  static void encodeFields(ObjectIO& io, const T& o) { WriteFields(io, o, kValueField); }
  static void decodeFields(ObjectIO& io, T& o) { ReadFields(io, o, kValueField); }

 protected:
  ValueCodec() = default;

 private:
  static constexpr auto kValueField = [](auto& visit, auto& body) { visit(body.value); };
};

class ByteCodec final : public ValueCodec<ByteCodec, NByte> {};
class ShortCodec final : public ValueCodec<ShortCodec, Short> {};
class IntCodec final : public ValueCodec<IntCodec, Int> {};
class LongCodec final : public ValueCodec<LongCodec, Long> {};
class StringCodec final : public ValueCodec<StringCodec, String> {};

}  // namespace kanzo
