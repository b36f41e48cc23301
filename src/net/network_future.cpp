#include "net/network_future.h"

namespace kanzo {

void NetworkFuture::deliver(NetworkEvent /*event*/, std::unique_ptr<Message> /*message*/) {}

}  // namespace kanzo
