// Fuzz target of the JSON the chat server sends to the main window: start
// data (colleagues, their states, offline messages, guestbook entries),
// visitor lists, conversation counts, quick lists and presence notices, each
// handled by the main window's own logic. The first byte picks the message
// and the notice's sender; the rest is the body. Nothing may crash, and a
// notice that is not about the agent never logs the agent off.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "db/db_operations.h"
#include "log/cx_log.h"
#include "platform/clock.h"
#include "protocol/commands.h"
#include "protocol/message.h"
#include "protocol/msg.h"
#include "records/records.h"
#include "windows/window_context.h"
#include "windows/window_router.h"
#include "workspace/main_workspace.h"

namespace {

constexpr std::int32_t kSelf = 2001;
constexpr std::int32_t kColleague = 2002;

class NullView final : public kanzo::MainWorkspaceView {
 public:
  void ShowSessionCount(const std::string&) override {}
  void ShowState(int) override {}
  void ShowAgentDetails() override {}
  void EndForcedOffline() override { ++forcedOffline; }
  void SettingsChanged() override {}
  int forcedOffline = 0;
};

constexpr kanzo::CommandCode kCommands[] = {kanzo::kCommandStartData, kanzo::kCommandGetOnlineVisitor,
                                            kanzo::kCommandLoadSessionCount, kanzo::kCommandGetQuickMessage,
                                            kanzo::kCommandUpdateKFState};
constexpr std::size_t kCommandCount = sizeof kCommands / sizeof kCommands[0];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const bool quiet = [] {
    kanzo::CxLog::Instance().SetLevel(kanzo::kLogError);
    return true;
  }();
  (void)quiet;
  // Fresh records for every input: nothing one input leaves behind steers
  // the next.
  kanzo::Records records;
  kanzo::WindowRouter router;
  kanzo::StoredDatabase db;
  kanzo::WindowContext context{[](kanzo::Message&) { return 0; }, kanzo::platform::CurrentClock(), records, router, db};
  records.agent.Update([](kanzo::AgentRecord& agent) { agent.triple.agentId = kSelf; });

  NullView view;
  kanzo::MainWorkspace workspace(view, context);
  const std::uint8_t pick = data[0];
  kanzo::Msg body;
  body.BODY.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
  // Notices come from a visitor or from a colleague, never from the agent.
  body.FROM = (pick & 0x10) != 0 ? kColleague : 3000 + (pick >> 5);
  body.FROM_TYPE = (pick & 0x10) != 0 ? kanzo::kMemberKindAgent : kanzo::kMemberKindVisitor;
  body.TO = kSelf;
  auto message = std::make_unique<kanzo::Message>(false);
  message->command = kCommands[(pick & 0x0F) % kCommandCount];
  message->setBody(&body);
  workspace.OnNetworkMessage(std::move(message));
  if (view.forcedOffline != 0) std::abort();
  return 0;
}
