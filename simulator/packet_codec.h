#pragma once
// Turns the simulator's packets into protocol messages and frames and back,
// through the protocol library's codecs and the networking library's frame
// format. The only thing added here is the compressing side: the client
// never compresses, the server does for large frames.
#include <event2/buffer.h>

#include <cstddef>
#include <cstdint>

#include "packet.h"

namespace kanzo {

// Registers the body codecs the simulator reads and writes (the client's
// own: Login, Msg, Regist). Call once before the first packet.
bool RegisterSimulatorCodecs();

// Appends the message encoding of `packet` to `out`.
void EncodePacket(const Packet& packet, evbuffer* out);
// Decodes one message from all of `payload`; false when the bytes end inside
// the message (a torn or garbage payload), with what could be read in `out`.
// Bytes left after a whole message are ignored, as the client does.
bool DecodePacket(evbuffer* payload, Packet* out);

struct FrameFacts {
  std::uint32_t header = 0;      // the header word written
  std::int32_t length = 0;       // payload bytes on the wire
  std::int32_t plainLength = 0;  // message bytes before compression
};

// Never compress when given as `compressAbove`.
inline constexpr std::int32_t kNeverCompress = -1;

// Appends one frame carrying `packet` to `frame`: compressed (bit 28, a
// 4-byte size, a gzip stream) when the message is longer than
// `compressAbove` bytes, plain otherwise.
FrameFacts AppendPacketFrame(evbuffer* frame, const Packet& packet, std::int32_t compressAbove);

// Compresses `message` into the payload of a compressed frame: its size as
// 4 bytes big-endian, then the gzip stream. False if zlib fails.
bool DeflateFramePayload(const unsigned char* message, std::size_t length, evbuffer* out);

}  // namespace kanzo
