#pragma once
// A small HTTP server on 127.0.0.1 for the updater's tests: libevent's evhttp
// on a thread of its own, answering each path from a table and recording
// every request it receives.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

struct event_base;
struct evhttp;
struct evhttp_request;

namespace kanzo::test {

struct TestHttpAnswer {
  int status = 200;
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;
  // Sent chunked, so the answer names no Content-Length.
  bool chunked = false;
  // Announces this Content-Length instead of the body's and closes the
  // connection after the body: an answer that ends short.
  std::int64_t announcedLength = -1;
};

class TestHttpServer {
 public:
  TestHttpServer();
  ~TestHttpServer();
  TestHttpServer(const TestHttpServer&) = delete;
  TestHttpServer& operator=(const TestHttpServer&) = delete;

  int port() const { return port_; }
  // "http://127.0.0.1:<port><pathAndQuery>"
  std::string Url(const std::string& pathAndQuery) const;

  // Answers requests for `path` (the part before any '?'); others get 404.
  void Serve(const std::string& path, TestHttpAnswer answer);
  // Every request's URI (path with query), in arrival order.
  std::vector<std::string> Requests() const;

 private:
  static void OnRequest(evhttp_request* request, void* self);
  void Answer(evhttp_request* request);

  event_base* base_ = nullptr;
  evhttp* http_ = nullptr;
  int port_ = 0;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::map<std::string, TestHttpAnswer> answers_;
  std::vector<std::string> requests_;
};

}  // namespace kanzo::test
