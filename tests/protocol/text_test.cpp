// Strings: narrow text out as UTF-8 and back, in the UTF-8 locale and in a
// GBK one; texts too long for the length field are cut at whole characters.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "platform/narrow_text.h"
#include "protocol/buffer.h"
#include "protocol/wire_bytes.h"
#include "support/gbk_locale.h"
#include "support/temp_dir.h"

namespace kanzo {
namespace {

using test::Bytes;

Bytes WireOf(const std::string& narrow) {
  Buffer b;
  b.writeString(narrow);
  return test::Peek(b);
}

std::string Utf8Payload(const Bytes& wire) { return std::string(wire.begin() + 2, wire.end()); }

TEST(NarrowText, ChineseRoundTripInUtf8Locale) {
  const std::string text = "访客：您好，我想咨询一下价格。";
  const Bytes wire = WireOf(text);
  ASSERT_EQ(wire.size(), text.size() + 2);
  EXPECT_EQ((wire[0] << 8) | wire[1], static_cast<int>(text.size()));
  EXPECT_EQ(Utf8Payload(wire), text);
  Buffer in;
  test::Fill(in, wire);
  EXPECT_EQ(in.readString(), text);
}

struct TruncationCase {
  const char* name;
  std::string text;
  std::size_t expectedBytes;
};

class LongText : public ::testing::TestWithParam<TruncationCase> {};

TEST_P(LongText, CutAtWholeCharacterThatFits) {
  const auto& c = GetParam();
  Buffer b;
  b.writeString(c.text);
  b.writeByte(0x2A);  // what follows must stay readable
  EXPECT_EQ(b.length(), c.expectedBytes + 3);
  const std::string back = b.readString();
  EXPECT_EQ(back.size(), c.expectedBytes);
  EXPECT_EQ(back, c.text.substr(0, c.expectedBytes));
  EXPECT_EQ(b.readByte(), 0x2A);
  EXPECT_TRUE(b.ok());
}

std::string Repeat(const std::string& unit, std::size_t count) {
  std::string s;
  for (std::size_t i = 0; i < count; ++i) s += unit;
  return s;
}

INSTANTIATE_TEST_SUITE_P(Strings, LongText,
                         ::testing::Values(TruncationCase{"AsciiAtLimit", std::string(32767, 'a'), 32767},
                                           TruncationCase{"AsciiOverLimit", std::string(40000, 'a'), 32767},
                                           // 3-byte characters: 10922 of them fill 32766 bytes.
                                           TruncationCase{"ChineseOverLimit", Repeat("中", 11000), 32766},
                                           // 4-byte characters after one ASCII byte: 1 + 4 * 8191 = 32765.
                                           TruncationCase{"FourByteOverLimit", "x" + Repeat("\xF0\x9F\x98\x80", 8200),
                                                          32765}),
                         [](const auto& info) { return std::string(info.param.name); });

using GbkTextTest = test::GbkLocaleTest;

// "你好，客服" in GBK and in UTF-8.
const std::string kGbkText = "\xC4\xE3\xBA\xC3\xA3\xAC\xBF\xCD\xB7\xFE";
const std::string kUtf8Text = "你好，客服";

TEST_F(GbkTextTest, ChineseTravelsAsUtf8AndComesBackAsGbk) {
  const Bytes wire = WireOf(kGbkText);
  EXPECT_EQ(Utf8Payload(wire), kUtf8Text);
  EXPECT_EQ((wire[0] << 8) | wire[1], static_cast<int>(kUtf8Text.size()));
  Buffer in;
  test::Fill(in, wire);
  EXPECT_EQ(in.readString(), kGbkText);
}

TEST_F(GbkTextTest, LongGbkTextIsCutAtWholeCharacter) {
  // 2 bytes each in GBK, 3 in UTF-8: 11000 characters are 33000 UTF-8 bytes.
  std::string gbk;
  for (int i = 0; i < 11000; ++i) gbk += "\xD6\xD0";  // 中
  Buffer b;
  b.writeString(gbk);
  EXPECT_EQ(b.length(), 2u + 32766u);
  const std::string back = b.readString();
  EXPECT_EQ(back, gbk.substr(0, 10922 * 2));
}

}  // namespace
}  // namespace kanzo
