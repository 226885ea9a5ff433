// The program's date-time value: a day count since 30 December 1899 with the time of day as the
// fraction, in local time. 0 means "no date". Days before the epoch are negative and carry their
// time of day as the absolute fraction (-1.25 is 29 December 1899 06:00). Only years 100 to 9999
// are representable; anything outside gives no date. Portable: no platform headers.
#pragma once

#include <cstdint>
#include <optional>

struct DateTimeFields {
  int year = 0;
  int month = 0;   // 1-12
  int day = 0;     // 1-31
  int hour = 0;    // 0-23
  int minute = 0;  // 0-59
  int second = 0;  // 0-59

  friend bool operator==(const DateTimeFields&, const DateTimeFields&) = default;
};

// 0 when the fields name no real calendar moment or lie outside the representable years.
double DateTimeFromFields(const DateTimeFields& fields);

// Whole-second fields of a value; nullopt for 0, a non-finite value or one out of range.
std::optional<DateTimeFields> DateTimeToFields(double date);

// 0 when `date` is no date or the result leaves the representable range.
double DateTimeAddMinutes(double date, int64_t minutes);
