#pragma once
// Timing shared by the benchmarks: wall and process CPU time of one run.
// CPU time counts every thread of the process, so work of other programs on
// a shared machine is not charged to ours.
#include <chrono>
#include <ctime>

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

}  // namespace kanzo::bench
