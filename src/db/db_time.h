#pragma once
// Day boundaries of the local database. Stored times are seconds since 1970
// (UTC) and days are UTC days, whatever the machine's time zone.
#include <cstdint>

namespace kanzo {

inline constexpr std::int64_t kSecondsPerDay = 86400;
// Visitors and chat lines older than the start of the UTC day this many days
// back are removed at start-up.
inline constexpr std::int64_t kRetentionDays = 5;

// The start of the UTC day that holds `nowSeconds` (in 32-bit unsigned
// arithmetic, like the rows it is compared with).
std::int64_t StartOfTodayUtc(std::int64_t nowSeconds);

// The start of the UTC day kRetentionDays before today.
std::int64_t RetentionLimit(std::int64_t nowSeconds);

}  // namespace kanzo
