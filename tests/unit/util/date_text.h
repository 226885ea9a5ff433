// Readable form of a date-time for expectations and failure messages of the date tests.
#pragma once

#include <cstdio>
#include <string>

#include "util/date_time.h"

inline std::string DateText(double date) {
  const std::optional<DateTimeFields> f = DateTimeToFields(date);
  if (!f) return "no date";
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", f->year, f->month, f->day,
                f->hour, f->minute, f->second);
  return buffer;
}
