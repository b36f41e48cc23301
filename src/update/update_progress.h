#pragma once
// Where the steps report: the dialog shows the lines, the status, the bar
// and the boxes; tests record them. The steps may run on a worker thread, so
// an implementation that touches windows hands the report over to the
// user-interface thread and returns at once.
#include <string>

namespace kanzo {

inline constexpr int kProgressMaxPercent = 100;

class UpdateProgress {
 public:
  virtual ~UpdateProgress() = default;
  // Appends a line to the progress list (narrow text).
  virtual void AddLine(const std::string& line) = 0;
  virtual void SetStatus(const std::string& text) = 0;
  // 0 to 100.
  virtual void SetPercent(int percent) = 0;
  // An error box with the program's title (error icon, OK).
  virtual void ShowError(const std::string& text) = 0;
};

}  // namespace kanzo
