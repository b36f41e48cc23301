#include "net/thread.h"

#include <gtest/gtest.h>

#include <atomic>

namespace kanzo {
namespace {

// Runs until released, counting its runs.
class GateThread : public Thread {
 public:
  void run() override {
    runs.fetch_add(1);
    gate.lock();
    while (!open) gate.wait();
    gate.unlock();
  }
  void release() {
    gate.lock();
    open = true;
    gate.broadcast();
    gate.unlock();
  }
  ThreadCond gate;
  bool open = false;
  std::atomic<int> runs{0};
};

TEST(ThreadTest, StartsOnceWhileRunningAndAgainAfterwards) {
  GateThread thread;
  ASSERT_TRUE(thread.start());
  EXPECT_FALSE(thread.start());
  EXPECT_TRUE(thread.running());
  EXPECT_FALSE(thread.isCurrentThread());
  thread.release();
  EXPECT_TRUE(thread.join());
  EXPECT_FALSE(thread.running());
  EXPECT_EQ(thread.runs.load(), 1);
  EXPECT_FALSE(thread.join());

  ASSERT_TRUE(thread.start());
  EXPECT_TRUE(thread.join());
  EXPECT_EQ(thread.runs.load(), 2);
}

TEST(ThreadTest, CondWaitTimesOutWithoutASignal) {
  ThreadCond cond;
  cond.lock();
  EXPECT_FALSE(cond.waitFor(20));
  cond.unlock();
}

TEST(ThreadTest, MutexSerialisesIncrements) {
  ThreadMutex mutex;
  long counter = 0;
  class Adder : public Thread {
   public:
    Adder(ThreadMutex& m, long& c) : mutex_(m), counter_(c) {}
    void run() override {
      for (int i = 0; i < 100000; ++i) {
        ThreadMutexLock lock(mutex_);
        ++counter_;
      }
    }
    ThreadMutex& mutex_;
    long& counter_;
  };
  Adder a(mutex, counter), b(mutex, counter);
  ASSERT_TRUE(a.start());
  ASSERT_TRUE(b.start());
  a.join();
  b.join();
  EXPECT_EQ(counter, 200000);
}

}  // namespace
}  // namespace kanzo
