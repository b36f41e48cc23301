#pragma once
// The name of a crash dump: the crash folder, then the title and the local
// time of the fault ("_%Y%m%d-%H%M%S"), then ".dmp". Everything here runs
// inside the fault handler, so it works on fixed buffers only.
#include <cstddef>
#include <cstdint>

namespace kanzo {

// Longest path of a dump file (and of the stored title and folder), in bytes.
inline constexpr std::size_t kCrashPathLimit = 259;
// A buffer for such a path and its terminator.
inline constexpr std::size_t kCrashPathCapacity = kCrashPathLimit + 1;
inline constexpr const char* kCrashDumpExtension = ".dmp";

struct CrashCivilTime {
  std::int64_t year = 1970;
  int month = 1;  // 1-12
  int day = 1;    // 1-31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// The calendar date and time of `seconds` counted from 1970-01-01 00:00:00
// in the same time scale (pass UTC seconds plus the UTC offset for local
// time). Proleptic Gregorian calendar, valid for every 64-bit input that
// stays within a few billion years.
CrashCivilTime CivilFromSeconds(std::int64_t seconds);

// Writes the dump file's path into `out`. `folder` already ends with the
// separator. In the part after the folder every "." becomes "-" and every
// blank "_"; that part is appended only as far as the path stays within
// kCrashPathLimit, and ".dmp" only when it fits whole. Returns the length.
std::size_t BuildCrashDumpPath(const char* folder, const char* title, const CrashCivilTime& time,
                               char (&out)[kCrashPathCapacity]);

}  // namespace kanzo
