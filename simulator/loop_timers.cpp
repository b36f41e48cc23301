#include "loop_timers.h"

#include "platform/clock.h"

namespace kanzo {

void LoopTimers::After(std::int64_t delayMs, std::function<void()> task) {
  timers_.emplace_back();
  Timer& t = timers_.back();
  t.owner = this;
  t.task = std::move(task);
  t.self = std::prev(timers_.end());
  t.event.reset(evtimer_new(base_, &LoopTimers::OnTimer, &t));
  const std::int64_t ms = delayMs < 0 ? 0 : delayMs;
  timeval tv{static_cast<time_t>(ms / 1000), static_cast<suseconds_t>((ms % 1000) * 1000)};
  evtimer_add(t.event.get(), &tv);
}

void LoopTimers::OnTimer(evutil_socket_t, short, void* arg) {
  auto* t = static_cast<Timer*>(arg);
  LoopTimers* owner = t->owner;
  std::function<void()> task = std::move(t->task);
  owner->timers_.erase(t->self);
  if (task) task();
}

std::int64_t LoopTimers::NowMillis() const { return platform::CurrentClock().NowMillis(); }

}  // namespace kanzo
