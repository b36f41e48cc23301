#include "protocol/message.h"

#include "protocol/big_endian.h"
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

namespace {

// The fixed header: reserved, MESSAGE_ID, command, RESULT, SESSION_ID.
constexpr std::size_t kReservedAt = 0;
constexpr std::size_t kMessageIdAt = kReservedAt + 1;
constexpr std::size_t kCommandAt = kMessageIdAt + 8;
constexpr std::size_t kResultAt = kCommandAt + 4;
constexpr std::size_t kSessionIdAt = kResultAt + 1;
constexpr std::size_t kHeaderBytes = kSessionIdAt + 8;

}  // namespace

// The header travels as one block: the same bytes as its fields written one
// by one, with a fifth of the buffer operations.
void writeMessage(ObjectIO& io, const Message& message) {
  unsigned char header[kHeaderBytes];
  header[kReservedAt] = message.reserved;
  StoreBigEndian(header + kMessageIdAt, message.MESSAGE_ID);
  StoreBigEndian(header + kCommandAt, message.command);
  header[kResultAt] = message.RESULT;
  StoreBigEndian(header + kSessionIdAt, message.SESSION_ID);
  io.write(header, static_cast<std::int32_t>(kHeaderBytes));
  if (message.body() != nullptr) {
    io.writeObject(message.body());
  } else {
    io.writeShort(kTypeNone);
  }
}

std::unique_ptr<Message> readMessage(ObjectIO& io) {
  const std::uint32_t shortBefore = io.shortReads();
  auto message = std::make_unique<Message>(false);
  unsigned char header[kHeaderBytes];
  // A torn header leaves every field at 0 and the body absent.
  if (!io.readFully(header, static_cast<std::int32_t>(kHeaderBytes))) return message;
  message->reserved = header[kReservedAt];
  message->MESSAGE_ID = LoadBigEndian<std::int64_t>(header + kMessageIdAt);
  message->command = LoadBigEndian<std::int32_t>(header + kCommandAt);
  message->RESULT = header[kResultAt];
  message->SESSION_ID = LoadBigEndian<std::int64_t>(header + kSessionIdAt);
  std::unique_ptr<Object> body = io.readObject();
  // A body cut short would carry zeros for what the server never sent;
  // handlers treat an absent body as an answer without data instead.
  if (io.shortReads() == shortBefore) message->adoptBody(std::move(body));
  return message;
}

}  // namespace kanzo
