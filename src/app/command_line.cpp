#include "app/command_line.h"

namespace kanzo {

bool CommandLineRequestsRestart(const std::vector<std::string>& args) {
  for (const auto& a : args)
    if (a.find(kRestartArgument) != std::string::npos) return true;
  return false;
}

}  // namespace kanzo
