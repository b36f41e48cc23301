#pragma once
// Building frames byte by byte, as the chat server sends them.
#include <zlib.h>

#include <cstdint>
#include <string>

namespace kanzo::test {

inline std::string BigEndian32(std::uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (24 - 8 * i)) & 0xFF);
  return bytes;
}

inline std::string FrameOf(const std::string& payload, std::uint32_t header = 0x6743) {
  return BigEndian32(header) + BigEndian32(static_cast<std::uint32_t>(payload.size())) + payload;
}

// A gzip stream of `data`.
inline std::string Gzip(const std::string& data) {
  z_stream zs{};
  deflateInit2(&zs, Z_BEST_SPEED, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&zs, data.size()) + 32, '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = static_cast<uInt>(data.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  deflate(&zs, Z_FINISH);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}

// The payload of a compressed frame: the claimed size, then the gzip stream.
inline std::string CompressedPayload(const std::string& message, std::uint32_t claimedSize) {
  return BigEndian32(claimedSize) + Gzip(message);
}
inline std::string CompressedPayload(const std::string& message) {
  return CompressedPayload(message, static_cast<std::uint32_t>(message.size()));
}

inline constexpr std::uint32_t kCompressedHeader = 0x10006743;

}  // namespace kanzo::test
