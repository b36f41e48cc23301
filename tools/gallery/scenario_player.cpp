#include "scenario_player.h"

#include <cstdio>

#include "scenario.h"
#include "simulator.h"

namespace kanzo {

struct ScenarioPlayer::Parts {
  std::unique_ptr<Simulator> sim;
  Scenario scenario;
};

ScenarioPlayer::ScenarioPlayer() : parts_(std::make_unique<Parts>()) {}

ScenarioPlayer::~ScenarioPlayer() { Stop(); }

bool ScenarioPlayer::Start(const std::string& dataFolder, std::string* error) {
  if (!LoadScenario(dataFolder + "/default.scenario", &parts_->scenario, error)) return false;
  // No scenario file for the simulator itself: the steps are played here.
  parts_->sim = std::make_unique<Simulator>(EmbeddedSimOptions(dataFolder + "/demo-accounts.json"));
  if (parts_->sim->StartThread(error)) return true;
  parts_->sim.reset();
  return false;
}

int ScenarioPlayer::Port() const { return parts_->sim ? parts_->sim->port() : 0; }

void ScenarioPlayer::Play(std::int64_t fromMs, std::int64_t toMs, const std::function<void()>& between) {
  if (!parts_->sim) return;
  for (const ScenarioStep& step : parts_->scenario.steps) {
    if (step.atMs <= fromMs || step.atMs > toMs) continue;
    const ControlAnswer answer = parts_->sim->Command(step.command);
    if (!answer.ok) std::fprintf(stderr, "scenario line %d: %s\n", step.lineNumber, answer.text.c_str());
    between();
  }
}

void ScenarioPlayer::Stop() {
  if (parts_->sim) parts_->sim->Stop();
  parts_->sim.reset();
}

}  // namespace kanzo
