#include "util/date_time.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/unit/util/date_text.h"

namespace {

constexpr double kSecond = 1.0 / 86400;

TEST(DateTime, DayCountStartsAtTheEndOf1899) {
  EXPECT_EQ(DateTimeFromFields({1899, 12, 30, 12, 0, 0}), 0.5);
  EXPECT_EQ(DateTimeFromFields({1900, 1, 1, 0, 0, 0}), 2.0);
  EXPECT_EQ(DateTimeFromFields({2002, 9, 7, 18, 0, 0}), 37506.75);
  EXPECT_EQ(DateTimeFromFields({100, 1, 1, 0, 0, 0}), -657434.0);
  EXPECT_EQ(DateTimeFromFields({9999, 12, 31, 0, 0, 0}), 2958465.0);
}

// Before the epoch the whole part counts days backwards and the time is the absolute fraction.
TEST(DateTime, DaysBeforeTheEpochCarryTheTimeAsAbsoluteFraction) {
  EXPECT_EQ(DateTimeFromFields({1899, 12, 29, 6, 0, 0}), -1.25);
  EXPECT_EQ(DateTimeFromFields({1899, 12, 28, 18, 0, 0}), -2.75);
  EXPECT_EQ(DateText(-1.25), "1899-12-29 06:00:00");
  EXPECT_EQ(DateText(-2.75), "1899-12-28 18:00:00");
  // Between -1 and 0 the day is the epoch itself, as in the positive range.
  EXPECT_EQ(DateText(-0.25), "1899-12-30 06:00:00");
}

TEST(DateTime, RejectsFieldsThatNameNoRealMoment) {
  const DateTimeFields invalid[] = {
      {2002, 0, 1, 0, 0, 0},  {2002, 13, 1, 0, 0, 0}, {2002, 1, 0, 0, 0, 0},  {2002, 4, 31, 0, 0, 0},
      {2001, 2, 29, 0, 0, 0}, {1900, 2, 29, 0, 0, 0}, {2002, 1, 1, 24, 0, 0}, {2002, 1, 1, 0, 60, 0},
      {2002, 1, 1, 0, 0, 60}, {2002, 1, 1, -1, 0, 0}, {99, 12, 31, 0, 0, 0},  {10000, 1, 1, 0, 0, 0},
  };
  for (const DateTimeFields& f : invalid)
    EXPECT_EQ(DateTimeFromFields(f), 0) << f.year << "-" << f.month << "-" << f.day << " " << f.hour
                                        << ":" << f.minute << ":" << f.second;
}

// Walks every day of the range: consecutive calendar days must be consecutive counts and split
// back into the same fields, which ties the day arithmetic to the month lengths everywhere.
TEST(DateTime, EveryDayOfTheRangeRoundTrips) {
  const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  double expected = DateTimeFromFields({100, 1, 1, 0, 0, 0});
  int failures = 0;
  for (int year = 100; year <= 9999 && failures < 5; ++year) {
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    for (int month = 1; month <= 12; ++month) {
      const int days = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
      for (int day = 1; day <= days; ++day, ++expected) {
        const DateTimeFields fields{year, month, day, 0, 0, 0};
        const double date = DateTimeFromFields(fields);
        const bool ok = expected == 0 || (date == expected && DateTimeToFields(date) == fields);
        if (!ok && ++failures < 5) ADD_FAILURE() << year << "-" << month << "-" << day;
      }
    }
  }
  EXPECT_EQ(expected, DateTimeFromFields({9999, 12, 31, 0, 0, 0}) + 1);
}

TEST(DateTime, SplittingRoundsToTheNearestSecond) {
  const double nineOhOne = DateTimeFromFields({2002, 9, 7, 9, 0, 1});
  EXPECT_EQ(DateText(nineOhOne - 0.4 * kSecond), "2002-09-07 09:00:01");
  EXPECT_EQ(DateText(std::nextafter(nineOhOne, 0.0)), "2002-09-07 09:00:01");
  // Rounding up at the end of a day carries into the next one, on both sides of the epoch.
  EXPECT_EQ(DateText(37506 + 86399.6 * kSecond), "2002-09-08 00:00:00");
  EXPECT_EQ(DateText(-1 - 86399.6 * kSecond), "1899-12-30 00:00:00");
  EXPECT_EQ(DateText(-2 - 86399.6 * kSecond), "1899-12-29 00:00:00");
}

TEST(DateTime, SplittingRejectsNoDateAndValuesOutOfRange) {
  EXPECT_FALSE(DateTimeToFields(0));
  EXPECT_FALSE(DateTimeToFields(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_FALSE(DateTimeToFields(std::numeric_limits<double>::infinity()));
  EXPECT_FALSE(DateTimeToFields(1e300));
  EXPECT_FALSE(DateTimeToFields(2958466.0));  // 10000-01-01
  EXPECT_FALSE(DateTimeToFields(-657435.0 - 86399 * kSecond));  // 99-12-31 23:59:59
  EXPECT_FALSE(DateTimeToFields(-657435.0));
  EXPECT_EQ(DateText(2958465.0 + 86399 * kSecond), "9999-12-31 23:59:59");
  EXPECT_EQ(DateText(-657434.0 - kSecond), "0100-01-01 00:00:01");
}

TEST(DateTime, AddingMinutesCrossesDaysAndTheEpochWithinTheRange) {
  EXPECT_EQ(DateText(DateTimeAddMinutes(DateTimeFromFields({2004, 2, 28, 20, 0, 0}), 300)),
            "2004-02-29 01:00:00");
  EXPECT_EQ(DateTimeAddMinutes(0.125, -540), -1.75);  // 1899-12-30 03:00 back to 12-29 18:00
  EXPECT_EQ(DateTimeAddMinutes(-1.75, 540), 0.125);
  EXPECT_EQ(DateTimeAddMinutes(DateTimeFromFields({9999, 12, 31, 23, 0, 0}), 60), 0);
  EXPECT_EQ(DateTimeAddMinutes(DateTimeFromFields({100, 1, 1, 0, 30, 0}), -31), 0);
  EXPECT_NE(DateTimeAddMinutes(DateTimeFromFields({100, 1, 1, 0, 30, 0}), -30), 0);
  EXPECT_EQ(DateTimeAddMinutes(2.0, std::numeric_limits<int64_t>::max()), 0);
  EXPECT_EQ(DateTimeAddMinutes(2.0, std::numeric_limits<int64_t>::min()), 0);
  EXPECT_EQ(DateTimeAddMinutes(0, 5), 0);
}

}  // namespace
