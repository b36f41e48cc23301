#pragma once
// Logic that compares times reads a Clock, so tests can set the time.
#include <atomic>
#include <cstdint>

namespace kanzo::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Seconds since 1970 (UTC).
  virtual std::int64_t NowSeconds() const = 0;
  // Milliseconds since 1970 (UTC).
  virtual std::int64_t NowMillis() const = 0;
};

class SystemClock final : public Clock {
 public:
  std::int64_t NowSeconds() const override;
  std::int64_t NowMillis() const override;
};

class SettableClock final : public Clock {
 public:
  explicit SettableClock(std::int64_t millis = 0) : millis_(millis) {}
  std::int64_t NowSeconds() const override { return millis_.load() / 1000; }
  std::int64_t NowMillis() const override { return millis_.load(); }
  void SetMillis(std::int64_t millis) { millis_.store(millis); }
  void SetSeconds(std::int64_t seconds) { millis_.store(seconds * 1000); }
  void AdvanceMillis(std::int64_t delta) { millis_.fetch_add(delta); }

 private:
  std::atomic<std::int64_t> millis_;
};

// The process-wide clock; tests may swap in a SettableClock (not owned).
const Clock& CurrentClock();
void SetCurrentClock(const Clock* clock);  // nullptr restores the system clock

}  // namespace kanzo::platform
