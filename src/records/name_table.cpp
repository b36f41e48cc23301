#include "records/name_table.h"

namespace kanzo {

void NameTable::Set(std::int32_t id, const std::string& name) {
  std::lock_guard<std::mutex> guard(mutex_);
  names_[id] = name;
}

bool NameTable::Lookup(std::int32_t id, std::string* out) const {
  std::lock_guard<std::mutex> guard(mutex_);
  auto it = names_.find(id);
  if (it == names_.end()) return false;
  if (out) *out = it->second;
  return true;
}

std::size_t NameTable::Size() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return names_.size();
}

void NameTable::Clear() {
  std::lock_guard<std::mutex> guard(mutex_);
  names_.clear();
}

}  // namespace kanzo
