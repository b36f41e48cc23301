#include "protocol/buffer.h"

#include <event2/buffer.h>

namespace kanzo {

void Buffer::EvbufferFree::operator()(evbuffer* b) const { evbuffer_free(b); }

Buffer::Buffer() : owned_(evbuffer_new()), buffer_(owned_.get()) {}

Buffer::Buffer(evbuffer* wrapped) : buffer_(wrapped) {}

Buffer::~Buffer() = default;

void Buffer::write(const void* data, std::int32_t length) {
  if (buffer_ == nullptr || data == nullptr || length <= 0) return;
  evbuffer_add(buffer_, data, static_cast<std::size_t>(length));
}

std::int32_t Buffer::read(void* data, std::int32_t length) {
  if (buffer_ == nullptr || data == nullptr || length <= 0) return 0;
  const int got = evbuffer_remove(buffer_, data, static_cast<std::size_t>(length));
  return got < 0 ? 0 : got;
}

std::size_t Buffer::length() const { return buffer_ == nullptr ? 0 : evbuffer_get_length(buffer_); }

}  // namespace kanzo
