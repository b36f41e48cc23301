// The field walkers take only the wire's own field types: a body field of
// another type must fail to compile rather than travel at a width the peer
// does not expect, and reading must never target a const field.
#include <cstdint>
#include <string>
#include <type_traits>

#include "protocol/field_io.h"

namespace kanzo {
namespace {

template <typename Walker, typename Field>
constexpr bool kWalks = std::is_invocable_v<Walker&, Field&>;

static_assert(kWalks<FieldWriter, const std::int8_t> && kWalks<FieldWriter, const std::int16_t> &&
              kWalks<FieldWriter, const std::int32_t> && kWalks<FieldWriter, const std::int64_t> &&
              kWalks<FieldWriter, const std::string>);
static_assert(kWalks<FieldReader, std::int8_t> && kWalks<FieldReader, std::int16_t> &&
              kWalks<FieldReader, std::int32_t> && kWalks<FieldReader, std::int64_t> &&
              kWalks<FieldReader, std::string>);

static_assert(!kWalks<FieldWriter, const bool> && !kWalks<FieldWriter, const std::uint32_t> &&
              !kWalks<FieldWriter, const char> && !kWalks<FieldWriter, const double> &&
              !kWalks<FieldWriter, const char* const>);
static_assert(!kWalks<FieldReader, bool> && !kWalks<FieldReader, std::uint16_t> &&
              !kWalks<FieldReader, const std::int32_t> && !kWalks<FieldReader, const std::string>);

}  // namespace
}  // namespace kanzo
