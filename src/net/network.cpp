#include "net/network.h"

#include <algorithm>
#include <cstring>

#include "log/cx_log.h"
#include "net/frame_format.h"
#include "net/session_id.h"

namespace kanzo {
namespace {

// reserved, MESSAGE_ID, command, RESULT, SESSION_ID and the body's type
// code: a payload shorter than this cannot hold a message.
constexpr std::size_t kMessageHeaderBytes = 1 + 8 + 4 + 1 + 8 + 2;

// Reads a message straight from the frame's bytes where they lie.
class PayloadReader final : public ObjectIO {
 public:
  explicit PayloadReader(const FramePayload& payload) : next_(payload.data), left_(payload.size) {}
  void write(const void* /*data*/, std::int32_t /*length*/) override {}
  std::int32_t read(void* data, std::int32_t length) override {
    if (length <= 0) return 0;
    const std::size_t count = std::min(left_, static_cast<std::size_t>(length));
    if (count > 0) std::memcpy(data, next_, count);
    next_ += count;
    left_ -= count;
    return static_cast<std::int32_t>(count);
  }

 private:
  const unsigned char* next_;
  std::size_t left_;
};

}  // namespace

Network::Network(NetworkFuture* listener) : listener_(listener) {}

Network::Network(NetworkFuture* listener, const Deadlines& deadlines) : SocketClient(deadlines), listener_(listener) {}

// The thread calls back into this object, so it ends before the members go.
Network::~Network() { shutdown(); }

int Network::send(Message& message) {
  message.SESSION_ID = CurrentSessionId();
  Buffer body;
  writeMessage(body, message);
  if (body.length() > static_cast<std::size_t>(kMaxFrameLength)) {
    KLOG_ERROR("消息过长，无法发送：MESSAGE_ID=%lld command=%d 长度=%zu", static_cast<long long>(message.MESSAGE_ID),
               message.command, body.length());
    return -1;
  }
  auto frame = std::make_unique<Buffer>();
  AppendFrame(frame->buffer(), body.buffer());
  return write(std::move(frame)) ? 0 : -1;
}

void Network::onRead(evbuffer* input) {
  for (;;) {
    FramePayload payload;
    switch (reader_.next(input, &payload)) {
      case FrameStatus::kNeedMore: return;
      case FrameStatus::kBroken:
        // Nothing after a false length can be framed again: start afresh.
        reader_.reset();
        evbuffer_drain(input, evbuffer_get_length(input));
        dropConnection();
        return;
      case FrameStatus::kDropped: continue;
      case FrameStatus::kFrame: break;
    }
    if (payload.size < kMessageHeaderBytes) {
      KLOG_ERROR("数据帧过短，不是完整的消息：%zu字节，丢弃", payload.size);
      continue;
    }
    // Bytes of a body that no codec reads stay behind with the frame.
    PayloadReader reader(payload);
    std::unique_ptr<Message> message = readMessage(reader);
    if (!reader.ok()) {
      // A message cut inside its header or body would reach its handler
      // without the data the server meant (a login answer would read as a
      // failed login): it is dropped here, the frames after it are whole.
      KLOG_ERROR("消息不完整，丢弃：MESSAGE_ID=%lld command=%d 帧长%zu字节",
                 static_cast<long long>(message->MESSAGE_ID), message->command, payload.size);
      continue;
    }
    received_.fetch_add(1, std::memory_order_relaxed);
    KLOG_DEBUG("收到消息：MESSAGE_ID=%lld command=%d RESULT=%d", static_cast<long long>(message->MESSAGE_ID),
               message->command, message->RESULT);
    onMessage(kNetworkEventMessage, std::move(message));
  }
}

void Network::onConnectionLost() { reader_.reset(); }

void Network::onMessage(NetworkEvent event, std::unique_ptr<Message> message) {
  if (listener_ && (listener_->events() & event)) deliver(listener_, event, std::move(message));
}

void Network::deliver(NetworkFuture* future, NetworkEvent event, std::unique_ptr<Message> message) {
  future->deliver(event, std::move(message));
}

}  // namespace kanzo
