#pragma once
// Takes frames out of the bytes received from the chat server. It holds no
// socket: the network thread feeds it the connection's input buffer, tests
// feed it any bytes. Between calls it remembers the header of a frame whose
// payload has not fully arrived.
#include <event2/buffer.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kanzo {

enum class FrameStatus {
  kNeedMore,  // no complete frame yet; nothing more to do until bytes arrive
  kFrame,     // one payload taken (inflated when the frame was compressed)
  kDropped,   // one frame taken whose payload is unusable (logged); go on
  kBroken,    // a length no frame can have: the stream cannot be trusted
};

// The message bytes of one frame: a view into the input (or into the
// reader's inflate area), valid until the reader's next call.
struct FramePayload {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
};

class FrameReader {
 public:
  // A run of skipped bytes is reported once it has grown this long, so a
  // stream of junk that never ends still shows in the log, a line per
  // this many bytes rather than a line per stray header byte.
  static constexpr std::uint64_t kDiscardReportBytes = 64 * 1024;

  FrameReader() = default;
  // Reports a run of skipped bytes still unreported.
  ~FrameReader();
  FrameReader(const FrameReader&) = delete;
  FrameReader& operator=(const FrameReader&) = delete;

  // Takes at most one frame from the front of `input`; on kFrame `payload`
  // shows its message bytes, which leave the input on the next call. Bytes
  // before a header are discarded.
  FrameStatus next(evbuffer* input, FramePayload* payload);

  // Forgets a partly received frame (the connection it came on is gone,
  // and its input buffer with it) and reports the bytes skipped since the
  // last report.
  void reset();

  bool framePending() const { return pending_; }
  // Bytes skipped while looking for a header, over the reader's life.
  std::uint64_t discardedBytes() const { return discarded_; }

 private:
  // Drops bytes until the input starts with a header word and holds a whole
  // header; false when more bytes are needed first.
  bool findHeader(evbuffer* input);
  void discard(evbuffer* input, std::size_t count);
  // One Warning for the run of bytes skipped since the last one, if any.
  void reportDiscarded();

  // Bytes of the frame last handed out, still at the front of the input.
  std::size_t handedOut_ = 0;
  std::vector<unsigned char> inflated_;
  bool pending_ = false;
  std::uint32_t pendingHeader_ = 0;
  std::int32_t pendingLength_ = 0;
  std::uint64_t discarded_ = 0;
  // Skipped bytes not yet in the log: junk that repeats a header's start
  // bytes is skipped a few bytes at a time, and a line for each piece would
  // grow the log in step with what the server sends.
  std::uint64_t unreported_ = 0;
};

// Inflates a compressed payload: a 4-byte big-endian size of the message,
// then a gzip stream of it. `out` gets exactly the message bytes produced;
// false (and a log line) when the size is out of bounds or the stream is
// corrupt.
bool InflateFramePayload(const unsigned char* packed, std::size_t size, std::vector<unsigned char>* out);

}  // namespace kanzo
