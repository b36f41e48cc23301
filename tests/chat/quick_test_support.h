#pragma once
// A dispatcher stand-in that keeps a copy of every request's Msg, and the
// agent the stock-reply and call-back requests are made for.
#include <cstdint>
#include <functional>
#include <vector>

#include "protocol/message.h"
#include "protocol/msg.h"
#include "records/agent_record.h"

namespace kanzo::test {

struct SentRequest {
  std::int64_t id = 0;
  std::int32_t command = 0;
  Msg body;
};

class RequestRecorder {
 public:
  std::function<int(Message&)> Sender() {
    return [this](Message& message) {
      SentRequest sent;
      sent.id = message.MESSAGE_ID;
      sent.command = message.command;
      if (const Msg* msg = message.bodyAs<Msg>()) sent.body = *msg;
      requests.push_back(sent);
      return 0;
    };
  }
  std::vector<SentRequest> requests;
};

inline AgentRecord QuickAgent() {
  AgentRecord agent;
  agent.userName = "小王";
  agent.password = "p\"w";
  agent.triple = {77, 1001, 1};
  return agent;
}

}  // namespace kanzo::test
