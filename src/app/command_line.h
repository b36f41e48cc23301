#pragma once
#include <string>
#include <vector>

namespace kanzo {
inline constexpr const char* kRestartArgument = "restart";
// True when the command line holds "restart" anywhere, inside a longer word too.
bool CommandLineRequestsRestart(const std::vector<std::string>& args);
}  // namespace kanzo
