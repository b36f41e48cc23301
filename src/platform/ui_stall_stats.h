#pragma once
// How late the ticks of a timer on the user-interface thread fired: a tick
// that fires late means the thread was busy with something else for that
// long. Kept as a histogram of whole milliseconds, so a probe that runs for
// the whole life of the program uses the same small memory throughout.
#include <array>
#include <chrono>
#include <cstdint>

namespace kanzo::platform {

class UiStallStats {
 public:
  // Late ticks over this count as stalls a user notices.
  static constexpr std::chrono::milliseconds kNoticeable{50};
  // Lateness of this much and more shares the last bucket; Longest still
  // holds the exact worst.
  static constexpr int kBucketCount = 1000;

  void Record(std::chrono::microseconds lateness);
  void Reset();

  std::int64_t Ticks() const { return ticks_; }
  std::chrono::microseconds Longest() const { return longest_; }
  // Ticks later than kNoticeable.
  std::int64_t CountNoticeable() const { return noticeable_; }
  // The lateness that `share` (0..1) of the ticks did not exceed, to the
  // millisecond above; zero before the first tick.
  std::chrono::milliseconds Percentile(double share) const;

 private:
  std::array<std::int64_t, kBucketCount> buckets_{};
  std::int64_t ticks_ = 0;
  std::int64_t noticeable_ = 0;
  std::chrono::microseconds longest_{0};
};

}  // namespace kanzo::platform
