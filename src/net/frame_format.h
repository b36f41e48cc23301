#pragma once
// The frame that carries one message on the connection to the chat server:
// a 4-byte header word (low 16 bits 0x6743, bit 28 = payload compressed),
// a 4-byte signed payload length, both big-endian, then the payload.
#include <event2/buffer.h>

#include <cstddef>
#include <cstdint>

namespace kanzo {

inline constexpr std::uint32_t kFrameMagic = 0x6743;
inline constexpr std::uint32_t kFrameMagicMask = 0xFFFF;
inline constexpr std::uint32_t kFrameCompressedFlag = 0x10000000;
inline constexpr std::size_t kFrameWordBytes = 4;
inline constexpr std::size_t kFrameHeaderBytes = 2 * kFrameWordBytes;

// Chat messages and even the longest start-up lists stay far below this; a
// length above it can only come from a broken stream.
inline constexpr std::int32_t kMaxFrameLength = 2 * 1024 * 1024;
// Reading pauses when this many bytes wait in the input. It must leave room
// for the largest frame, or a frame of that size could never complete.
inline constexpr std::size_t kReadHighWater = 2 * (kMaxFrameLength + kFrameHeaderBytes);
// The largest message a compressed payload may claim to inflate to.
inline constexpr std::int32_t kMaxInflatedLength = 8 * 1024 * 1024;
static_assert(kReadHighWater > kMaxFrameLength + kFrameHeaderBytes);

// Appends the frame header for a payload of `payloadLength` bytes, then
// moves the payload's bytes behind it without copying. The client never
// compresses what it sends.
void AppendFrame(evbuffer* frame, evbuffer* payload);

// Reads a big-endian 32-bit word from 4 bytes.
std::uint32_t ReadBigEndian32(const unsigned char* bytes);

}  // namespace kanzo
