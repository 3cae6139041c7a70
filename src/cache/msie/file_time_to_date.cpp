#include "cache/msie/file_time_to_date.h"

#include "common/date_time.h"

namespace webhoard {
namespace {

constexpr std::uint64_t kTicksPerSecond = 10000000;
constexpr std::int64_t kDaysFrom1601To1970 = 134774;
constexpr std::int64_t kDaysFrom1601To18991230 = 109205;
// Before 1980 the URL cache did not exist; past 9999 a date-time has no
// calendar date.
constexpr std::int64_t kFirstYear = 1980;
constexpr std::int64_t kLastYear = 9999;

struct Civil {
  std::int64_t year;
  unsigned month;
  unsigned day;
};

// The civil date of a day count from 1970-01-01 (proleptic Gregorian).
Civil CivilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {y + (m <= 2 ? 1 : 0), m, d};
}

}  // namespace

std::optional<std::uint32_t> FileTimeToDosDateTime(std::uint64_t file_time) {
  const std::uint64_t seconds = file_time / kTicksPerSecond;
  const auto days = static_cast<std::int64_t>(seconds / 86400);
  const auto second_of_day = static_cast<unsigned>(seconds % 86400);
  const Civil date = CivilFromDays(days - kDaysFrom1601To1970);
  if (date.year < 1980 || date.year > 2107) return std::nullopt;
  const auto dos_date =
      static_cast<std::uint32_t>(((date.year - 1980) << 9) | (date.month << 5) | date.day);
  const std::uint32_t dos_time = ((second_of_day / 3600) << 11) |
                                 (((second_of_day / 60) % 60) << 5) | ((second_of_day % 60) / 2);
  return (dos_date << 16) | dos_time;
}

double FileTimeToDate(std::uint64_t file_time) {
  // Whole seconds, cut to the two-second steps of the packed form the index
  // keeps its sync times in, so that a time reads the same whichever field
  // it came from.
  const std::uint64_t seconds = file_time / kTicksPerSecond / 2 * 2;
  const auto days = static_cast<std::int64_t>(seconds / 86400);
  const Civil date = CivilFromDays(days - kDaysFrom1601To1970);
  if (date.year < kFirstYear || date.year > kLastYear) return 0.0;
  return static_cast<double>(days - kDaysFrom1601To18991230) +
         static_cast<double>(seconds % 86400) / kSecondsPerDay;
}

}  // namespace webhoard
