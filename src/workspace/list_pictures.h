#pragma once
// Which picture and which texts a list row shows for a record: the choices
// the list controls draw, made without a window so they can be tested alone.
#include <cstdint>
#include <string>

#include "records/contact_record.h"

namespace kanzo {

inline constexpr const char* kPictureDefaultLogo = "Images/def_logo.png";
inline constexpr const char* kPictureOfflineLogo = "Images/offline_logo.png";
inline constexpr const char* kPictureEndTalkLogo = "Images/endtalk_logo.png";
inline constexpr const char* kPictureAwayLogo = "Images/outline_logo.png";
inline constexpr const char* kPictureAvatarFrame = "Images/Shadow";
inline constexpr const char* kPictureUnreadBadge = "Images/RedCircle";
inline constexpr const char* kPictureDeleteButton = "Images/Delete";
inline constexpr const char* kPictureGroupBackground = "Images/ItemBg.png";
inline constexpr const char* kPictureGroupExpanded = "Images/tree_sub.png";
inline constexpr const char* kPictureGroupCollapsed = "Images/tree_add.png";

// The conversation list's avatar: offline when the visitor left, "talk
// ended" for a visitor held by another agent, else the default.
const char* SessionAvatarPicture(const ContactRecord& record, std::int32_t myId);

// The colleague tree's avatar by the agent's presence.
const char* TreeAvatarPicture(const ContactRecord& agent);

// The conversation list's second line: the last message, else the status
// line, else the current page.
const std::string& SessionSecondLine(const ContactRecord& record);

// The unread badge's text ("%d"); empty when nothing is unread.
std::string UnreadBadgeText(const ContactRecord& record);

}  // namespace kanzo
