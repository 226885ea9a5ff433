#include "util/feed_date.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "util/date_time.h"
#include "util/time_zone.h"

namespace {

struct NamedZone {
  TextView name;
  int hours;  // east of UTC
};

// The zone table of RFC 822. The single letters keep the signs that RFC prints (A is -1, N is +1);
// J stands for the observer's own time and is deliberately absent.
constexpr NamedZone kZones[] = {
    {u"UTC", 0},  {u"GMT", 0},  {u"UT", 0},   {u"Z", 0},    {u"A", -1},   {u"B", -2},
    {u"C", -3},   {u"D", -4},   {u"E", -5},   {u"F", -6},   {u"G", -7},   {u"H", -8},
    {u"I", -9},   {u"K", -10},  {u"L", -11},  {u"M", -12},  {u"N", 1},    {u"O", 2},
    {u"P", 3},    {u"Q", 4},    {u"R", 5},    {u"S", 6},    {u"T", 7},    {u"U", 8},
    {u"V", 9},    {u"W", 10},   {u"X", 11},   {u"Y", 12},   {u"EST", -5}, {u"EDT", -4},
    {u"CST", -6}, {u"CDT", -5}, {u"MST", -7}, {u"MDT", -6}, {u"PST", -8}, {u"PDT", -7},
};
static_assert(std::size(kZones) == 36);

constexpr TextView kMonths[] = {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};

// Longest digit run any date field may have; it also keeps the value inside an int.
constexpr size_t kMaxFieldDigits = 9;

// A field made of digits only, of an allowed length.
std::optional<int> DigitsField(TextView field, size_t minLength, size_t maxLength) {
  if (field.size() < minLength || field.size() > maxLength) return std::nullopt;
  int value = 0;
  for (char16_t c : field) {
    if (!IsAsciiDigit(c)) return std::nullopt;
    value = value * 10 + (c - u'0');
  }
  return value;
}

struct Field {
  TextView text;
  char16_t terminator;  // 0 when the field ran to the end of the text
};

// Cuts the next field off `rest`: leading spaces skipped, up to the first of `terminators`
// (consumed with it) or to the end of the text.
Field NextField(TextView& rest, TextView terminators) {
  rest.remove_prefix(std::min(rest.find_first_not_of(u' '), rest.size()));
  const size_t end = rest.find_first_of(terminators);
  if (end == TextView::npos) {
    const Field field{rest, 0};
    rest = {};
    return field;
  }
  const Field field{rest.substr(0, end), rest[end]};
  rest.remove_prefix(end + 1);
  return field;
}

std::optional<int> MonthNumber(TextView name) {
  for (size_t i = 0; i < std::size(kMonths); ++i)
    if (name == kMonths[i]) return static_cast<int>(i) + 1;
  return std::nullopt;
}

std::optional<int> Rfc822Year(TextView field) {
  if (field.size() == 3) return std::nullopt;
  const std::optional<int> year = DigitsField(field, 2, 4);
  if (!year || field.size() == 4) return year;
  return *year + (*year >= 70 ? 1900 : 2000);
}

// Drops "." and the digits after it: fractions of a second are below the type's precision.
TextView SkipFraction(TextView rest) {
  if (rest.size() < 2 || rest[0] != u'.' || !IsAsciiDigit(rest[1])) return rest;
  size_t end = 1;
  while (end < rest.size() && IsAsciiDigit(rest[end])) ++end;
  return rest.substr(end);
}

double StatedToLocal(const DateTimeFields& stated, TextView zone) {
  return DateTimeAddMinutes(DateTimeFromFields(stated), -ZoneBiasMinutes(zone));
}

}  // namespace

std::optional<int> ZoneOffsetMinutes(TextView zone) {
  zone = Trim(zone);
  const bool numeric = (zone.size() == 6 && zone[3] == u':') || zone.size() == 5;
  if (numeric && (zone[0] == u'+' || zone[0] == u'-')) {
    const std::optional<int> hours = DigitsField(zone.substr(1, 2), 2, 2);
    const std::optional<int> minutes = DigitsField(zone.substr(zone.size() - 2), 2, 2);
    if (hours && minutes) {
      const int offset = *hours * 60 + *minutes;
      return zone[0] == u'-' ? -offset : offset;
    }
  }
  for (const NamedZone& row : kZones)
    if (EqualsIgnoreCaseAscii(zone, row.name)) return row.hours * 60;
  return std::nullopt;
}

int ZoneBiasMinutes(TextView zone) {
  const std::optional<int> systemBias = SystemTimeZoneBiasMinutes();
  const std::optional<int> offset = ZoneOffsetMinutes(zone);
  if (!systemBias || !offset) return 0;
  return *systemBias + *offset;
}

// Surrounding white space is dropped first: feeds often wrap the element text in line breaks.
double ParseRfc822Date(TextView text) {
  TextView rest = Trim(text);
  if (const size_t comma = rest.find(u','); comma != TextView::npos) rest.remove_prefix(comma + 1);

  const std::optional<int> day = DigitsField(NextField(rest, u" ").text, 1, 2);
  const std::optional<int> month = MonthNumber(NextField(rest, u" ").text);
  const std::optional<int> year = Rfc822Year(NextField(rest, u" ").text);
  const std::optional<int> hour = DigitsField(NextField(rest, u":").text, 1, 2);
  const Field minuteField = NextField(rest, u": ");
  const std::optional<int> minute = DigitsField(minuteField.text, 1, 2);
  std::optional<int> second = 0;
  if (minuteField.terminator == u':') second = DigitsField(NextField(rest, u" ").text, 1, 2);
  if (!day || !month || !year || !hour || !minute || !second) return 0;

  return StatedToLocal({*year, *month, *day, *hour, *minute, *second}, rest);
}

// Every piece must be all digits: with leading-digit reading, "07:08+09:00" (no seconds) would
// take the zone's colon for the seconds separator and silently lose the zone.
double ParseW3cDate(TextView text) {
  static constexpr char16_t kDelimiters[] = {u'-', u'-', u'T', u':', u':'};
  TextView rest = Trim(text);
  int pieces[std::size(kDelimiters)];
  for (size_t i = 0; i < std::size(kDelimiters); ++i) {
    const size_t end = rest.find(kDelimiters[i]);
    if (end == TextView::npos) return 0;
    const std::optional<int> value = DigitsField(Trim(rest.substr(0, end)), 1, kMaxFieldDigits);
    if (!value) return 0;
    pieces[i] = *value;
    rest.remove_prefix(end + 1);
  }

  rest = Trim(rest);
  int second = 0;
  if (rest.size() >= 2 && IsAsciiDigit(rest[0]) && IsAsciiDigit(rest[1])) {
    second = (rest[0] - u'0') * 10 + (rest[1] - u'0');
    rest.remove_prefix(2);
  }
  return StatedToLocal({pieces[0], pieces[1], pieces[2], pieces[3], pieces[4], second},
                       SkipFraction(rest));
}

double ParseFeedDate(TextView text) {
  const double date = ParseW3cDate(text);
  return date != 0 ? date : ParseRfc822Date(text);
}

Text FormatFeedDate(TextView text) {
  const std::optional<DateTimeFields> local = DateTimeToFields(ParseFeedDate(text));
  if (!local) return Text(text);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%d/%d/%d %02d:%02d", local->year, local->month, local->day,
                local->hour, local->minute);
  return AsciiToText(buffer);
}
