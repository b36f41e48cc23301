#include <gtest/gtest.h>

#include "platform/ini_file.h"
#include "support/temp_dir.h"

namespace kanzo::platform {
namespace {

constexpr const char* kIni =
    "; comment line\r\n"
    "[Other]\r\n"
    "SERVER_HOST=wrong.example\r\n"
    "[kanzo]\r\n"
    "  server_host  =   chat.example.com   \r\n"
    "LOG_LEVEL=debug\r\n"
    "EMPTY=\r\n"
    "QUOTED=\"a value\"\r\n"
    "NOEQUALS\r\n";

TEST(IniFileTest, ProfileRules) {
  struct Case {
    const char* section;
    const char* key;
    const char* def;
    std::size_t max;
    const char* expected;
  };
  const Case cases[] = {
      {"Kanzo", "SERVER_HOST", "d", kProfileValueMaxBytes, "chat.example.com"},  // case and blanks
      {"KANZO", "Log_Level", "d", kProfileValueMaxBytes, "debug"},
      {"Kanzo", "EMPTY", "d", kProfileValueMaxBytes, ""},  // present but empty
      {"Kanzo", "QUOTED", "d", kProfileValueMaxBytes, "a value"},
      {"Kanzo", "MISSING", "fallback", kProfileValueMaxBytes, "fallback"},
      {"Nowhere", "SERVER_HOST", "fallback", kProfileValueMaxBytes, "fallback"},
      {"Kanzo", "NOEQUALS", "fallback", kProfileValueMaxBytes, "fallback"},
      {"Kanzo", "SERVER_HOST", "d", 4, "chat"},  // cut to the limit
      {"Kanzo", "MISSING", "defaultlong", 3, "def"},
  };
  test::TempDir dir;
  test::WriteFile(dir.File("config.ini"), kIni);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key);
    EXPECT_EQ(ReadProfileString(dir.File("config.ini"), c.section, c.key, c.def, c.max), c.expected);
    EXPECT_EQ(ReadProfileStringFromText(kIni, c.section, c.key, c.def, c.max), c.expected);
  }
}

TEST(IniFileTest, MissingOrUnreadableFileGivesDefault) {
  test::TempDir dir;
  EXPECT_EQ(ReadProfileString(dir.File("none.ini"), "Kanzo", "SERVER_HOST", "built-in"), "built-in");
  // A folder in place of the file reads as nothing.
  EXPECT_EQ(ReadProfileString(dir.path(), "Kanzo", "SERVER_HOST", "built-in"), "built-in");
}

TEST(IniFileTest, LastLineWithoutLineEnd) { EXPECT_EQ(ReadProfileStringFromText("[A]\nkey=v", "a", "KEY", ""), "v"); }

}  // namespace
}  // namespace kanzo::platform
