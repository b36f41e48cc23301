#pragma once
// A test's stand-in for another window: entered in the router under its
// registry name, with the links it offers, for as long as it lives. It
// ignores the window messages it is sent unless the test says otherwise.
#include <string>
#include <utility>

#include "platform/window_message.h"
#include "windows/window_router.h"

namespace kanzo::test {

template <typename... Links>
class StandInWindow : public platform::Window, public Links... {
 public:
  StandInWindow(WindowRouter& router, std::string name) : router_(router), name_(std::move(name)) {
    router_.Enter(name_, *this, static_cast<Links*>(this)...);
  }
  ~StandInWindow() override { router_.Leave(name_, *this); }
  StandInWindow(const StandInWindow&) = delete;
  StandInWindow& operator=(const StandInWindow&) = delete;

  platform::MessageResult OnWindowMessage(std::uint32_t, platform::WParam, platform::LParam) override { return 0; }
  const std::string& name() const { return name_; }

 private:
  WindowRouter& router_;
  std::string name_;
};

}  // namespace kanzo::test
