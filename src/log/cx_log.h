#pragma once
// The program's single, process-wide log. Any thread hands it a record; the
// record is stamped at once, queued, and written to "log/YYYYMMDD.log" in the
// program folder by a writer thread of the log's own.
#include <cstdarg>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kanzo {

enum LogLevel : std::int32_t {
  kLogDebug = 0,
  kLogInfo = 1,
  kLogWarning = 2,
  kLogException = 3,
  kLogError = 4,
};

// The word a line shows for a level ("Debug", "Info", "Warning", ...).
const char* LogLevelLineWord(std::int32_t level);

// The threshold a LOG_LEVEL word selects ("DEBUG", "INFO", "WARN",
// "EXCEPTION", "ERROR", any case); false when the word matches none.
bool LogLevelFromConfigWord(const std::string& word, std::int32_t* level);

class CxLog {
 public:
  inline static constexpr std::size_t kFormatBufferBytes = 1024;
  inline static constexpr int kTeardownDrainMs = 500;
  // How long the writer lets records gather after the first one wakes it: a
  // caller logging in a loop then queues a whole batch without waking the
  // writer or meeting it at the queue's lock for each record.
  inline static constexpr int kGatherMs = 1;
  inline static constexpr std::int32_t kInitialLevel = kLogInfo;

  // The process's log, built on first use in the program folder. After the
  // log has been torn down at exit it throws std::runtime_error
  // ("CxLog has destroy!").
  static CxLog& Instance();
  // The process's log if it is alive and `level` passes its threshold;
  // nullptr otherwise. Never throws: this is what the log macros use, so a
  // record written during exit is dropped instead of ending the process.
  static CxLog* InstanceIfEnabled(std::int32_t level);
  // Tears the process's log down as at exit (registered with atexit). Safe
  // against threads still logging: their records are dropped.
  static void TeardownProcessLog();

  // A log writing into `folder` (created if missing); the file is named
  // after today's local date.
  explicit CxLog(const std::string& folder);
  ~CxLog();
  CxLog(const CxLog&) = delete;
  CxLog& operator=(const CxLog&) = delete;

  // Queues one record with the text as it is (any length).
  void Log(const char* text, std::int32_t level, const char* sourceFile, const char* function, std::int32_t line);
  // Formats printf-style, keeping at most 1023 bytes of the result.
  void LogFormat(std::int32_t level, const char* sourceFile, std::string_view function, std::int32_t line,
                 const char* format, ...) __attribute__((format(printf, 6, 7)));
  void LogFormatV(std::int32_t level, const char* sourceFile, std::string_view function, std::int32_t line,
                  const char* format, va_list args);

  void SetLevel(std::int32_t level);
  std::int32_t Level() const;
  bool IsEnabled(std::int32_t level) const { return level >= Level(); }
  const std::string& FilePath() const { return filePath_; }

  // Waits until every record queued so far is in the file (tests, shutdown).
  void Flush();
  // Writes what is queued (waiting a bounded time) and ends the writer;
  // records handed in afterwards are dropped. The destructor stops too.
  void Stop();

 private:
  struct Shared;
  // The writer thread's body.
  static void RunWriter(const std::shared_ptr<Shared>& shared);
  void Queue(std::string_view text, std::int32_t level, const char* sourceFile, std::string_view function,
             std::int32_t line);
  std::shared_ptr<Shared> shared_;
  std::string filePath_;
};

namespace log_detail {
// "bool CKanzoApp::InitInstance()" -> "CKanzoApp::InitInstance": a part of
// the given text, which the result points into.
std::string_view QualifiedFunctionName(const char* prettyFunction);
// The part of a path after its last '/' or '\'.
const char* SourceFileName(const char* path);
}  // namespace log_detail

}  // namespace kanzo

// Logging macros: the level is checked before anything is formatted; the
// record carries the source file, the qualified method name and the line.
// The method name is found once per place that logs (a view into the
// compiler's constant text, so it needs no clean-up at exit).
#define KLOG(level, ...)                                                                                               \
  do {                                                                                                                 \
    if (::kanzo::CxLog* kanzo_log_ = ::kanzo::CxLog::InstanceIfEnabled(level)) {                                       \
      static const std::string_view kanzo_function_ = ::kanzo::log_detail::QualifiedFunctionName(__PRETTY_FUNCTION__); \
      kanzo_log_->LogFormat(level, __FILE__, kanzo_function_, __LINE__, __VA_ARGS__);                                  \
    }                                                                                                                  \
  } while (0)
#define KLOG_DEBUG(...) KLOG(::kanzo::kLogDebug, __VA_ARGS__)
#define KLOG_INFO(...) KLOG(::kanzo::kLogInfo, __VA_ARGS__)
#define KLOG_WARN(...) KLOG(::kanzo::kLogWarning, __VA_ARGS__)
#define KLOG_EXCEPTION(...) KLOG(::kanzo::kLogException, __VA_ARGS__)
#define KLOG_ERROR(...) KLOG(::kanzo::kLogError, __VA_ARGS__)
// A record under a given method name, for logic that logs on behalf of the
// window that forwards to it ("QuickMsgEditDlg::SaveInfo").
#define KLOG_AS(level, function, ...)                                          \
  do {                                                                         \
    if (::kanzo::CxLog* kanzo_log_ = ::kanzo::CxLog::InstanceIfEnabled(level)) \
      kanzo_log_->LogFormat(level, __FILE__, function, __LINE__, __VA_ARGS__); \
  } while (0)
