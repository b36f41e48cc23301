#pragma once
// A message as the client frames it for the socket.
#include <cstdint>
#include <string>

#include "net/frame_format.h"
#include "protocol/buffer.h"
#include "protocol/message.h"

namespace kanzo::bench {

inline std::string FrameOf(const Message& message) {
  Buffer payload;
  writeMessage(payload, message);
  Buffer frame;
  AppendFrame(frame.buffer(), payload.buffer());
  std::string bytes(frame.length(), '\0');
  frame.read(bytes.data(), static_cast<std::int32_t>(bytes.size()));
  return bytes;
}

}  // namespace kanzo::bench
