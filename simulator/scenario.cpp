#include "scenario.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace kanzo {

namespace {

constexpr double kMillisPerSecond = 1000.0;
// A day is far beyond any scenario; larger times are typing errors.
constexpr double kLongestSeconds = 86400.0;

bool ParseSeconds(const std::string& text, double* seconds) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (!((c >= '0' && c <= '9') || c == '.')) return false;
  }
  std::istringstream in(text);
  in >> *seconds;
  return !in.fail() && in.eof() && *seconds >= 0 && *seconds <= kLongestSeconds;
}

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(" \t\r");
  return s.substr(first, last - first + 1);
}

}  // namespace

bool ParseScenario(const std::string& text, Scenario* out, std::string* error) {
  Scenario scenario;
  std::istringstream lines(text);
  std::string raw;
  int number = 0;
  std::int64_t previousMs = 0;
  while (std::getline(lines, raw)) {
    ++number;
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;
    if (scenario.repeatAfterMs >= 0) {
      *error = "第" + std::to_string(number) + "行: repeat 之后不能再有命令";
      return false;
    }
    const auto blank = line.find_first_of(" \t");
    const std::string head = line.substr(0, blank);
    const std::string rest = blank == std::string::npos ? "" : Trim(line.substr(blank));
    double seconds = 0;
    if (head == "repeat") {
      if (!ParseSeconds(rest, &seconds)) {
        *error = "第" + std::to_string(number) + "行: repeat 需要秒数";
        return false;
      }
      scenario.repeatAfterMs = static_cast<std::int64_t>(std::llround(seconds * kMillisPerSecond));
      continue;
    }
    const bool relative = head[0] == '+';
    if (!ParseSeconds(relative ? head.substr(1) : head, &seconds)) {
      *error = "第" + std::to_string(number) + "行: 行首应为秒数或 +秒数: " + head;
      return false;
    }
    if (rest.empty()) {
      *error = "第" + std::to_string(number) + "行: 缺少命令";
      return false;
    }
    const auto ms = static_cast<std::int64_t>(std::llround(seconds * kMillisPerSecond));
    const std::int64_t at = relative ? previousMs + ms : ms;
    scenario.steps.push_back(ScenarioStep{at, rest, number});
    previousMs = at;
  }
  std::stable_sort(scenario.steps.begin(), scenario.steps.end(),
                   [](const ScenarioStep& a, const ScenarioStep& b) { return a.atMs < b.atMs; });
  *out = std::move(scenario);
  return true;
}

bool LoadScenario(const std::string& path, Scenario* out, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "无法打开场景文件 " + path;
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return ParseScenario(text.str(), out, error);
}

}  // namespace kanzo
