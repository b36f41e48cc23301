#pragma once
// Window messages of the conversation windows. The numbers are those the
// windows have always exchanged, counted from the platform's first private
// message number.
#include <cstdint>

namespace kanzo {

inline constexpr std::uint32_t kWmUser = 1024;

// Input to its parent: the send key was pressed. No parameters.
inline constexpr std::uint32_t kMsgSendKeyPressed = kWmUser + 2001;  // 3025

// Transcript to its parent: a telephone number link was clicked and the
// agent confirmed the call. wParam kCallPhoneRequest; lParam a
// `const std::string*` holding the number (narrow), owned by the sender and
// valid only while the message is handled: the send is synchronous.
inline constexpr std::uint32_t kMsgCallPhone = kWmUser + 1009;  // 2033
inline constexpr std::uintptr_t kCallPhoneRequest = 1;

}  // namespace kanzo
