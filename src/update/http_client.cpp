#include "update/http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <mutex>
#include <string_view>

#include "platform/narrow_text.h"

namespace kanzo {
namespace {

constexpr const char* kUserAgent = "Kanzo-Update/1.0";
// The loopback is never reached through a proxy.
constexpr const char* kNoProxyHosts = "localhost,127.0.0.1,::1";
constexpr long kStallBytesPerSecond = 1;
constexpr int kHexBase = 16;
constexpr const char* kHexDigits = "0123456789ABCDEF";

bool InitHttpLibrary() {
  static std::once_flag once;
  static bool ok = false;
  std::call_once(once, [] { ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
  return ok;
}

bool AllowedInUrl(unsigned char c) {
  if (std::isalnum(c)) return true;
  return std::string_view("-._~!$&'()*+,;=:@/?%").find(static_cast<char>(c)) != std::string_view::npos;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view TrimLine(std::string_view s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n' || s.back() == ' ' || s.back() == '\t'))
    s.remove_suffix(1);
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  return s;
}

// What one transfer collects while curl runs its callbacks.
struct Transfer {
  HttpResponseSink* sink = nullptr;
  const std::atomic<bool>* abort = nullptr;
  long status = 0;
  std::int64_t contentLength = kHttpNoContentLength;
  bool responseStarted = false;
  bool sinkStopped = false;
  std::int64_t received = 0;
};

size_t OnHeaderLine(char* data, size_t size, size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  const size_t bytes = size * count;
  const std::string_view line = TrimLine(std::string_view(data, bytes));
  if (line.empty()) {
    // The end of one answer's headers; an interim 1xx answer is followed by
    // the real one.
    if (t->status / 100 == 1) {
      t->status = 0;
      t->contentLength = kHttpNoContentLength;
      return bytes;
    }
    t->responseStarted = true;
    if (!t->sink->OnResponse(t->status, t->contentLength)) {
      t->sinkStopped = true;
      return 0;
    }
    return bytes;
  }
  if (line.size() > 5 && EqualsNoCase(line.substr(0, 5), "HTTP/")) {
    const auto blank = line.find(' ');
    t->status =
        blank == std::string_view::npos ? 0 : std::strtol(std::string(line.substr(blank + 1)).c_str(), nullptr, 10);
    t->contentLength = kHttpNoContentLength;
    return bytes;
  }
  const auto colon = line.find(':');
  if (colon != std::string_view::npos && EqualsNoCase(TrimLine(line.substr(0, colon)), "Content-Length")) {
    const std::string value(TrimLine(line.substr(colon + 1)));
    char* end = nullptr;
    const long long n = std::strtoll(value.c_str(), &end, 10);
    if (end != value.c_str() && *end == '\0' && n >= 0) t->contentLength = n;
  }
  return bytes;
}

size_t OnBodyData(char* data, size_t size, size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  const size_t bytes = size * count;
  for (size_t done = 0; done < bytes;) {
    const size_t piece = std::min(kHttpPieceBytes, bytes - done);
    if (!t->sink->OnBody(data + done, piece)) {
      t->sinkStopped = true;
      return 0;
    }
    done += piece;
    t->received += static_cast<std::int64_t>(piece);
  }
  return bytes;
}

int OnTransferInfo(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto* t = static_cast<Transfer*>(user);
  return t->abort->load() ? 1 : 0;
}

std::string NoProxyList() {
  std::string list = kNoProxyHosts;
  for (const char* name : {"no_proxy", "NO_PROXY"}) {
    if (const char* v = std::getenv(name); v && *v) {
      list += ',';
      list += v;
      break;
    }
  }
  return list;
}

}  // namespace

struct HttpClient::Handle {
  struct Cleanup {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
  };
  std::unique_ptr<CURL, Cleanup> curl;
  char error[CURL_ERROR_SIZE] = {};
  std::string noProxy;
};

std::string EscapeRequestObject(const std::string& object) {
  const std::string utf8 = platform::NarrowToUtf8(object);
  std::string out;
  out.reserve(utf8.size());
  for (const char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    if (AllowedInUrl(c)) {
      out += ch;
    } else {
      out += '%';
      out += kHexDigits[c / kHexBase];
      out += kHexDigits[c % kHexBase];
    }
  }
  return out;
}

std::unique_ptr<HttpClient> HttpClient::Open(const std::string& host, int port) {
  if (!InitHttpLibrary()) return nullptr;
  auto handle = std::make_unique<Handle>();
  handle->curl.reset(curl_easy_init());
  if (!handle->curl) return nullptr;
  CURL* c = handle->curl.get();
  handle->noProxy = NoProxyList();
  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, handle->error);
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, kHttpConnectTimeoutMs);
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http");
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(c, CURLOPT_NOPROXY, handle->noProxy.c_str());
  curl_easy_setopt(c, CURLOPT_BUFFERSIZE, static_cast<long>(kHttpPieceBytes));
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, kStallBytesPerSecond);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, kHttpStallSeconds);
  curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &OnHeaderLine);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &OnBodyData);
  curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &OnTransferInfo);
  curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
  const bool ipv6 = host.find(':') != std::string::npos && host.front() != '[';
  std::string base = "http://" + (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
  return std::unique_ptr<HttpClient>(new HttpClient(std::move(handle), std::move(base)));
}

HttpClient::HttpClient(std::unique_ptr<Handle> handle, std::string base)
    : handle_(std::move(handle)), base_(std::move(base)) {}

HttpClient::~HttpClient() = default;

HttpGetResult HttpClient::Get(const std::string& object, HttpResponseSink& sink) {
  HttpGetResult result;
  if (abort_.load()) {
    result.outcome = HttpGetOutcome::Aborted;
    return result;
  }
  CURL* c = handle_->curl.get();
  Transfer transfer;
  transfer.sink = &sink;
  transfer.abort = &abort_;
  const std::string url = base_ + EscapeRequestObject(object);
  handle_->error[0] = '\0';
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(c, CURLOPT_HEADERDATA, &transfer);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(c, CURLOPT_XFERINFODATA, &transfer);
  const CURLcode rc = curl_easy_perform(c);

  result.status = transfer.status;
  result.contentLength = transfer.contentLength;
  result.received = transfer.received;
  if (rc == CURLE_OK) {
    result.outcome = HttpGetOutcome::Complete;
  } else if (transfer.sinkStopped) {
    result.outcome = HttpGetOutcome::StoppedBySink;
  } else if (rc == CURLE_ABORTED_BY_CALLBACK && abort_.load()) {
    result.outcome = HttpGetOutcome::Aborted;
  } else {
    result.outcome = transfer.responseStarted ? HttpGetOutcome::Interrupted : HttpGetOutcome::NotSent;
  }
  if (rc != CURLE_OK) result.error = handle_->error[0] ? handle_->error : curl_easy_strerror(rc);
  // A body that ended short of its announced length is no complete answer,
  // whatever the transport said.
  if (result.outcome == HttpGetOutcome::Complete && result.contentLength != kHttpNoContentLength &&
      result.received < result.contentLength) {
    result.outcome = HttpGetOutcome::Interrupted;
  }
  return result;
}

}  // namespace kanzo
