#pragma once
// What receives the messages the dispatcher decodes.
#include <cstdint>
#include <memory>

#include "platform/window_message.h"
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

// The window message that carries a received Message to its window: first
// parameter the event (8), second the Message, which the window then owns.
inline constexpr std::uint32_t kNetworkWindowMessage = 2024;

// In a window's handler of kNetworkWindowMessage with event 8: takes
// ownership of the Message carried in the second parameter.
inline std::unique_ptr<Message> TakeNetworkMessage(platform::LParam lParam) {
  return std::unique_ptr<Message>(reinterpret_cast<Message*>(lParam));
}

class NetworkFuture {
 public:
  explicit NetworkFuture(NetworkEvent events) : events_(events) {}
  virtual ~NetworkFuture() = default;
  NetworkFuture(const NetworkFuture&) = delete;
  NetworkFuture& operator=(const NetworkFuture&) = delete;

  virtual NetworkEvent events() const { return events_; }
  // Receives one message for one event (network thread); takes ownership.
  // The base lets it go.
  virtual void deliver(NetworkEvent event, std::unique_ptr<Message> message);

 private:
  NetworkEvent events_;
};

}  // namespace kanzo
