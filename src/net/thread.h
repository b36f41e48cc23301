#pragma once
// Threads and locks of the networking and storing code, over POSIX threads.
#include <pthread.h>

#include <atomic>
#include <cstdint>

namespace kanzo {

// A thread that runs a virtual body. The owner calls start(), later asks the
// body to end with exit() and waits for it with join(); a derived class
// must be joined before its own members are destroyed, so derived
// destructors end and join the thread themselves.
class Thread {
 public:
  Thread() = default;
  virtual ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // The thread body; empty here.
  virtual void run() {}
  // False when the thread is already running or cannot be created.
  virtual bool start();
  // A request to end; empty here.
  virtual void exit() {}

  // Waits until run() has returned; true if a thread was joined.
  bool join();
  bool running() const { return running_.load(); }
  // True on the thread that run() is executing on.
  bool isCurrentThread() const;

 private:
  static void* entry(void* self);

  std::atomic<bool> running_{false};
  std::atomic<bool> joinable_{false};
  pthread_t handle_{};
  // The body's thread, set by the body itself, so it is known before
  // pthread_create has returned to the starter.
  std::atomic<pthread_t> bodyThread_{};
  std::atomic<bool> inBody_{false};
};

// One non-recursive mutex with default attributes.
class ThreadMutex {
 public:
  ThreadMutex();
  ~ThreadMutex();
  ThreadMutex(const ThreadMutex&) = delete;
  ThreadMutex& operator=(const ThreadMutex&) = delete;

  void lock();
  void unlock();
  pthread_mutex_t* native() { return &mutex_; }

 private:
  pthread_mutex_t mutex_;
};

// Holds a ThreadMutex for one scope.
class ThreadMutexLock {
 public:
  explicit ThreadMutexLock(ThreadMutex& mutex) : mutex_(mutex) { mutex_.lock(); }
  ~ThreadMutexLock() { mutex_.unlock(); }
  ThreadMutexLock(const ThreadMutexLock&) = delete;
  ThreadMutexLock& operator=(const ThreadMutexLock&) = delete;

 private:
  ThreadMutex& mutex_;
};

// A mutex and a condition variable, created and destroyed together.
class ThreadCond {
 public:
  ThreadCond();
  ~ThreadCond();
  ThreadCond(const ThreadCond&) = delete;
  ThreadCond& operator=(const ThreadCond&) = delete;

  void lock();
  void unlock();
  // Must be called with the lock held; may wake spuriously.
  void wait();
  // Waits at most `timeoutMs`; false when the time ran out.
  bool waitFor(std::int64_t timeoutMs);
  void signal();
  void broadcast();

 private:
  pthread_mutex_t mutex_;
  pthread_cond_t cond_;
};

}  // namespace kanzo
