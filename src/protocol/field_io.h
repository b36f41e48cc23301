#pragma once
// The two walkers of a body's field list: one writes each field with the
// typed operation of its width, the other reads it back in the same order.
// A body lists its fields once, as a generic callable
//   constexpr auto kMsgFields = [](auto& visit, auto& body) { visit(body.account); ... };
// and its codec's encodeFields and decodeFields both walk that one list
// (WriteFields, ReadFields), so writing and reading cannot drift apart.
//
// Only the wire's own field types are accepted; any other type (an unsigned
// count, a bool, a wider string) fails to compile instead of being
// converted silently to a width the peer does not expect.
#include <cstdint>
#include <string>

#include "protocol/object_io.h"

namespace kanzo {

class FieldWriter {
 public:
  explicit FieldWriter(ObjectIO& io) : io_(io) {}

  void operator()(const std::int8_t& value) { io_.writeByte(value); }
  void operator()(const std::int16_t& value) { io_.writeShort(value); }
  void operator()(const std::int32_t& value) { io_.writeInt(value); }
  void operator()(const std::int64_t& value) { io_.writeLong(value); }
  void operator()(const std::string& value) { io_.writeString(value); }
  template <typename T>
  void operator()(const T&) = delete;

 private:
  ObjectIO& io_;
};

class FieldReader {
 public:
  explicit FieldReader(ObjectIO& io) : io_(io) {}

  void operator()(std::int8_t& value) { value = io_.readByte(); }
  void operator()(std::int16_t& value) { value = io_.readShort(); }
  void operator()(std::int32_t& value) { value = io_.readInt(); }
  void operator()(std::int64_t& value) { value = io_.readLong(); }
  void operator()(std::string& value) { value = io_.readString(); }
  template <typename T>
  void operator()(T&) = delete;

 private:
  ObjectIO& io_;
};

// Writes the fields of `body` in the order `fields` visits them.
template <typename Body, typename FieldList>
void WriteFields(ObjectIO& io, const Body& body, const FieldList& fields) {
  FieldWriter writer(io);
  fields(writer, body);
}

// Reads the fields of `body` in the order `fields` visits them.
template <typename Body, typename FieldList>
void ReadFields(ObjectIO& io, Body& body, const FieldList& fields) {
  FieldReader reader(io);
  fields(reader, body);
}

}  // namespace kanzo
