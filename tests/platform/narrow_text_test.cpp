#include <gtest/gtest.h>

#include "platform/narrow_text.h"

namespace kanzo::platform {
namespace {

TEST(NarrowTextTest, Utf8PrefixNeverEndsInsideACharacter) {
  const std::string text = "ab中文";  // 2 + 3 + 3 bytes
  struct Case {
    std::size_t max;
    const char* expected;
  };
  const Case cases[] = {{0, ""},     {2, "ab"},   {3, "ab"},     {4, "ab"},
                        {5, "ab中"}, {7, "ab中"}, {8, "ab中文"}, {100, "ab中文"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.max);
    EXPECT_EQ(Utf8PrefixWithin(text, c.max), c.expected);
  }
}

TEST(NarrowTextTest, Utf8LocalePassesThrough) {
  // Tests run under LC_ALL=C.UTF-8, where narrow text is UTF-8 already.
  ResetNarrowEncodingForTests();
  ASSERT_TRUE(NarrowIsUtf8());
  const std::string text = "您的账户在其它地方登录";
  EXPECT_EQ(NarrowToUtf8(text), text);
  EXPECT_EQ(Utf8ToNarrow(text), text);
}

}  // namespace
}  // namespace kanzo::platform
