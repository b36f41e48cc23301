#pragma once
// Mobile telephone numbers in incoming chat text, marked as transcript links.
//
// The transcript shows text after "[!]" as a link up to the next tag, so a
// linked number is followed by "[>00C8]", which ends the link and keeps the
// message's 200-twip indent. Only runs matching "1[35789][0-9]+" of exactly
// eleven digits are linked; the search is leftmost and greedy, and the digits
// before a match are not looked at.
#include <string>

namespace kanzo {

inline constexpr const char* kPhoneLinkOpen = "[!]";
inline constexpr const char* kPhoneLinkIndent = "[>00C8]";
inline constexpr std::size_t kPhoneNumberLength = 11;

// The text with every eleven-digit mobile number made a link. Text without
// any candidate run comes back byte for byte unchanged.
std::string LinkPhoneNumbers(const std::string& text);

}  // namespace kanzo
