#pragma once
// An agent's client as the program builds it: the client's own dispatcher
// (Network) on its network thread, delivering through a window future to a
// window registered for every routed command, on the test's user-interface
// loop. The frame reader, the inflater, the decoder and the routing of the
// client are all on the path of every message a test receives.
//
// Everything but the network thread runs on the test thread, which is the
// user-interface thread: waiting for a message runs the loop, so received
// messages reach the window in order while the test waits. Every wait is
// bounded.
#include <json/json.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "net/network.h"
#include "net/window_network_future.h"
#include "platform/window_message.h"
#include "protocol/message.h"
#include "protocol/msg.h"

namespace kanzo::test {

inline constexpr auto kAnswerWait = std::chrono::seconds(5);

class AgentWindow final : public platform::Window {
 public:
  explicit AgentWindow(platform::ManualUiLoop& loop, const SocketClient::Deadlines& deadlines = {});
  ~AgentWindow() override;

  bool Connect(int port);

  // Requests go out through the dispatcher, which stamps the process's
  // current session id; each agent window keeps its own session and makes
  // it the current one just before it sends, so that several agents can
  // share one process. Each returns the request's MESSAGE_ID.
  std::int64_t SendMsg(std::int32_t command, const Msg& body, std::int64_t session);
  std::int64_t SendLogin(std::int32_t command, const std::string& user, const std::string& password, std::int8_t state,
                         std::int64_t session = 0);
  std::int64_t SendBare(std::int32_t command, std::int64_t session);
  // A request carrying the agent's triple (the main window's requests).
  std::int64_t SendAsAgent(std::int32_t command, const std::string& body);

  // Runs the loop until a delivered message that `match` accepts is there
  // and takes it (older ones it does not accept stay); null when none came
  // in time.
  std::unique_ptr<Message> Take(const std::function<bool(const Message&)>& match,
                                std::chrono::milliseconds wait = kAnswerWait);
  // The answer to the request `messageId` with `command`.
  std::unique_ptr<Message> Answer(std::int32_t command, std::int64_t messageId,
                                  std::chrono::milliseconds wait = kAnswerWait);
  // The next message with `command` whose Msg satisfies `body`.
  std::unique_ptr<Message> Notice(std::int32_t command, const std::function<bool(const Msg&)>& body,
                                  std::chrono::milliseconds wait = kAnswerWait);
  // Runs the loop until at least `count` messages have been delivered and
  // not taken; false when they did not come in time.
  bool WaitForDelivered(std::size_t count, std::chrono::milliseconds wait = kAnswerWait);
  std::size_t DeliveredCount() const { return received_.size(); }

  // Logs in; on success remembers the triple. The session follows every
  // login, refresh and re-login answer, as the login window keeps it.
  std::unique_ptr<Message> LogIn(const std::string& user, const std::string& password, std::int8_t state = 2);

  // Connections the dispatcher has lost (it reconnects by itself).
  int connectionsLost() const { return network_.lost.load(); }
  Network& network() { return network_; }
  WindowNetworkFuture& future() { return future_; }

  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override;

  std::int32_t account = 0;
  std::int32_t uid = 0;
  std::int8_t type = 0;
  std::int64_t session = 0;

 private:
  // The dispatcher, counting the connections it loses.
  class CountingNetwork final : public Network {
   public:
    using Network::Network;
    ~CountingNetwork() override { shutdown(); }
    std::atomic<int> lost{0};

   protected:
    void onConnectionLost() override {
      lost.fetch_add(1);
      Network::onConnectionLost();
    }
  };

  std::unique_ptr<Message> Find(const std::function<bool(const Message&)>& match);
  std::int64_t Send(Message& message, std::int64_t sessionId);

  platform::ManualUiLoop& loop_;
  std::deque<std::unique_ptr<Message>> received_;
  WindowNetworkFuture future_;
  // Declared last: its thread ends before the future and the window go.
  CountingNetwork network_;
};

// The JSON of a Msg BODY; null when the message has no Msg or no JSON.
Json::Value BodyJson(const Message& message);
std::string BodyText(const Message& message);

}  // namespace kanzo::test
