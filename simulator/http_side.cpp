#include "http_side.h"

#include <arpa/inet.h>
#include <event2/buffer.h>
#include <event2/keyvalq_struct.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

namespace kanzo {

namespace {

constexpr int kHttpOk = 200;
constexpr int kHttpNotFound = 404;
constexpr int kHttpBadMethod = 405;
constexpr int kHttpBadRequest = 400;

const char* ContentTypeFor(const std::string& path) {
  const auto dot = path.rfind('.');
  const std::string ext = dot == std::string::npos ? "" : path.substr(dot);
  if (ext == ".ini" || ext == ".txt" || ext == ".html") return "text/plain; charset=utf-8";
  return "application/octet-stream";
}

}  // namespace

HttpSide::HttpSide(event_base* base, std::string folder, FrameLog& log)
    : base_(base), folder_(std::move(folder)), log_(log), http_(nullptr, &evhttp_free) {
  if (!folder_.empty() && folder_.back() != '/') folder_ += '/';
}

HttpSide::~HttpSide() = default;

bool HttpSide::Listen(const std::string& host, int port, std::string* error) {
  http_.reset(evhttp_new(base_));
  if (!http_) {
    *error = "evhttp_new 失败";
    return false;
  }
  evhttp_set_allowed_methods(http_.get(), EVHTTP_REQ_GET | EVHTTP_REQ_HEAD);
  evhttp_set_gencb(http_.get(), &HttpSide::OnRequest, this);
  evhttp_bound_socket* bound =
      evhttp_bind_socket_with_handle(http_.get(), host.c_str(), static_cast<ev_uint16_t>(port));
  if (bound == nullptr) {
    *error = "无法监听 HTTP " + host + ":" + std::to_string(port);
    http_.reset();
    return false;
  }
  sockaddr_in address{};
  socklen_t length = sizeof address;
  getsockname(evhttp_bound_socket_get_fd(bound), reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  return true;
}

std::string HttpSide::FileForPath(const std::string& folder, const std::string& path) {
  if (path.empty() || path[0] != '/') return {};
  if (path == kVersionPagePath) return folder + kVersionFileName;
  // Every segment must be a plain name: no "..", no ".", no empty segment.
  std::istringstream segments(path.substr(1));
  std::string segment;
  std::size_t count = 0;
  while (std::getline(segments, segment, '/')) {
    if (segment.empty() || segment == "." || segment == ".." || segment.find('\\') != std::string::npos ||
        segment.find('\0') != std::string::npos) {
      return {};
    }
    ++count;
  }
  if (count == 0 || path.back() == '/') return {};
  return folder + path.substr(1);
}

void HttpSide::OnRequest(evhttp_request* request, void* arg) { static_cast<HttpSide*>(arg)->Serve(request); }

void HttpSide::Serve(evhttp_request* request) {
  const char* uri = evhttp_request_get_uri(request);
  const evhttp_uri* parsed = evhttp_request_get_evhttp_uri(request);
  const char* rawPath = parsed != nullptr ? evhttp_uri_get_path(parsed) : nullptr;
  size_t decodedLength = 0;
  char* decoded = rawPath != nullptr ? evhttp_uridecode(rawPath, 0, &decodedLength) : nullptr;
  const std::string path = decoded != nullptr ? std::string(decoded, decodedLength) : std::string();
  std::free(decoded);

  if (evhttp_request_get_command(request) != EVHTTP_REQ_GET && evhttp_request_get_command(request) != EVHTTP_REQ_HEAD) {
    evhttp_send_error(request, kHttpBadMethod, nullptr);
    return;
  }
  const std::string file = FileForPath(folder_, path);
  if (file.empty()) {
    log_.Note(0, std::string("HTTP 拒绝 ") + (uri != nullptr ? uri : "?"));
    evhttp_send_error(request, kHttpBadRequest, nullptr);
    return;
  }
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info {};
  if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    if (fd >= 0) ::close(fd);
    log_.Note(0, std::string("HTTP 404 ") + (uri != nullptr ? uri : "?"));
    evhttp_send_error(request, kHttpNotFound, nullptr);
    return;
  }
  evbuffer* body = evbuffer_new();
  // The buffer takes the descriptor and closes it.
  if (info.st_size > 0) {
    evbuffer_add_file(body, fd, 0, info.st_size);
  } else {
    ::close(fd);
  }
  evhttp_add_header(evhttp_request_get_output_headers(request), "Content-Type", ContentTypeFor(file));
  log_.Note(0, std::string("HTTP 200 ") + (uri != nullptr ? uri : "?") + " " + std::to_string(info.st_size) + " 字节");
  evhttp_send_reply(request, kHttpOk, "OK", body);
  evbuffer_free(body);
}

}  // namespace kanzo
