#include "simulator/agent_window.h"

#include <gtest/gtest.h>

#include "net/session_id.h"
#include "protocol/commands.h"
#include "protocol/login.h"
#include "sim_text.h"

namespace kanzo::test {
namespace {

constexpr const char* kLoopback = "127.0.0.1";

// The answers that hand out a session, as the login window reads them.
bool CarriesNewSession(const Message& m) {
  if (m.command == kCommandLogin) return m.RESULT == 0 && m.SESSION_ID != 0;
  return m.command == kCommandRefreshSession || m.command == kCommandRefreshLogin;
}

}  // namespace

AgentWindow::AgentWindow(platform::ManualUiLoop& loop, const SocketClient::Deadlines& deadlines)
    : loop_(loop), network_(&future_, deadlines) {
  for (const CommandInfo& info : CommandTable()) {
    if (info.routed) EXPECT_TRUE(future_.registerWindow(info.code, Id())) << info.code;
  }
}

AgentWindow::~AgentWindow() {
  network_.shutdown();
  future_.unregisterWindow(Id());
}

bool AgentWindow::Connect(int port) { return network_.connect(kLoopback, static_cast<std::uint16_t>(port)); }

platform::MessageResult AgentWindow::OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                                     platform::LParam lParam) {
  if (message != kNetworkWindowMessage || wParam != kNetworkEventMessage) return 0;
  std::unique_ptr<Message> received = platform::TakePayload(kNetworkMessage, lParam);
  if (!received) return 0;
  if (CarriesNewSession(*received)) session = received->SESSION_ID;
  received_.push_back(std::move(received));
  return 0;
}

std::int64_t AgentWindow::Send(Message& message, std::int64_t sessionId) {
  SetCurrentSessionId(sessionId);
  EXPECT_EQ(network_.send(message), 0) << "command " << message.command;
  return message.MESSAGE_ID;
}

std::int64_t AgentWindow::SendMsg(std::int32_t command, const Msg& body, std::int64_t sessionId) {
  Message message(true);
  message.command = command;
  Msg copy = body;
  message.setBody(&copy);
  return Send(message, sessionId);
}

std::int64_t AgentWindow::SendLogin(std::int32_t command, const std::string& user, const std::string& password,
                                    std::int8_t state, std::int64_t sessionId) {
  Message message(true);
  message.command = command;
  Login login;
  login.username = user;
  login.password = password;
  login.state = state;
  message.setBody(&login);
  return Send(message, sessionId);
}

std::int64_t AgentWindow::SendBare(std::int32_t command, std::int64_t sessionId) {
  Message message(true);
  message.command = command;
  return Send(message, sessionId);
}

std::int64_t AgentWindow::SendAsAgent(std::int32_t command, const std::string& body) {
  Msg msg;
  msg.account = account;
  msg.FROM = uid;
  msg.FROM_TYPE = type;
  msg.BODY = body;
  return SendMsg(command, msg, session);
}

std::unique_ptr<Message> AgentWindow::Find(const std::function<bool(const Message&)>& match) {
  for (auto it = received_.begin(); it != received_.end(); ++it) {
    if (match(**it)) {
      std::unique_ptr<Message> found = std::move(*it);
      received_.erase(it);
      return found;
    }
  }
  return nullptr;
}

std::unique_ptr<Message> AgentWindow::Take(const std::function<bool(const Message&)>& match,
                                           std::chrono::milliseconds wait) {
  std::unique_ptr<Message> found;
  loop_.RunUntil(
      [&] {
        found = Find(match);
        return found != nullptr;
      },
      static_cast<int>(wait.count()));
  return found;
}

std::unique_ptr<Message> AgentWindow::Answer(std::int32_t command, std::int64_t messageId,
                                             std::chrono::milliseconds wait) {
  return Take([&](const Message& m) { return m.command == command && m.MESSAGE_ID == messageId; }, wait);
}

std::unique_ptr<Message> AgentWindow::Notice(std::int32_t command, const std::function<bool(const Msg&)>& body,
                                             std::chrono::milliseconds wait) {
  return Take(
      [&](const Message& m) {
        const Msg* msg = m.bodyAs<Msg>();
        return m.command == command && msg != nullptr && body(*msg);
      },
      wait);
}

bool AgentWindow::WaitForDelivered(std::size_t count, std::chrono::milliseconds wait) {
  return loop_.RunUntil([&] { return received_.size() >= count; }, static_cast<int>(wait.count()));
}

std::unique_ptr<Message> AgentWindow::LogIn(const std::string& user, const std::string& password, std::int8_t state) {
  const std::int64_t id = SendLogin(kCommandLogin, user, password, state);
  std::unique_ptr<Message> answer = Answer(kCommandLogin, id);
  if (answer && answer->RESULT == 0 && answer->bodyAs<Msg>() != nullptr) {
    const Msg* msg = answer->bodyAs<Msg>();
    account = msg->account;
    uid = msg->FROM;
    type = msg->FROM_TYPE;
  }
  return answer;
}

Json::Value BodyJson(const Message& message) {
  Json::Value value;
  const Msg* msg = message.bodyAs<Msg>();
  if (msg == nullptr || !ParseJson(msg->BODY, &value)) return Json::Value();
  return value;
}

std::string BodyText(const Message& message) {
  const Msg* msg = message.bodyAs<Msg>();
  return msg == nullptr ? std::string() : msg->BODY;
}

}  // namespace kanzo::test
