// Request ids: one counter for the whole process.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <thread>
#include <vector>

#include "protocol/message.h"

namespace kanzo {
namespace {

TEST(MessageIdDeathTest, FirstRequestOfARunCarriesOne) {
  // A fresh process, so that no earlier test has drawn an id.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        Message first(true);
        Message received(false);
        Message second(true);
        std::exit(first.MESSAGE_ID == 1 && received.MESSAGE_ID == 0 && second.MESSAGE_ID == 2 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(MessageId, ReceivingMessagesTakeNoId) {
  Message a(true);
  Message r(false);
  Message b(true);
  EXPECT_EQ(r.MESSAGE_ID, 0);
  EXPECT_EQ(b.MESSAGE_ID, a.MESSAGE_ID + 1);
  EXPECT_EQ(r.command, 0);
  EXPECT_EQ(r.RESULT, 0);
  EXPECT_EQ(r.SESSION_ID, 0);
  EXPECT_EQ(r.body(), nullptr);
}

TEST(MessageId, ThreadsDrawUniqueConsecutiveIds) {
  constexpr int kThreads = 8;
  constexpr int kPerThread = 5000;
  std::vector<std::vector<std::int64_t>> drawn(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&drawn, t] {
      drawn[t].reserve(kPerThread);
      for (int i = 0; i < kPerThread; ++i) drawn[t].push_back(Message(true).MESSAGE_ID);
    });
  }
  for (auto& th : threads) th.join();
  std::vector<std::int64_t> all;
  for (const auto& ids : drawn) {
    // Each thread sees its own ids rising.
    EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
    all.insert(all.end(), ids.begin(), ids.end());
  }
  std::sort(all.begin(), all.end());
  ASSERT_EQ(all.size(), static_cast<std::size_t>(kThreads * kPerThread));
  for (std::size_t i = 1; i < all.size(); ++i) ASSERT_EQ(all[i], all[i - 1] + 1) << "at " << i;
}

}  // namespace
}  // namespace kanzo
