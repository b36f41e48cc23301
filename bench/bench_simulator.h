#pragma once
// The simulator a benchmark floods: the demo accounts, any free chat port,
// nothing else, on a thread of its own; and the log-in its agents send.
#include <cstdio>
#include <memory>
#include <string>

#include "protocol/commands.h"
#include "protocol/login.h"
#include "protocol/message.h"
#include "protocol/wire_values.h"
#include "records/agent_requests.h"
#include "simulator.h"

namespace kanzo::bench {

// Two of the demo accounts, so that two agents of one benchmark do not log
// each other off.
inline constexpr const char* kDemoUser = "demo";
inline constexpr const char* kDemoUser2 = "demo2";
inline constexpr const char* kDemoPassword = "kanzo123";

inline std::unique_ptr<Simulator> StartSimulator() {
  auto sim = std::make_unique<Simulator>(EmbeddedSimOptions(std::string(KANZO_SIM_DATA_DIR) + "/demo-accounts.json"));
  std::string error;
  if (!sim->StartThread(&error)) {
    std::fprintf(stderr, "simulator: %s\n", error.c_str());
    return nullptr;
  }
  return sim;
}

// The log-in of a demo account, online, as the login window sends it; the
// message refers to the body beside it.
struct LoginRequest {
  explicit LoginRequest(const char* user) : body(LoginBody(user, kDemoPassword, kPresenceOnline)) {
    message.command = kCommandLogin;
    message.setBody(&body);
  }
  LoginRequest(const LoginRequest&) = delete;
  LoginRequest& operator=(const LoginRequest&) = delete;

  Login body;
  Message message{true};
};

}  // namespace kanzo::bench
