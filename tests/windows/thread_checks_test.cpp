// Window logic runs on the user-interface thread. The context's sender (and
// every copy of it that logic keeps), its database operations and the router
// stop the program when another thread reaches them while a loop runs.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "db/db_operations.h"
#include "platform/clock.h"
#include "platform/window_message.h"
#include "records/records.h"
#include "windows/window_context.h"
#include "windows/window_router.h"

namespace kanzo {
namespace {

constexpr int kQueued = 7;

struct Logic {
  platform::SettableClock clock;
  Records records;
  WindowRouter router;
  StoredDatabase db;
  WindowContext context{[](Message&) { return kQueued; }, clock, records, router, db};
};

TEST(WindowContextTest, KeptSenderReachesTheDispatcherAndAnEmptyOneRefuses) {
  platform::ManualUiLoop loop;
  platform::SetUiLoop(&loop);
  Logic logic;
  const std::function<int(Message&)> kept = logic.context.send;
  Message request(true);
  EXPECT_EQ(kept(request), kQueued);
  EXPECT_EQ(WindowContext::Sender()(request), -1);
  platform::SetUiLoop(nullptr);
}

#ifdef KANZO_THREAD_CHECKS
TEST(WindowContextDeathTest, LogicReachedFromAnotherThreadStopsWhileALoopRuns) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  struct Case {
    const char* where;
    std::function<void(WindowContext&)> call;
  };
  const Case cases[] = {
      {"WindowContext::send",
       [](WindowContext& c) {
         const std::function<int(Message&)> kept = c.send;
         Message request(true);
         kept(request);
       }},
      {"StoredDatabase",
       [](WindowContext& c) {
         DbRows rows;
         c.db.QuerySetting(1, &rows);
       }},
      {"WindowRouter", [](WindowContext& c) { c.router.Has("MainDlg"); }},
  };
  for (const Case& c : cases) {
    auto fromWorker = [&] {
      platform::ManualUiLoop loop;
      platform::SetUiLoop(&loop);
      Logic logic;
      std::thread([&] { c.call(logic.context); }).join();
    };
    EXPECT_DEATH(fromWorker(), std::string(c.where) + " called off the user-interface thread") << c.where;
  }
}
#endif

}  // namespace
}  // namespace kanzo
