#pragma once
// The window message that carries a received message from the dispatcher
// (net/window_network_future.h) to the window that registered its command.
#include <cstdint>

#include "platform/window_payload.h"
#include "protocol/message.h"

namespace kanzo {

// Event codes are flags. The dispatcher raises only "a message has been
// received"; the other bits are reserved in the protocol's event mask.
using NetworkEvent = std::uint16_t;
inline constexpr NetworkEvent kNetworkEvent1 = 1;
inline constexpr NetworkEvent kNetworkEvent2 = 2;
inline constexpr NetworkEvent kNetworkEvent4 = 4;
inline constexpr NetworkEvent kNetworkEventMessage = 8;
inline constexpr NetworkEvent kAllNetworkEvents = 0x0F;

// First parameter the event (kNetworkEventMessage); the Message is the
// window's to take.
inline constexpr std::uint32_t kNetworkWindowMessage = 2024;
inline constexpr platform::OwnedPayload<Message> kNetworkMessage{kNetworkWindowMessage};

}  // namespace kanzo
