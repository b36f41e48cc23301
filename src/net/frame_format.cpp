#include "net/frame_format.h"

#include <arpa/inet.h>

namespace kanzo {

void AppendFrame(evbuffer* frame, evbuffer* payload) {
  const std::uint32_t header = htonl(kFrameMagic);
  const std::uint32_t length = htonl(static_cast<std::uint32_t>(evbuffer_get_length(payload)));
  evbuffer_add(frame, &header, sizeof header);
  evbuffer_add(frame, &length, sizeof length);
  evbuffer_add_buffer(frame, payload);
}

std::uint32_t ReadBigEndian32(const unsigned char* bytes) {
  return (static_cast<std::uint32_t>(bytes[0]) << 24) | (static_cast<std::uint32_t>(bytes[1]) << 16) |
         (static_cast<std::uint32_t>(bytes[2]) << 8) | static_cast<std::uint32_t>(bytes[3]);
}

}  // namespace kanzo
