#pragma once
// Numbered window messages between windows and from other threads.
//
// Every window is a platform::Window with one handler for a numbered message
// and two parameters. Windows are addressed by a WindowId that is never
// reused, so a message that arrives after its window has gone finds nobody.
// A posted payload ends with its message: the disposer the sender gave runs
// once, after the handler returned or when the message was not delivered,
// so nothing is delivered to freed memory and nothing leaks. Payloads are
// put in and taken out only through platform/window_payload.h.
//
// SendWindowMessage is synchronous and only for the user-interface thread.
// NotifyWindow may be called from any thread; messages are handled on the
// user-interface thread in the order they were posted.
#include <cstdint>
#include <functional>
#include <string>

namespace kanzo::platform {

using WindowId = std::uint64_t;
inline constexpr WindowId kNoWindow = 0;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using MessageResult = std::intptr_t;
// Frees what an LParam points to when its posted message ends.
using PayloadDisposer = void (*)(LParam);

class Window {
 public:
  Window();
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  virtual MessageResult OnWindowMessage(std::uint32_t message, WParam wParam, LParam lParam) = 0;
  // Timer ticks by the id the window gave when it set the timer.
  virtual void OnTimer(std::uint32_t /*timerId*/) {}

  WindowId Id() const { return id_; }

 private:
  WindowId id_;
};

// Finds a live window by id (user-interface thread only); nullptr when gone.
Window* FindWindow(WindowId id);

// Calls the window's handler at once; 0 when the window is gone.
MessageResult SendWindowMessage(WindowId target, std::uint32_t message, WParam wParam, LParam lParam);

// Queues the message for the user-interface thread; `dispose` runs once when
// the message ends, delivered or not. Returns false (and disposes at once)
// when no user-interface loop is installed.
bool NotifyWindow(WindowId target, std::uint32_t message, WParam wParam, LParam lParam,
                  PayloadDisposer dispose = nullptr);

// What runs posted work on the user-interface thread: the Qt event loop in
// the program, a ManualUiLoop in core tests.
class UiLoop {
 public:
  virtual ~UiLoop() = default;
  // Runs `task` on the user-interface thread after the tasks posted before it.
  virtual void Post(std::function<void()> task) = 0;
};

// Installs the loop (not owned); nullptr uninstalls. The installing thread
// becomes the user-interface thread.
void SetUiLoop(UiLoop* loop);
bool IsUiThread();

// Entry points that only the user-interface thread may call (a window's
// handler runs synchronously in the caller) stop the program with `where`
// on standard error when another thread calls them while a loop is
// installed. Builds with KANZO_THREAD_CHECKS (the default, and every test
// and sanitizer build) check; others skip it.
void CheckUiThread(const char* where);

// A loop for tests without Qt: tasks wait until RunPending() runs them on the
// calling thread, which must be the one that installed it.
class ManualUiLoop final : public UiLoop {
 public:
  ManualUiLoop();
  ~ManualUiLoop() override;
  void Post(std::function<void()> task) override;
  // Runs what is queued, including tasks queued meanwhile; returns how many.
  std::size_t RunPending();
  // Runs tasks until `done()` holds or `timeoutMs` passes; true if done.
  bool RunUntil(const std::function<bool()>& done, int timeoutMs);

 private:
  struct State;
  State* state_;
};

}  // namespace kanzo::platform
