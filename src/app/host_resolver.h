#pragma once
#include <string>

namespace kanzo {
// The dotted IPv4 text of the host's first address, or "".
// A dotted address resolves to itself.
std::string ResolveHostIPv4(const std::string& host);
}  // namespace kanzo
