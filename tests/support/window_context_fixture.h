#pragma once
// A window context of the test's own: fresh records, a router, the database
// operations on whatever file the test set (db_access.h), the process clock
// (which the test may set), no factories, and a sender the test chooses; by
// default requests are refused, as with no dispatcher.
#include "db/db_operations.h"
#include "net/network_startup.h"
#include "platform/clock.h"
#include "records/records.h"
#include "windows/window_context.h"
#include "windows/window_router.h"

namespace kanzo::test {

// Reads whichever clock the process has at the moment of the call, so a
// test's SetCurrentClock reaches the context as well as the database.
class ProcessClock final : public platform::Clock {
 public:
  std::int64_t NowSeconds() const override { return platform::CurrentClock().NowSeconds(); }
  std::int64_t NowMillis() const override { return platform::CurrentClock().NowMillis(); }
};

struct TestWindowContext {
  ProcessClock clock;
  Records records;
  WindowRouter router;
  StoredDatabase db;
  WindowContext context{[](Message&) { return -1; }, clock, records, router, db};

  // Requests go to the dispatcher the test started (StartNetwork).
  void SendThroughDispatcher() {
    context.send = [](Message& message) { return SendNetworkMessage(message); };
  }
};

}  // namespace kanzo::test
