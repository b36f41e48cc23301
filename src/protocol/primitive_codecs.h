#pragma once
// Codecs of the primitive objects; each writes its value with the typed
// operation of the same width.
#include "protocol/object_codec.h"

namespace kanzo {

class ByteCodec final : public TypedCodec<ByteCodec, NByte> {
 public:
  static void encodeFields(ObjectIO& io, const NByte& o) { io.writeByte(o.value); }
  static void decodeFields(ObjectIO& io, NByte& o) { o.value = io.readByte(); }
};

class ShortCodec final : public TypedCodec<ShortCodec, Short> {
 public:
  static void encodeFields(ObjectIO& io, const Short& o) { io.writeShort(o.value); }
  static void decodeFields(ObjectIO& io, Short& o) { o.value = io.readShort(); }
};

class IntCodec final : public TypedCodec<IntCodec, Int> {
 public:
  static void encodeFields(ObjectIO& io, const Int& o) { io.writeInt(o.value); }
  static void decodeFields(ObjectIO& io, Int& o) { o.value = io.readInt(); }
};

class LongCodec final : public TypedCodec<LongCodec, Long> {
 public:
  static void encodeFields(ObjectIO& io, const Long& o) { io.writeLong(o.value); }
  static void decodeFields(ObjectIO& io, Long& o) { o.value = io.readLong(); }
};

class StringCodec final : public TypedCodec<StringCodec, String> {
 public:
  static void encodeFields(ObjectIO& io, const String& o) { io.writeString(o.value); }
  static void decodeFields(ObjectIO& io, String& o) { o.value = io.readString(); }
};

}  // namespace kanzo
