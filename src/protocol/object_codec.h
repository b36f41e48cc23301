#pragma once
// A codec reads and writes the content of one object type (without its
// type code). Codecs hold no state; each has one instance for the life of
// the process (Instance()).
#include <memory>

#include "protocol/object.h"
#include "protocol/object_io.h"

namespace kanzo {

class ObjectCodec {
 public:
  // Writes the content of `object`.
  virtual void encode(ObjectIO& io, const Object& object) const = 0;
  // Reads the content into `into`, or into a new object of the codec's type
  // when `into` is null, and returns the object filled; the caller owns an
  // object created here. An `into` of another class is left untouched and
  // null is returned without reading.
  virtual Object* decode(ObjectIO& io, Object* into) const = 0;
  virtual ~ObjectCodec() = default;

 protected:
  ObjectCodec() = default;
  ObjectCodec(const ObjectCodec&) = delete;
  ObjectCodec& operator=(const ObjectCodec&) = delete;
};

// The shape every concrete codec shares: `Derived` supplies
//   static void encodeFields(ObjectIO&, const T&);
//   static void decodeFields(ObjectIO&, T&);
// writing and reading the fields of T in wire order.
template <typename Derived, typename T>
class TypedCodec : public ObjectCodec {
 public:
  using ObjectType = T;

  static const Derived& Instance() {
    static const Derived instance;
    return instance;
  }

  void encode(ObjectIO& io, const Object& object) const final {
    if (const auto* typed = dynamic_cast<const T*>(&object)) {
      Derived::encodeFields(io, *typed);
    } else {
      // An object of the wrong class under this code still gets a content
      // of the right length, so what follows stays readable.
      Derived::encodeFields(io, T{});
    }
  }

  Object* decode(ObjectIO& io, Object* into) const final {
    if (into == nullptr) {
      auto created = std::make_unique<T>();
      Derived::decodeFields(io, *created);
      return created.release();
    }
    auto* typed = dynamic_cast<T*>(into);
    if (typed == nullptr) return nullptr;
    Derived::decodeFields(io, *typed);
    return typed;
  }

 protected:
  TypedCodec() = default;
};

}  // namespace kanzo
