// Fuzz target of the frame reader: the bytes after the first four arrive in
// pieces whose sizes the first four choose, as a connection would deliver
// them. Plain and compressed frames, lengths at and past the bounds: the
// reader must never hand out more than a frame can hold, never read past
// what it was given, and always make progress.
#include <event2/buffer.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "net/frame_format.h"
#include "net/frame_reader.h"

namespace {

constexpr std::size_t kPieceSizeBytes = 4;
constexpr std::size_t kLargestPiece = 4096;

struct FreeBuffer {
  void operator()(evbuffer* b) const { evbuffer_free(b); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kPieceSizeBytes) return 0;
  std::unique_ptr<evbuffer, FreeBuffer> input(evbuffer_new());
  kanzo::FrameReader reader;
  std::size_t pos = kPieceSizeBytes;
  std::size_t piece = 0;
  volatile unsigned checksum = 0;
  while (pos < size) {
    // Pieces of 1 byte to several kilobytes, in the order the seed picks.
    const std::size_t want = 1 + (data[piece % kPieceSizeBytes] * (piece + 1) * 37) % kLargestPiece;
    const std::size_t take = want < size - pos ? want : size - pos;
    evbuffer_add(input.get(), data + pos, take);
    pos += take;
    ++piece;
    for (int turns = 0;; ++turns) {
      const std::size_t before = evbuffer_get_length(input.get());
      kanzo::FramePayload payload;
      const kanzo::FrameStatus status = reader.next(input.get(), &payload);
      if (status == kanzo::FrameStatus::kNeedMore) break;
      if (status == kanzo::FrameStatus::kBroken) {
        // As the network does: the stream is given up and starts afresh.
        reader.reset();
        evbuffer_drain(input.get(), evbuffer_get_length(input.get()));
        break;
      }
      if (status == kanzo::FrameStatus::kFrame) {
        if (payload.size > static_cast<std::size_t>(kanzo::kMaxInflatedLength)) std::abort();
        if (payload.size > 0 && payload.data == nullptr) std::abort();
        // Every byte handed out must be readable.
        for (std::size_t i = 0; i < payload.size; ++i) checksum = checksum + payload.data[i];
      }
      // A frame or a dropped frame takes bytes with it (on the next call at
      // the latest), so the turns are bounded by what arrived.
      if (static_cast<std::size_t>(turns) > before + 1) std::abort();
    }
  }
  return 0;
}
