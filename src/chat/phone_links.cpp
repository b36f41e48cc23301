#include "chat/phone_links.h"

#include <cstddef>
#include <string_view>

namespace kanzo {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The second character of a candidate: the mobile prefixes 13, 15, 17, 18, 19.
bool IsMobileSecondDigit(char c) { return c == '3' || c == '5' || c == '7' || c == '8' || c == '9'; }

struct Match {
  std::size_t begin;
  std::size_t end;
};

// The leftmost match of "1[35789][0-9]+" at or after `from`, taking every
// digit that follows (greedy). Returns false when there is none.
bool FindCandidate(const std::string& text, std::size_t from, Match& match) {
  for (std::size_t i = from; i + 2 < text.size(); ++i) {
    if (text[i] != '1' || !IsMobileSecondDigit(text[i + 1]) || !IsDigit(text[i + 2])) continue;
    std::size_t end = i + 3;
    while (end < text.size() && IsDigit(text[end])) ++end;
    match = {i, end};
    return true;
  }
  return false;
}

}  // namespace

std::string LinkPhoneNumbers(const std::string& text) {
  Match match{};
  if (!FindCandidate(text, 0, match)) return text;

  std::string out;
  out.reserve(text.size() + 32);
  std::size_t rest = 0;
  do {
    const std::string_view prefix(text.data() + rest, match.begin - rest);
    const std::string_view number(text.data() + match.begin, match.end - match.begin);
    if (number.size() == kPhoneNumberLength) {
      out += kPhoneLinkIndent;
      out += prefix;
      out += kPhoneLinkOpen;
      out += number;
    } else {
      out += prefix;
      out += number;
    }
    rest = match.end;
  } while (FindCandidate(text, rest, match));
  out += kPhoneLinkIndent;
  out.append(text, rest, std::string::npos);
  return out;
}

}  // namespace kanzo
