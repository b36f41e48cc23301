#pragma once
// Local time for the fault handler. localtime() may take locks and read the
// time-zone file, so the handler cannot call it; instead the offsets from UTC
// are learnt once at installation, together with the moments within the
// coming year at which they change (daylight saving), and looked up later
// without any library call.
#include <cstdint>

namespace kanzo {

class UtcOffsetTable {
 public:
  // Learns the offset at `now` and its changes over the following year.
  // Calls tzset() and localtime_r(): not for a signal handler.
  void Capture(std::int64_t now);

  // The offset (seconds east of UTC) at `utcSeconds`; safe in a signal
  // handler. Times before the capture use the offset of the capture, times
  // past the year it covers the last offset learnt.
  std::int64_t OffsetAt(std::int64_t utcSeconds) const;

  int ChangeCount() const { return changeCount_; }

  static constexpr int kMaxChanges = 8;
  static constexpr int kHorizonDays = 400;

 private:
  std::int64_t baseOffset_ = 0;
  int changeCount_ = 0;
  std::int64_t changeAt_[kMaxChanges] = {};
  std::int64_t changeOffset_[kMaxChanges] = {};
};

}  // namespace kanzo
