#pragma once
// The chat window's background writer of chat lines. The user-interface
// thread queues a line with Add, which only takes the queue's lock; the
// store thread takes every queued line (up to kMaxRunLines) off the queue at
// once and writes the run outside the lock in one transaction (a long run in
// several, each open at most kMaxTransactionTime) on a connection it keeps
// open: each line (the visitor's details and the line) under its own
// savepoint, so a line whose statements fail is rolled back alone and the
// others of the run still commit.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>

#include "db/db_access.h"
#include "records/agent_record.h"
#include "records/contact_table.h"

namespace kanzo {

class StoreTalkMessageTread final {
 public:
  static constexpr std::chrono::milliseconds kIdleSleep{500};
  // Bounds the lines taken off the queue at once: the cut is found under the
  // queue's lock, which Add waits for.
  static constexpr std::size_t kMaxRunLines = 10000;
  // Bounds the time one transaction holds the write lock, during which
  // statements of the user-interface thread wait: a longer run is stored in
  // several transactions. One commit costs about as much as some hundreds of
  // lines, so a run is not cut by a count of lines.
  static constexpr std::chrono::milliseconds kMaxTransactionTime{20};

  // Reads the given contact table and agent record, which must outlive this
  // object (the chat window that owns it goes before the records).
  StoreTalkMessageTread(ContactTable& contacts, SharedAgentRecord& agent);
  // Stops first: every queued line is stored.
  ~StoreTalkMessageTread();
  StoreTalkMessageTread(const StoreTalkMessageTread&) = delete;
  StoreTalkMessageTread& operator=(const StoreTalkMessageTread&) = delete;

  // Starts the store thread; false when it runs already or cannot start.
  bool start();

  // Queues a line with the visitor; `incoming` when the visitor sent it.
  // Never waits for the database.
  void Add(std::int32_t visitorId, const std::string& text, bool incoming);

  // Clears the running flag, stores every line still queued exactly once,
  // and returns when the store thread has ended. Lines added after stop are
  // stored by the next stop (the destructor's at the latest).
  void stop();

  // Lines queued and not yet taken by the store thread.
  std::size_t QueuedCount() const;

 private:
  struct Job {
    std::int32_t visitorId = 0;
    std::string text;
    bool incoming = false;
    std::unique_ptr<Job> next;

    Job() = default;
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;
    // Frees the rest of the chain one job after another: freed through
    // `next` alone, a long run would take a stack frame per line.
    ~Job() {
      std::unique_ptr<Job> rest = std::move(next);
      while (rest) rest = std::move(rest->next);
    }
  };

  enum class LineOutcome { kStored, kSkipped, kFailed };

  // The visitors and the agent as they were when a transaction began. A
  // transaction holds the lines of at most kMaxTransactionTime, so the
  // records current at its start are as good as a copy per line, and
  // copying each visitor once per transaction keeps the contact table's lock
  // and a dozen string copies out of every line.
  class TransactionRecords {
   public:
    TransactionRecords(const ContactTable& contacts, const SharedAgentRecord& agent);
    // The visitor's record, or nullptr while the table does not know it.
    const ContactRecord* Visitor(std::int32_t id);
    const AgentTriple& Agent() const { return agent_; }

   private:
    const ContactTable& contacts_;
    const AgentTriple agent_;
    std::unordered_map<std::int32_t, ContactRecord> visitors_;
  };

  void run();
  // Up to kMaxRunLines jobs from the front of the queue, in order, chained
  // through `next`; null when the queue is empty.
  std::unique_ptr<Job> TakeRun();
  std::unique_ptr<Job> TakeRunLocked();  // mutex_ held
  // Stores the chained jobs in transactions on `connection`.
  void StoreRun(std::unique_ptr<Job> run, DbKeptConnection& connection);
  // Stores jobs from `first` on in one transaction, taking lines queued
  // meanwhile too, until they end or the transaction has been open for
  // kMaxTransactionTime; when the transaction cannot be had or is lost, each
  // of its lines on its own connections instead. Returns the jobs left for
  // the next transaction.
  std::unique_ptr<Job> StoreTransaction(std::unique_ptr<Job> first, DbKeptConnection& connection);
  LineOutcome StoreLine(const Job& job, TransactionRecords& records);

  ContactTable& contacts_;
  SharedAgentRecord& agent_;

  mutable std::mutex mutex_;  // guards the queue
  std::condition_variable wake_;
  std::unique_ptr<Job> head_;
  Job* tail_ = nullptr;
  std::size_t count_ = 0;
  std::atomic<bool> running_{true};

  std::mutex threadMutex_;  // guards start against stop
  std::thread thread_;
};

}  // namespace kanzo
