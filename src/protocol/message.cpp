#include "protocol/message.h"

#include "protocol/message_id.h"

namespace kanzo {

Message::Message(bool withId) {
  if (withId) MESSAGE_ID = NextMessageId();
}

Message::~Message() = default;

void Message::setBody(Object* borrowed) {
  ownedBody_.reset();
  body_ = borrowed;
}

void Message::adoptBody(std::unique_ptr<Object> owned) {
  ownedBody_ = std::move(owned);
  body_ = ownedBody_.get();
}

void writeMessage(ObjectIO& io, const Message& message) {
  io.writeByte(static_cast<std::int8_t>(message.reserved));
  io.writeLong(message.MESSAGE_ID);
  io.writeInt(message.command);
  io.writeByte(static_cast<std::int8_t>(message.RESULT));
  io.writeLong(message.SESSION_ID);
  if (message.body() != nullptr) {
    io.writeObject(message.body());
  } else {
    io.writeShort(kTypeNone);
  }
}

std::unique_ptr<Message> readMessage(ObjectIO& io) {
  const std::uint32_t shortBefore = io.shortReads();
  auto message = std::make_unique<Message>(false);
  message->reserved = static_cast<std::uint8_t>(io.readByte());
  message->MESSAGE_ID = io.readLong();
  message->command = io.readInt();
  message->RESULT = static_cast<std::uint8_t>(io.readByte());
  message->SESSION_ID = io.readLong();
  std::unique_ptr<Object> body = io.readObject();
  // A body cut short would carry zeros for what the server never sent;
  // handlers treat an absent body as an answer without data instead.
  if (io.shortReads() == shortBefore) message->adoptBody(std::move(body));
  return message;
}

}  // namespace kanzo
