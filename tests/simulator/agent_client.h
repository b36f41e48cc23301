#pragma once
// An agent's connection to the simulator made of the client's own parts: the
// socket client of the networking library on its network thread, its frame
// reader, and the protocol library's messages and codecs. Received messages
// are kept for the test thread; every wait is bounded.
#include <json/json.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "net/frame_reader.h"
#include "net/socket_client.h"
#include "protocol/login.h"
#include "protocol/message.h"
#include "protocol/msg.h"

namespace kanzo::test {

inline constexpr auto kAnswerWait = std::chrono::seconds(5);

class AgentClient final : public SocketClient {
 public:
  AgentClient();
  ~AgentClient() override;

  bool Connect(int port);
  // Sends a request with a fresh MESSAGE_ID and `session`; returns the id.
  std::int64_t SendMsg(std::int32_t command, const Msg& body, std::int64_t session);
  std::int64_t SendLogin(std::int32_t command, const std::string& user, const std::string& password,
                         std::int8_t state, std::int64_t session = 0);
  std::int64_t SendBare(std::int32_t command, std::int64_t session);

  // Takes the first received message that `match` accepts (older ones that
  // it does not accept stay); null when none came in time.
  std::unique_ptr<Message> Take(const std::function<bool(const Message&)>& match,
                                std::chrono::milliseconds wait = kAnswerWait);
  // The answer to the request `messageId` with `command`.
  std::unique_ptr<Message> Answer(std::int32_t command, std::int64_t messageId,
                                  std::chrono::milliseconds wait = kAnswerWait);
  // The next message with `command` whose Msg BODY satisfies `body`.
  std::unique_ptr<Message> Notice(std::int32_t command, const std::function<bool(const Msg&)>& body,
                                  std::chrono::milliseconds wait = kAnswerWait);
  std::size_t ReceivedCount();
  int connectionsLost();

  // Logs in; on success remembers the triple and the session.
  std::unique_ptr<Message> LogIn(const std::string& user, const std::string& password, std::int8_t state = 2);
  // A request carrying the agent's triple (the main window's requests).
  std::int64_t SendAsAgent(std::int32_t command, const std::string& body);

  std::int32_t account = 0;
  std::int32_t uid = 0;
  std::int8_t type = 0;
  std::int64_t session = 0;

 protected:
  void onRead(evbuffer* input) override;
  void onConnectionLost() override;

 private:
  std::int64_t Write(Message& message);

  FrameReader reader_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<std::unique_ptr<Message>> received_;
  int lost_ = 0;
};

// The JSON of a Msg BODY; null when the message has no Msg or no JSON.
Json::Value BodyJson(const Message& message);
std::string BodyText(const Message& message);

}  // namespace kanzo::test
