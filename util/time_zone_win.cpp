#include "util/time_zone.h"

#include <windows.h>

std::optional<int> SystemTimeZoneBiasMinutes() {
  TIME_ZONE_INFORMATION info{};
  // The base bias alone would be an hour off in summer: add the part of the year now in force.
  switch (GetTimeZoneInformation(&info)) {
    case TIME_ZONE_ID_INVALID:
      return std::nullopt;
    case TIME_ZONE_ID_DAYLIGHT:
      return static_cast<int>(info.Bias + info.DaylightBias);
    case TIME_ZONE_ID_STANDARD:
      return static_cast<int>(info.Bias + info.StandardBias);
    default:  // TIME_ZONE_ID_UNKNOWN: the zone has no daylight saving
      return static_cast<int>(info.Bias);
  }
}
