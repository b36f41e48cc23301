#pragma once
// The control commands of the simulator, one line each, as people type them
// on standard input or the control port and as scenario files list them.
// The full list is in README.md and in the answer to "help".
#include <functional>
#include <string>
#include <vector>

#include "chat_service.h"
#include "frame_log.h"
#include "sim_server.h"

namespace kanzo {

struct ControlAnswer {
  bool ok = true;
  std::string text;  // lines without the final line end; may be empty
};

class ControlCommands {
 public:
  ControlCommands(ChatService& service, SimServer& server, FrameLog& log, SimScheduler& clock);

  // Runs one command line. Empty lines and lines starting with '#' do nothing.
  ControlAnswer Execute(const std::string& line);

  // Called by "quit".
  void SetQuitHandler(std::function<void()> quit) { quit_ = std::move(quit); }

  static const char* HelpText();

 private:
  ControlAnswer Visitor(const struct CommandWords& w);
  ControlAnswer Fault(const struct CommandWords& w);
  ControlAnswer Notice(const struct CommandWords& w);
  ControlAnswer Offline(const struct CommandWords& w);
  ControlAnswer Guestbook(const struct CommandWords& w);
  ControlAnswer Flood(const struct CommandWords& w);
  // The connections a fault target names: "conn:N", an agent's user name or
  // id (its connection), or "all".
  std::vector<ConnId> Targets(const std::string& target, std::string* error) const;
  std::int32_t Agent(const std::string& nameOrUid, std::string* error) const;
  std::int32_t VisitorId(const std::string& text, std::string* error) const;

  ChatService& service_;
  SimServer& server_;
  FrameLog& log_;
  SimScheduler& clock_;
  std::function<void()> quit_;
};

}  // namespace kanzo
