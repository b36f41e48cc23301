#pragma once
// The simulator's view of one protocol message: the header fields and the
// body, if it is one of the two the service reads (`Msg`, `Login`). The wire
// form is the protocol library's (packet_codec.h converts); this value type
// only spares the service logic the protocol's ownership rules.
#include <cstdint>
#include <optional>
#include <string>

namespace kanzo {

using ConnId = std::uint64_t;

struct MsgFields {
  std::int32_t account = 0;
  std::int32_t from = 0;
  std::int8_t fromType = 0;
  std::int32_t to = 0;
  std::int8_t toType = 0;
  std::string body;
};

struct LoginFields {
  std::string username;
  std::string password;
  std::int8_t state = 0;
};

struct Packet {
  std::int8_t reserved = 0;
  std::int64_t messageId = 0;
  std::int32_t command = 0;
  std::uint8_t result = 0;
  std::int64_t sessionId = 0;
  // The body's type code as it was read (0: none or of a type nobody reads).
  std::uint16_t bodyType = 0;
  std::optional<MsgFields> msg;
  std::optional<LoginFields> login;
};

}  // namespace kanzo
