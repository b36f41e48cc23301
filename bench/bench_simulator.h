#pragma once
// The simulator a benchmark floods: the demo accounts, any free chat port,
// nothing else, on a thread of its own.
#include <cstdio>
#include <memory>
#include <string>

#include "simulator.h"

namespace kanzo::bench {

inline std::unique_ptr<Simulator> StartSimulator() {
  auto sim = std::make_unique<Simulator>(EmbeddedSimOptions(std::string(KANZO_SIM_DATA_DIR) + "/demo-accounts.json"));
  std::string error;
  if (!sim->StartThread(&error)) {
    std::fprintf(stderr, "simulator: %s\n", error.c_str());
    return nullptr;
  }
  return sim;
}

}  // namespace kanzo::bench
