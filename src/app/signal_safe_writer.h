#pragma once
// Output for code that runs inside a fault handler: no allocation, no stdio,
// no locks. Text is collected in a fixed buffer on the caller's stack and
// handed to write(2); the first failed write is remembered and every later
// call becomes a no-op, so a report either reaches the file whole or tells
// why it did not.
#include <cstddef>
#include <cstdint>

namespace kanzo {

// Longest text of a 64-bit number in base 10 or 16, without terminator.
inline constexpr std::size_t kMaxNumberDigits = 20;

// Writes `value` in `base` (10 or 16, lower-case digits) with at least
// `minDigits` digits (zero-padded) into `out`, which must hold
// max(kMaxNumberDigits, minDigits) + 1 bytes; returns the length. The text is
// terminated.
std::size_t FormatUnsigned(char* out, std::uint64_t value, unsigned base, std::size_t minDigits = 1);

// Writes all of `size` bytes, retrying after interruptions and short writes.
// Returns 0, or the errno of the failed write.
int WriteAll(int fd, const char* data, std::size_t size);

class SignalSafeWriter {
 public:
  explicit SignalSafeWriter(int fd) : fd_(fd) {}
  SignalSafeWriter(const SignalSafeWriter&) = delete;
  SignalSafeWriter& operator=(const SignalSafeWriter&) = delete;

  SignalSafeWriter& Text(const char* text);
  SignalSafeWriter& Bytes(const char* data, std::size_t size);
  SignalSafeWriter& Char(char c);
  SignalSafeWriter& Dec(std::int64_t value);
  SignalSafeWriter& Unsigned(std::uint64_t value);
  // "0x" and at least `minDigits` hexadecimal digits.
  SignalSafeWriter& Hex(std::uint64_t value, std::size_t minDigits = 1);
  // Padded with blanks on the right to `width` bytes.
  SignalSafeWriter& Padded(const char* text, std::size_t width);

  // Hands the buffered text to the file; returns error().
  int Flush();
  // 0 while every write succeeded, else the errno of the first failure.
  int error() const { return error_; }

 private:
  static constexpr std::size_t kBufferSize = 4096;
  int fd_;
  int error_ = 0;
  std::size_t used_ = 0;
  char buffer_[kBufferSize];
};

}  // namespace kanzo
