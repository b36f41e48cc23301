#pragma once
// Owning handles for libevent objects and sockets. Loop objects (the base,
// the buffered socket, events) are made, used and freed on the network
// thread only; byte buffers may change hands between threads through a
// locked queue, one thread at a time.
#include <event2/buffer.h>
#include <event2/bufferevent.h>
#include <event2/event.h>
#include <unistd.h>

#include <memory>

namespace kanzo {

struct EventBaseDeleter {
  void operator()(event_base* base) const { event_base_free(base); }
};
struct EventDeleter {
  void operator()(event* ev) const { event_free(ev); }
};
struct BufferEventDeleter {
  void operator()(bufferevent* bev) const { bufferevent_free(bev); }
};
struct EvBufferDeleter {
  void operator()(evbuffer* buffer) const { evbuffer_free(buffer); }
};

using EventBasePtr = std::unique_ptr<event_base, EventBaseDeleter>;
using EventPtr = std::unique_ptr<event, EventDeleter>;
using BufferEventPtr = std::unique_ptr<bufferevent, BufferEventDeleter>;
using EvBufferPtr = std::unique_ptr<evbuffer, EvBufferDeleter>;

inline EvBufferPtr NewEvBuffer() { return EvBufferPtr(evbuffer_new()); }

// A socket or pipe end, closed when the holder goes.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { reset(); }
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_ = -1;
};

}  // namespace kanzo
