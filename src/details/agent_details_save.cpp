#include "details/agent_details_save.h"

#include <json/value.h>

#include <iterator>
#include <utility>

#include "log/cx_log.h"
#include "platform/message_box.h"
#include "platform/narrow_text.h"
#include "protocol/commands.h"
#include "protocol/msg.h"
#include "workspace/json_body.h"

namespace kanzo {
namespace {

constexpr const char* kWireSexMale = "0";
constexpr const char* kWireSexFemale = "1";

Json::Value Text(const std::string& narrow) { return Json::Value(platform::NarrowToUtf8(narrow)); }

}  // namespace

AgentDetailsForm AgentDetailsFormFrom(const AgentRecord& record) {
  AgentDetailsForm form;
  form.realname = record.realname;
  form.male = record.sex != kSexFemale;
  form.age = record.age;
  form.address = record.address;
  form.mobile = record.mobile;
  form.phone = record.phone;
  form.qq = record.qq;
  form.email = record.email;
  form.remark = record.remark;
  return form;
}

std::string AgentDetailsBody(const AgentDetailsForm& form, const AgentRecord& record) {
  // The writer puts an object's members in key order.
  Json::Value body(Json::objectValue);
  body["address"] = Text(form.address);
  body["age"] = Text(form.age);
  body["email"] = Text(form.email);
  body["mobile"] = Text(form.mobile);
  body["password"] = Text(record.password);
  body["phone"] = Text(form.phone);
  body["qq"] = Text(form.qq);
  body["realname"] = Text(form.realname);
  body["remark"] = Text(form.remark);
  body["sex"] = form.male ? kWireSexMale : kWireSexFemale;
  body["uid"] = record.triple.agentId;
  body["username"] = Text(record.userName);
  body["zipcode"] = Text(record.zipcode);
  return CompactJsonText(body);
}

AgentDetailsSave::AgentDetailsSave(Records& records, Sender sender) : records_(records), sender_(std::move(sender)) {}

bool AgentDetailsSave::Save(const AgentDetailsForm& form) {
  const AgentRecord agent = records_.agent.Copy();
  Msg msg;
  msg.BODY = AgentDetailsBody(form, agent);
  Message request(true);
  request.command = kCommandSaveAgentInfo;
  request.setBody(&msg);
  KLOG_INFO("修改用户信息：MESSAGE_ID=%lld BODY=%s", static_cast<long long>(request.MESSAGE_ID), msg.BODY.c_str());
  if (sender_(request) != 0) {
    KLOG_WARN("修改用户信息请求无法发送：MESSAGE_ID=%lld", static_cast<long long>(request.MESSAGE_ID));
    return false;
  }
  sent_[request.MESSAGE_ID] = form;
  while (sent_.size() > kMaxPendingSaves) sent_.erase(sent_.begin());
  return true;
}

bool AgentDetailsSave::TakeSent(std::int64_t messageId, AgentDetailsForm* out) {
  if (sent_.empty()) return false;
  auto it = sent_.find(messageId);
  // A server that does not echo the request's id answers the newest save.
  if (it == sent_.end()) it = std::prev(sent_.end());
  *out = std::move(it->second);
  sent_.erase(it);
  return true;
}

AgentDetailsAnswer AgentDetailsSave::OnNetworkMessage(std::unique_ptr<Message> message) {
  if (!message || message->command != kCommandSaveAgentInfo) return AgentDetailsAnswer::kIgnored;
  AgentDetailsForm saved;
  const bool wasSent = TakeSent(message->MESSAGE_ID, &saved);
  if (message->failed()) {
    const Msg* body = message->bodyAs<Msg>();
    // Without a body there is no reason to quote; the box still says so.
    if (body) {
      KLOG_INFO("修改用户信息失败 错误信息：%s", body->BODY.c_str());
    } else {
      KLOG_INFO("%s", kDetailsFailedText);
    }
    platform::ShowMessageBox(kDetailsBoxCaption, body ? body->BODY : std::string(kDetailsFailedText),
                             platform::MessageBoxIcon::Warning);
    return AgentDetailsAnswer::kFailed;
  }
  if (!wasSent) {
    KLOG_WARN("修改用户信息应答没有对应的请求：MESSAGE_ID=%lld", static_cast<long long>(message->MESSAGE_ID));
    return AgentDetailsAnswer::kIgnored;
  }
  std::int32_t agentId = 0;
  records_.agent.Update([&](AgentRecord& r) {
    r.realname = saved.realname;
    r.sex = saved.male ? kSexMale : kSexFemale;
    r.age = saved.age;
    r.address = saved.address;
    r.mobile = saved.mobile;
    r.phone = saved.phone;
    r.qq = saved.qq;
    r.email = saved.email;
    r.remark = saved.remark;
    agentId = r.triple.agentId;
  });
  // The lists and the tray show the agent's own name from the name table.
  if (agentId != 0) records_.names.Set(agentId, saved.realname);
  if (onSaved_) onSaved_();
  platform::ShowMessageBox(kDetailsBoxCaption, kDetailsSavedText, platform::MessageBoxIcon::Information);
  KLOG_INFO("修改用户信息成功");
  return AgentDetailsAnswer::kSaved;
}

bool ConfirmCancelSettings() {
  return platform::ShowMessageBox(kDetailsBoxCaption, kConfirmCancelText, platform::MessageBoxIcon::Question,
                                  platform::MessageBoxButtons::OkCancel) == platform::MessageBoxResult::Ok;
}

}  // namespace kanzo
