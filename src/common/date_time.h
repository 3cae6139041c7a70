// Date-time values as the catalogue stores them: days since 1899-12-30 00:00
// local time, the fraction being the time of day (an IEEE double).
#pragma once

#include <ctime>
#include <optional>
#include <string>

namespace webhoard {

// 1970-01-01 as a date-time value.
constexpr double kUnixEpochDate = 25569.0;
constexpr double kSecondsPerDay = 86400.0;

struct DateTimeParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// The date-time of a calendar date and time of day; nullopt when a field is
// out of range (month 13, 30 February, hour 24, ...).
std::optional<double> EncodeDateTime(const DateTimeParts& parts);
// The calendar fields of a date-time value (negative values count back from
// 1899-12-30 as the fraction's magnitude).
DateTimeParts DecodeDateTime(double date_time);

// A POSIX time as local date-time, through the C library's local time rules.
double DateTimeFromUnixLocal(std::time_t t);
// Inverse of DateTimeFromUnixLocal (mktime on the decoded fields).
std::time_t UnixFromDateTimeLocal(double date_time);

// "YYYY-MM-DD HH:MM:SS" of a date-time value (no time-zone conversion).
std::string FormatDateTime(double date_time);
// ISO 8601 of a local date-time value with the offset the local time-zone
// rules give it: "2026-12-09T08:30:00+01:00"; without the offset when the C
// library cannot place the moment (before 1970 on some systems).
std::string FormatIsoLocalDateTime(double date_time);

}  // namespace webhoard
