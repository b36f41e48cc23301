#pragma once
// Helpers for tests that look at the bytes a stream holds.
#include <event2/buffer.h>

#include <cstdint>
#include <string>
#include <vector>

#include "protocol/buffer.h"

namespace kanzo::test {

using Bytes = std::vector<std::uint8_t>;

// The bytes held, left in place.
inline Bytes Peek(const Buffer& buffer) {
  Bytes out(buffer.length());
  if (!out.empty()) evbuffer_copyout(buffer.buffer(), out.data(), out.size());
  return out;
}

inline void Fill(Buffer& buffer, const Bytes& bytes) {
  buffer.write(bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

inline std::string Hex(const Bytes& bytes) {
  static const char* kDigits = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i) out += ' ';
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 0xF];
  }
  return out;
}

}  // namespace kanzo::test
