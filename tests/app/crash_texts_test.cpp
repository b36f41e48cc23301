// The pieces of a crash report that can be checked without failing: the dump
// file's name, the calendar, the local-time offsets, the message texts and
// the notice mode, and the handler's own output routines.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include <gtest/gtest.h>

#include "app/crash_dump_name.h"
#include "app/crash_local_time.h"
#include "app/crash_notice.h"
#include "app/signal_safe_writer.h"
#include "crash_texts_expected.h"
#include "platform/message_box.h"
#include "support/temp_dir.h"

namespace kanzo {
namespace {

constexpr CrashCivilTime kMarchFifth{2024, 3, 5, 8, 9, 10};

std::string DumpPath(const std::string& folder, const char* title, const CrashCivilTime& time) {
  char out[kCrashPathCapacity];
  const std::size_t length = BuildCrashDumpPath(folder.c_str(), title, time, out);
  EXPECT_EQ(length, std::strlen(out));
  return out;
}

TEST(CrashDumpName, FolderTitleLocalTimeAndExtension) {
  EXPECT_EQ(DumpPath("/opt/kanzo/crash/", "Crash", kMarchFifth), "/opt/kanzo/crash/Crash_20240305-080910.dmp");
  EXPECT_EQ(DumpPath("/opt/kanzo/crash/", "Crash", CrashCivilTime{999, 12, 31, 23, 59, 59}),
            "/opt/kanzo/crash/Crash_09991231-235959.dmp");
  // Dots and blanks are replaced in the name only, never in the folder.
  EXPECT_EQ(DumpPath("/home/a.b c/crash/", "My App v1.2", kMarchFifth),
            "/home/a.b c/crash/My_App_v1-2_20240305-080910.dmp");
}

TEST(CrashDumpName, PathIsLimitedTo259Bytes) {
  const std::string name = "Crash_20240305-080910";
  struct Case {
    std::size_t folderLength;
    std::string expectedTail;  // after the folder
  };
  const Case cases[] = {
      {259 - name.size() - 4, name + ".dmp"},  // exactly fits with the extension
      {259 - name.size() - 3, name},           // the extension no longer fits whole
      {259 - name.size(), name},               // the name just fits
      {259 - 5, name.substr(0, 5)},            // the name is cut
      {259, ""},                               // only the folder
      {300, ""},                               // even the folder is cut
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folderLength);
    const std::string folder = "/" + std::string(c.folderLength - 2, 'f') + "/";
    const std::string path = DumpPath(folder, "Crash", kMarchFifth);
    EXPECT_LE(path.size(), kCrashPathLimit);
    EXPECT_EQ(path, (folder + c.expectedTail).substr(0, kCrashPathLimit));
  }
}

TEST(CrashCivilTime, MatchesKnownDates) {
  struct Case {
    std::int64_t seconds;
    CrashCivilTime expected;
  };
  const Case cases[] = {
      {0, {1970, 1, 1, 0, 0, 0}},          {1709626150, {2024, 3, 5, 8, 9, 10}}, {951868799, {2000, 2, 29, 23, 59, 59}},
      {4107542400, {2100, 3, 1, 0, 0, 0}}, {-1, {1969, 12, 31, 23, 59, 59}},     {-2208988800, {1900, 1, 1, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seconds);
    const CrashCivilTime t = CivilFromSeconds(c.seconds);
    EXPECT_EQ(t.year, c.expected.year);
    EXPECT_EQ(t.month, c.expected.month);
    EXPECT_EQ(t.day, c.expected.day);
    EXPECT_EQ(t.hour, c.expected.hour);
    EXPECT_EQ(t.minute, c.expected.minute);
    EXPECT_EQ(t.second, c.expected.second);
  }
}

TEST(CrashCivilTime, AgreesWithTheCLibraryOverCenturies) {
  // A step that is prime to days and hours visits every kind of date.
  constexpr std::int64_t kStep = 7919 * 61;
  for (std::int64_t s = -2208988800; s < 4107542400; s += kStep) {
    const time_t t = static_cast<time_t>(s);
    struct tm utc {};
    ASSERT_NE(gmtime_r(&t, &utc), nullptr);
    const CrashCivilTime c = CivilFromSeconds(s);
    ASSERT_EQ(c.year, utc.tm_year + 1900) << s;
    ASSERT_EQ(c.month, utc.tm_mon + 1) << s;
    ASSERT_EQ(c.day, utc.tm_mday) << s;
    ASSERT_EQ(c.hour * 3600 + c.minute * 60 + c.second, utc.tm_hour * 3600 + utc.tm_min * 60 + utc.tm_sec) << s;
  }
}

class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) {
      hadOld_ = true;
      old_ = old;
    }
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    if (hadOld_)
      setenv("TZ", old_.c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }

 private:
  bool hadOld_ = false;
  std::string old_;
};

TEST(UtcOffsetTable, FollowsDaylightSavingChangesToTheSecond) {
  ScopedTimeZone zone("Europe/Berlin");
  UtcOffsetTable table;
  table.Capture(1705276800);  // 2024-01-15, winter time
  EXPECT_EQ(table.ChangeCount(), 2);
  EXPECT_EQ(table.OffsetAt(1705276800), 3600);
  EXPECT_EQ(table.OffsetAt(1711846800 - 1), 3600);  // 2024-03-31 00:59:59 UTC
  EXPECT_EQ(table.OffsetAt(1711846800), 7200);
  EXPECT_EQ(table.OffsetAt(1729990800 - 1), 7200);  // 2024-10-27 00:59:59 UTC
  EXPECT_EQ(table.OffsetAt(1729990800), 3600);
  // Everywhere within the year it agrees with the C library.
  for (std::int64_t s = 1705276800; s < 1705276800 + 365LL * 86400; s += 3 * 3600 + 7) {
    const time_t t = static_cast<time_t>(s);
    struct tm local {};
    localtime_r(&t, &local);
    ASSERT_EQ(table.OffsetAt(s), local.tm_gmtoff) << s;
  }
}

TEST(UtcOffsetTable, FixedZonesHaveNoChanges) {
  ScopedTimeZone zone("Asia/Shanghai");
  UtcOffsetTable table;
  table.Capture(1709626150);
  EXPECT_EQ(table.ChangeCount(), 0);
  EXPECT_EQ(table.OffsetAt(1709626150), 8 * 3600);
  EXPECT_EQ(table.OffsetAt(1709626150 + 3650LL * 86400), 8 * 3600);
}

TEST(CrashMessages, TextsAreExact) {
  const std::string path = "/opt/kanzo/crash/Crash_20240305-080910.dmp";
  EXPECT_EQ(FormatCrashMessage(CrashMessage::Success, path, 0), test::ExpectedCrashText("success", path, 0));
  EXPECT_EQ(FormatCrashMessage(CrashMessage::WriteFailure, path, 28), test::ExpectedCrashText("write", path, 28));
  EXPECT_EQ(FormatCrashMessage(CrashMessage::CreateFailure, path, 4294967295u),
            test::ExpectedCrashText("create", path, 4294967295u));
}

TEST(CrashMessages, AreCutToTheBufferWithoutSplittingACharacter) {
  // Only a path far longer than any dump path can reach the limit. With this
  // one the 1282nd byte falls in the middle of a three-byte character after
  // the path, which must go whole.
  const std::string path(1201, 'p');
  const std::string full = test::ExpectedCrashText("create", path, 2);
  const std::string text = FormatCrashMessage(CrashMessage::CreateFailure, path, 2);
  ASSERT_GT(full.size(), kCrashMessageCapacity - 1);
  EXPECT_EQ(text.size(), kCrashMessageCapacity - 3);
  EXPECT_EQ(text, full.substr(0, text.size()));
  EXPECT_NE(static_cast<unsigned char>(full[text.size()]) & 0xC0, 0x80);
}

TEST(CrashNotice, ShowsTheMessageInABoxTitledCrash) {
  platform::MessageBoxRecorder recorder;
  const std::string path = "/opt/kanzo/crash/Crash_20240305-080910.dmp";
  EXPECT_EQ(RunCrashNotice({"--crash-notice", "create-failed", path, "13"}), 0);
  ASSERT_EQ(recorder.Count(), 1u);
  const auto box = recorder.Boxes().front();
  EXPECT_EQ(box.caption, "Crash");
  EXPECT_EQ(box.icon, platform::MessageBoxIcon::Information);
  EXPECT_EQ(box.buttons, platform::MessageBoxButtons::Ok);
  EXPECT_EQ(box.text, test::ExpectedCrashText("create", path, 13));
}

TEST(CrashNotice, RejectsMalformedCommandLines) {
  platform::MessageBoxRecorder recorder;
  const std::vector<std::vector<std::string>> bad = {
      {"--crash-notice"},
      {"--crash-notice", "dumped", "/p"},
      {"--crash-notice", "exploded", "/p", "0"},
      {"--crash-notice", "dumped", "/p", "-1"},
      {"--crash-notice", "dumped", "/p", "12x"},
      {"--crash-notice", "dumped", "/p", "99999999999"},
      {"--crash-notice", "dumped", "/p", "0", "extra"},
      {"restart", "dumped", "/p", "0"},
  };
  for (const auto& args : bad) EXPECT_EQ(RunCrashNotice(args), kCrashNoticeBadCommand) << args.size();
  EXPECT_EQ(recorder.Count(), 0u);
  EXPECT_FALSE(IsCrashNoticeCommand({}));
  EXPECT_FALSE(IsCrashNoticeCommand({"restart"}));
}

TEST(SignalSafeWriter, FormatsNumbersByHand) {
  struct Case {
    std::uint64_t value;
    unsigned base;
    std::size_t minDigits;
    const char* expected;
  };
  const Case cases[] = {
      {0, 10, 1, "0"},
      {7, 10, 2, "07"},
      {2024, 10, 4, "2024"},
      {18446744073709551615ull, 10, 1, "18446744073709551615"},
      {255, 16, 1, "ff"},
      {0xdead, 16, 16, "000000000000dead"},
      {18446744073709551615ull, 16, 1, "ffffffffffffffff"},
  };
  for (const Case& c : cases) {
    char out[kMaxNumberDigits + 1];
    EXPECT_EQ(FormatUnsigned(out, c.value, c.base, c.minDigits), std::strlen(c.expected));
    EXPECT_STREQ(out, c.expected);
  }
}

TEST(SignalSafeWriter, WritesEverythingAcrossItsBuffer) {
  test::TempDir dir;
  const std::string file = dir.File("out");
  const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  std::string expected;
  {
    SignalSafeWriter out(fd);
    for (int i = 0; i < 2000; ++i) {
      out.Text("line ").Dec(-i).Char(' ').Hex(static_cast<std::uint64_t>(i), 4).Char('\n');
      char hex[8];
      std::snprintf(hex, sizeof(hex), "%04x", i);
      expected += "line " + std::string(i == 0 ? "0" : "-" + std::to_string(i)) + " 0x" + hex + "\n";
    }
    out.Dec(INT64_MIN).Padded("ab", 4).Char('|');
    expected += "-9223372036854775808ab  |";
    EXPECT_EQ(out.Flush(), 0);
  }
  close(fd);
  EXPECT_EQ(test::ReadFile(file), expected);
}

TEST(SignalSafeWriter, ReportsTheFirstFailedWrite) {
  const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
  if (full < 0) GTEST_SKIP() << "no /dev/full";
  SignalSafeWriter out(full);
  out.Text(std::string(10000, 'x').c_str());
  EXPECT_EQ(out.error(), ENOSPC);
  EXPECT_EQ(out.Flush(), ENOSPC);
  close(full);

  SignalSafeWriter closed(-1);
  closed.Text("x");
  EXPECT_EQ(closed.Flush(), EBADF);
}

}  // namespace
}  // namespace kanzo
