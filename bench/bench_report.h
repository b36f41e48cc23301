#pragma once
// The one line per figure that bench/run-all gathers into its table, printed
// by every benchmark beside its own wording:
//   FIGURE<TAB>name<TAB>value<TAB>unit<TAB>baseline<TAB>ratio<TAB>aim<TAB>met
// A figure without a baseline shows "-" for baseline and ratio; one without
// an aim shows "-" for aim and met.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace kanzo::bench {

struct Aim {
  std::string text;  // "≥ 1000 lines/s", "< 50 ms"; empty when there is none
  bool met = false;
};

struct Figure {
  std::string name;
  double value = 0;
  std::string unit;
  double baseline = NAN;  // measured in the same run; NAN when there is none
  Aim aim;
};

// bench/run-all sets KANZO_BENCH_SETTING=short for a quick pass; benchmarks
// without a size argument then do a tenth of their work and one run.
inline bool ShortRun() {
  const char* setting = std::getenv("KANZO_BENCH_SETTING");
  return setting && std::strcmp(setting, "short") == 0;
}
inline constexpr int kShortRunDivisor = 10;

// The whole number given as argument `index`, when there is one from
// `lowest` to `highest`; `fallback` otherwise.
inline int CountArgument(int argc, char** argv, int index, int fallback, int lowest, int highest) {
  const int value = argc > index ? std::atoi(argv[index]) : fallback;
  return value >= lowest && value <= highest ? value : fallback;
}

inline void ReportFigure(const Figure& f) {
  char baseline[32] = "-";
  char ratio[32] = "-";
  if (!std::isnan(f.baseline)) {
    std::snprintf(baseline, sizeof(baseline), "%.4g", f.baseline);
    if (f.baseline != 0) std::snprintf(ratio, sizeof(ratio), "%.3g", f.value / f.baseline);
  }
  const bool hasAim = !f.aim.text.empty();
  std::printf("FIGURE\t%s\t%.4g\t%s\t%s\t%s\t%s\t%s\n", f.name.c_str(), f.value, f.unit.c_str(), baseline, ratio,
              hasAim ? f.aim.text.c_str() : "-", hasAim ? (f.aim.met ? "yes" : "no") : "-");
  std::fflush(stdout);
}

}  // namespace kanzo::bench
