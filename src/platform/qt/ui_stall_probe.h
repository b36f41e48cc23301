#pragma once
// A timer on the user-interface thread that records how late each of its
// ticks fires, so that work holding up the thread shows as a stall: the
// benchmarks print its figures, and the running program logs at Debug every
// stall past its threshold.
#include <QObject>
#include <QTimer>
#include <chrono>
#include <string>

#include "platform/ui_stall_stats.h"

namespace kanzo::platform {

class UiStallProbe final : public QObject {
  Q_OBJECT
 public:
  // The running program ticks rarely, so an idle client still sleeps
  // between ticks, and logs only stalls a user plainly feels.
  static constexpr std::chrono::milliseconds kProgramTick{100};
  static constexpr std::chrono::milliseconds kProgramLogThreshold{200};
  // Benchmarks tick often, so a tick's lateness is close to the time the
  // thread was busy in one go.
  static constexpr std::chrono::milliseconds kBenchmarkTick{2};

  // Starts ticking on the calling thread, which must run a Qt event loop.
  // Stalls longer than `logThreshold` are logged at Debug.
  UiStallProbe(std::chrono::milliseconds tick, std::chrono::milliseconds logThreshold, QObject* parent = nullptr);
  ~UiStallProbe() override;

  const UiStallStats& Stats() const { return stats_; }
  // Forgets what was recorded: measures from now on.
  void Reset();
  // "longest 12.3 ms, 99% within 4 ms, 0 ticks over 50 ms (1234 ticks)".
  std::string Summary() const;

 private:
  void Tick();

  using Clock = std::chrono::steady_clock;
  const std::chrono::milliseconds tick_;
  const std::chrono::milliseconds logThreshold_;
  QTimer timer_;
  Clock::time_point last_;
  UiStallStats stats_;
};

}  // namespace kanzo::platform
