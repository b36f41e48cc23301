#pragma once
// Routes every received message by its command code to the window that
// registered the code, as window message 2024 through the platform's notify:
// the network thread never waits for a window, and a window that is gone
// before the message is handled never sees it (the message is freed).
//
// The routes are written on the user-interface thread and read on the
// network thread, so they and the undelivered list share one lock.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <map>
#include <memory>
#include <vector>

#include "net/network_future.h"
#include "net/thread.h"
#include "platform/window_message.h"
#include "protocol/commands.h"

namespace kanzo {

class WindowNetworkFuture : public NetworkFuture {
 public:
  // Messages nobody took are kept for inspection, the newest this many.
  static constexpr std::size_t kMaxUndelivered = 300;

  // The process's window future, created on the first call.
  static WindowNetworkFuture& instance();
  // Frees the process's window future and the messages it still holds
  // (at exit, after the network thread has ended).
  static void release();

  WindowNetworkFuture();
  ~WindowNetworkFuture() override;

  // Routes `code` to `window` unless a window that still exists has it.
  // False when the code stays with another window.
  bool registerWindow(CommandCode code, platform::WindowId window);
  // Registers each code; false when any stays with another window.
  bool registerWindow(std::initializer_list<CommandCode> codes, platform::WindowId window);
  // Removes every route to `window` (called when it is destroyed).
  void unregisterWindow(platform::WindowId window);
  // The window `code` is routed to, or kNoWindow.
  platform::WindowId routeOf(CommandCode code) const;

  void deliver(NetworkEvent event, std::unique_ptr<Message> message) override;

  std::size_t undeliveredCount() const;
  // Commands of the undelivered messages, oldest first.
  std::vector<CommandCode> undeliveredCommands() const;
  // Undelivered messages let go because the list was full.
  std::uint64_t droppedUndelivered() const;

 private:
  void keepUndelivered(std::unique_ptr<Message> message);

  mutable ThreadMutex mutex_;
  std::map<CommandCode, platform::WindowId> routes_;
  std::deque<std::unique_ptr<Message>> undelivered_;
  std::uint64_t dropped_ = 0;
};

}  // namespace kanzo
