#include "net/frame_reader.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

#include "log/cx_log.h"
#include "net/frame_format.h"

namespace kanzo {
namespace {

// Bytes 2 and 3 of every header word, whatever its flag bits.
constexpr char kMagicBytes[] = {0x67, 0x43};
constexpr std::size_t kMagicOffset = 2;
// Gzip framing, with zlib framing accepted as well (window bits 15, plus 32
// for automatic header detection).
constexpr int kInflateWindowBits = 15 + 32;
// How much the inflate area grows at a time; a whole message is at most a
// few tens of kilobytes after inflating.
constexpr std::size_t kInflateStepBytes = 16 * 1024;

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

FrameReader::~FrameReader() { reportDiscarded(); }

void FrameReader::reset() {
  reportDiscarded();
  handedOut_ = 0;
  pending_ = false;
  pendingHeader_ = 0;
  pendingLength_ = 0;
}

void FrameReader::discard(evbuffer* input, std::size_t count) {
  if (count == 0) return;
  evbuffer_drain(input, count);
  discarded_ += count;
  unreported_ += count;
  if (unreported_ >= kDiscardReportBytes) reportDiscarded();
}

void FrameReader::reportDiscarded() {
  if (unreported_ == 0) return;
  KLOG_WARN("丢弃无法识别的数据：%llu字节", static_cast<unsigned long long>(unreported_));
  unreported_ = 0;
}

bool FrameReader::findHeader(evbuffer* input) {
  for (;;) {
    const std::size_t available = evbuffer_get_length(input);
    if (available < kFrameWordBytes) return false;
    // The usual case: the next frame starts right here.
    unsigned char word[kFrameWordBytes];
    evbuffer_copyout(input, word, sizeof word);
    if ((ReadBigEndian32(word) & kFrameMagicMask) == kFrameMagic) {
      // The run of junk, if any, ends at a header.
      reportDiscarded();
      return available >= kFrameHeaderBytes;
    }

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
    // The input now starts with a header word: the loop takes it.
    discard(input, at - kMagicOffset);
  }
}

FrameStatus FrameReader::next(evbuffer* input, FramePayload* payload) {
  if (handedOut_ > 0) {
    evbuffer_drain(input, handedOut_);
    handedOut_ = 0;
  }
  if (!pending_) {
    // The usual case: a whole plain frame at the front of the first chunk is
    // handed out where it lies and leaves the input in one step.
    evbuffer_iovec first{};
    if (evbuffer_peek(input, -1, nullptr, &first, 1) >= 1 && first.iov_len >= kFrameHeaderBytes) {
      const auto* bytes = static_cast<const unsigned char*>(first.iov_base);
      const std::uint32_t word = ReadBigEndian32(bytes);
      const auto length = static_cast<std::int32_t>(ReadBigEndian32(bytes + kFrameWordBytes));
      if ((word & kFrameMagicMask) == kFrameMagic && (word & kFrameCompressedFlag) == 0 && length >= 0 &&
          length <= kMaxFrameLength && first.iov_len >= kFrameHeaderBytes + static_cast<std::size_t>(length)) {
        handedOut_ = kFrameHeaderBytes + static_cast<std::size_t>(length);
        *payload = FramePayload{bytes + kFrameHeaderBytes, static_cast<std::size_t>(length)};
        return FrameStatus::kFrame;
      }
    }
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
  pending_ = false;
  pendingHeader_ = 0;
  pendingLength_ = 0;
  // Contiguous in place: a frame usually lies within one read already.
  const auto* bytes = length > 0 ? evbuffer_pullup(input, static_cast<ev_ssize_t>(length)) : nullptr;
  handedOut_ = length;
  if (!compressed) {
    *payload = FramePayload{bytes, length};
    return FrameStatus::kFrame;
  }
  if (!InflateFramePayload(bytes, length, &inflated_)) return FrameStatus::kDropped;
  *payload = FramePayload{inflated_.data(), inflated_.size()};
  return FrameStatus::kFrame;
}

bool InflateFramePayload(const unsigned char* packed, std::size_t size, std::vector<unsigned char>* out) {
  out->clear();
  if (size < kFrameWordBytes) {
    KLOG_ERROR("压缩数据帧过短：%zu字节，丢弃", size);
    return false;
  }
  const auto claimed = static_cast<std::int32_t>(ReadBigEndian32(packed));
  if (claimed <= 0 || claimed > kMaxInflatedLength) {
    KLOG_ERROR("压缩数据帧声明的长度无效：%d（上限%d），丢弃", claimed, kMaxInflatedLength);
    return false;
  }

  InflateStream inflater;
  if (!inflater.ready) {
    KLOG_ERROR("解压初始化失败");
    return false;
  }
  // The claimed size only bounds the output: the area grows with what the
  // inflater produces, so a frame that claims megabytes and holds a few
  // bytes costs a few bytes.
  const auto limit = static_cast<std::size_t>(claimed);
  z_stream& zs = inflater.stream;
  zs.next_in = const_cast<Bytef*>(packed + kFrameWordBytes);
  zs.avail_in = static_cast<uInt>(size - kFrameWordBytes);
  std::size_t produced = 0;
  int rc = Z_OK;
  while (zs.avail_in > 0 && produced < limit) {
    if (out->size() == produced) out->resize(std::min(limit, produced + kInflateStepBytes));
    zs.next_out = out->data() + produced;
    zs.avail_out = static_cast<uInt>(out->size() - produced);
    rc = inflate(&zs, Z_NO_FLUSH);
    produced = out->size() - zs.avail_out;
    if (rc == Z_STREAM_END) break;
    if (rc != Z_OK) {
      KLOG_ERROR("解压失败：%d %s，丢弃数据帧", rc, zs.msg ? zs.msg : "");
      out->clear();
      return false;
    }
  }
  if ((rc != Z_STREAM_END && produced < limit) || produced == 0) {
    KLOG_ERROR("压缩数据不完整：解出%zu字节，声明%d字节，丢弃数据帧", produced, claimed);
    out->clear();
    return false;
  }
  // Only what the inflater produced is handed on, never the whole area.
  out->resize(produced);
  return true;
}

}  // namespace kanzo
