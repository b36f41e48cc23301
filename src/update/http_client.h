#pragma once
// The updater's one HTTP connection: a libcurl easy handle made when the
// dialog starts and reused for every GET, so the connection to the update
// server stays open between the version file and the downloads. Redirects
// are never followed; the connect time-out is 5000 ms.
//
// The handle is used by one thread at a time (the step that runs); only
// RequestAbort may be called from another thread.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace kanzo {

inline constexpr long kHttpConnectTimeoutMs = 5000;
// Bodies are handed on in pieces of at most this size.
inline constexpr std::size_t kHttpPieceBytes = 2048;
// A transfer that moves no byte for this long has stalled.
inline constexpr long kHttpStallSeconds = 30;
inline constexpr long kHttpStatusOk = 200;
inline constexpr std::int64_t kHttpNoContentLength = -1;

class HttpResponseSink {
 public:
  virtual ~HttpResponseSink() = default;
  // The final answer's headers have arrived (also for an answer without a
  // body). `contentLength` is kHttpNoContentLength when the answer names
  // none. False stops the transfer.
  virtual bool OnResponse(long status, std::int64_t contentLength) = 0;
  // The next piece of the body, at most kHttpPieceBytes. False stops.
  virtual bool OnBody(const char* data, std::size_t size) = 0;
};

enum class HttpGetOutcome {
  Complete,       // the whole answer arrived
  NotSent,        // no answer: the request could not be sent or was not answered
  Interrupted,    // the answer began but broke off (short of its Content-Length)
  StoppedBySink,  // the sink said stop
  Aborted         // RequestAbort was called
};

struct HttpGetResult {
  HttpGetOutcome outcome = HttpGetOutcome::NotSent;
  long status = 0;
  std::int64_t contentLength = kHttpNoContentLength;
  std::int64_t received = 0;
  std::string error;  // the HTTP layer's description, empty when it gave none
};

class HttpClient {
 public:
  // Nullptr when the HTTP library cannot be initialised.
  static std::unique_ptr<HttpClient> Open(const std::string& host, int port);
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  // GET `object` (a narrow path with query, beginning with "/") on the
  // connection. Bytes a URL cannot carry are percent-encoded.
  HttpGetResult Get(const std::string& object, HttpResponseSink& sink);

  // Makes the running and every later Get end as Aborted (any thread).
  void RequestAbort() { abort_.store(true); }

 private:
  struct Handle;
  HttpClient(std::unique_ptr<Handle> handle, std::string base);
  std::unique_ptr<Handle> handle_;
  std::string base_;  // "http://host:port"
  std::atomic<bool> abort_{false};
};

// The object as it goes on the request line: narrow text to UTF-8, and each
// byte outside the characters a URL may hold written as %XX.
std::string EscapeRequestObject(const std::string& object);

}  // namespace kanzo
