#pragma once
// The page "个人信息" without a window: the fields filled from the current
// agent record, the save request (command 28) and its answer. The record
// takes what was sent with the answered request, never what the page holds
// when the answer arrives, so edits made while a save is under way are not
// taken for saved.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "protocol/message.h"
#include "records/agent_record.h"
#include "records/records.h"

namespace kanzo {

// Edit fields and buttons of the page.
inline constexpr int kRealnameEditId = 1071;
inline constexpr int kMaleRadioId = 1072;
inline constexpr int kAgeEditId = 1073;
inline constexpr int kFemaleRadioId = 1074;
inline constexpr int kPhoneEditId = 1076;
inline constexpr int kRemarkEditId = 1077;
inline constexpr int kEmailEditId = 1078;
inline constexpr int kQqEditId = 1079;
inline constexpr int kAddressEditId = 1177;
inline constexpr int kMobileEditId = 1178;
inline constexpr int kSaveButtonId = 1038;
inline constexpr int kCancelButtonId = 1039;

// The sexes as the record holds them.
inline constexpr const char* kSexMale = "男";
inline constexpr const char* kSexFemale = "女";

// Box and log texts of the page.
inline constexpr const char* kDetailsBoxCaption = "提示";
inline constexpr const char* kDetailsSavedText = "修改成功";
inline constexpr const char* kDetailsFailedText = "修改用户信息失败";
inline constexpr const char* kConfirmCancelText = "你确定要取消吗?";

// What the page's fields hold (program text).
struct AgentDetailsForm {
  std::string realname;
  bool male = true;
  std::string age;
  std::string address;
  std::string mobile;
  std::string phone;
  std::string qq;
  std::string email;
  std::string remark;

  friend bool operator==(const AgentDetailsForm&, const AgentDetailsForm&) = default;
};

// The fields as the record fills them; any sex but "女" checks "男".
AgentDetailsForm AgentDetailsFormFrom(const AgentRecord& record);

// The JSON body of the save request, compact and in key order: the fields,
// "sex" "0" for 男 and "1" for 女, "username", "password" and "zipcode"
// from the record, "uid" the agent's id as a number; every other value text.
std::string AgentDetailsBody(const AgentDetailsForm& form, const AgentRecord& record);

enum class AgentDetailsAnswer {
  kIgnored,  // not an answer to a save
  kFailed,   // the box has been shown; the record is as it was
  kSaved,    // the record holds what was sent; the box has been shown
};

class AgentDetailsSave {
 public:
  // Hands a request to the dispatcher; 0 when queued.
  using Sender = std::function<int(Message&)>;

  // The agent's record and the name table take what was saved.
  AgentDetailsSave(Records& records, Sender sender);

  // Sends the save request for `form`; false when it could not be queued.
  bool Save(const AgentDetailsForm& form);
  // Called on a successful save once the record holds the saved fields,
  // before the box: the main window shows them.
  void SetOnSaved(std::function<void()> onSaved) { onSaved_ = std::move(onSaved); }
  // Saves sent and not yet answered.
  std::size_t Pending() const { return sent_.size(); }

  // A received message (window message 2024, event 8); freed here. On
  // success the current agent record and the name table's entry of the
  // agent's own id take the saved fields.
  AgentDetailsAnswer OnNetworkMessage(std::unique_ptr<Message> message);

 private:
  static constexpr std::size_t kMaxPendingSaves = 16;

  bool TakeSent(std::int64_t messageId, AgentDetailsForm* out);

  Records& records_;
  Sender sender_;
  std::function<void()> onSaved_;
  std::map<std::int64_t, AgentDetailsForm> sent_;
};

// "取消": asks "你确定要取消吗?"; true when the agent chose OK.
bool ConfirmCancelSettings();

}  // namespace kanzo
