#include "platform/ui_stall_stats.h"

#include <algorithm>
#include <cmath>

namespace kanzo::platform {

void UiStallStats::Record(std::chrono::microseconds lateness) {
  lateness = std::max(lateness, std::chrono::microseconds{0});
  // Bucket n holds lateness above n-1 ms up to n ms, so the percentile reads
  // as "no later than".
  const auto upper = std::chrono::ceil<std::chrono::milliseconds>(lateness).count();
  ++buckets_[static_cast<std::size_t>(std::min<std::int64_t>(upper, kBucketCount - 1))];
  ++ticks_;
  if (lateness > kNoticeable) ++noticeable_;
  longest_ = std::max(longest_, lateness);
}

void UiStallStats::Reset() { *this = UiStallStats{}; }

std::chrono::milliseconds UiStallStats::Percentile(double share) const {
  if (ticks_ == 0) return std::chrono::milliseconds{0};
  share = std::clamp(share, 0.0, 1.0);
  const auto wanted =
      std::max<std::int64_t>(1, static_cast<std::int64_t>(std::ceil(share * static_cast<double>(ticks_))));
  std::int64_t seen = 0;
  for (int ms = 0; ms < kBucketCount - 1; ++ms) {
    seen += buckets_[static_cast<std::size_t>(ms)];
    if (seen >= wanted) return std::chrono::milliseconds{ms};
  }
  return std::chrono::ceil<std::chrono::milliseconds>(longest_);
}

}  // namespace kanzo::platform
