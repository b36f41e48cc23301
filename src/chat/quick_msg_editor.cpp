#include "chat/quick_msg_editor.h"

#include "chat/quick_requests.h"
#include "log/cx_log.h"
#include "platform/message_box.h"
#include "platform/narrow_text.h"
#include "protocol/commands.h"
#include "protocol/msg.h"
#include "workspace/json_body.h"

namespace kanzo {
namespace {

constexpr const char* kOnNetworkMessage = "QuickMsgEditDlg::OnNetworkMessage";

int Send(const QuickMsgEditor::Sender& sender, CommandCode command, Msg& msg) {
  Message message(true);
  message.command = command;
  message.setBody(&msg);
  return sender(message);
}

void Tell(const std::string& text) { platform::ShowMessageBox(kQuickEditBoxCaption, text); }

}  // namespace

QuickMsgEditor::QuickMsgEditor(QuickMsgEditView& view, Sender sender, AgentSource agent, Added added)
    : view_(view), sender_(std::move(sender)), agent_(std::move(agent)), added_(std::move(added)) {}

void QuickMsgEditor::Open() {
  categories_.clear();
  view_.ShowCategories({}, {});
  Msg msg = CategoryRequest(agent_());
  Send(sender_, kCommandQuickMsgClass, msg);
  KLOG_AS(kLogInfo, "QuickMsgEditDlg::QuickMsgClass", "请求常用语的分类");
}

bool QuickMsgEditor::Save(const std::string& content, const std::string& category, bool quick) {
  if (content.empty()) {
    Tell(kQuickEditNoContent);
    return false;
  }
  if (categories_.empty()) {
    Tell(kQuickEditNoCategory);
    return false;
  }
  Msg msg = AddCommonMessageRequest(agent_(), content, quick, CategoryId(category));
  Send(sender_, kCommandSaveQuickMsg, msg);
  KLOG_AS(kLogInfo, "QuickMsgEditDlg::SaveInfo", "保存常用语");
  return true;
}

void QuickMsgEditor::OnNetworkMessage(const Message& message) {
  if (message.command == kCommandQuickMsgClass) OnCategories(message);
  if (message.command == kCommandSaveQuickMsg) OnAdded(message);
}

void QuickMsgEditor::OnCategories(const Message& message) {
  const Msg* msg = message.bodyAs<Msg>();
  if (message.failed()) {
    if (!msg) return;
    Tell(msg->BODY);
    KLOG_AS(kLogInfo, kOnNetworkMessage, "获取常用语分类失败 错误信息：%s", msg->BODY.c_str());
    return;
  }
  Json::Value root;
  if (!msg || !ParseJsonBody(msg->BODY, &root)) return;
  const Json::Value& list = JsonMember(root, "cm");
  if (list.isArray()) {
    for (const Json::Value& entry : list) {
      if (!entry.isObject()) continue;
      const Json::Value& name = JsonMember(entry, "name");
      if (!name.isString()) continue;
      const Json::Value& id = JsonMember(entry, "id");
      std::optional<std::int32_t> categoryId;
      if (id.isInt()) categoryId = id.asInt();
      categories_[platform::Utf8ToNarrow(name.asString())] = categoryId;
    }
  }
  const std::vector<std::string> names = CategoryNames();
  view_.ShowCategories(names, names.empty() ? std::string() : names.front());
  KLOG_AS(kLogInfo, kOnNetworkMessage, "获取常用语分类成功");
}

void QuickMsgEditor::OnAdded(const Message& message) {
  const Msg* msg = message.bodyAs<Msg>();
  if (!message.failed()) {
    view_.ClearContent();
    Tell(kQuickEditAdded);
    KLOG_AS(kLogInfo, kOnNetworkMessage, "新增常用语成功");
    if (added_) added_();
    return;
  }
  if (!msg) {
    Tell(kQuickEditAddFailed);
    KLOG_AS(kLogInfo, kOnNetworkMessage, "%s", kQuickEditAddFailed);
    return;
  }
  Tell(msg->BODY);
  KLOG_AS(kLogInfo, kOnNetworkMessage, "添加常用语失败 错误信息：%s", msg->BODY.c_str());
}

std::vector<std::string> QuickMsgEditor::CategoryNames() const {
  std::vector<std::string> names;
  names.reserve(categories_.size());
  for (const auto& [name, id] : categories_) names.push_back(name);
  return names;
}

std::optional<std::int32_t> QuickMsgEditor::CategoryId(const std::string& name) const {
  const auto it = categories_.find(name);
  return it == categories_.end() ? std::nullopt : it->second;
}

}  // namespace kanzo
