#include "net/network.h"

#include "log/cx_log.h"
#include "net/frame_format.h"
#include "net/session_id.h"

namespace kanzo {
namespace {

// reserved, MESSAGE_ID, command, RESULT, SESSION_ID and the body's type
// code: a payload shorter than this cannot hold a message.
constexpr std::size_t kMessageHeaderBytes = 1 + 8 + 4 + 1 + 8 + 2;

}  // namespace

Network::Network(NetworkFuture* listener) : listener_(listener) {}

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
  frame->writeInt(static_cast<std::int32_t>(kFrameMagic));
  frame->writeInt(static_cast<std::int32_t>(body.length()));
  evbuffer_add_buffer(frame->buffer(), body.buffer());
  return write(std::move(frame)) ? 0 : -1;
}

void Network::onRead(evbuffer* input) {
  if (!payload_) payload_ = std::make_unique<Buffer>();
  for (;;) {
    const FrameStatus status = reader_.next(input, payload_->buffer());
    switch (status) {
      case FrameStatus::kNeedMore:
        return;
      case FrameStatus::kBroken:
        // Nothing after a false length can be framed again: start afresh.
        evbuffer_drain(input, evbuffer_get_length(input));
        dropConnection();
        return;
      case FrameStatus::kDropped:
        continue;
      case FrameStatus::kFrame:
        break;
    }
    const std::size_t length = payload_->length();
    if (length < kMessageHeaderBytes) {
      KLOG_ERROR("数据帧过短，不是完整的消息：%zu字节，丢弃", length);
    } else {
      payload_->resetOk();
      std::unique_ptr<Message> message = readMessage(*payload_);
      received_.fetch_add(1, std::memory_order_relaxed);
      KLOG_DEBUG("收到消息：MESSAGE_ID=%lld command=%d RESULT=%d", static_cast<long long>(message->MESSAGE_ID),
                 message->command, message->RESULT);
      onMessage(kNetworkEventMessage, std::move(message));
    }
    // Bytes of a body no codec reads belong to this frame only.
    evbuffer_drain(payload_->buffer(), payload_->length());
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
