#pragma once
// The update server the updater talks to: libevent's HTTP server on
// 127.0.0.1 serving one folder. "/update.html" is the version file (the
// folder's update.ini); any other path is a file of the folder, as the
// updater asks for the files update.ini lists.
#include <event2/http.h>

#include <memory>
#include <string>

#include "frame_log.h"

namespace kanzo {

inline constexpr const char* kVersionPagePath = "/update.html";
inline constexpr const char* kVersionFileName = "update.ini";

class HttpSide {
 public:
  HttpSide(event_base* base, std::string folder, FrameLog& log);
  ~HttpSide();
  HttpSide(const HttpSide&) = delete;
  HttpSide& operator=(const HttpSide&) = delete;

  bool Listen(const std::string& host, int port, std::string* error);
  int port() const { return port_; }
  const std::string& folder() const { return folder_; }

  // The file a request path maps to, or "" when the path may not be served
  // (outside the folder, a folder itself, not a plain path).
  static std::string FileForPath(const std::string& folder, const std::string& decodedPath);

 private:
  static void OnRequest(evhttp_request* request, void* arg);
  void Serve(evhttp_request* request);

  event_base* base_;
  std::string folder_;
  FrameLog& log_;
  std::unique_ptr<evhttp, void (*)(evhttp*)> http_;
  int port_ = 0;
};

}  // namespace kanzo
