#pragma once
// Network-order integers in plain byte arrays, whatever the machine's order.
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace kanzo {

template <typename T>
void StoreBigEndian(unsigned char* out, T value) {
  using U = std::make_unsigned_t<T>;
  U bits = static_cast<U>(value);
  for (std::size_t i = sizeof(U); i-- > 0;) {
    out[i] = static_cast<unsigned char>(bits & 0xFFu);
    bits = static_cast<U>(bits >> 8);
  }
}

template <typename T>
T LoadBigEndian(const unsigned char* in) {
  using U = std::make_unsigned_t<T>;
  U bits = 0;
  for (std::size_t i = 0; i < sizeof(U); ++i) bits = static_cast<U>((bits << 8) | in[i]);
  return static_cast<T>(bits);
}

}  // namespace kanzo
