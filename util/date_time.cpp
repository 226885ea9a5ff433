#include "util/date_time.h"

#include <cmath>

namespace {

constexpr int64_t kSecondsPerDay = 86400;
constexpr int kMinYear = 100;
constexpr int kMaxYear = 9999;

// Proleptic Gregorian day number counted from 1 March of year 0, so that leap days fall at the
// end of each counted year; exact integer arithmetic for every representable year.
constexpr int64_t DayNumber(int64_t year, int month, int day) {
  if (month <= 2) --year;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra;
}

constexpr int64_t kEpochDay = DayNumber(1899, 12, 30);
constexpr int64_t kMinSeconds = (DayNumber(kMinYear, 1, 1) - kEpochDay) * kSecondsPerDay;
constexpr int64_t kMaxSeconds = (DayNumber(kMaxYear + 1, 1, 1) - kEpochDay) * kSecondsPerDay - 1;

// The inverse of DayNumber.
void SetCivilDate(int64_t dayNumber, DateTimeFields& fields) {
  const int64_t era = (dayNumber >= 0 ? dayNumber : dayNumber - 146096) / 146097;
  const int64_t dayOfEra = dayNumber - era * 146097;
  const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  fields.day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  fields.month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  fields.year = static_cast<int>(yearOfEra + era * 400 + (fields.month <= 2 ? 1 : 0));
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValid(const DateTimeFields& f) {
  return f.year >= kMinYear && f.year <= kMaxYear && f.month >= 1 && f.month <= 12 && f.day >= 1 &&
         f.day <= DaysInMonth(f.year, f.month) && f.hour >= 0 && f.hour < 24 && f.minute >= 0 &&
         f.minute < 60 && f.second >= 0 && f.second < 60;
}

// Whole seconds since the epoch: the one linear scale on which all arithmetic is done, so that
// values before the epoch (time stored as the absolute fraction) need no special cases.
std::optional<int64_t> ToSeconds(double date) {
  constexpr double kMinDays = double(kMinSeconds / kSecondsPerDay) - 1;
  constexpr double kMaxDays = double(kMaxSeconds / kSecondsPerDay) + 1;
  // Bounded before any integer conversion, which would be undefined for huge values or NaN.
  if (date == 0 || !(date >= kMinDays && date <= kMaxDays)) return std::nullopt;
  const double whole = std::trunc(date);
  // Rounded to the nearest second: 09:00:01 is stored a hair below and must not print as 09:00:00.
  const int64_t timeOfDay = std::llround(std::fabs(date - whole) * kSecondsPerDay);
  const int64_t seconds = static_cast<int64_t>(whole) * kSecondsPerDay + timeOfDay;
  if (seconds < kMinSeconds || seconds > kMaxSeconds) return std::nullopt;
  return seconds;
}

struct DayAndTime {
  int64_t day;        // days since the epoch, rounded down
  int64_t timeOfDay;  // seconds since midnight
};

DayAndTime SplitSeconds(int64_t seconds) {
  DayAndTime result{seconds / kSecondsPerDay, seconds % kSecondsPerDay};
  if (result.timeOfDay < 0) {
    --result.day;
    result.timeOfDay += kSecondsPerDay;
  }
  return result;
}

double FromSeconds(int64_t seconds) {
  if (seconds < kMinSeconds || seconds > kMaxSeconds) return 0;
  const auto [day, timeOfDay] = SplitSeconds(seconds);
  const double fraction = double(timeOfDay) / kSecondsPerDay;
  return day >= 0 ? double(day) + fraction : double(day) - fraction;
}

}  // namespace

double DateTimeFromFields(const DateTimeFields& fields) {
  if (!IsValid(fields)) return 0;
  const int64_t day = DayNumber(fields.year, fields.month, fields.day) - kEpochDay;
  return FromSeconds(day * kSecondsPerDay + fields.hour * 3600 + fields.minute * 60 + fields.second);
}

std::optional<DateTimeFields> DateTimeToFields(double date) {
  const std::optional<int64_t> seconds = ToSeconds(date);
  if (!seconds) return std::nullopt;
  const auto [day, timeOfDay] = SplitSeconds(*seconds);
  DateTimeFields fields;
  SetCivilDate(day + kEpochDay, fields);
  fields.hour = static_cast<int>(timeOfDay / 3600);
  fields.minute = static_cast<int>(timeOfDay / 60 % 60);
  fields.second = static_cast<int>(timeOfDay % 60);
  return fields;
}

double DateTimeAddMinutes(double date, int64_t minutes) {
  const std::optional<int64_t> seconds = ToSeconds(date);
  // Any shift beyond the whole range lands outside it; checked first so the product cannot overflow.
  constexpr int64_t kRangeMinutes = (kMaxSeconds - kMinSeconds) / 60 + 1;
  if (!seconds || minutes > kRangeMinutes || minutes < -kRangeMinutes) return 0;
  return FromSeconds(*seconds + minutes * 60);
}
