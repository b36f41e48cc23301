#pragma once
// The name table: agent id to display name, one per process. The agent tree
// and the login enter names; the lists look them up. Guarded by its own lock
// so that a lookup from another thread never sees a half-written entry.
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

namespace kanzo {

class NameTable {
 public:
  NameTable() = default;
  NameTable(const NameTable&) = delete;
  NameTable& operator=(const NameTable&) = delete;

  // Enters or replaces the name of `id`.
  void Set(std::int32_t id, const std::string& name);
  // The name of `id` into `out`; false when the id has none.
  bool Lookup(std::int32_t id, std::string* out) const;
  std::size_t Size() const;
  void Clear();

 private:
  mutable std::mutex mutex_;
  std::map<std::int32_t, std::string> names_;
};

}  // namespace kanzo
