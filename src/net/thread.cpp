#include "net/thread.h"

#include <cerrno>
#include <ctime>

namespace kanzo {

namespace {
constexpr std::int64_t kNanosPerSecond = 1000000000;
constexpr std::int64_t kNanosPerMilli = 1000000;
constexpr std::int64_t kMillisPerSecond = 1000;
}  // namespace

Thread::~Thread() { join(); }

bool Thread::start() {
  if (running_.exchange(true)) return false;
  // A body that ended earlier must be reaped before a new thread takes the handle.
  join();
  if (pthread_create(&handle_, nullptr, &Thread::entry, this) != 0) {
    running_.store(false);
    return false;
  }
  joinable_.store(true);
  return true;
}

void* Thread::entry(void* self) {
  auto* thread = static_cast<Thread*>(self);
  thread->bodyThread_.store(pthread_self());
  thread->inBody_.store(true);
  thread->run();
  thread->inBody_.store(false);
  thread->running_.store(false);
  return nullptr;
}

bool Thread::join() {
  if (!joinable_.exchange(false)) return false;
  if (pthread_equal(handle_, pthread_self())) {
    // A body cannot wait for itself; let it be reaped by the system.
    pthread_detach(handle_);
    return false;
  }
  pthread_join(handle_, nullptr);
  return true;
}

bool Thread::isCurrentThread() const { return inBody_.load() && pthread_equal(bodyThread_.load(), pthread_self()); }

ThreadMutex::ThreadMutex() { pthread_mutex_init(&mutex_, nullptr); }
ThreadMutex::~ThreadMutex() { pthread_mutex_destroy(&mutex_); }
void ThreadMutex::lock() { pthread_mutex_lock(&mutex_); }
void ThreadMutex::unlock() { pthread_mutex_unlock(&mutex_); }

ThreadCond::ThreadCond() {
  pthread_mutex_init(&mutex_, nullptr);
  pthread_condattr_t attributes;
  pthread_condattr_init(&attributes);
  // Time-outs are measured on the monotonic clock, immune to clock changes.
  pthread_condattr_setclock(&attributes, CLOCK_MONOTONIC);
  pthread_cond_init(&cond_, &attributes);
  pthread_condattr_destroy(&attributes);
}

ThreadCond::~ThreadCond() {
  pthread_cond_destroy(&cond_);
  pthread_mutex_destroy(&mutex_);
}

void ThreadCond::lock() { pthread_mutex_lock(&mutex_); }
void ThreadCond::unlock() { pthread_mutex_unlock(&mutex_); }
void ThreadCond::wait() { pthread_cond_wait(&cond_, &mutex_); }

bool ThreadCond::waitFor(std::int64_t timeoutMs) {
  timespec deadline{};
  clock_gettime(CLOCK_MONOTONIC, &deadline);
  std::int64_t nanos = deadline.tv_nsec + (timeoutMs % kMillisPerSecond) * kNanosPerMilli;
  deadline.tv_sec += static_cast<time_t>(timeoutMs / kMillisPerSecond + nanos / kNanosPerSecond);
  deadline.tv_nsec = static_cast<long>(nanos % kNanosPerSecond);
  return pthread_cond_timedwait(&cond_, &mutex_, &deadline) != ETIMEDOUT;
}

void ThreadCond::signal() { pthread_cond_signal(&cond_); }
void ThreadCond::broadcast() { pthread_cond_broadcast(&cond_); }

}  // namespace kanzo
