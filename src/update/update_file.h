#pragma once
// Files the updater writes: an owned descriptor and whole-piece writes.
#include <string>

namespace kanzo {

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = other.Release();
    }
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  // Closes the file; false when the close reported an error (data not
  // written after all).
  bool Close();
  void Reset();

 private:
  int fd_ = -1;
};

// Creates or truncates a file for writing. On failure the descriptor is
// invalid and `error` holds the system's description.
UniqueFd CreateForWriting(const std::string& path, std::string* error);

// Writes all of `data`; false with the system's description on failure.
bool WriteAll(int fd, const char* data, std::size_t size, std::string* error);

}  // namespace kanzo
