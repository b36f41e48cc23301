#include "db/db_time.h"

namespace kanzo {

std::int64_t StartOfTodayUtc(std::int64_t nowSeconds) {
  const auto now = static_cast<std::uint32_t>(nowSeconds);
  constexpr auto kDay = static_cast<std::uint32_t>(kSecondsPerDay);
  return static_cast<std::int64_t>(now / kDay * kDay);
}

std::int64_t RetentionLimit(std::int64_t nowSeconds) {
  return (nowSeconds / kSecondsPerDay - kRetentionDays) * kSecondsPerDay;
}

}  // namespace kanzo
