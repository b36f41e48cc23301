#include "records/contact_table.h"

namespace kanzo {

ContactRecord* ContactTable::Find(std::int32_t id) {
  std::lock_guard<std::mutex> guard(mutex_);
  auto it = records_.find(id);
  return it == records_.end() ? nullptr : it->second.get();
}

bool ContactTable::Contains(std::int32_t id) const {
  std::lock_guard<std::mutex> guard(mutex_);
  return records_.count(id) != 0;
}

ContactRecord* ContactTable::Enter(std::unique_ptr<ContactRecord> record) {
  if (!record) return nullptr;
  std::lock_guard<std::mutex> guard(mutex_);
  const std::int32_t id = record->id;
  auto [it, inserted] = records_.try_emplace(id, std::move(record));
  return it->second.get();
}

bool ContactTable::CopyRecord(std::int32_t id, ContactRecord* out) const {
  std::lock_guard<std::mutex> guard(mutex_);
  auto it = records_.find(id);
  if (it == records_.end()) return false;
  if (out) *out = *it->second;
  return true;
}

std::size_t ContactTable::Size() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return records_.size();
}

void ContactTable::Clear() {
  std::map<std::int32_t, std::unique_ptr<ContactRecord>> gone;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    gone.swap(records_);
  }
}

}  // namespace kanzo
