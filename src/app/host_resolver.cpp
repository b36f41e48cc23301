#include "app/host_resolver.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <memory>

namespace kanzo {

std::string ResolveHostIPv4(const std::string& host) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* raw = nullptr;
  std::string address;
  if (!host.empty() && getaddrinfo(host.c_str(), nullptr, &hints, &raw) == 0 && raw) {
    std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> result(raw, &freeaddrinfo);
    char text[INET_ADDRSTRLEN] = {};
    const auto* in = reinterpret_cast<const sockaddr_in*>(result->ai_addr);
    if (inet_ntop(AF_INET, &in->sin_addr, text, sizeof(text))) address = text;
  }
  return address;
}

}  // namespace kanzo
