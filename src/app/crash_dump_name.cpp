#include "app/crash_dump_name.h"

#include <cstring>

#include "app/signal_safe_writer.h"

namespace kanzo {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr int kSecondsPerHour = 3600;
constexpr int kSecondsPerMinute = 60;
// Days from 0000-03-01 to 1970-01-01 and the length of a 400-year era, for
// counting years from March so that the leap day falls at the end.
constexpr std::int64_t kDaysToEpochFromMarch0 = 719468;
constexpr std::int64_t kDaysPerEra = 146097;
constexpr std::size_t kYearDigits = 4;
constexpr std::size_t kTwoDigits = 2;
// "_" + 8 date digits + "-" + 6 time digits + title, far below this.
constexpr std::size_t kTimeTextCapacity = 64;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

char ReplaceInName(char c) {
  if (c == '.') return '-';
  if (c == ' ') return '_';
  return c;
}

// Appends `text` to `out` (holding `length` bytes) while the path stays
// within the limit, replacing characters as a file name needs.
std::size_t AppendNamePart(char* out, std::size_t length, const char* text) {
  for (; *text != '\0' && length < kCrashPathLimit; ++text) out[length++] = ReplaceInName(*text);
  return length;
}

std::size_t AppendNumber(char* out, std::size_t length, std::int64_t value, std::size_t minDigits) {
  if (value < 0) {
    out[length++] = '-';
    value = -value;
  }
  return length + FormatUnsigned(out + length, static_cast<std::uint64_t>(value), 10, minDigits);
}

}  // namespace

CrashCivilTime CivilFromSeconds(std::int64_t seconds) {
  const std::int64_t days = FloorDiv(seconds, kSecondsPerDay);
  const std::int64_t secondOfDay = seconds - days * kSecondsPerDay;

  const std::int64_t z = days + kDaysToEpochFromMarch0;
  const std::int64_t era = FloorDiv(z, kDaysPerEra);
  const std::int64_t dayOfEra = z - era * kDaysPerEra;  // [0, 146096]
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;  // [0, 399]
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);             // [0, 365]
  const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;                                             // [0, 11]

  CrashCivilTime t;
  t.day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
  t.month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
  t.year = yearOfEra + era * 400 + (t.month <= 2 ? 1 : 0);
  t.hour = static_cast<int>(secondOfDay / kSecondsPerHour);
  t.minute = static_cast<int>(secondOfDay % kSecondsPerHour / kSecondsPerMinute);
  t.second = static_cast<int>(secondOfDay % kSecondsPerMinute);
  return t;
}

std::size_t BuildCrashDumpPath(const char* folder, const char* title, const CrashCivilTime& time,
                               char (&out)[kCrashPathCapacity]) {
  std::size_t length = 0;
  for (; folder[length] != '\0' && length < kCrashPathLimit; ++length) out[length] = folder[length];

  // "_%Y%m%d-%H%M%S"
  char stamp[kTimeTextCapacity];
  std::size_t n = 0;
  stamp[n++] = '_';
  n = AppendNumber(stamp, n, time.year, kYearDigits);
  n = AppendNumber(stamp, n, time.month, kTwoDigits);
  n = AppendNumber(stamp, n, time.day, kTwoDigits);
  stamp[n++] = '-';
  n = AppendNumber(stamp, n, time.hour, kTwoDigits);
  n = AppendNumber(stamp, n, time.minute, kTwoDigits);
  n = AppendNumber(stamp, n, time.second, kTwoDigits);
  stamp[n] = '\0';

  length = AppendNamePart(out, length, title);
  length = AppendNamePart(out, length, stamp);

  const std::size_t extensionLength = std::strlen(kCrashDumpExtension);
  if (length + extensionLength <= kCrashPathLimit) {
    std::memcpy(out + length, kCrashDumpExtension, extensionLength);
    length += extensionLength;
  }
  out[length] = '\0';
  return length;
}

}  // namespace kanzo
