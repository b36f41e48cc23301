#pragma once
// The common-message editor without its window: the categories it offers,
// the checks before an add, the requests and what their answers tell the
// agent. The window (QuickMsgEditDlg) supplies a view and forwards its
// clicks and its received messages here.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "protocol/message.h"
#include "records/agent_record.h"

namespace kanzo {

inline constexpr const char* kQuickEditCaption = "常用语";
inline constexpr const char* kQuickEditBoxCaption = "提示";
inline constexpr const char* kQuickEditNoContent = "常用语内容不能为空";
inline constexpr const char* kQuickEditNoCategory = "分类不能为空";
inline constexpr const char* kQuickEditAdded = "新增成功";
inline constexpr const char* kQuickEditAddFailed = "添加常用语失败";

// What the editor shows; implemented by the window (and by tests).
class QuickMsgEditView {
 public:
  virtual ~QuickMsgEditView() = default;
  // The category box's entries (sorted) and the one selected, or none.
  virtual void ShowCategories(const std::vector<std::string>& names, const std::string& selected) = 0;
  virtual void ClearContent() = 0;
};

class QuickMsgEditor {
 public:
  using Sender = std::function<int(Message&)>;
  using AgentSource = std::function<AgentRecord()>;
  // Called after a common message was added: the chat window reloads the
  // quick lists.
  using Added = std::function<void()>;

  QuickMsgEditor(QuickMsgEditView& view, Sender sender, AgentSource agent, Added added);

  // The dialog opens: the categories are forgotten and asked for again.
  void Open();
  // "保存" with the content, the category box's text and the "是" check.
  // Returns whether the add request was sent.
  bool Save(const std::string& content, const std::string& category, bool quick);
  // An answer of 23 or 40 (others are ignored).
  void OnNetworkMessage(const Message& message);

  // The category names in the box's order.
  std::vector<std::string> CategoryNames() const;
  // The id of a category the box offers; none for a typed name.
  std::optional<std::int32_t> CategoryId(const std::string& name) const;

 private:
  void OnCategories(const Message& message);
  void OnAdded(const Message& message);

  QuickMsgEditView& view_;
  Sender sender_;
  AgentSource agent_;
  Added added_;
  // Name to id; a category whose "id" is not an integer is offered without.
  std::map<std::string, std::optional<std::int32_t>> categories_;
};

}  // namespace kanzo
