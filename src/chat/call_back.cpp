#include "chat/call_back.h"

#include <array>
#include <charconv>
#include <cinttypes>
#include <cstdio>

#include "chat/quick_requests.h"
#include "log/cx_log.h"
#include "platform/message_box.h"
#include "protocol/commands.h"
#include "protocol/msg.h"
#include "protocol/wire_values.h"

namespace kanzo {
namespace {

constexpr std::size_t kNumberDigits = 11;

constexpr std::array<const char*, 14> kStatusNames = {"网民号码黑名单",
                                                      "呼叫成功",
                                                      "线路账号验证失败",
                                                      "号码错误",
                                                      "网民呼叫次数超出限制(ip)",
                                                      "网民呼叫次数超出限制(号码)",
                                                      "呼叫错误",
                                                      "线路不可用",
                                                      "错误的连接",
                                                      "系统错误",
                                                      "失败",
                                                      "访客号码错误",
                                                      "客服号码错误",
                                                      "出入呼叫限制失败"};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The decimal value of the whole text (blanks around it allowed); 0, the
// unknown code, for anything else.
std::int32_t ParseCode(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  std::int32_t code = 0;
  const auto [ptr, ec] = std::from_chars(text.data() + begin, text.data() + end, code);
  if (ec != std::errc() || ptr != text.data() + end || begin == end) return 0;
  return code;
}

std::string BoxFor(std::int32_t code) {
  if (code == kCallbackSucceeded) return kCallBackSucceeded;
  if (code == kCallbackTooOftenByAddress || code == kCallbackTooOftenByNumber) return kCallBackTooOften;
  return kCallBackUnavailable;
}

}  // namespace

bool IsCallableNumber(const std::string& text) {
  if (text.size() != kNumberDigits || text[0] != '1') return false;
  const char second = text[1];
  if (second != '3' && second != '5' && second != '7' && second != '8' && second != '9') return false;
  for (char c : text) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

std::string CallBackStatusName(std::int32_t code) {
  if (code < 1 || code > static_cast<std::int32_t>(kStatusNames.size())) return {};
  return kStatusNames[static_cast<std::size_t>(code - 1)];
}

CallBackOutcome ReadCallBackAnswer(std::int32_t result, const std::string* body) {
  CallBackOutcome outcome;
  if (result != 0) {
    outcome.status = "呼叫失败";
  } else if (!body) {
    outcome.status = "呼叫失败 MSG=NULL";
  } else {
    outcome.code = ParseCode(*body);
    const std::string name = CallBackStatusName(outcome.code);
    outcome.status = name.empty() ? "呼叫失败，状态码" + std::to_string(outcome.code)
                                  : name + " 状态码" + std::to_string(outcome.code);
  }
  outcome.box = BoxFor(outcome.code);
  return outcome;
}

std::string CallingLogText(const std::string& number, std::int64_t messageId) {
  return "正在拨打电话" + number + " MESSAGE_ID=" + std::to_string(messageId);
}

std::string CallBackLogText(const CallBackOutcome& outcome, std::int32_t result, std::int64_t messageId) {
  return outcome.status + " RESULT=" + std::to_string(result) + " MESSAGE_ID=" + std::to_string(messageId);
}

PhoneCallBack::PhoneCallBack(Sender sender, AgentSource agent) : sender_(std::move(sender)), agent_(std::move(agent)) {}

std::int64_t PhoneCallBack::CallPhone(const std::string& number) {
  if (!IsCallableNumber(number)) {
    // A link's text is whatever a visitor marked as one; only a number the
    // linking itself would mark goes to the server.
    KLOG_AS(kLogWarning, "ChatDlg::CallPhone", "不是可拨打的号码：%s", number.c_str());
    platform::ShowMessageBox(kCallBackBoxCaption, kCallBackUnavailable);
    return 0;
  }
  Msg msg = CallBackRequest(agent_(), number);
  Message message(true);
  message.command = kCommandCallPhone;
  message.setBody(&msg);
  KLOG_AS(kLogInfo, "ChatDlg::CallPhone", "%s", CallingLogText(number, message.MESSAGE_ID).c_str());
  if (sender_(message) != 0) {
    // Not even queued: the agent hears the same as for a failed call.
    KLOG_AS(kLogWarning, "ChatDlg::CallPhone", "呼叫请求未能发送 MESSAGE_ID=%" PRId64, message.MESSAGE_ID);
    platform::ShowMessageBox(kCallBackBoxCaption, kCallBackUnavailable);
  }
  return message.MESSAGE_ID;
}

void PhoneCallBack::OnAnswer(const Message& answer) {
  const Msg* msg = answer.bodyAs<Msg>();
  const CallBackOutcome outcome = ReadCallBackAnswer(answer.RESULT, msg ? &msg->BODY : nullptr);
  KLOG_AS(kLogInfo, "ChatDlg::OnNetworkMessage", "%s",
          CallBackLogText(outcome, answer.RESULT, answer.MESSAGE_ID).c_str());
  platform::ShowMessageBox(kCallBackBoxCaption, outcome.box);
}

}  // namespace kanzo
