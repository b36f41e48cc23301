#include "records/agent_record.h"

namespace kanzo {

AgentRecord SharedAgentRecord::Copy() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return record_;
}

AgentTriple SharedAgentRecord::Triple() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return record_.triple;
}

std::int32_t SharedAgentRecord::AgentId() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return record_.triple.agentId;
}

void SharedAgentRecord::Reset() {
  std::lock_guard<std::mutex> guard(mutex_);
  record_ = AgentRecord{};
}

}  // namespace kanzo
