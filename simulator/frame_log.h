#pragma once
// The simulator's record of every frame it receives and sends, one line per
// frame with the header fields and the body, plus notes on faults, sessions
// and rejected input. Lines go to a file (when one is given) and to a short
// in-memory history that the control interface and tests read.
#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "packet.h"

namespace kanzo {

enum class FrameDirection { kReceived, kSent };

class FrameLog {
 public:
  static constexpr std::size_t kDefaultHistory = 2000;

  // `path` empty: no file. The file is appended to.
  explicit FrameLog(const std::string& path, std::size_t history = kDefaultHistory);
  ~FrameLog();
  FrameLog(const FrameLog&) = delete;
  FrameLog& operator=(const FrameLog&) = delete;

  bool fileOk() const { return file_ != nullptr || path_.empty(); }
  const std::string& path() const { return path_; }

  // One frame. `header` is the frame's header word, `length` its payload
  // length on the wire, `plainLength` the message's length before
  // compression (equal to `length` when not compressed).
  void Frame(FrameDirection direction, ConnId conn, std::uint32_t header, std::int32_t length, std::int32_t plainLength,
             const Packet& packet);
  void Note(ConnId conn, const std::string& text);
  // Input the simulator could not read as a message.
  void Bad(ConnId conn, const std::string& text);

  // The last `count` lines, oldest first.
  std::vector<std::string> Tail(std::size_t count) const;
  // Every line of the history that contains `needle`.
  std::vector<std::string> Matching(const std::string& needle) const;

  // The line text of one frame, without time stamp (tests compare it).
  static std::string Describe(FrameDirection direction, ConnId conn, std::uint32_t header, std::int32_t length,
                              std::int32_t plainLength, const Packet& packet);

 private:
  void Write(const std::string& line);

  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::string path_;
  std::unique_ptr<std::FILE, FileCloser> file_;
  std::size_t historyLimit_;
  mutable std::mutex mutex_;
  std::deque<std::string> history_;
};

}  // namespace kanzo
