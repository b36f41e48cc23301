#include "update/test_http_server.h"

#include <arpa/inet.h>
#include <event2/buffer.h>
#include <event2/event.h>
#include <event2/http.h>
#include <event2/keyvalq_struct.h>
#include <event2/thread.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <future>
#include <stdexcept>

namespace kanzo::test {
namespace {

constexpr int kNotFound = 404;

void UseThreads() {
  static std::once_flag once;
  std::call_once(once, [] { evthread_use_pthreads(); });
}

}  // namespace

TestHttpServer::TestHttpServer() {
  UseThreads();
  base_ = event_base_new();
  http_ = evhttp_new(base_);
  evhttp_set_gencb(http_, &TestHttpServer::OnRequest, this);
  evhttp_bound_socket* bound = evhttp_bind_socket_with_handle(http_, "127.0.0.1", 0);
  if (!bound) throw std::runtime_error("cannot bind the test HTTP server");
  sockaddr_in address{};
  socklen_t length = sizeof(address);
  getsockname(evhttp_bound_socket_get_fd(bound), reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  // A break asked for before the loop runs would be forgotten: wait until
  // the loop has run its first callback.
  std::promise<void> running;
  std::future<void> started = running.get_future();
  const timeval now{0, 0};
  event_base_once(
      base_, -1, EV_TIMEOUT, [](evutil_socket_t, short, void* p) { static_cast<std::promise<void>*>(p)->set_value(); },
      &running, &now);
  thread_ = std::thread([this] { event_base_loop(base_, EVLOOP_NO_EXIT_ON_EMPTY); });
  started.wait();
}

TestHttpServer::~TestHttpServer() {
  event_base_loopbreak(base_);
  thread_.join();
  evhttp_free(http_);
  event_base_free(base_);
}

std::string TestHttpServer::Url(const std::string& pathAndQuery) const {
  return "http://127.0.0.1:" + std::to_string(port_) + pathAndQuery;
}

void TestHttpServer::Serve(const std::string& path, TestHttpAnswer answer) {
  std::lock_guard lock(mutex_);
  answers_[path] = std::move(answer);
}

std::vector<std::string> TestHttpServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void TestHttpServer::OnRequest(evhttp_request* request, void* self) {
  static_cast<TestHttpServer*>(self)->Answer(request);
}

void TestHttpServer::Answer(evhttp_request* request) {
  const std::string uri = evhttp_request_get_uri(request);
  const std::string path = uri.substr(0, uri.find('?'));
  TestHttpAnswer answer;
  bool known = false;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(uri);
    if (const auto it = answers_.find(path); it != answers_.end()) {
      answer = it->second;
      known = true;
    }
  }
  evkeyvalq* headers = evhttp_request_get_output_headers(request);
  if (!known) {
    evhttp_send_error(request, kNotFound, "Not Found");
    return;
  }
  for (const auto& [name, value] : answer.headers) evhttp_add_header(headers, name.c_str(), value.c_str());
  evbuffer* body = evbuffer_new();
  evbuffer_add(body, answer.body.data(), answer.body.size());
  if (answer.chunked) {
    evhttp_send_reply_start(request, answer.status, "OK");
    evhttp_send_reply_chunk(request, body);
    evhttp_send_reply_end(request);
  } else {
    if (answer.announcedLength >= 0) {
      evhttp_add_header(headers, "Content-Length", std::to_string(answer.announcedLength).c_str());
      evhttp_add_header(headers, "Connection", "close");
    }
    evhttp_send_reply(request, answer.status, "OK", body);
  }
  evbuffer_free(body);
}

}  // namespace kanzo::test
