#pragma once
// The network's part in the application's start-up and shutdown.
//
// Start-up, after the codecs are registered and the server's address is
// resolved: StartNetwork creates the window future and the dispatcher and
// tells it to connect, which starts the network thread.
// Shutdown, in this order: StopNetwork (the dispatcher exits, its thread
// ends, the dispatcher is freed), then, after the chat window is gone,
// ReleaseWindowNetworkFuture (frees the undelivered messages).
#include <cstdint>
#include <string>

#include "net/network.h"

namespace kanzo {

// `address` is the dotted IPv4 address of the chat server. False when the
// address is not one or the network thread cannot start.
bool StartNetwork(const std::string& address, std::uint16_t port);
// The dispatcher, or nullptr before StartNetwork and after StopNetwork.
Network* CurrentNetwork();
// Sends through the dispatcher; -1 when there is none.
int SendNetworkMessage(Message& message);
void StopNetwork();
void ReleaseWindowNetworkFuture();

}  // namespace kanzo
