#include "app/crash_local_time.h"

#include <time.h>

namespace kanzo {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

std::int64_t LocalOffset(std::int64_t utcSeconds) {
  const time_t t = static_cast<time_t>(utcSeconds);
  struct tm local {};
  if (localtime_r(&t, &local) == nullptr) return 0;
  return local.tm_gmtoff;
}

}  // namespace

void UtcOffsetTable::Capture(std::int64_t now) {
  tzset();
  baseOffset_ = LocalOffset(now);
  changeCount_ = 0;
  std::int64_t previous = baseOffset_;
  std::int64_t dayStart = now;
  // Zones change their offset at most a few times a year and never twice
  // within one day, so a daily probe finds every change and a binary search
  // pins it to the second.
  for (int day = 1; day <= kHorizonDays && changeCount_ < kMaxChanges; ++day) {
    const std::int64_t probe = now + day * kSecondsPerDay;
    const std::int64_t offset = LocalOffset(probe);
    if (offset != previous) {
      std::int64_t low = dayStart;  // has the previous offset
      std::int64_t high = probe;    // has the new one
      while (high - low > 1) {
        const std::int64_t mid = low + (high - low) / 2;
        if (LocalOffset(mid) == previous)
          low = mid;
        else
          high = mid;
      }
      changeAt_[changeCount_] = high;
      changeOffset_[changeCount_] = offset;
      ++changeCount_;
      previous = offset;
    }
    dayStart = probe;
  }
}

std::int64_t UtcOffsetTable::OffsetAt(std::int64_t utcSeconds) const {
  std::int64_t offset = baseOffset_;
  for (int i = 0; i < changeCount_ && changeAt_[i] <= utcSeconds; ++i) offset = changeOffset_[i];
  return offset;
}

}  // namespace kanzo
