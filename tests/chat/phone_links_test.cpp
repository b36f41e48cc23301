// Mobile numbers in incoming text become transcript links, byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "chat/phone_links.h"

namespace kanzo {
namespace {

struct LinkCase {
  const char* name;
  std::string text;
  std::string linked;
};

class PhoneLinksTest : public testing::TestWithParam<LinkCase> {};

TEST_P(PhoneLinksTest, Links) { EXPECT_EQ(LinkPhoneNumbers(GetParam().text), GetParam().linked); }

const LinkCase kCases[] = {
    {"NoMatchUnchanged", "hello 你好 [B]12345", "hello 你好 [B]12345"},
    {"Empty", "", ""},
    {"ElevenDigits", "call 13812345678 now", "[>00C8]call [!]13812345678[>00C8] now"},
    {"ElevenDigitsAlone", "15912345678", "[>00C8][!]15912345678[>00C8]"},
    {"TwelveDigitsNotLinked", "call 138123456789 now", "call 138123456789[>00C8] now"},
    {"TenDigitsNotLinked", "x1381234567y", "x1381234567[>00C8]y"},
    {"ThirteenDigitsLinksLastEleven", "2213912345678", "[>00C8]22[!]13912345678[>00C8]"},
    {"PrefixTwelveNoLaterMatch", "12012345678", "12012345678"},
    {"PrefixFourteen", "14012345678", "14012345678"},
    {"PrefixSixteen", "16612345678", "16612345678"},
    {"TwoNumbers", "a13812345678b17712345678c", "[>00C8]a[!]13812345678[>00C8]b[!]17712345678[>00C8]c"},
    {"ShortThenLong", "13 and 18612345678!", "[>00C8]13 and [!]18612345678[>00C8]!"},
    {"ShortRunThenNumber", "135 then 19912345678", "135[>00C8] then [!]19912345678[>00C8]"},
    {"ChineseAround", "电话18812345678谢谢", "[>00C8]电话[!]18812345678[>00C8]谢谢"},
    {"TrailingShortRun", "139", "139[>00C8]"},
    {"PairOnlyNoMatch", "13", "13"},
};

INSTANTIATE_TEST_SUITE_P(Cases, PhoneLinksTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<LinkCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kanzo
