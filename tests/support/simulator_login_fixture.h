#pragma once
// The login window's set-up with the chat-server simulator in the test
// process: the demo accounts, free ports, the dispatcher connected to it.
// TearDown ends the dispatcher before the simulator.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "net/network_startup.h"
#include "simulator.h"
#include "support/login_window_fixture.h"

namespace kanzo::test {

class SimulatorLoginFixture : public LoginWindowFixture {
 protected:
  // Starts the simulator with the options `adjust` leaves, and the
  // dispatcher to it.
  void StartSimulator(const std::function<void(SimOptions&)>& adjust = {}) {
    SimOptions options =
        EmbeddedSimOptions(std::string(KANZO_SOURCE_DIR) + "/simulator/data/program/demo-accounts.json");
    if (adjust) adjust(options);
    sim_ = std::make_unique<Simulator>(options);
    std::string error;
    ASSERT_TRUE(sim_->StartThread(&error)) << error;
    ASSERT_TRUE(StartNetwork("127.0.0.1", static_cast<std::uint16_t>(sim_->port())));
  }
  void TearDown() override {
    LoginWindowFixture::TearDown();
    if (sim_) sim_->Stop();
  }

  std::unique_ptr<Simulator> sim_;
};

}  // namespace kanzo::test
