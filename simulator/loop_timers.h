#pragma once
// One-shot timers on the simulator's event loop, each running a task once.
// Timers still waiting when the owner goes are freed without running.
#include <event2/event.h>

#include <cstdint>
#include <functional>
#include <list>
#include <memory>

#include "chat_service.h"
#include "net/event_handles.h"

namespace kanzo {

class LoopTimers final : public SimScheduler {
 public:
  explicit LoopTimers(event_base* base) : base_(base) {}
  LoopTimers(const LoopTimers&) = delete;
  LoopTimers& operator=(const LoopTimers&) = delete;

  void After(std::int64_t delayMs, std::function<void()> task) override;
  std::int64_t NowMillis() const override;
  std::size_t waiting() const { return timers_.size(); }

 private:
  struct Timer {
    LoopTimers* owner = nullptr;
    EventPtr event;
    std::function<void()> task;
    std::list<Timer>::iterator self;
  };
  static void OnTimer(evutil_socket_t, short, void* arg);

  event_base* base_;
  std::list<Timer> timers_;
};

}  // namespace kanzo
