#include "common/date_time.h"

#include <cmath>
#include <cstdio>

#include "common/local_time.h"

namespace webhoard {
namespace {

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 0001-01-01 to the given date (proleptic Gregorian).
long long DayNumber(int year, int month, int day) {
  long long y = year - 1;
  long long days = y * 365 + y / 4 - y / 100 + y / 400;
  for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
  return days + day - 1;
}

constexpr long long kDayNumberOf18991230 = 693593;  // DayNumber(1899, 12, 30)

}  // namespace

std::optional<double> EncodeDateTime(const DateTimeParts& p) {
  if (p.year < 1 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 ||
      p.day > DaysInMonth(p.year, p.month) || p.hour < 0 || p.hour > 23 || p.minute < 0 ||
      p.minute > 59 || p.second < 0 || p.second > 59 || p.millisecond < 0 || p.millisecond > 999) {
    return std::nullopt;
  }
  const double days = static_cast<double>(DayNumber(p.year, p.month, p.day) - kDayNumberOf18991230);
  const double time = ((p.hour * 3600.0 + p.minute * 60.0 + p.second) * 1000.0 + p.millisecond) /
                      (kSecondsPerDay * 1000.0);
  // Before 1899-12-30 the time of day is stored as a positive fraction of a
  // negative whole day.
  return days >= 0 ? days + time : days - time;
}

DateTimeParts DecodeDateTime(double date_time) {
  DateTimeParts parts;
  if (!std::isfinite(date_time) || std::fabs(date_time) > 2958466.0) return parts;
  double whole = std::trunc(date_time);
  double fraction = std::fabs(date_time - whole);
  long long ms = std::llround(fraction * kSecondsPerDay * 1000.0);
  if (ms >= 86400000LL) {  // rounding reached midnight of the next day
    ms -= 86400000LL;
    whole += date_time >= 0 ? 1 : -1;
  }
  long long day_number = static_cast<long long>(whole) + kDayNumberOf18991230;
  if (day_number < 0) return parts;
  // Walk years with 400-year cycles, then months.
  int year = 1;
  const long long kCycle = 146097;
  year += static_cast<int>(400 * (day_number / kCycle));
  day_number %= kCycle;
  while (day_number >= (IsLeapYear(year) ? 366 : 365)) {
    day_number -= IsLeapYear(year) ? 366 : 365;
    ++year;
  }
  int month = 1;
  while (day_number >= DaysInMonth(year, month)) {
    day_number -= DaysInMonth(year, month);
    ++month;
  }
  parts.year = year;
  parts.month = month;
  parts.day = static_cast<int>(day_number) + 1;
  parts.hour = static_cast<int>(ms / 3600000);
  parts.minute = static_cast<int>(ms / 60000 % 60);
  parts.second = static_cast<int>(ms / 1000 % 60);
  parts.millisecond = static_cast<int>(ms % 1000);
  return parts;
}

double DateTimeFromUnixLocal(std::time_t t) {
  const std::optional<std::tm> converted = LocalTime(t);
  if (!converted) return kUnixEpochDate + static_cast<double>(t) / kSecondsPerDay;
  const std::tm& local = *converted;
  DateTimeParts parts{local.tm_year + 1900, local.tm_mon + 1,
                      local.tm_mday,        local.tm_hour,
                      local.tm_min,         local.tm_sec > 59 ? 59 : local.tm_sec};
  return EncodeDateTime(parts).value_or(0.0);
}

std::time_t UnixFromDateTimeLocal(double date_time) {
  const DateTimeParts p = DecodeDateTime(date_time);
  std::tm local{};
  local.tm_year = p.year - 1900;
  local.tm_mon = p.month - 1;
  local.tm_mday = p.day;
  local.tm_hour = p.hour;
  local.tm_min = p.minute;
  local.tm_sec = p.second;
  local.tm_isdst = -1;
  return std::mktime(&local);
}

std::string FormatDateTime(double date_time) {
  const DateTimeParts p = DecodeDateTime(date_time);
  // Room for any six ints, so no field is ever cut.
  char text[80];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour,
                p.minute, p.second);
  return text;
}

std::string FormatIsoLocalDateTime(double date_time) {
  std::string text = FormatDateTime(date_time);
  if (text.size() > 10 && text[10] == ' ') text[10] = 'T';
  const std::time_t t = UnixFromDateTimeLocal(date_time);
  if (t == static_cast<std::time_t>(-1)) return text;
  // The local fields less the moment they stand for, in whole minutes.
  const long long local_seconds = std::llround((date_time - kUnixEpochDate) * kSecondsPerDay);
  const long long offset = std::llround(static_cast<double>(local_seconds - t) / 60.0);
  const long long magnitude = offset < 0 ? -offset : offset;
  char zone[8];
  std::snprintf(zone, sizeof zone, "%c%02lld:%02lld", offset < 0 ? '-' : '+', magnitude / 60 % 100,
                magnitude % 60);
  return text + zone;
}

}  // namespace webhoard
