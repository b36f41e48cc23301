#pragma once
// Records what the updater's steps report (any thread).
#include <mutex>
#include <string>
#include <vector>

#include "update/update_progress.h"

namespace kanzo::test {

class RecordingProgress final : public UpdateProgress {
 public:
  void AddLine(const std::string& line) override {
    std::lock_guard lock(mutex_);
    lines_.push_back(line);
  }
  void SetStatus(const std::string& text) override {
    std::lock_guard lock(mutex_);
    statuses_.push_back(text);
  }
  void SetPercent(int percent) override {
    std::lock_guard lock(mutex_);
    percents_.push_back(percent);
  }
  void ShowError(const std::string& text) override {
    std::lock_guard lock(mutex_);
    errors_.push_back(text);
  }
  std::vector<std::string> lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
  }
  std::vector<std::string> statuses() const {
    std::lock_guard lock(mutex_);
    return statuses_;
  }
  std::vector<int> percents() const {
    std::lock_guard lock(mutex_);
    return percents_;
  }
  std::vector<std::string> errors() const {
    std::lock_guard lock(mutex_);
    return errors_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> lines_, statuses_, errors_;
  std::vector<int> percents_;
};

}  // namespace kanzo::test
