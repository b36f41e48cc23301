#pragma once
// The contact table: id to ContactRecord, one per process.
//
// The lists keep pointers into the table, so a record lives until the table
// is cleared at exit. The user-interface thread is the only writer; the
// chat-line store thread reads records from its own thread. To let it read
// whole records, the writer holds the table's lock while it enters a record
// or changes a record's fields (Update or LockForWrite); readers on other
// threads copy a record under the same lock (CopyRecord).
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "records/contact_record.h"

namespace kanzo {

class ContactTable {
 public:
  ContactTable() = default;
  ContactTable(const ContactTable&) = delete;
  ContactTable& operator=(const ContactTable&) = delete;

  // The record of `id`, or nullptr. The pointer stays valid until Clear().
  ContactRecord* Find(std::int32_t id);
  bool Contains(std::int32_t id) const;

  // Enters `record` under its id unless the id is taken; either way returns
  // the table's record for the id (a record that was not entered is freed).
  // nullptr only when `record` is null.
  ContactRecord* Enter(std::unique_ptr<ContactRecord> record);

  // Copies the record of `id` into `out`; false when the id is unknown.
  bool CopyRecord(std::int32_t id, ContactRecord* out) const;

  // Changes the record of `id` under the lock; false when the id is unknown.
  template <typename Change>
  bool Update(std::int32_t id, Change&& change) {
    std::lock_guard<std::mutex> guard(mutex_);
    auto it = records_.find(id);
    if (it == records_.end()) return false;
    change(*it->second);
    return true;
  }

  // Visits every record in id order under the lock. The visitor must not
  // call back into the table.
  template <typename Visit>
  void ForEach(Visit&& visit) {
    std::lock_guard<std::mutex> guard(mutex_);
    for (auto& [id, record] : records_) visit(*record);
  }

  // For a writer that changes several fields through pointers it holds.
  [[nodiscard]] std::unique_lock<std::mutex> LockForWrite() { return std::unique_lock<std::mutex>(mutex_); }

  std::size_t Size() const;
  // Frees every record; pointers handed out before are invalid afterwards.
  void Clear();

 private:
  mutable std::mutex mutex_;
  std::map<std::int32_t, std::unique_ptr<ContactRecord>> records_;
};

}  // namespace kanzo
