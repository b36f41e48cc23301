#pragma once
// The body of the read_message fuzz target, shared with the test that
// replays the committed corpus: any bytes given to readMessage must yield a
// message, stay within the input, and a whole message must encode back to
// bytes that decode to the same encoding again.
#include <cstddef>
#include <cstdint>

namespace kanzo {

// nullptr when every check held, otherwise what went wrong.
const char* CheckReadMessage(const std::uint8_t* data, std::size_t size);

}  // namespace kanzo
