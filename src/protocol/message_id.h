#pragma once
// The run's request ids: one counter for every window and thread, under a
// lock of its own. The first id of a run is 1; ids are never reused.
#include <cstdint>

namespace kanzo {

std::int64_t NextMessageId();

}  // namespace kanzo
