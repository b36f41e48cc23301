#pragma once
// The codecs the client registers at start-up, before the network thread
// starts: LoginCodec, MsgCodec, RegistCodec, in this order.

namespace kanzo {

// Registers each of the three codecs unless its code is already taken.
// Returns true when all three codes then hold the client's codecs; calling
// it again is harmless.
bool RegisterStartupCodecs();

}  // namespace kanzo
