#include "workspace/shared_workspace.h"

#include <memory>
#include <mutex>

namespace kanzo {
namespace {

// Guards only the creation and the release of the instances, not their use.
std::mutex gInstancesMutex;
std::unique_ptr<SharedAgentRecord> gAgentRecord;
std::unique_ptr<ContactTable> gContactTable;
std::unique_ptr<NameTable> gNameTable;

template <typename T>
T& Instance(std::unique_ptr<T>& slot) {
  std::lock_guard<std::mutex> guard(gInstancesMutex);
  if (!slot) slot = std::make_unique<T>();
  return *slot;
}

}  // namespace

SharedAgentRecord& CurrentAgentRecord() { return Instance(gAgentRecord); }
ContactTable& SharedContactTable() { return Instance(gContactTable); }
NameTable& SharedNameTable() { return Instance(gNameTable); }

void ReleaseSharedWorkspace() {
  std::unique_ptr<SharedAgentRecord> agent;
  std::unique_ptr<ContactTable> contacts;
  std::unique_ptr<NameTable> names;
  {
    std::lock_guard<std::mutex> guard(gInstancesMutex);
    agent = std::move(gAgentRecord);
    contacts = std::move(gContactTable);
    names = std::move(gNameTable);
  }
  agent.reset();
  if (contacts) contacts->Clear();
  contacts.reset();
  if (names) names->Clear();
  names.reset();
}

}  // namespace kanzo
