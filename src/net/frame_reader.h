#pragma once
// Takes frames out of the bytes received from the chat server. It holds no
// socket: the network thread feeds it the connection's input buffer, tests
// feed it any bytes. Between calls it remembers the header of a frame whose
// payload has not fully arrived.
#include <event2/buffer.h>

#include <cstddef>
#include <cstdint>

namespace kanzo {

enum class FrameStatus {
  kNeedMore,  // no complete frame yet; nothing more to do until bytes arrive
  kFrame,     // one payload taken (inflated when the frame was compressed)
  kDropped,   // one frame taken whose payload is unusable (logged); go on
  kBroken,    // a length no frame can have: the stream cannot be trusted
};

class FrameReader {
 public:
  // Takes at most one frame from the front of `input`; on kFrame its message
  // bytes are appended to `payload`. Bytes before a header are discarded.
  FrameStatus next(evbuffer* input, evbuffer* payload);

  // Forgets a partly received frame (the connection it came on is gone).
  void reset();

  bool framePending() const { return pending_; }
  // Bytes skipped while looking for a header, over the reader's life.
  std::uint64_t discardedBytes() const { return discarded_; }

 private:
  // Drops bytes until the input starts with a header word and holds a whole
  // header; false when more bytes are needed first.
  bool findHeader(evbuffer* input);
  void discard(evbuffer* input, std::size_t count);

  bool pending_ = false;
  std::uint32_t pendingHeader_ = 0;
  std::int32_t pendingLength_ = 0;
  std::uint64_t discarded_ = 0;
};

// Inflates a compressed payload: a 4-byte big-endian size of the message,
// then a gzip stream of it. Appends the message bytes to `out`; false (and a
// log line) when the size is out of bounds or the stream is corrupt.
bool InflateFramePayload(evbuffer* packed, evbuffer* out);

}  // namespace kanzo
