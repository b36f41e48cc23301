#include "packet_codec.h"

#include <arpa/inet.h>
#include <zlib.h>

#include <vector>

#include "net/event_handles.h"
#include "net/frame_format.h"
#include "protocol/buffer.h"
#include "protocol/login.h"
#include "protocol/message.h"
#include "protocol/msg.h"
#include "protocol/startup_codecs.h"

namespace kanzo {

namespace {

// gzip framing for deflate (15 window bits + 16).
constexpr int kGzipWindowBits = 15 + 16;
constexpr int kDeflateMemLevel = 8;
constexpr std::size_t kDeflateChunk = 16 * 1024;

struct DeflateStream {
  z_stream stream{};
  bool ready = false;
  DeflateStream() {
    ready = deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kGzipWindowBits, kDeflateMemLevel,
                         Z_DEFAULT_STRATEGY) == Z_OK;
  }
  ~DeflateStream() {
    if (ready) deflateEnd(&stream);
  }
  DeflateStream(const DeflateStream&) = delete;
  DeflateStream& operator=(const DeflateStream&) = delete;
};

void AppendWord(evbuffer* out, std::uint32_t value) {
  const std::uint32_t wire = htonl(value);
  evbuffer_add(out, &wire, sizeof wire);
}

}  // namespace

bool RegisterSimulatorCodecs() { return RegisterStartupCodecs(); }

void EncodePacket(const Packet& p, evbuffer* out) {
  Message message(false);
  message.reserved = static_cast<std::uint8_t>(p.reserved);
  message.MESSAGE_ID = p.messageId;
  message.command = p.command;
  message.RESULT = p.result;
  message.SESSION_ID = p.sessionId;
  Msg msg;
  Login login;
  if (p.msg) {
    msg.account = p.msg->account;
    msg.FROM = p.msg->from;
    msg.FROM_TYPE = p.msg->fromType;
    msg.TO = p.msg->to;
    msg.TO_TYPE = p.msg->toType;
    msg.BODY = p.msg->body;
    message.setBody(&msg);
  } else if (p.login) {
    login.username = p.login->username;
    login.password = p.login->password;
    login.state = p.login->state;
    message.setBody(&login);
  }
  Buffer buffer(out);
  writeMessage(buffer, message);
}

bool DecodePacket(evbuffer* payload, Packet* out) {
  Buffer buffer(payload);
  const std::unique_ptr<Message> message = readMessage(buffer);
  if (!message) return false;
  Packet p;
  p.reserved = static_cast<std::int8_t>(message->reserved);
  p.messageId = message->MESSAGE_ID;
  p.command = message->command;
  p.result = message->RESULT;
  p.sessionId = message->SESSION_ID;
  if (const Msg* msg = message->bodyAs<Msg>()) {
    p.bodyType = static_cast<std::uint16_t>(kTypeMsg);
    p.msg = MsgFields{msg->account, msg->FROM, msg->FROM_TYPE, msg->TO, msg->TO_TYPE, msg->BODY};
  } else if (const Login* login = message->bodyAs<Login>()) {
    p.bodyType = static_cast<std::uint16_t>(kTypeLogin);
    p.login = LoginFields{login->username, login->password, login->state};
  } else if (message->body() != nullptr) {
    p.bodyType = static_cast<std::uint16_t>(message->body()->type());
  }
  *out = std::move(p);
  return buffer.ok();
}

bool DeflateFramePayload(const unsigned char* message, std::size_t length, evbuffer* out) {
  DeflateStream z;
  if (!z.ready) return false;
  AppendWord(out, static_cast<std::uint32_t>(length));
  z.stream.next_in = const_cast<unsigned char*>(message);
  z.stream.avail_in = static_cast<uInt>(length);
  std::vector<unsigned char> chunk(kDeflateChunk);
  int status = Z_OK;
  do {
    z.stream.next_out = chunk.data();
    z.stream.avail_out = static_cast<uInt>(chunk.size());
    status = deflate(&z.stream, Z_FINISH);
    if (status == Z_STREAM_ERROR) return false;
    evbuffer_add(out, chunk.data(), chunk.size() - z.stream.avail_out);
  } while (status != Z_STREAM_END);
  return true;
}

FrameFacts AppendPacketFrame(evbuffer* frame, const Packet& packet, std::int32_t compressAbove) {
  EvBufferPtr message = NewEvBuffer();
  EncodePacket(packet, message.get());
  FrameFacts facts;
  facts.plainLength = static_cast<std::int32_t>(evbuffer_get_length(message.get()));
  if (compressAbove >= 0 && facts.plainLength > compressAbove) {
    EvBufferPtr packed = NewEvBuffer();
    const auto* bytes = evbuffer_pullup(message.get(), -1);
    if (DeflateFramePayload(bytes, evbuffer_get_length(message.get()), packed.get())) {
      facts.header = kFrameMagic | kFrameCompressedFlag;
      facts.length = static_cast<std::int32_t>(evbuffer_get_length(packed.get()));
      AppendWord(frame, facts.header);
      AppendWord(frame, static_cast<std::uint32_t>(facts.length));
      evbuffer_add_buffer(frame, packed.get());
      return facts;
    }
  }
  facts.header = kFrameMagic;
  facts.length = facts.plainLength;
  AppendFrame(frame, message.get());
  return facts;
}

}  // namespace kanzo
