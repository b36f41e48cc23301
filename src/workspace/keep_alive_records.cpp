#include "workspace/keep_alive_records.h"

#include <cstdio>
#include <ctime>

namespace kanzo {
namespace {

constexpr const char* kRefreshSessionText = "刷新SESSION";
constexpr const char* kReloginText = "重新登录";
constexpr const char* kAnsweredText = "是";
constexpr const char* kUnansweredText = "否";
constexpr const char* kTimeFormat = "%02d:%02d:%02d %03d";
constexpr const char* kSentCounterFormat = "发送次数：%d";
constexpr const char* kReceivedCounterFormat = "接收次数：%d";
constexpr std::int64_t kMillisPerSecond = 1000;
constexpr double kRounding = 0.5;

const RequestRecords* gLoginRequestRecords = nullptr;

std::string Counter(const char* format, std::size_t value) {
  char text[64];
  std::snprintf(text, sizeof(text), format, static_cast<int>(value));
  return text;
}

}  // namespace

int SignalLevel(std::size_t answered, std::size_t total) {
  // No request yet says nothing about the line; it shows as no signal.
  if (total == 0) return 0;
  return static_cast<int>(static_cast<double>(answered) / static_cast<double>(total) * kMaxSignalLevel + kRounding);
}

RequestRecords::Added RequestRecords::Add(std::int64_t messageId, std::int32_t type, std::int64_t nowMillis) {
  Added added;
  auto record = std::make_unique<KeepAliveRecord>();
  record->MESSAGE_ID = messageId;
  record->type = type;
  record->sentMillis = nowMillis;
  const auto [it, inserted] = records_.emplace(messageId, std::move(record));
  if (!inserted) return added;
  added.record = it->second.get();
  if (records_.size() > kMaxRecords) {
    auto oldest = records_.begin();
    added.removed = std::move(oldest->second);
    records_.erase(oldest);
  }
  return added;
}

KeepAliveRecord* RequestRecords::Answer(std::int64_t messageId, std::int32_t type, std::int64_t nowMillis) {
  const auto it = records_.find(messageId);
  if (it == records_.end() || it->second->type != type) return nullptr;
  it->second->receivedMillis = nowMillis;
  return it->second.get();
}

std::size_t RequestRecords::AnsweredCount() const {
  std::size_t answered = 0;
  for (const auto& [id, record] : records_) answered += record->Answered() ? 1 : 0;
  return answered;
}

std::vector<KeepAliveRecord*> RequestRecords::InOrder() const {
  std::vector<KeepAliveRecord*> list;
  list.reserve(records_.size());
  for (const auto& [id, record] : records_) list.push_back(record.get());
  return list;
}

const KeepAliveRecord* RequestRecords::Find(std::int64_t messageId) const {
  const auto it = records_.find(messageId);
  return it == records_.end() ? nullptr : it->second.get();
}

const RequestRecords* LoginRequestRecords() { return gLoginRequestRecords; }
void SetLoginRequestRecords(const RequestRecords* records) { gLoginRequestRecords = records; }

std::string FormatKeepAliveTime(std::int64_t millis) {
  const std::time_t seconds = static_cast<std::time_t>(millis / kMillisPerSecond);
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[32];
  std::snprintf(text, sizeof(text), kTimeFormat, local.tm_hour, local.tm_min, local.tm_sec,
                static_cast<int>(millis % kMillisPerSecond));
  return text;
}

SignalRowTexts SignalRow(const KeepAliveRecord& record, int number) {
  SignalRowTexts row;
  row.number = std::to_string(number);
  row.type = record.type == kKeepAliveRefreshSession ? kRefreshSessionText : kReloginText;
  row.sent = FormatKeepAliveTime(record.sentMillis);
  if (record.receivedMillis) row.received = FormatKeepAliveTime(*record.receivedMillis);
  row.answered = record.Answered() ? kAnsweredText : kUnansweredText;
  return row;
}

std::string SentCounterText(std::size_t sent) { return Counter(kSentCounterFormat, sent); }
std::string ReceivedCounterText(std::size_t received) { return Counter(kReceivedCounterFormat, received); }

}  // namespace kanzo
