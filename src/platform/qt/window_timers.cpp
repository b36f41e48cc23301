#include "platform/qt/window_timers.h"

namespace kanzo::platform {

WindowTimers::WindowTimers(Window& owner, QObject* parent) : QObject(parent), owner_(owner) {}

WindowTimers::~WindowTimers() = default;

void WindowTimers::SetTimer(std::uint32_t id, int intervalMs) {
  auto& timer = timers_[id];
  if (!timer) {
    timer = std::make_unique<QTimer>();
    const WindowId window = owner_.Id();
    QObject::connect(timer.get(), &QTimer::timeout, this, [window, id] {
      if (Window* w = FindWindow(window)) w->OnTimer(id);
    });
  }
  timer->start(intervalMs);
}

void WindowTimers::KillTimer(std::uint32_t id) {
  const auto it = timers_.find(id);
  if (it != timers_.end()) it->second->stop();
}

bool WindowTimers::IsRunning(std::uint32_t id) const {
  const auto it = timers_.find(id);
  return it != timers_.end() && it->second->isActive();
}

void WindowTimers::Fire(std::uint32_t id) { owner_.OnTimer(id); }

}  // namespace kanzo::platform
