#include "net/network_startup.h"

#include <atomic>
#include <memory>

#include "log/cx_log.h"
#include "net/window_network_future.h"

namespace kanzo {
namespace {

std::atomic<Network*> gNetwork{nullptr};

}  // namespace

bool StartNetwork(const std::string& address, std::uint16_t port) {
  if (gNetwork.load()) return true;
  auto network = std::make_unique<Network>(&WindowNetworkFuture::instance());
  if (!network->connect(address, port)) {
    KLOG_ERROR("连接服务器失败：[%s:%u]", address.c_str(), static_cast<unsigned>(port));
    return false;
  }
  gNetwork.store(network.release());
  return true;
}

Network* CurrentNetwork() { return gNetwork.load(); }

int SendNetworkMessage(Message& message) {
  Network* network = gNetwork.load();
  return network ? network->send(message) : -1;
}

void StopNetwork() {
  std::unique_ptr<Network> network(gNetwork.exchange(nullptr));
  if (network) network->shutdown();
}

void ReleaseWindowNetworkFuture() { WindowNetworkFuture::release(); }

}  // namespace kanzo
