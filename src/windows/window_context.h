#pragma once
// What window logic works with, handed in by the window that owns the logic
// (and by tests): where requests go, the clock, the shared records, the
// router to other windows, the database operations, and the factories of
// windows made elsewhere. The application object owns one context for the
// whole run; nothing here is a process-wide global.
//
// User-interface thread only, except that the records carry their own
// locks for the chat-line store thread.
#include <functional>
#include <string>
#include <type_traits>
#include <utility>

#include "db/db_operations.h"
#include "platform/clock.h"
#include "platform/window_message.h"
#include "protocol/message.h"
#include "records/records.h"
#include "windows/window_router.h"

namespace kanzo {

class WindowFactories;

// The program's version texts, as the About box shows them.
struct ProgramTexts {
  std::string version;
  std::string description;
};

struct WindowContext {
  // Hands a request to the dispatcher; 0 when queued. Window logic sends
  // from the user-interface thread only, and so does every copy of the
  // sender that logic keeps: the thread check travels with it.
  class Sender {
   public:
    Sender() = default;
    template <typename Send>
    requires(!std::is_same_v<std::decay_t<Send>, Sender> && std::is_invocable_r_v<int, Send&, Message&>)
        Sender(Send send)
        : send_(std::move(send)) {}  // NOLINT: any callable converts, as to std::function

    int operator()(Message& message) const {
      platform::CheckUiThread("WindowContext::send");
      return send_ ? send_(message) : -1;
    }

   private:
    std::function<int(Message&)> send_;
  };

  Sender send;
  const platform::Clock& clock;
  Records& records;
  WindowRouter& router;
  DatabaseOperations& db;
  // The window library's factories (windows/window_factories.h); null where
  // no window is made (core tests).
  WindowFactories* factories = nullptr;
  ProgramTexts program;
  // What happens once per run, whichever window asks again.
  bool todayConversationsLoaded = false;
};

}  // namespace kanzo
