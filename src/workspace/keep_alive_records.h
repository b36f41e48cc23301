#pragma once
// The keep-alive requests of the last while: every session refresh and
// re-login the login window sends, when it went out and when its answer came.
// From them comes the signal level (0 to 4) that the main window shows, and
// the rows of the statistics window.
//
// User-interface thread only: the login window adds and answers records; the
// statistics window reads them through pointers on the same thread.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kanzo {

// Kinds of a keep-alive request.
inline constexpr std::int32_t kKeepAliveRefreshSession = 1;  // "刷新SESSION"
inline constexpr std::int32_t kKeepAliveRelogin = 2;         // "重新登录"

struct KeepAliveRecord {
  std::int64_t MESSAGE_ID = 0;
  std::int32_t type = kKeepAliveRefreshSession;
  std::int64_t sentMillis = 0;                 // milliseconds since 1970
  std::optional<std::int64_t> receivedMillis;  // absent until answered

  bool Answered() const { return receivedMillis.has_value(); }
};

// The highest signal level.
inline constexpr int kMaxSignalLevel = 4;

// The level for `answered` of `total` records: the integer part of
// answered / total * 4 + 0.5; 0 when there are no records.
int SignalLevel(std::size_t answered, std::size_t total);

class RequestRecords {
 public:
  static constexpr std::size_t kMaxRecords = 100;

  struct Added {
    KeepAliveRecord* record = nullptr;  // the new record, owned by the list
    // The oldest record, taken out because the list held more than
    // kMaxRecords; the caller decides who frees it.
    std::unique_ptr<KeepAliveRecord> removed;
  };

  // Enters a record sent now. An id already in the list is not entered
  // again (record is then null).
  Added Add(std::int64_t messageId, std::int32_t type, std::int64_t nowMillis);
  // Marks the record of `messageId` as answered now when it exists and is of
  // `type`; the record, or null.
  KeepAliveRecord* Answer(std::int64_t messageId, std::int32_t type, std::int64_t nowMillis);

  std::size_t Size() const { return records_.size(); }
  std::size_t AnsweredCount() const;
  int Level() const { return SignalLevel(AnsweredCount(), Size()); }
  // The records, oldest (smallest MESSAGE_ID) first.
  std::vector<KeepAliveRecord*> InOrder() const;
  const KeepAliveRecord* Find(std::int64_t messageId) const;

 private:
  std::map<std::int64_t, std::unique_ptr<KeepAliveRecord>> records_;
};

// The records of the running login window, for the statistics window when
// it opens; null while there is none.
const RequestRecords* LoginRequestRecords();
void SetLoginRequestRecords(const RequestRecords* records);

// The texts of one statistics row.
struct SignalRowTexts {
  std::string number;    // from 1
  std::string type;      // "刷新SESSION" or "重新登录"
  std::string sent;      // "%02d:%02d:%02d %03d" in local time
  std::string received;  // the same, empty while unanswered
  std::string answered;  // "是" or "否"
};

SignalRowTexts SignalRow(const KeepAliveRecord& record, int number);
// Local time of day of `millis` as "%02d:%02d:%02d %03d".
std::string FormatKeepAliveTime(std::int64_t millis);
std::string SentCounterText(std::size_t sent);          // "发送次数：%d"
std::string ReceivedCounterText(std::size_t received);  // "接收次数：%d"

}  // namespace kanzo
