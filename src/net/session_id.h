#pragma once
// The current session id: stamped on every request, 0 until the first
// login, changed only when the server hands out a new one (the answers to
// login, session refresh and re-login). Read and written from any thread.
#include <cstdint>

namespace kanzo {

std::int64_t CurrentSessionId();
void SetCurrentSessionId(std::int64_t sessionId);

}  // namespace kanzo
