#pragma once
// Timers by id for one window: SetTimer replaces a running timer of the same
// id, KillTimer stops it, and each tick calls the window's OnTimer(id).
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <map>
#include <memory>

#include "platform/window_message.h"

namespace kanzo::platform {

class WindowTimers final : public QObject {
  Q_OBJECT
 public:
  explicit WindowTimers(Window& owner, QObject* parent = nullptr);
  ~WindowTimers() override;

  void SetTimer(std::uint32_t id, int intervalMs);
  void KillTimer(std::uint32_t id);
  bool IsRunning(std::uint32_t id) const;
  // Runs the tick of a timer at once, as if it had fired (tests).
  void Fire(std::uint32_t id);

 private:
  Window& owner_;
  std::map<std::uint32_t, std::unique_ptr<QTimer>> timers_;
};

}  // namespace kanzo::platform
