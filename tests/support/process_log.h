#pragma once
// Reading what the process log gained, for tests of code that reports
// through it. Header only: the test links the log through what it tests.
#include <functional>
#include <string>

#include "log/cx_log.h"
#include "support/temp_dir.h"

namespace kanzo::test {

// What the process log gained while `run` ran.
inline std::string LogWrittenDuring(const std::function<void()>& run) {
  CxLog& log = CxLog::Instance();
  log.Flush();
  const std::size_t before = ReadFile(log.FilePath()).size();
  run();
  log.Flush();
  return ReadFile(log.FilePath()).substr(before);
}

}  // namespace kanzo::test
