#include "simulator/agent_client.h"

#include "net/event_handles.h"
#include "net/frame_format.h"
#include "protocol/buffer.h"
#include "protocol/commands.h"
#include "sim_text.h"

namespace kanzo::test {

AgentClient::AgentClient() = default;

AgentClient::~AgentClient() { shutdown(); }

bool AgentClient::Connect(int port) { return connect("127.0.0.1", static_cast<std::uint16_t>(port)); }

std::int64_t AgentClient::Write(Message& message) {
  EvBufferPtr body = NewEvBuffer();
  Buffer stream(body.get());
  writeMessage(stream, message);
  auto frame = std::make_unique<Buffer>();
  AppendFrame(frame->buffer(), body.get());
  write(std::move(frame));
  return message.MESSAGE_ID;
}

std::int64_t AgentClient::SendMsg(std::int32_t command, const Msg& body, std::int64_t sessionId) {
  Message message(true);
  message.command = command;
  message.SESSION_ID = sessionId;
  Msg copy = body;
  message.setBody(&copy);
  return Write(message);
}

std::int64_t AgentClient::SendLogin(std::int32_t command, const std::string& user, const std::string& password,
                                    std::int8_t state, std::int64_t sessionId) {
  Message message(true);
  message.command = command;
  message.SESSION_ID = sessionId;
  Login login;
  login.username = user;
  login.password = password;
  login.state = state;
  message.setBody(&login);
  return Write(message);
}

std::int64_t AgentClient::SendBare(std::int32_t command, std::int64_t sessionId) {
  Message message(true);
  message.command = command;
  message.SESSION_ID = sessionId;
  return Write(message);
}

void AgentClient::onRead(evbuffer* input) {
  for (;;) {
    FramePayload view;
    const FrameStatus status = reader_.next(input, &view);
    if (status == FrameStatus::kNeedMore) return;
    if (status == FrameStatus::kBroken) {
      dropConnection();
      return;
    }
    if (status != FrameStatus::kFrame) continue;
    EvBufferPtr payload = NewEvBuffer();
    evbuffer_add(payload.get(), view.data, view.size);
    Buffer stream(payload.get());
    std::unique_ptr<Message> message = readMessage(stream);
    if (!message || !stream.ok()) continue;
    std::lock_guard lock(mutex_);
    received_.push_back(std::move(message));
    arrived_.notify_all();
  }
}

void AgentClient::onConnectionLost() {
  reader_.reset();
  std::lock_guard lock(mutex_);
  ++lost_;
}

int AgentClient::connectionsLost() {
  std::lock_guard lock(mutex_);
  return lost_;
}

std::size_t AgentClient::ReceivedCount() {
  std::lock_guard lock(mutex_);
  return received_.size();
}

std::unique_ptr<Message> AgentClient::Take(const std::function<bool(const Message&)>& match,
                                           std::chrono::milliseconds wait) {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  std::unique_lock lock(mutex_);
  for (;;) {
    for (auto it = received_.begin(); it != received_.end(); ++it) {
      if (match(**it)) {
        std::unique_ptr<Message> found = std::move(*it);
        received_.erase(it);
        return found;
      }
    }
    if (arrived_.wait_until(lock, deadline) == std::cv_status::timeout) {
      // One last look: a message may have come with the time-out.
      for (auto it = received_.begin(); it != received_.end(); ++it) {
        if (match(**it)) {
          std::unique_ptr<Message> found = std::move(*it);
          received_.erase(it);
          return found;
        }
      }
      return nullptr;
    }
  }
}

std::unique_ptr<Message> AgentClient::Answer(std::int32_t command, std::int64_t messageId,
                                             std::chrono::milliseconds wait) {
  return Take([&](const Message& m) { return m.command == command && m.MESSAGE_ID == messageId; }, wait);
}

std::unique_ptr<Message> AgentClient::Notice(std::int32_t command, const std::function<bool(const Msg&)>& body,
                                             std::chrono::milliseconds wait) {
  return Take(
      [&](const Message& m) {
        const Msg* msg = m.bodyAs<Msg>();
        return m.command == command && msg != nullptr && body(*msg);
      },
      wait);
}

std::unique_ptr<Message> AgentClient::LogIn(const std::string& user, const std::string& password, std::int8_t state) {
  const std::int64_t id = SendLogin(kCommandLogin, user, password, state);
  std::unique_ptr<Message> answer = Answer(kCommandLogin, id);
  if (answer && answer->RESULT == 0 && answer->bodyAs<Msg>() != nullptr) {
    const Msg* msg = answer->bodyAs<Msg>();
    account = msg->account;
    uid = msg->FROM;
    type = msg->FROM_TYPE;
    session = answer->SESSION_ID;
  }
  return answer;
}

std::int64_t AgentClient::SendAsAgent(std::int32_t command, const std::string& body) {
  Msg msg;
  msg.account = account;
  msg.FROM = uid;
  msg.FROM_TYPE = type;
  msg.BODY = body;
  return SendMsg(command, msg, session);
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
