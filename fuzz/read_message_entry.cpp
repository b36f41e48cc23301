#include "read_message_entry.h"

#include <event2/buffer.h>

#include <memory>
#include <string>

#include "platform/narrow_text.h"
#include "protocol/buffer.h"
#include "protocol/message.h"
#include "protocol/server_bodies.h"
#include "protocol/startup_codecs.h"

namespace kanzo {
namespace {

std::string Drain(Buffer& buffer) {
  std::string bytes(buffer.length(), '\0');
  if (!bytes.empty()) buffer.read(bytes.data(), static_cast<std::int32_t>(bytes.size()));
  return bytes;
}

std::string Encode(const Message& message) {
  Buffer out;
  writeMessage(out, message);
  return Drain(out);
}

// The server's own bodies are never registered, so readMessage cannot reach
// their codecs; they get the same bytes directly.
template <typename Codec>
const char* CheckServerCodec(const std::uint8_t* data, std::size_t size) {
  Buffer in;
  in.write(data, static_cast<std::int32_t>(size));
  std::unique_ptr<Object> object(Codec::Instance().decode(in, nullptr));
  if (object == nullptr) return "a server body codec created no object";
  if (in.length() > size) return "a server body codec grew its input";
  Buffer out;
  Codec::Instance().encode(out, *object);
  return nullptr;
}

}  // namespace

const char* CheckReadMessage(const std::uint8_t* data, std::size_t size) {
  static const bool registered = RegisterStartupCodecs();
  if (!registered) return "the start-up codecs could not be registered";
  if (size > static_cast<std::size_t>(INT32_MAX)) return nullptr;

  Buffer in;
  in.write(data, static_cast<std::int32_t>(size));
  std::unique_ptr<Message> message = readMessage(in);
  if (message == nullptr) return "readMessage gave no message";
  if (in.length() > size) return "readMessage left more bytes than it was given";
  if (!in.ok() && message->body() != nullptr) return "a torn message kept its body";

  // Only the UTF-8 pass-through keeps every byte of a text; other encodings
  // may legitimately drop what they cannot represent.
  if (in.ok() && platform::NarrowIsUtf8()) {
    const std::string once = Encode(*message);
    Buffer again;
    again.write(once.data(), static_cast<std::int32_t>(once.size()));
    std::unique_ptr<Message> reread = readMessage(again);
    if (!again.ok()) return "a re-encoded message did not read back whole";
    if (again.length() != 0) return "a re-encoded message left bytes over";
    if (Encode(*reread) != once) return "a re-encoded message changed on the second round";
  }

  for (const char* failure : {CheckServerCodec<ChatCodec>(data, size), CheckServerCodec<CustomerCodec>(data, size),
                              CheckServerCodec<FreecallCodec>(data, size), CheckServerCodec<InitCodec>(data, size),
                              CheckServerCodec<MemberCodec>(data, size), CheckServerCodec<SessionCodec>(data, size)}) {
    if (failure != nullptr) return failure;
  }
  return nullptr;
}

}  // namespace kanzo
