#pragma once
// The chat-server simulator inside the gallery's process, its default
// scenario played on command rather than by its clock. The simulator's
// headers stay out of the files that include the client's windows.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace kanzo {

class ScenarioPlayer {
 public:
  ScenarioPlayer();
  ~ScenarioPlayer();
  ScenarioPlayer(const ScenarioPlayer&) = delete;
  ScenarioPlayer& operator=(const ScenarioPlayer&) = delete;

  // Starts the simulator on free ports with `dataFolder`'s accounts
  // (demo-accounts.json) and reads its default.scenario.
  bool Start(const std::string& dataFolder, std::string* error);
  // The chat port; 0 before Start.
  int Port() const;
  // Runs the scenario's steps timed after `fromMs` up to `toMs` (in file
  // order), calling `between` after each so that the client reads what it
  // sent. A step the simulator refuses is reported on standard error.
  void Play(std::int64_t fromMs, std::int64_t toMs, const std::function<void()>& between);
  void Stop();

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace kanzo
