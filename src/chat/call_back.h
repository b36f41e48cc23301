#pragma once
// The telephone call-back: a number a visitor wrote, linked in the
// transcript, is sent to the server, which rings the agent's line and then
// the visitor. The server answers with a status code; nothing is retried.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "protocol/message.h"
#include "records/agent_record.h"

namespace kanzo {

inline constexpr const char* kCallBackBoxCaption = "提示";
inline constexpr const char* kCallBackSucceeded = "呼叫成功，请等待回拨";
inline constexpr const char* kCallBackTooOften = "呼叫频繁，请稍后在试";
inline constexpr const char* kCallBackUnavailable = "暂时无法拨通，请稍后再试";

// Whether a link text is a number worth a call: exactly eleven digits that
// start with 13, 15, 17, 18 or 19, as the linking marks them.
bool IsCallableNumber(const std::string& text);

// The status table's text of a code from 1 to 14; empty for any other.
std::string CallBackStatusName(std::int32_t code);

// What an answer says.
struct CallBackOutcome {
  std::string status;  // the log's and the status's text
  std::int32_t code = 0;
  std::string box;  // the message box's text
};

// The answer with its RESULT and its Msg BODY (null without a Msg). A BODY
// that is not a decimal number in range is an unknown code (0).
CallBackOutcome ReadCallBackAnswer(std::int32_t result, const std::string* body);

// "正在拨打电话%s MESSAGE_ID=%d", the id written whole.
std::string CallingLogText(const std::string& number, std::int64_t messageId);
// The status followed by " RESULT=%d MESSAGE_ID=%d".
std::string CallBackLogText(const CallBackOutcome& outcome, std::int32_t result, std::int64_t messageId);

// The chat window's call-back: sends the request and shows the answer.
class PhoneCallBack {
 public:
  // Hands a request to the dispatcher; 0 when queued.
  using Sender = std::function<int(Message&)>;
  // The agent as the request needs it (user name, password, account).
  using AgentSource = std::function<AgentRecord()>;

  PhoneCallBack(Sender sender, AgentSource agent);

  // Sends the request for `number` and returns its MESSAGE_ID; a text that
  // is not a callable number is logged, tells the agent the call cannot be
  // made and returns 0 without any request.
  std::int64_t CallPhone(const std::string& number);
  // The answer (command 14): logs it and tells the agent.
  void OnAnswer(const Message& answer);

 private:
  Sender sender_;
  AgentSource agent_;
};

}  // namespace kanzo
