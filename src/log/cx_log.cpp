#include "log/cx_log.h"

#include <strings.h>
#include <sys/time.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <mutex>
#include <stdexcept>
#include <thread>

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

// The time is kept as read and turned into text by the writer thread, so a
// caller logging in a loop (the chat-line store thread) pays only for the
// clock read.
struct Record {
  timeval time{};
  std::string sourceFile;
  std::string function;
  std::int32_t line = 0;
  std::int32_t level = 0;
  std::string text;
};

std::string TimeText(const timeval& tv) {
  tm local{};
  const time_t seconds = tv.tv_sec;
  localtime_r(&seconds, &local);
  char buf[64];
  std::snprintf(buf, sizeof(buf), "%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(tv.tv_usec / 1000));
  return buf;
}

std::string FormatLine(const Record& r) {
  std::string line;
  const std::string time = TimeText(r.time);
  line.reserve(time.size() + r.sourceFile.size() + r.function.size() + r.text.size() + 40);
  line += time;
  line += ' ';
  line += LogLevelLineWord(r.level);
  line += ' ';
  line += r.sourceFile;
  line += '(';
  line += r.function;
  line += ", ";
  line += std::to_string(r.line);
  line += "): ";
  line += r.text;
  line += kLineEnd;
  // A text that ends with its own line end would leave an empty line.
  const std::string doubled = std::string(kLineEnd) + kLineEnd;
  if (line.size() >= doubled.size() && line.compare(line.size() - doubled.size(), doubled.size(), doubled) == 0)
    line.resize(line.size() - 2);
  return line;
}

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
  std::deque<Record> queue;
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
  for (;;) {
    std::deque<Record> batch;
    {
      std::unique_lock lock(shared->mutex);
      shared->wake.wait(lock, [&] { return shared->recordsWaiting || shared->stop; });
      if (!shared->recordsWaiting) {
        shared->writerEnded = true;
        shared->drained.notify_all();
        return;
      }
      shared->recordsWaiting = false;
      batch.swap(shared->queue);
    }
    // One open and close per batch; taking the whole queue keeps the order
    // of lines while callers never wait for the disk.
    if (FILE* file = std::fopen(shared->filePath.c_str(), kAppendCloseOnExec)) {
      for (const Record& r : batch) {
        const std::string line = FormatLine(r);
        std::fwrite(line.data(), 1, line.size(), file);
      }
      std::fclose(file);
    }
    {
      std::lock_guard lock(shared->mutex);
      shared->written += batch.size();
    }
    shared->drained.notify_all();
  }
}

void CxLog::Log(const char* text, std::int32_t level, const char* sourceFile, const char* function, std::int32_t line) {
  if (level < shared_->level.load()) return;
  Record r;
  gettimeofday(&r.time, nullptr);
  if (sourceFile) r.sourceFile = log_detail::SourceFileName(sourceFile);
  if (function) r.function = function;
  r.line = sourceFile ? line : 0;
  r.level = level;
  if (text) r.text = text;
  bool wakeWriter = false;
  {
    std::lock_guard lock(shared_->mutex);
    if (shared_->stop) return;  // a late writer at exit: nobody would write it
    shared_->queue.push_back(std::move(r));
    ++shared_->queued;
    // Records already waiting have woken the writer; it takes this one with
    // them, and the caller saves a wake-up.
    wakeWriter = !shared_->recordsWaiting;
    shared_->recordsWaiting = true;
  }
  if (wakeWriter) shared_->wake.notify_one();
}

void CxLog::LogFormatV(std::int32_t level, const char* sourceFile, const char* function, std::int32_t line,
                       const char* format, va_list args) {
  if (level < shared_->level.load()) return;
  char buf[kFormatBufferBytes];
  std::vsnprintf(buf, sizeof(buf), format, args);  // keeps at most 1023 bytes
  Log(buf, level, sourceFile, function, line);
}

void CxLog::LogFormat(std::int32_t level, const char* sourceFile, const char* function, std::int32_t line,
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
