#pragma once
// One chat line as the database stores it: who sent it to whom, and its
// text in display markup.
#include <cstdint>
#include <string>

namespace kanzo {

struct TalkLine {
  std::int32_t fromMember = 0;
  std::int32_t fromType = 0;
  std::int32_t toMember = 0;
  std::int32_t toType = 0;
  std::string body;
};

}  // namespace kanzo
