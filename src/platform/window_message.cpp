#include "platform/window_message.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>

namespace kanzo::platform {
namespace {

std::atomic<WindowId> gNextId{1};

// Live windows. Guarded so that windows made on a test's worker thread are
// still safe; lookups that deliver happen on the user-interface thread.
std::mutex gWindowsMutex;
std::unordered_map<WindowId, Window*>& Windows() {
  static auto* windows = new std::unordered_map<WindowId, Window*>();
  return *windows;
}

std::mutex gLoopMutex;
UiLoop* gLoop = nullptr;
std::atomic<std::thread::id> gUiThread{};

// A posted message owns its payload for its whole life: the disposer runs
// when it ends, whether or not a window received it.
struct PostedMessage {
  WindowId target;
  std::uint32_t message;
  WParam wParam;
  LParam lParam;
  PayloadDisposer dispose;

  PostedMessage(WindowId t, std::uint32_t m, WParam w, LParam l, PayloadDisposer d)
      : target(t), message(m), wParam(w), lParam(l), dispose(d) {}
  PostedMessage(const PostedMessage&) = delete;
  PostedMessage& operator=(const PostedMessage&) = delete;

  ~PostedMessage() {
    if (dispose && lParam) dispose(lParam);
  }

  void Deliver() {
    Window* window = FindWindow(target);
    if (!window) return;
    window->OnWindowMessage(message, wParam, lParam);
  }
};

}  // namespace

Window::Window() : id_(gNextId.fetch_add(1)) {
  std::lock_guard lock(gWindowsMutex);
  Windows()[id_] = this;
}

Window::~Window() {
  std::lock_guard lock(gWindowsMutex);
  Windows().erase(id_);
}

Window* FindWindow(WindowId id) {
  std::lock_guard lock(gWindowsMutex);
  const auto it = Windows().find(id);
  return it == Windows().end() ? nullptr : it->second;
}

MessageResult SendWindowMessage(WindowId target, std::uint32_t message, WParam wParam, LParam lParam) {
  CheckUiThread("SendWindowMessage");
  Window* window = FindWindow(target);
  return window ? window->OnWindowMessage(message, wParam, lParam) : 0;
}

bool NotifyWindow(WindowId target, std::uint32_t message, WParam wParam, LParam lParam, PayloadDisposer dispose) {
  auto posted = std::make_shared<PostedMessage>(target, message, wParam, lParam, dispose);
  std::lock_guard lock(gLoopMutex);
  if (!gLoop) return false;  // `posted` frees the payload
  gLoop->Post([posted] { posted->Deliver(); });
  return true;
}

void SetUiLoop(UiLoop* loop) {
  std::lock_guard lock(gLoopMutex);
  gLoop = loop;
  gUiThread.store(loop ? std::this_thread::get_id() : std::thread::id{});
}

bool IsUiThread() { return gUiThread.load() == std::this_thread::get_id(); }

void CheckUiThread(const char* where) {
#ifdef KANZO_THREAD_CHECKS
  const std::thread::id ui = gUiThread.load();
  if (ui == std::thread::id{} || ui == std::this_thread::get_id()) return;
  // A handler run on the wrong thread races with the windows; stop at the
  // call, where the stack still shows who made it.
  std::fprintf(stderr, "%s called off the user-interface thread\n", where);
  std::abort();
#else
  (void)where;
#endif
}

struct ManualUiLoop::State {
  std::mutex mutex;
  std::condition_variable posted;
  std::deque<std::function<void()>> tasks;
};

ManualUiLoop::ManualUiLoop() : state_(new State) {}

ManualUiLoop::~ManualUiLoop() {
  {
    std::lock_guard lock(gLoopMutex);
    if (gLoop == this) {
      gLoop = nullptr;
      gUiThread.store(std::thread::id{});
    }
  }
  delete state_;  // undelivered messages free their payloads here
}

void ManualUiLoop::Post(std::function<void()> task) {
  {
    std::lock_guard lock(state_->mutex);
    state_->tasks.push_back(std::move(task));
  }
  state_->posted.notify_all();
}

std::size_t ManualUiLoop::RunPending() {
  std::size_t ran = 0;
  for (;;) {
    std::function<void()> task;
    {
      std::lock_guard lock(state_->mutex);
      if (state_->tasks.empty()) return ran;
      task = std::move(state_->tasks.front());
      state_->tasks.pop_front();
    }
    task();
    ++ran;
  }
}

bool ManualUiLoop::RunUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    RunPending();
    if (done()) return true;
    std::unique_lock lock(state_->mutex);
    if (std::chrono::steady_clock::now() >= deadline) return false;
    state_->posted.wait_for(lock, std::chrono::milliseconds(10), [this] { return !state_->tasks.empty(); });
  }
}

}  // namespace kanzo::platform
