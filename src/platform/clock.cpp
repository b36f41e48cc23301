#include "platform/clock.h"

#include <chrono>

namespace kanzo::platform {
namespace {

const SystemClock gSystemClock;
std::atomic<const Clock*> gCurrent{&gSystemClock};

}  // namespace

std::int64_t SystemClock::NowSeconds() const { return NowMillis() / 1000; }

std::int64_t SystemClock::NowMillis() const {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

const Clock& CurrentClock() { return *gCurrent.load(); }

void SetCurrentClock(const Clock* clock) { gCurrent.store(clock ? clock : &gSystemClock); }

}  // namespace kanzo::platform
