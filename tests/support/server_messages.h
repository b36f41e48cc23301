#pragma once
// Messages as the chat server sends them, for tests that hand them to window
// logic or write them to a socket: the header fields a test sets, and a Msg
// body with its text and its two ends. What a test leaves out is 0.
#include <cstdint>
#include <memory>
#include <string>

#include "net/frame_bytes.h"
#include "protocol/buffer.h"
#include "protocol/message.h"
#include "protocol/msg.h"

namespace kanzo::test {

struct Head {
  std::int32_t command = 0;
  std::int64_t id = 0;
  std::uint8_t result = 0;
  std::int64_t session = 0;
};

// A Msg body: `text` from `from` to `to`.
inline Msg MsgBody(const std::string& text, std::int32_t from = 0, std::int8_t fromType = 0, std::int32_t to = 0,
                   std::int8_t toType = 0) {
  Msg msg;
  msg.FROM = from;
  msg.FROM_TYPE = fromType;
  msg.TO = to;
  msg.TO_TYPE = toType;
  msg.BODY = text;
  return msg;
}

// A received message owning a copy of `body`, or without a body.
inline std::unique_ptr<Message> ServerMessage(const Head& head, const Msg* body = nullptr) {
  auto message = std::make_unique<Message>();
  message->command = head.command;
  message->MESSAGE_ID = head.id;
  message->RESULT = head.result;
  message->SESSION_ID = head.session;
  if (body) message->adoptBody(std::make_unique<Msg>(*body));
  return message;
}
inline std::unique_ptr<Message> ServerMessage(const Head& head, const Msg& body) { return ServerMessage(head, &body); }

// A notice the server passes on: `text` from `from` to `to`.
inline std::unique_ptr<Message> Notice(std::int32_t command, const std::string& text, std::int32_t from = 0,
                                       std::int8_t fromType = 0, std::int32_t to = 0, std::int8_t toType = 0) {
  return ServerMessage({.command = command}, MsgBody(text, from, fromType, to, toType));
}

// The server's answer to a request: its result and a Msg with `text`.
inline std::unique_ptr<Message> Answer(std::int32_t command, std::uint8_t result, const std::string& text) {
  return ServerMessage({.command = command, .result = result}, MsgBody(text));
}

// `message` as the codec writes it: the payload of one frame.
inline std::string MessageBytes(const Message& message) {
  Buffer buffer;
  writeMessage(buffer, message);
  std::string bytes(buffer.length(), '\0');
  buffer.read(bytes.data(), static_cast<std::int32_t>(bytes.size()));
  return bytes;
}

// `message` in a frame, as the server writes it to the socket.
inline std::string MessageFrame(const Message& message) { return FrameOf(MessageBytes(message)); }

// The message that `payload` (one frame's payload) decodes to; null when it
// does not decode.
inline std::unique_ptr<Message> MessageFromBytes(const std::string& payload) {
  Buffer buffer;
  buffer.write(payload.data(), static_cast<std::int32_t>(payload.size()));
  return readMessage(buffer);
}

}  // namespace kanzo::test
