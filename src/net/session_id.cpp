#include "net/session_id.h"

#include <atomic>

namespace kanzo {
namespace {
std::atomic<std::int64_t> gSessionId{0};
}  // namespace

std::int64_t CurrentSessionId() { return gSessionId.load(); }
void SetCurrentSessionId(std::int64_t sessionId) { gSessionId.store(sessionId); }

}  // namespace kanzo
