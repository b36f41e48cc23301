#include "workspace/list_pictures.h"

namespace kanzo {

const char* SessionAvatarPicture(const ContactRecord& record, std::int32_t myId) {
  if (record.state == kVisitorStateLeft) return kPictureOfflineLogo;
  // A visitor nobody has taken yet (agent 0) is nobody else's.
  if (record.kind == kContactKindVisitor && record.agentId != 0 && record.agentId != myId) return kPictureEndTalkLogo;
  return kPictureDefaultLogo;
}

const char* TreeAvatarPicture(const ContactRecord& agent) {
  if (agent.state == kAgentStateAway) return kPictureAwayLogo;
  if (agent.state == kAgentStateOffline) return kPictureOfflineLogo;
  return kPictureDefaultLogo;
}

const std::string& SessionSecondLine(const ContactRecord& record) {
  if (!record.lastMessage.empty()) return record.lastMessage;
  if (!record.statusText.empty()) return record.statusText;
  return record.currentPage;
}

std::string UnreadBadgeText(const ContactRecord& record) {
  return record.unread == 0 ? std::string() : std::to_string(record.unread);
}

}  // namespace kanzo
