#pragma once
// Timing shared by the benchmarks: wall and process CPU time of one run.
// CPU time counts every thread of the process, so work of other programs on
// a shared machine is not charged to ours.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <ctime>
#include <vector>

namespace kanzo::bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

inline double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// One timed run; negative when the run missed its deadline.
struct Timing {
  double wall = -1;
  double cpu = -1;
};

class Stopwatch {
 public:
  Stopwatch() : wall_(Clock::now()), cpu_(CpuSeconds()) {}
  Timing Stop(bool done) const {
    if (!done) return Timing{};
    return Timing{Seconds(Clock::now() - wall_), CpuSeconds() - cpu_};
  }

 private:
  Clock::time_point wall_;
  double cpu_;
};

// The best of the runs by each measure; a measure no run finished stays -1.
inline Timing Best(const std::vector<Timing>& runs) {
  Timing best;
  for (const Timing& r : runs) {
    if (r.wall > 0 && (best.wall < 0 || r.wall < best.wall)) best.wall = r.wall;
    if (r.cpu > 0 && (best.cpu < 0 || r.cpu < best.cpu)) best.cpu = r.cpu;
  }
  return best;
}

// The value below which the share `p` (0 to 1) of `values` lies; -1 for none.
inline double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

}  // namespace kanzo::bench
