#include "app/signal_safe_writer.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kanzo {
namespace {

constexpr char kDigits[] = "0123456789abcdef";
constexpr std::size_t kHexBase = 16;

}  // namespace

std::size_t FormatUnsigned(char* out, std::uint64_t value, unsigned base, std::size_t minDigits) {
  if (base < 2 || base > kHexBase) base = 10;
  char reversed[kMaxNumberDigits + 1];
  std::size_t n = 0;
  do {
    reversed[n++] = kDigits[value % base];
    value /= base;
  } while (value != 0 && n < sizeof(reversed));
  std::size_t length = 0;
  for (std::size_t pad = n; pad < minDigits; ++pad) out[length++] = '0';
  while (n > 0) out[length++] = reversed[--n];
  out[length] = '\0';
  return length;
}

int WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    // A regular file answers 0 only when nothing more fits.
    if (written == 0) return ENOSPC;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return 0;
}

SignalSafeWriter& SignalSafeWriter::Bytes(const char* data, std::size_t size) {
  while (size > 0 && error_ == 0) {
    if (used_ == kBufferSize) Flush();
    const std::size_t room = kBufferSize - used_;
    const std::size_t chunk = size < room ? size : room;
    std::memcpy(buffer_ + used_, data, chunk);
    used_ += chunk;
    data += chunk;
    size -= chunk;
  }
  return *this;
}

SignalSafeWriter& SignalSafeWriter::Text(const char* text) { return text ? Bytes(text, std::strlen(text)) : *this; }

SignalSafeWriter& SignalSafeWriter::Char(char c) { return Bytes(&c, 1); }

SignalSafeWriter& SignalSafeWriter::Dec(std::int64_t value) {
  if (value < 0) {
    Char('-');
    // Negating in unsigned arithmetic keeps the smallest value exact.
    return Unsigned(0 - static_cast<std::uint64_t>(value));
  }
  return Unsigned(static_cast<std::uint64_t>(value));
}

SignalSafeWriter& SignalSafeWriter::Unsigned(std::uint64_t value) {
  char text[kMaxNumberDigits + 1];
  return Bytes(text, FormatUnsigned(text, value, 10));
}

SignalSafeWriter& SignalSafeWriter::Hex(std::uint64_t value, std::size_t minDigits) {
  char text[kMaxNumberDigits + 1];
  if (minDigits > kMaxNumberDigits) minDigits = kMaxNumberDigits;
  Bytes("0x", 2);
  return Bytes(text, FormatUnsigned(text, value, kHexBase, minDigits));
}

SignalSafeWriter& SignalSafeWriter::Padded(const char* text, std::size_t width) {
  const std::size_t length = std::strlen(text);
  Bytes(text, length);
  for (std::size_t i = length; i < width; ++i) Char(' ');
  return *this;
}

int SignalSafeWriter::Flush() {
  if (error_ == 0 && used_ > 0) error_ = WriteAll(fd_, buffer_, used_);
  used_ = 0;
  return error_;
}

}  // namespace kanzo
