#include "platform/ui_stall_stats.h"

#include <gtest/gtest.h>

#include <vector>

namespace kanzo::platform {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

struct StatsCase {
  const char* name;
  std::vector<microseconds> lateness;
  microseconds longest;
  milliseconds p50;
  milliseconds p99;
  std::int64_t noticeable;
};

TEST(UiStallStatsTest, FiguresOfRecordedTicks) {
  std::vector<microseconds> ninetyNineQuickOneSlow(99, microseconds{300});
  ninetyNineQuickOneSlow.push_back(microseconds{120'000});
  std::vector<microseconds> twoHundredWithThreeSlow(197, microseconds{0});
  twoHundredWithThreeSlow.push_back(microseconds{51'000});
  twoHundredWithThreeSlow.push_back(microseconds{50'000});
  twoHundredWithThreeSlow.push_back(microseconds{50'000});
  const StatsCase cases[] = {
      {"nothing recorded", {}, microseconds{0}, milliseconds{0}, milliseconds{0}, 0},
      // An early tick is not a negative stall.
      {"early tick", {microseconds{-700}}, microseconds{0}, milliseconds{0}, milliseconds{0}, 0},
      // Percentiles round up to the millisecond: "no later than".
      {"one slow tick in a hundred", ninetyNineQuickOneSlow, microseconds{120'000}, milliseconds{1}, milliseconds{1},
       1},
      // Exactly the threshold is not over it.
      {"threshold itself", twoHundredWithThreeSlow, microseconds{51'000}, milliseconds{0}, milliseconds{50}, 1},
      // Past the last bucket a percentile reads as the exact worst.
      {"beyond the histogram",
       {microseconds{3'500'000}, microseconds{2'000'000}},
       microseconds{3'500'000},
       milliseconds{3500},
       milliseconds{3500},
       2},
  };
  for (const StatsCase& c : cases) {
    SCOPED_TRACE(c.name);
    UiStallStats stats;
    for (const microseconds late : c.lateness) stats.Record(late);
    EXPECT_EQ(stats.Ticks(), static_cast<std::int64_t>(c.lateness.size()));
    EXPECT_EQ(stats.Longest(), c.longest);
    EXPECT_EQ(stats.Percentile(0.5), c.p50);
    EXPECT_EQ(stats.Percentile(0.99), c.p99);
    EXPECT_EQ(stats.CountNoticeable(), c.noticeable);
    stats.Reset();
    EXPECT_EQ(stats.Ticks(), 0);
    EXPECT_EQ(stats.Longest(), microseconds{0});
  }
}

}  // namespace
}  // namespace kanzo::platform
