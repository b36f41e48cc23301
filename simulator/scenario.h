#pragma once
// Scenario files: a timeline of control commands (format in README.md).
//
//   # comment
//   0      visitor 3001 area=上海市 page=http://... title=...
//   +2.5   say 3001 你好
//   repeat 600
//
// A line starts with a time in seconds from the start of the run (a decimal
// number) or from the line before it ("+" and a number); the rest of the line
// is one control command. "repeat N" as the last line plays the whole
// timeline again N seconds after its last line, for as long as the simulator
// runs.
#include <cstdint>
#include <string>
#include <vector>

namespace kanzo {

struct ScenarioStep {
  std::int64_t atMs = 0;
  std::string command;
  int lineNumber = 0;
};

struct Scenario {
  std::vector<ScenarioStep> steps;  // in time order (stable for equal times)
  std::int64_t repeatAfterMs = -1;  // -1: play once
  std::int64_t lengthMs() const { return steps.empty() ? 0 : steps.back().atMs; }
};

bool ParseScenario(const std::string& text, Scenario* out, std::string* error);
bool LoadScenario(const std::string& path, Scenario* out, std::string* error);

}  // namespace kanzo
