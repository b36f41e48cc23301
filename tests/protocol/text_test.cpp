// Strings: narrow text out as UTF-8 and back, in the UTF-8 locale and in a
// GBK one; texts too long for the length field are cut at whole characters.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "platform/narrow_text.h"
#include "protocol/buffer.h"
#include "protocol/wire_bytes.h"
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

INSTANTIATE_TEST_SUITE_P(
    Strings, LongText,
    ::testing::Values(TruncationCase{"AsciiAtLimit", std::string(32767, 'a'), 32767},
                      TruncationCase{"AsciiOverLimit", std::string(40000, 'a'), 32767},
                      // 3-byte characters: 10922 of them fill 32766 bytes.
                      TruncationCase{"ChineseOverLimit", Repeat("中", 11000), 32766},
                      // 4-byte characters after one ASCII byte: 1 + 4 * 8191 = 32765.
                      TruncationCase{"FourByteOverLimit", "x" + Repeat("\xF0\x9F\x98\x80", 8200), 32765}),
    [](const auto& info) { return std::string(info.param.name); });

// A GBK locale, built once in a temporary folder when the C library has
// none, selected for each test and restored afterwards.
class GbkLocale : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    skipReason_.clear();
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const bool installed = std::setlocale(LC_ALL, kLocale) != nullptr;
    std::setlocale(LC_ALL, previous.c_str());
    if (installed) return;
    if (std::system("command -v localedef >/dev/null 2>&1") != 0) {
      skipReason_ = "localedef is not installed";
      return;
    }
    dir_ = new test::TempDir();
    const std::string cmd = "localedef -i zh_CN -f GBK " + dir_->path() + kLocale + " >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) skipReason_ = "localedef could not build zh_CN.GBK";
  }

  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  void SetUp() override {
    if (!skipReason_.empty()) GTEST_SKIP() << skipReason_;
    previous_ = std::setlocale(LC_ALL, nullptr);
    if (const char* old = std::getenv("LOCPATH")) {
      oldLocPath_ = old;
      hadLocPath_ = true;
    }
    if (dir_ != nullptr) setenv("LOCPATH", dir_->path().c_str(), 1);
    if (std::setlocale(LC_ALL, kLocale) == nullptr) GTEST_SKIP() << "the C library refuses the GBK locale";
    platform::ResetNarrowEncodingForTests();
    ASSERT_EQ(platform::NarrowEncodingName(), "GBK");
  }

  void TearDown() override {
    if (!previous_.empty()) std::setlocale(LC_ALL, previous_.c_str());
    if (hadLocPath_) {
      setenv("LOCPATH", oldLocPath_.c_str(), 1);
    } else {
      unsetenv("LOCPATH");
    }
    platform::ResetNarrowEncodingForTests();
  }

  static constexpr const char* kLocale = "zh_CN.GBK";
  static inline test::TempDir* dir_ = nullptr;
  static inline std::string skipReason_;
  std::string previous_;
  std::string oldLocPath_;
  bool hadLocPath_ = false;
};

// "你好，客服" in GBK and in UTF-8.
const std::string kGbkText = "\xC4\xE3\xBA\xC3\xA3\xAC\xBF\xCD\xB7\xFE";
const std::string kUtf8Text = "你好，客服";

TEST_F(GbkLocale, ChineseTravelsAsUtf8AndComesBackAsGbk) {
  const Bytes wire = WireOf(kGbkText);
  EXPECT_EQ(Utf8Payload(wire), kUtf8Text);
  EXPECT_EQ((wire[0] << 8) | wire[1], static_cast<int>(kUtf8Text.size()));
  Buffer in;
  test::Fill(in, wire);
  EXPECT_EQ(in.readString(), kGbkText);
}

TEST_F(GbkLocale, LongGbkTextIsCutAtWholeCharacter) {
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
