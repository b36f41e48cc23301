#pragma once
// The stream over a libevent byte buffer: either one it made and frees, or
// one it only wraps (a socket's input, say).
#include <cstddef>
#include <cstdint>
#include <memory>

#include "protocol/object_io.h"

struct evbuffer;

namespace kanzo {

class Buffer final : public ObjectIO {
 public:
  // A fresh, owned evbuffer.
  Buffer();
  // Wraps `wrapped` without owning it; it must outlive the Buffer.
  explicit Buffer(evbuffer* wrapped);
  ~Buffer() override;
  Buffer(const Buffer&) = delete;
  Buffer& operator=(const Buffer&) = delete;

  void write(const void* data, std::int32_t length) override;
  std::int32_t read(void* data, std::int32_t length) override;

  // Bytes held.
  std::size_t length() const;
  // The wrapped evbuffer, for moving whole buffers with evbuffer_add_buffer
  // and evbuffer_remove_buffer.
  evbuffer* buffer() const { return buffer_; }
  bool owns() const { return owned_ != nullptr; }

 private:
  struct EvbufferFree {
    void operator()(evbuffer* b) const;
  };
  std::unique_ptr<evbuffer, EvbufferFree> owned_;
  evbuffer* buffer_ = nullptr;
};

}  // namespace kanzo
