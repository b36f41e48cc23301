#include "db/store_talk_message_tread.h"

#include <chrono>
#include <system_error>

#include "db/db_access.h"
#include "db/db_manager.h"
#include "log/cx_log.h"

namespace kanzo {

StoreTalkMessageTread::StoreTalkMessageTread(ContactTable& contacts, SharedAgentRecord& agent)
    : contacts_(contacts), agent_(agent) {}

StoreTalkMessageTread::~StoreTalkMessageTread() { stop(); }

bool StoreTalkMessageTread::start() {
  std::lock_guard<std::mutex> guard(threadMutex_);
  if (thread_.joinable()) return false;
  try {
    thread_ = std::thread([this] { run(); });
  } catch (const std::system_error& e) {
    KLOG_ERROR("聊天记录保存线程启动失败：%s", e.what());
    return false;
  }
  return true;
}

void StoreTalkMessageTread::Add(std::int32_t visitorId, const std::string& text, bool incoming) {
  auto job = std::make_unique<Job>();
  job->visitorId = visitorId;
  job->text = text;
  job->incoming = incoming;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    Job* added = job.get();
    if (tail_) {
      tail_->next = std::move(job);
    } else {
      head_ = std::move(job);
    }
    tail_ = added;
    ++count_;
  }
  wake_.notify_one();
}

void StoreTalkMessageTread::stop() {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    running_.store(false);
  }
  wake_.notify_all();
  {
    std::lock_guard<std::mutex> guard(threadMutex_);
    if (thread_.joinable()) thread_.join();
  }
  // The thread drains the queue before it ends; what is left was never seen
  // by a thread (not started, or added after it ended) and is stored here.
  DbKeptConnection connection;
  while (std::unique_ptr<Job> run = TakeRun()) StoreRun(std::move(run), connection);
}

std::size_t StoreTalkMessageTread::QueuedCount() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return count_;
}

void StoreTalkMessageTread::run() {
  // Open from the first run to the thread's end: a run of one line, the
  // usual case, then costs its statements and the commit, not opening the
  // file and preparing every statement again.
  DbKeptConnection connection;
  // Opened before the first line arrives, so it need not wait for that.
  connection.Open();
  for (;;) {
    std::unique_ptr<Job> run;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      // Idle: sleep until a line arrives, stop is called, or the idle period
      // ends; the queue is emptied before the thread leaves.
      while (!head_ && running_.load()) wake_.wait_for(lock, kIdleSleep);
      if (!head_) return;
      run = TakeRunLocked();
    }
    StoreRun(std::move(run), connection);
  }
}

std::unique_ptr<StoreTalkMessageTread::Job> StoreTalkMessageTread::TakeRun() {
  std::lock_guard<std::mutex> guard(mutex_);
  return TakeRunLocked();
}

std::unique_ptr<StoreTalkMessageTread::Job> StoreTalkMessageTread::TakeRunLocked() {
  if (!head_) return nullptr;
  std::unique_ptr<Job> run = std::move(head_);
  Job* last = run.get();
  std::size_t taken = 1;
  while (last->next && taken < kMaxRunLines) {
    last = last->next.get();
    ++taken;
  }
  head_ = std::move(last->next);
  if (!head_) tail_ = nullptr;
  count_ -= taken;
  return run;
}

StoreTalkMessageTread::TransactionRecords::TransactionRecords(const ContactTable& contacts,
                                                              const SharedAgentRecord& agent)
    : contacts_(contacts), agent_(agent.Triple()) {}

const ContactRecord* StoreTalkMessageTread::TransactionRecords::Visitor(std::int32_t id) {
  const auto known = visitors_.find(id);
  if (known != visitors_.end()) return &known->second;
  // A consistent copy, taken under the lock the user-interface thread writes
  // records under. An unknown id is asked again for its next line: the
  // visitor may be entered meanwhile.
  ContactRecord copy;
  if (!contacts_.CopyRecord(id, &copy)) return nullptr;
  return &visitors_.emplace(id, std::move(copy)).first->second;
}

void StoreTalkMessageTread::StoreRun(std::unique_ptr<Job> run, DbKeptConnection& connection) {
  while (run) run = StoreTransaction(std::move(run), connection);
}

std::unique_ptr<StoreTalkMessageTread::Job> StoreTalkMessageTread::StoreTransaction(std::unique_ptr<Job> first,
                                                                                    DbKeptConnection& connection) {
  TransactionRecords records(contacts_, agent_);
  std::unique_ptr<Job> rest;  // left for the next transaction
  {
    DbBatch batch(connection);
    const auto deadline = std::chrono::steady_clock::now() + kMaxTransactionTime;
    bool intact = batch.active();
    for (Job* job = first.get(); job && intact; job = job->next.get()) {
      if (!batch.BeginUnit()) {
        intact = false;
        break;
      }
      if (StoreLine(*job, records) == LineOutcome::kFailed) {
        KLOG_WARN("[用户ID=%d]的聊天信息保存失败", job->visitorId);
        batch.RollBackUnit();
      } else {
        batch.EndUnit();
      }
      intact = batch.intact();
      if (!intact) break;
      const bool young = std::chrono::steady_clock::now() < deadline;
      if (!young && job->next) {
        rest = std::move(job->next);
        break;
      }
      // Lines queued meanwhile join a transaction still young enough: under
      // a flood, a commit per some thousand lines instead of one per wake-up.
      if (young && !job->next) job->next = TakeRun();
    }
    if (intact && batch.Commit()) return rest;
  }
  // Nothing of the transaction was committed: the write lock was not had in
  // time, or the transaction was lost. Each line then waits for the lock on
  // its own, as the statements of the user-interface thread do.
  KLOG_WARN("聊天信息批量保存失败，逐条保存");
  for (const Job* job = first.get(); job; job = job->next.get()) StoreLine(*job, records);
  return rest;
}

StoreTalkMessageTread::LineOutcome StoreTalkMessageTread::StoreLine(const Job& job, TransactionRecords& records) {
  const ContactRecord* found = records.Visitor(job.visitorId);
  if (!found) {
    KLOG_WARN("未找到[用户ID=%d]的用户信息，聊天信息未保存", job.visitorId);
    return LineOutcome::kSkipped;
  }
  const ContactRecord& visitor = *found;
  const AgentTriple& agent = records.Agent();

  // A failed count is treated as "row exists": an update of a missing row
  // changes nothing, while an insert could duplicate the visitor.
  const bool visitorStored = DBManager::CountUserInfo(visitor.id, agent) == 0
                                 ? DBManager::InsertUserInfo(visitor, agent)
                                 : DBManager::UpdateUserInfo(visitor, agent);

  TalkLine line;
  if (job.incoming) {
    line.fromMember = visitor.id;
    line.fromType = visitor.kind;
    line.toMember = agent.agentId;
    line.toType = agent.agentType;
  } else {
    line.fromMember = agent.agentId;
    line.fromType = agent.agentType;
    line.toMember = visitor.id;
    line.toType = visitor.kind;
  }
  line.body = job.text;
  const bool lineStored = DBManager::InsertTalkMessage(line, visitor.id, visitor.kind, agent);
  return visitorStored && lineStored ? LineOutcome::kStored : LineOutcome::kFailed;
}

}  // namespace kanzo
