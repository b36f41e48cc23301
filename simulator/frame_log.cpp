#include "frame_log.h"

#include <sys/time.h>
#include <time.h>

#include <cinttypes>

#include "sim_text.h"

namespace kanzo {

namespace {

std::string TimeStamp() {
  struct timeval now {};
  gettimeofday(&now, nullptr);
  const std::int64_t millis = static_cast<std::int64_t>(now.tv_usec) / 1000;
  char text[48];
  std::snprintf(text, sizeof text, "%s.%03" PRId64, LocalDateTime(now.tv_sec).c_str(), millis);
  return text;
}

std::string BodyText(const Packet& p) {
  char text[160];
  if (p.msg) {
    std::snprintf(text, sizeof text, "body=Msg account=%d FROM=%d FROM_TYPE=%d TO=%d TO_TYPE=%d BODY=", p.msg->account,
                  p.msg->from, p.msg->fromType, p.msg->to, p.msg->toType);
    return text + EscapeForLine(p.msg->body);
  }
  if (p.login) {
    return "body=Login username=" + EscapeForLine(p.login->username) + " password=" + EscapeForLine(p.login->password) +
           " state=" + std::to_string(p.login->state);
  }
  if (p.bodyType != 0) {
    std::snprintf(text, sizeof text, "body=type:0x%04X", p.bodyType);
    return text;
  }
  return "body=none";
}

}  // namespace

FrameLog::FrameLog(const std::string& path, std::size_t history) : path_(path), historyLimit_(history) {
  if (!path.empty()) file_.reset(std::fopen(path.c_str(), "a"));
}

FrameLog::~FrameLog() = default;

std::string FrameLog::Describe(FrameDirection direction, ConnId conn, std::uint32_t header, std::int32_t length,
                               std::int32_t plainLength, const Packet& p) {
  char head[256];
  std::snprintf(head, sizeof head,
                "%s conn=%" PRIu64 " header=0x%08X len=%d%s MESSAGE_ID=%" PRId64
                " command=%d RESULT=%u SESSION_ID=%" PRId64 " ",
                direction == FrameDirection::kReceived ? "RECV" : "SEND", conn, header, length,
                plainLength != length ? (" plain=" + std::to_string(plainLength)).c_str() : "", p.messageId, p.command,
                static_cast<unsigned>(p.result), p.sessionId);
  return head + BodyText(p);
}

void FrameLog::Frame(FrameDirection direction, ConnId conn, std::uint32_t header, std::int32_t length,
                     std::int32_t plainLength, const Packet& packet) {
  Write(Describe(direction, conn, header, length, plainLength, packet));
}

void FrameLog::Note(ConnId conn, const std::string& text) {
  Write("NOTE conn=" + std::to_string(conn) + " " + EscapeForLine(text));
}

void FrameLog::Bad(ConnId conn, const std::string& text) {
  Write("BAD  conn=" + std::to_string(conn) + " " + EscapeForLine(text));
}

void FrameLog::Write(const std::string& text) {
  const std::string line = TimeStamp() + " " + text;
  std::lock_guard<std::mutex> lock(mutex_);
  if (file_) {
    std::fputs(line.c_str(), file_.get());
    std::fputc('\n', file_.get());
    std::fflush(file_.get());
  }
  history_.push_back(line);
  while (history_.size() > historyLimit_) history_.pop_front();
}

std::vector<std::string> FrameLog::Tail(std::size_t count) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::size_t n = std::min(count, history_.size());
  return std::vector<std::string>(history_.end() - static_cast<std::ptrdiff_t>(n), history_.end());
}

std::vector<std::string> FrameLog::Matching(const std::string& needle) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> out;
  for (const std::string& line : history_) {
    if (line.find(needle) != std::string::npos) out.push_back(line);
  }
  return out;
}

}  // namespace kanzo
