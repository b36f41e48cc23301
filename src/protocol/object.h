#pragma once
// Values that travel as self-describing objects: a 16-bit type code, then
// the encoding of the type's codec.
#include <cstdint>
#include <string>
#include <utility>

#include "protocol/body_types.h"

namespace kanzo {

class Object {
 public:
  // The wire type code; a plain Object has none (0).
  virtual TypeCode type() const { return kTypeNone; }
  virtual ~Object() = default;

 protected:
  Object() = default;
  Object(const Object&) = default;
  Object& operator=(const Object&) = default;
};

// An object that carries exactly one value.
template <typename T>
class BaseObject : public Object {
 public:
  using ValueType = T;
  BaseObject() = default;
  explicit BaseObject(T v) : value(std::move(v)) {}
  T value{};
};

class NByte final : public BaseObject<std::int8_t> {
 public:
  using BaseObject::BaseObject;
  TypeCode type() const override { return kTypeByte; }
};

class Short final : public BaseObject<std::int16_t> {
 public:
  using BaseObject::BaseObject;
  TypeCode type() const override { return kTypeShort; }
};

class Int final : public BaseObject<std::int32_t> {
 public:
  using BaseObject::BaseObject;
  TypeCode type() const override { return kTypeInt; }
};

class Long final : public BaseObject<std::int64_t> {
 public:
  using BaseObject::BaseObject;
  TypeCode type() const override { return kTypeLong; }
};

// Text in the program's narrow encoding; UTF-8 only on the wire.
class String final : public BaseObject<std::string> {
 public:
  using BaseObject::BaseObject;
  TypeCode type() const override { return kTypeString; }
};

}  // namespace kanzo
