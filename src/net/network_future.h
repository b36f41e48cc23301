#pragma once
// What receives the messages the dispatcher decodes.
#include <cstdint>
#include <memory>

#include "protocol/message.h"
#include "windows/network_vocabulary.h"

namespace kanzo {

// The event codes and the window message that carries a received message
// (kNetworkMessage, taken with platform::TakePayload) are in
// windows/network_vocabulary.h.

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
