#pragma once
// The one dispatcher of the client: turns messages into frames when windows
// send, and frames received on the network thread into Message objects for
// its listener.
#include <atomic>
#include <cstdint>
#include <memory>

#include "net/frame_reader.h"
#include "net/network_future.h"
#include "net/socket_client.h"
#include "protocol/buffer.h"
#include "protocol/message.h"

namespace kanzo {

class Network : public SocketClient {
 public:
  // The listener receives every message; the caller keeps ownership and
  // must keep it alive until the network thread has ended.
  explicit Network(NetworkFuture* listener);
  Network(NetworkFuture* listener, const Deadlines& deadlines);
  ~Network() override;

  // Any thread. Stamps the current session id on `message`, encodes it and
  // queues its frame; the caller may destroy the message on return. 0 when
  // queued (also while the connection is down); -1 when the message cannot
  // travel (too large for a frame) or the dispatcher has exited.
  int send(Message& message);

  // Messages decoded so far (any thread; statistics and benchmarks).
  std::uint64_t receivedMessages() const { return received_.load(std::memory_order_relaxed); }

 protected:
  // The frame reader (network thread).
  void onRead(evbuffer* input) override;
  void onConnectionLost() override;
  // One decoded message (network thread).
  virtual void onMessage(NetworkEvent event, std::unique_ptr<Message> message);
  virtual void deliver(NetworkFuture* future, NetworkEvent event, std::unique_ptr<Message> message);

 private:
  NetworkFuture* listener_;
  FrameReader reader_;
  std::atomic<std::uint64_t> received_{0};
};

}  // namespace kanzo
