#include "log/cx_log.h"

#include <strings.h>
#include <sys/time.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iterator>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/file_identity.h"
#include "platform/program_folder.h"

namespace kanzo {
namespace {

constexpr const char* kLevelLineWords[] = {"Debug", "Info", "Warning", "Exception", "Error"};
constexpr const char* kLevelConfigWords[] = {"DEBUG", "INFO", "WARN", "EXCEPTION", "ERROR"};
constexpr const char* kDestroyedText = "CxLog has destroy!";
constexpr const char* kLogFolderName = "log/";
constexpr const char* kFileNameFormat = "%Y%m%d.log";
constexpr const char* kLineEnd = "\r\n";
// "e": opened close-on-exec, so a program started meanwhile does not get it.
constexpr const char* kAppendCloseOnExec = "abe";

// The part of a line after time and level, "file(function, line): text\r\n",
// as the pieces it is put together from; they point into the caller's
// texts, so they live only as long as the logging call.
class RestPieces {
 public:
  RestPieces(std::string_view text, const char* sourceFile, std::string_view function, std::int32_t line) {
    const std::string_view file = sourceFile ? log_detail::SourceFileName(sourceFile) : "";
    const char* numberEnd = std::to_chars(number_, number_ + sizeof(number_), sourceFile ? line : 0).ptr;
    constexpr std::string_view lineEnd = kLineEnd;
    // A text that ends with its own line end gets no second one, which would
    // leave an empty line.
    const std::string_view end = text.ends_with(lineEnd) ? std::string_view() : lineEnd;
    const std::string_view pieces[] = {file,  "(",  function, ", ", std::string_view(number_, numberEnd - number_),
                                       "): ", text, end};
    std::copy(std::begin(pieces), std::end(pieces), pieces_);
    for (const std::string_view piece : pieces_) size_ += piece.size();
  }
  RestPieces(const RestPieces&) = delete;
  RestPieces& operator=(const RestPieces&) = delete;

  std::size_t size() const { return size_; }
  void AppendTo(std::string* out) const {
    for (const std::string_view piece : pieces_)
      if (!piece.empty()) out->append(piece.data(), piece.size());  // an empty piece may have no storage
  }

 private:
  static constexpr std::size_t kPieces = 8;
  char number_[16];
  std::string_view pieces_[kPieces];
  std::size_t size_ = 0;
};

// Queued records. The time is kept as read and turned into text by the
// writer thread, so a caller logging in a loop (the chat-line store thread)
// pays only for the clock read and for appending the rest of its line to
// one shared text. The writer swaps the whole queue for its own emptied one,
// so both keep their storage: after the first batches queuing neither
// allocates nor touches fresh memory, whose first use costs a page fault.
struct RecordQueue {
  // Room for a busy millisecond of records from the start, so the first
  // batches do not grow the queue step by step.
  static constexpr std::size_t kReservedRecords = 512;
  static constexpr std::size_t kReservedRestBytes = 64 * 1024;
  // What a burst grew beyond this is given back once written.
  static constexpr std::size_t kKeptRestBytes = 1024 * 1024;

  struct Head {
    timeval time;
    std::int32_t level;
    std::uint32_t restBytes;
  };
  std::vector<Head> heads;
  std::string rests;  // each record's rest, one after the other

  RecordQueue() {
    heads.reserve(kReservedRecords);
    rests.reserve(kReservedRestBytes);
  }

  void swap(RecordQueue& other) {
    heads.swap(other.heads);
    rests.swap(other.rests);
  }
  void clear() {
    heads.clear();
    rests.clear();
  }
};

// "YYYY-MM-DD hh:mm:ss.mmm", the local time turned into text once a second:
// the records of one second differ only in their milliseconds.
class TimeTexts {
 public:
  void Append(const timeval& tv, std::string* out) {
    if (tv.tv_sec != second_ || secondText_.empty()) {
      tm local{};
      const time_t seconds = tv.tv_sec;
      localtime_r(&seconds, &local);
      char buf[64];
      std::snprintf(buf, sizeof(buf), "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                    local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
      secondText_ = buf;
      second_ = tv.tv_sec;
    }
    const int millis = static_cast<int>(tv.tv_usec / 1000);
    const char fraction[] = {'.', static_cast<char>('0' + millis / 100), static_cast<char>('0' + millis / 10 % 10),
                             static_cast<char>('0' + millis % 10)};
    out->append(secondText_);
    out->append(fraction, sizeof(fraction));
  }

 private:
  time_t second_ = 0;
  std::string secondText_;
};

// The writer's log file. It stays open between batches; before each batch
// the path is looked up again, and when it no longer names the open file
// (removed, or moved away by hand or by a clean-up tool) the path is opened
// anew, so lines never go on into a file nobody can find.
class OpenLogFile {
 public:
  OpenLogFile() = default;
  OpenLogFile(const OpenLogFile&) = delete;
  OpenLogFile& operator=(const OpenLogFile&) = delete;
  ~OpenLogFile() { Close(); }

  // The file to append to, or nullptr when the path cannot be opened.
  FILE* For(const std::string& path) {
    if (file_ && platform::IdentityOfPath(path) != identity_) Close();
    if (!file_) {
      file_ = std::fopen(path.c_str(), kAppendCloseOnExec);
      if (file_) identity_ = platform::IdentityOfOpenFile(fileno(file_));
    }
    return file_;
  }

  void Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
  }

 private:
  FILE* file_ = nullptr;
  std::optional<platform::FileIdentity> identity_;
};

// The process's log: built on first use, torn down at exit, never rebuilt.
std::mutex gProcessLogMutex;
CxLog* gProcessLog = nullptr;
std::atomic<bool> gProcessLogTornDown{false};
std::atomic<CxLog*> gProcessLogFast{nullptr};

}  // namespace

const char* LogLevelLineWord(std::int32_t level) {
  if (level < kLogDebug || level > kLogError) return "";
  return kLevelLineWords[level];
}

bool LogLevelFromConfigWord(const std::string& word, std::int32_t* level) {
  for (std::int32_t i = kLogDebug; i <= kLogError; ++i) {
    if (strcasecmp(word.c_str(), kLevelConfigWords[i]) == 0) {
      *level = i;
      return true;
    }
  }
  return false;
}

// Shared between the log object and its writer thread, so that a writer
// that outlives the 500 ms drain at teardown never touches freed memory.
struct CxLog::Shared {
  std::atomic<std::int32_t> level{kInitialLevel};
  std::mutex mutex;
  std::condition_variable wake;
  std::condition_variable drained;
  RecordQueue queue;
  bool recordsWaiting = false;  // auto-reset: cleared when the writer takes them
  bool stop = false;            // manual-reset
  bool writerEnded = false;
  std::uint64_t queued = 0;
  std::uint64_t written = 0;
  std::string filePath;
  std::thread writer;
};

CxLog::CxLog(const std::string& folder) : shared_(std::make_shared<Shared>()) {
  std::string dir = folder;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  platform::EnsureFolder(dir);  // a failure is ignored: the writes fail later
  char name[32];
  const time_t now = std::time(nullptr);
  tm local{};
  localtime_r(&now, &local);
  std::strftime(name, sizeof(name), kFileNameFormat, &local);
  filePath_ = dir + name;
  shared_->filePath = filePath_;
  shared_->writer = std::thread([shared = shared_] { RunWriter(shared); });
}

CxLog::~CxLog() { Stop(); }

void CxLog::Stop() {
  auto shared = shared_;
  {
    std::lock_guard lock(shared->mutex);
    if (shared->stop) return;
    shared->stop = true;
  }
  shared->wake.notify_all();
  bool ended;
  {
    std::unique_lock lock(shared->mutex);
    ended = shared->drained.wait_for(lock, std::chrono::milliseconds(kTeardownDrainMs),
                                     [&] { return shared->writerEnded; });
  }
  if (shared->writer.joinable()) {
    if (ended)
      shared->writer.join();
    else
      shared->writer.detach();  // it holds its own reference to the shared state
  }
}

void CxLog::RunWriter(const std::shared_ptr<Shared>& shared) {
  // Only the shared state is touched here: the log object may be gone.
  OpenLogFile file;
  TimeTexts times;
  RecordQueue batch;
  std::string lines;
  for (;;) {
    {
      std::unique_lock lock(shared->mutex);
      shared->wake.wait(lock, [&] { return shared->recordsWaiting || shared->stop; });
      if (shared->recordsWaiting && !shared->stop) {
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(kGatherMs));
        lock.lock();
      }
      if (!shared->recordsWaiting) {
        file.Close();
        shared->writerEnded = true;
        shared->drained.notify_all();
        return;
      }
      shared->recordsWaiting = false;
      batch.swap(shared->queue);
    }
    // Taking the whole queue keeps the order of lines while callers never
    // wait for the disk; the batch goes out in one write.
    lines.clear();
    std::size_t restAt = 0;
    for (const RecordQueue::Head& r : batch.heads) {
      times.Append(r.time, &lines);
      lines += ' ';
      lines += LogLevelLineWord(r.level);
      lines += ' ';
      lines.append(batch.rests, restAt, r.restBytes);
      restAt += r.restBytes;
    }
    if (FILE* out = file.For(shared->filePath)) {
      std::fwrite(lines.data(), 1, lines.size(), out);
      // Flushed per batch: Flush promises the lines are in the file, and a
      // crash loses nothing the writer had taken.
      if (std::fflush(out) != 0) file.Close();
    }
    const std::size_t written = batch.heads.size();
    batch.clear();
    if (batch.rests.capacity() > RecordQueue::kKeptRestBytes) {
      batch = RecordQueue();
      std::string().swap(lines);
    }
    {
      std::lock_guard lock(shared->mutex);
      shared->written += written;
    }
    shared->drained.notify_all();
  }
}

void CxLog::Log(const char* text, std::int32_t level, const char* sourceFile, const char* function, std::int32_t line) {
  if (level < shared_->level.load()) return;
  Queue(text ? std::string_view(text) : std::string_view(), level, sourceFile,
        function ? std::string_view(function) : std::string_view(), line);
}

void CxLog::Queue(std::string_view text, std::int32_t level, const char* sourceFile, std::string_view function,
                  std::int32_t line) {
  RecordQueue::Head head{};
  gettimeofday(&head.time, nullptr);
  head.level = level;
  const RestPieces rest(text, sourceFile, function, line);
  head.restBytes = static_cast<std::uint32_t>(rest.size());
  bool wakeWriter = false;
  {
    std::lock_guard lock(shared_->mutex);
    if (shared_->stop) return;  // a late writer at exit: nobody would write it
    shared_->queue.heads.push_back(head);
    rest.AppendTo(&shared_->queue.rests);
    ++shared_->queued;
    // Records already waiting have woken the writer; it takes this one with
    // them, and the caller saves a wake-up.
    wakeWriter = !shared_->recordsWaiting;
    shared_->recordsWaiting = true;
  }
  if (wakeWriter) shared_->wake.notify_one();
}

void CxLog::LogFormatV(std::int32_t level, const char* sourceFile, std::string_view function, std::int32_t line,
                       const char* format, va_list args) {
  if (level < shared_->level.load()) return;
  char buf[kFormatBufferBytes];
  buf[0] = '\0';
  std::vsnprintf(buf, sizeof(buf), format, args);  // keeps at most 1023 bytes
  Queue(buf, level, sourceFile, function, line);
}

void CxLog::LogFormat(std::int32_t level, const char* sourceFile, std::string_view function, std::int32_t line,
                      const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogFormatV(level, sourceFile, function, line, format, args);
  va_end(args);
}

void CxLog::SetLevel(std::int32_t level) { shared_->level.store(level); }

std::int32_t CxLog::Level() const { return shared_->level.load(); }

void CxLog::Flush() {
  std::unique_lock lock(shared_->mutex);
  const std::uint64_t target = shared_->queued;
  shared_->drained.wait(lock, [&] { return shared_->written >= target || shared_->writerEnded; });
}

CxLog& CxLog::Instance() {
  if (gProcessLogTornDown.load()) {
    std::fprintf(stderr, "%s\n", kDestroyedText);  // the debugger output here
    throw std::runtime_error(kDestroyedText);
  }
  std::lock_guard lock(gProcessLogMutex);
  if (!gProcessLog) {
    gProcessLog = new CxLog(platform::ProgramFolder() + kLogFolderName);
    gProcessLogFast.store(gProcessLog);
    std::atexit(&CxLog::TeardownProcessLog);
  }
  return *gProcessLog;
}

CxLog* CxLog::InstanceIfEnabled(std::int32_t level) {
  CxLog* log = gProcessLogFast.load();
  if (!log) {
    if (gProcessLogTornDown.load()) return nullptr;
    log = &Instance();
  }
  return log->IsEnabled(level) ? log : nullptr;
}

void CxLog::TeardownProcessLog() {
  CxLog* log;
  {
    std::lock_guard lock(gProcessLogMutex);
    if (gProcessLogTornDown.exchange(true)) return;
    log = gProcessLog;
    gProcessLogFast.store(nullptr);
  }
  // Another thread may have taken the pointer just before and still be
  // writing through it: the object stays for the rest of the process, and
  // what it is handed from now on is dropped.
  if (log) log->Stop();
}

}  // namespace kanzo
