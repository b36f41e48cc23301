// libFuzzer target: arbitrary bytes into readMessage.
#include <cstdio>
#include <cstdlib>

#include "read_message_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (const char* failure = kanzo::CheckReadMessage(data, size)) {
    std::fprintf(stderr, "read_message: %s\n", failure);
    std::abort();
  }
  return 0;
}
