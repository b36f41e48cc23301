#pragma once
// The agent's own card beside the main window's avatar, without a window:
// its ten labelled fields from the current agent record.
#include <array>
#include <cstdint>
#include <string>

#include "records/agent_record.h"

namespace kanzo {

inline constexpr int kAgentCardAvatarId = 1121;
inline constexpr int kAgentCardUserNameId = 1122;
inline constexpr int kAgentCardUserIdId = 1123;
inline constexpr int kAgentCardRealnameId = 1124;
inline constexpr int kAgentCardGroupId = 1125;
inline constexpr int kAgentCardAddressId = 1126;
inline constexpr int kAgentCardPhoneId = 1127;
inline constexpr int kAgentCardEmailId = 1128;
inline constexpr int kAgentCardRemarkId = 1129;
inline constexpr int kAgentCardSexId = 1130;
inline constexpr int kAgentCardAgeId = 1131;
inline constexpr const char* kAgentCardAvatarPicture = "Images\\big_def_logo.png";
inline constexpr const char* kAgentCardBackground = "\\Images\\InfoBg";

struct AgentCardField {
  int controlId = 0;
  const char* label = "";
  std::string value;  // program text
};

inline constexpr std::size_t kAgentCardFieldCount = 10;
using AgentCardFields = std::array<AgentCardField, kAgentCardFieldCount>;

// The card's fields, top to bottom: 用户名, 用户ID, 姓名, 性别, 年龄, 用户组,
// 所在地, 联系方式, 邮箱, 备注.
AgentCardFields AgentCardFieldsOf(const AgentRecord& agent);

}  // namespace kanzo
