#pragma once
// The result codes of the simulator's answers. Command codes are the
// protocol's (protocol/commands.h); the results the client tells apart, the
// notice bodies and the visitor states are the wire's
// (protocol/wire_values.h).
#include <cstdint>

#include "protocol/commands.h"
#include "protocol/wire_values.h"

namespace kanzo {

// RESULT values of the simulator's other failures: the client only needs
// them to be non-zero.
inline constexpr std::uint8_t kResultFailed = 1;
inline constexpr std::uint8_t kResultBadRequest = 2;
inline constexpr std::uint8_t kResultBadCredentials = 3;
inline constexpr std::uint8_t kResultRejected = 4;
inline constexpr std::uint8_t kResultUnknownUser = 5;
inline constexpr std::uint8_t kResultNotLoggedIn = 9;
inline constexpr std::uint8_t kResultUnknownCommand = 10;

}  // namespace kanzo
