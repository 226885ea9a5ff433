#include "util/time_zone.h"

#include <time.h>

std::optional<int> SystemTimeZoneBiasMinutes() {
  const time_t now = time(nullptr);
  struct tm local {};
  if (now == time_t(-1) || localtime_r(&now, &local) == nullptr) return std::nullopt;
  // tm_gmtoff is seconds east of UTC, already including any daylight-saving shift.
  return static_cast<int>(-local.tm_gmtoff / 60);
}
