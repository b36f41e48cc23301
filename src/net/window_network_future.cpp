#include "net/window_network_future.h"

#include <mutex>

#include "log/cx_log.h"

namespace kanzo {
namespace {

std::mutex gInstanceMutex;
WindowNetworkFuture* gInstance = nullptr;

}  // namespace

WindowNetworkFuture& WindowNetworkFuture::instance() {
  std::lock_guard lock(gInstanceMutex);
  if (!gInstance) gInstance = new WindowNetworkFuture();
  return *gInstance;
}

void WindowNetworkFuture::release() {
  WindowNetworkFuture* future;
  {
    std::lock_guard lock(gInstanceMutex);
    future = gInstance;
    gInstance = nullptr;
  }
  delete future;
}

WindowNetworkFuture::WindowNetworkFuture() : NetworkFuture(kAllNetworkEvents) {}

WindowNetworkFuture::~WindowNetworkFuture() = default;

bool WindowNetworkFuture::registerWindow(CommandCode code, platform::WindowId window) {
  ThreadMutexLock lock(mutex_);
  const auto it = routes_.find(code);
  if (it != routes_.end() && it->second != window && platform::FindWindow(it->second) != nullptr) {
    KLOG_DEBUG("命令%d已由窗口%llu处理，窗口%llu未注册", code, static_cast<unsigned long long>(it->second),
               static_cast<unsigned long long>(window));
    return false;
  }
  // A route left by a window that is gone passes to the new one.
  routes_[code] = window;
  return true;
}

bool WindowNetworkFuture::registerWindow(std::initializer_list<CommandCode> codes, platform::WindowId window) {
  bool all = true;
  for (CommandCode code : codes) all = registerWindow(code, window) && all;
  return all;
}

void WindowNetworkFuture::unregisterWindow(platform::WindowId window) {
  ThreadMutexLock lock(mutex_);
  std::erase_if(routes_, [window](const auto& route) { return route.second == window; });
}

platform::WindowId WindowNetworkFuture::routeOf(CommandCode code) const {
  ThreadMutexLock lock(mutex_);
  const auto it = routes_.find(code);
  return it == routes_.end() ? platform::kNoWindow : it->second;
}

void WindowNetworkFuture::deliver(NetworkEvent event, std::unique_ptr<Message> message) {
  if (event != kNetworkEventMessage || !message) return;
  ThreadMutexLock lock(mutex_);
  if (IsRoutedCommand(message->command)) {
    const auto it = routes_.find(message->command);
    if (it != routes_.end()) {
      const platform::WindowId window = it->second;
      if (platform::FindWindow(window) != nullptr) {
        const CommandCode command = message->command;
        // From here the message is the window's to take; if the window goes
        // before it runs the handler, or does not take it, it is freed.
        if (!platform::PostPayload(window, kNetworkMessage, event, std::move(message))) {
          KLOG_WARN("窗口消息无法投递（界面线程未就绪），命令%d", command);
        }
        return;
      }
      routes_.erase(it);
    }
  }
  keepUndelivered(std::move(message));
}

void WindowNetworkFuture::keepUndelivered(std::unique_ptr<Message> message) {
  undelivered_.push_back(std::move(message));
  if (undelivered_.size() <= kMaxUndelivered) return;
  const Message& oldest = *undelivered_.front();
  KLOG_WARN("未投递消息超过%zu条，丢弃最早的一条：MESSAGE_ID=%lld command=%d", kMaxUndelivered,
            static_cast<long long>(oldest.MESSAGE_ID), oldest.command);
  undelivered_.pop_front();
  ++dropped_;
}

std::size_t WindowNetworkFuture::undeliveredCount() const {
  ThreadMutexLock lock(mutex_);
  return undelivered_.size();
}

std::vector<CommandCode> WindowNetworkFuture::undeliveredCommands() const {
  ThreadMutexLock lock(mutex_);
  std::vector<CommandCode> commands;
  for (const auto& message : undelivered_) commands.push_back(message->command);
  return commands;
}

std::uint64_t WindowNetworkFuture::droppedUndelivered() const {
  ThreadMutexLock lock(mutex_);
  return dropped_;
}

}  // namespace kanzo
