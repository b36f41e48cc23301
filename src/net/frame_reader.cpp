#include "net/frame_reader.h"

#include <zlib.h>

#include <vector>

#include "log/cx_log.h"
#include "net/event_handles.h"
#include "net/frame_format.h"

namespace kanzo {
namespace {

// Bytes 2 and 3 of every header word, whatever its flag bits.
constexpr char kMagicBytes[] = {0x67, 0x43};
constexpr std::size_t kMagicOffset = 2;
// Gzip framing, with zlib framing accepted as well (window bits 15, plus 32
// for automatic header detection).
constexpr int kInflateWindowBits = 15 + 32;

struct InflateStream {
  z_stream stream{};
  bool ready = false;
  InflateStream() { ready = inflateInit2(&stream, kInflateWindowBits) == Z_OK; }
  ~InflateStream() {
    if (ready) inflateEnd(&stream);
  }
  InflateStream(const InflateStream&) = delete;
  InflateStream& operator=(const InflateStream&) = delete;
};

}  // namespace

void FrameReader::reset() {
  pending_ = false;
  pendingHeader_ = 0;
  pendingLength_ = 0;
}

void FrameReader::discard(evbuffer* input, std::size_t count) {
  if (count == 0) return;
  evbuffer_drain(input, count);
  discarded_ += count;
  KLOG_WARN("丢弃无法识别的数据：%zu字节", count);
}

bool FrameReader::findHeader(evbuffer* input) {
  for (;;) {
    const std::size_t available = evbuffer_get_length(input);
    if (available < kFrameWordBytes) return false;
    const evbuffer_ptr found = evbuffer_search(input, kMagicBytes, sizeof kMagicBytes, nullptr);
    if (found.pos < 0) {
      // The last bytes may be the start of a header still arriving.
      discard(input, available - (kFrameWordBytes - 1));
      return false;
    }
    const auto at = static_cast<std::size_t>(found.pos);
    if (at < kMagicOffset) {
      discard(input, at + 1);
      continue;
    }
    discard(input, at - kMagicOffset);
    return evbuffer_get_length(input) >= kFrameHeaderBytes;
  }
}

FrameStatus FrameReader::next(evbuffer* input, evbuffer* payload) {
  if (!pending_) {
    if (!findHeader(input)) return FrameStatus::kNeedMore;
    unsigned char header[kFrameHeaderBytes];
    evbuffer_remove(input, header, sizeof header);
    const std::uint32_t word = ReadBigEndian32(header);
    const auto length = static_cast<std::int32_t>(ReadBigEndian32(header + kFrameWordBytes));
    if (length < 0 || length > kMaxFrameLength) {
      KLOG_ERROR("数据帧长度无效：%d（上限%d），连接数据已损坏", length, kMaxFrameLength);
      return FrameStatus::kBroken;
    }
    pending_ = true;
    pendingHeader_ = word;
    pendingLength_ = length;
  }
  const auto length = static_cast<std::size_t>(pendingLength_);
  if (evbuffer_get_length(input) < length) return FrameStatus::kNeedMore;

  const bool compressed = (pendingHeader_ & kFrameCompressedFlag) != 0;
  reset();
  if (!compressed) {
    evbuffer_remove_buffer(input, payload, length);
    return FrameStatus::kFrame;
  }
  const EvBufferPtr packed = NewEvBuffer();
  evbuffer_remove_buffer(input, packed.get(), length);
  return InflateFramePayload(packed.get(), payload) ? FrameStatus::kFrame : FrameStatus::kDropped;
}

bool InflateFramePayload(evbuffer* packed, evbuffer* out) {
  unsigned char sizeBytes[kFrameWordBytes];
  if (evbuffer_remove(packed, sizeBytes, sizeof sizeBytes) != static_cast<int>(sizeof sizeBytes)) {
    KLOG_ERROR("压缩数据帧过短：%zu字节，丢弃", evbuffer_get_length(packed));
    return false;
  }
  const auto size = static_cast<std::int32_t>(ReadBigEndian32(sizeBytes));
  if (size <= 0 || size > kMaxInflatedLength) {
    KLOG_ERROR("压缩数据帧声明的长度无效：%d（上限%d），丢弃", size, kMaxInflatedLength);
    return false;
  }

  InflateStream inflater;
  if (!inflater.ready) {
    KLOG_ERROR("解压初始化失败");
    return false;
  }
  evbuffer_iovec area{};
  if (evbuffer_reserve_space(out, size, &area, 1) != 1) {
    KLOG_ERROR("解压缓冲区分配失败：%d字节", size);
    return false;
  }
  z_stream& zs = inflater.stream;
  zs.next_out = static_cast<Bytef*>(area.iov_base);
  zs.avail_out = static_cast<uInt>(size);

  const int chunks = evbuffer_peek(packed, -1, nullptr, nullptr, 0);
  std::vector<evbuffer_iovec> input(static_cast<std::size_t>(chunks > 0 ? chunks : 0));
  if (chunks > 0) evbuffer_peek(packed, -1, nullptr, input.data(), chunks);

  int rc = Z_OK;
  for (const evbuffer_iovec& chunk : input) {
    zs.next_in = static_cast<Bytef*>(chunk.iov_base);
    zs.avail_in = static_cast<uInt>(chunk.iov_len);
    while (zs.avail_in > 0 && zs.avail_out > 0) {
      rc = inflate(&zs, Z_NO_FLUSH);
      if (rc == Z_STREAM_END) break;
      if (rc != Z_OK) {
        KLOG_ERROR("解压失败：%d %s，丢弃数据帧", rc, zs.msg ? zs.msg : "");
        return false;
      }
    }
    if (rc == Z_STREAM_END || zs.avail_out == 0) break;
  }
  const auto produced = static_cast<std::size_t>(size) - zs.avail_out;
  if ((rc != Z_STREAM_END && zs.avail_out != 0) || produced == 0) {
    KLOG_ERROR("压缩数据不完整：解出%zu字节，声明%d字节，丢弃数据帧", produced, size);
    return false;
  }
  // Only what the inflater produced is handed on, never the whole area.
  area.iov_len = produced;
  evbuffer_commit_space(out, &area, 1);
  return true;
}

}  // namespace kanzo
