#include "protocol/message_id.h"

#include <mutex>

namespace kanzo {
namespace {

std::mutex gIdMutex;
std::int64_t gLastId = 0;

}  // namespace

std::int64_t NextMessageId() {
  std::lock_guard lock(gIdMutex);
  return ++gLastId;
}

}  // namespace kanzo
