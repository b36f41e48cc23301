#pragma once
// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
#include <chrono>
#include <functional>
#include <string>

namespace kanzo::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  // The folder's path with a trailing "/".
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// Reads a whole file ("" when missing).
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);

// Polls `done` until it holds or the deadline passes.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(10));

}  // namespace kanzo::test
