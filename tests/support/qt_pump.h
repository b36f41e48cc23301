#pragma once
// Waiting in tests of windows: runs the Qt event loop until a condition
// holds or the time is up, so no test blocks for ever.
#include <functional>

namespace kanzo::test {

inline constexpr int kDefaultPumpMs = 5000;

// True when `done` held before `timeoutMs` passed.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = kDefaultPumpMs);

}  // namespace kanzo::test
